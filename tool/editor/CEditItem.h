// The edit box over one grid cell. It opens with the cell's text and the caret at the start,
// widens with its text up to the grid's right edge, keeps Delete and Ctrl shortcuts to itself,
// and reports once, through the grid's endLabelEdit, when it loses the focus: its text, or no
// text when Escape cancelled it. Enter or Escape hand the focus back to the grid.
#pragma once

#include "editor/CReportCtrl.h"

#include <QLineEdit>

class CEditItem final : public QLineEdit, public InPlaceEditor {
    Q_OBJECT
public:
    // Shows the box over `rect` (the grid's viewport coordinates) and takes the focus.
    CEditItem(CReportCtrl* grid, int row, int column, const QString& text, const QRect& rect);

    void finishEdit() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void growToText();

    CReportCtrl* grid_;
    bool cancelled_ = false;
};
