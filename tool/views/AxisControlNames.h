// Names for screen readers and GUI automation of the controls that every axis has: a name says
// which axis the control belongs to, since their labels and captions repeat on every row.
#pragma once

#include <QPushButton>
#include <QString>

inline QString AxisControlName(const QString& axis, const QString& what) {
    return axis + QString::fromUtf8("轴") + what;
}

// A caption that changes (a jog button that becomes 停止) keeps its name in step.
inline void SetAxisButtonText(QPushButton* button, const QString& axis, const QString& text) {
    button->setText(text);
    button->setAccessibleName(AxisControlName(axis, text));
}
