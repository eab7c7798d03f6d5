// Names for screen readers and GUI automation: a label names the control beside it, and a
// control that every axis has says which axis it belongs to, since its label or caption repeats
// on every row.
#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>

// A label in `grid` that also names `control`.
inline void AddBuddyLabel(QGridLayout* grid, const QString& text, QWidget* control, int row, int column) {
    auto* label = new QLabel(text);
    label->setBuddy(control);
    grid->addWidget(label, row, column);
}

inline QString AxisControlName(const QString& axis, const QString& what) {
    return axis + QString::fromUtf8("轴") + what;
}

// A caption that changes (a jog button that becomes 停止) keeps its name in step.
inline void SetAxisButtonText(QPushButton* button, const QString& axis, const QString& text) {
    button->setText(text);
    button->setAccessibleName(AxisControlName(axis, text));
}
