#include "editor/CComboItem.h"

#include <QAbstractItemView>
#include <QKeyEvent>

CComboItem::CComboItem(CReportCtrl* grid, int row, int column, const QStringList& entries, const QRect& rect)
    : QComboBox(grid->viewport()), InPlaceEditor(row, column), grid_(grid) {
    setFont(grid->font());
    for (const QString& entry : entries) addItem(entry, qint64{0});
    setCurrentIndex(-1);
    setGeometry(rect);
    grid->adoptEditor(this, this);
    // The list is a window of its own: Escape there cancels, and its closing ends the edit
    // once the chosen entry (if any) has become the current one.
    view()->installEventFilter(this);
    view()->window()->installEventFilter(this);
    view()->installEventFilter(grid);  // Space in the list is swallowed as in the grid
    show();
    setFocus(Qt::OtherFocusReason);
}

bool CComboItem::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelled_ = true;
    } else if (watched == view()->window() && event->type() == QEvent::Hide) {
        QMetaObject::invokeMethod(this, &CComboItem::finishEdit, Qt::QueuedConnection);
    }
    return QComboBox::eventFilter(watched, event);
}

void CComboItem::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            cancelled_ = true;
            finishEdit();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            finishEdit();
            break;
        default:
            QComboBox::keyPressEvent(event);
    }
    event->accept();  // no key leaves the combo for the grid
}

void CComboItem::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason && !view()->window()->isVisible()) finishEdit();
}

void CComboItem::finishEdit() {
    if (!beginFinish()) return;
    const int chosen = currentIndex();
    const bool hadFocus = hasFocus() || view()->window()->isVisible();
    if (view()->window()->isVisible()) hidePopup();
    grid_->editorEnded(this);
    if (chosen != -1) {
        grid_->reportEndLabelEdit(row(), column(), cancelled_ ? std::nullopt : std::optional<QString>(currentText()),
                                  itemData(chosen).toLongLong());
    }
    if (hadFocus) grid_->setFocus(Qt::OtherFocusReason);
    hide();
    deleteLater();
}
