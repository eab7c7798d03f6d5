#include "editor/CEditItem.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// Room left after the measured text.
constexpr int kTextSlack = 5;
// QLineEdit keeps this many pixels free on each side of its text area.
constexpr int kLineEditMargin = 2;

bool keepsKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Delete || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
           key->key() == Qt::Key_Escape || key->modifiers().testFlag(Qt::ControlModifier);
}

}  // namespace

CEditItem::CEditItem(CReportCtrl* grid, int row, int column, const QString& text, const QRect& rect)
    : QLineEdit(grid->viewport()), InPlaceEditor(row, column), grid_(grid) {
    setFont(grid->font());
    setAlignment(grid->GetColumnFormat(column) | Qt::AlignVCenter);
    setText(text);
    setCursorPosition(0);
    deselect();
    setGeometry(rect);
    grid->adoptEditor(this, this);
    connect(this, &QLineEdit::textChanged, this, &CEditItem::growToText);
    show();
    setFocus(Qt::OtherFocusReason);
}

bool CEditItem::event(QEvent* event) {
    // Delete, Enter, Escape and Ctrl shortcuts go to the box, not to shortcuts of the windows
    // around it.
    if (event->type() == QEvent::ShortcutOverride && keepsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void CEditItem::keyPressEvent(QKeyEvent* event) {
    event->accept();
    switch (event->key()) {
        case Qt::Key_Escape:
            cancelled_ = true;
            finishEdit();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            finishEdit();
            return;
        case Qt::Key_Space:  // only with Ctrl held: the grid swallows a plain Space
            insert(QStringLiteral(" "));
            return;
        default:
            QLineEdit::keyPressEvent(event);
            event->accept();  // no key leaves the box for the grid
    }
}

void CEditItem::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason) finishEdit();
}

void CEditItem::growToText() {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect textArea = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int chrome = width() - textArea.width() + 2 * kLineEditMargin;
    const int wanted = fontMetrics().horizontalAdvance(text()) + kTextSlack + chrome;
    if (width() >= wanted) return;
    const int right = std::min(x() + wanted, grid_->viewport()->width());
    if (right > x() + width()) resize(right - x(), height());
}

void CEditItem::finishEdit() {
    if (!beginFinish()) return;
    const bool hadFocus = hasFocus();
    grid_->editorEnded(this);
    grid_->reportEndLabelEdit(row(), column(), cancelled_ ? std::nullopt : std::optional<QString>(text()), 0);
    if (hadFocus) grid_->setFocus(Qt::OtherFocusReason);
    hide();
    deleteLater();
}
