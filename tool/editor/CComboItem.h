// The drop-down list over one grid cell. It opens with no entry chosen; when its list closes
// or it loses the focus it reports once, through the grid's endLabelEdit, the chosen entry's
// text and data word (no text when Escape cancelled it); with nothing chosen it reports
// nothing. Either way it then closes and deletes itself.
#pragma once

#include "editor/CReportCtrl.h"

#include <QComboBox>
#include <QStringList>

class CComboItem final : public QComboBox, public InPlaceEditor {
    Q_OBJECT
public:
    // Shows the combo over `rect` (the grid's viewport coordinates) with the entries in list
    // order, each with data word 0, and takes the focus. showPopup() drops the list down.
    CComboItem(CReportCtrl* grid, int row, int column, const QStringList& entries, const QRect& rect);

    void finishEdit() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    CReportCtrl* grid_;
    bool cancelled_ = false;
};
