#include "editor/CReportCtrl.h"

#include "editor/CEditItem.h"
#include "editor/ReportDelegate.h"
#include "editor/ReportModel.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

CReportCtrl::CReportCtrl(QWidget* parent) : QTableView(parent), model_(new ReportModel(this)) {
    setModel(model_);
    setItemDelegate(new ReportDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setShowGrid(false);
    // Every row has the same height, so the view never measures rows.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    installEventFilter(this);
    viewport()->installEventFilter(this);
}

// An editor still open when the grid goes has nobody left to report to.
CReportCtrl::~CReportCtrl() {
    if (activeEdit_ != nullptr) activeEdit_->discard();
    delete activeEditor_;
}

int CReportCtrl::GetItemCount() const { return model_->rowCount(); }
int CReportCtrl::GetColumnCount() const { return model_->columnCount(); }

int CReportCtrl::InsertColumn(int index, const QString& heading, Qt::Alignment format, int width) {
    const int column = model_->addColumn(index, heading, format);
    if (column >= 0) horizontalHeader()->resizeSection(column, width);
    return column;
}

bool CReportCtrl::DeleteColumn(int index) { return model_->deleteColumn(index); }
Qt::Alignment CReportCtrl::GetColumnFormat(int column) const { return model_->columnFormat(column); }

int CReportCtrl::InsertItem(int index, const QString& text) { return model_->addRow(index, text); }

bool CReportCtrl::SetItemText(int row, int column, const QString& text) { return model_->setText(row, column, text); }

QString CReportCtrl::GetItemText(int row, int column) const { return model_->text(row, column); }
bool CReportCtrl::SetItemData(int row, std::uint32_t data) { return model_->setRowData(row, data); }
std::uint32_t CReportCtrl::GetItemData(int row) const { return model_->rowData(row); }

bool CReportCtrl::DeleteItem(int row, bool selectNext) {
    if (!model_->isRow(row)) return false;
    if (selectNext && model_->isRow(row + 1))
        selectionModel()->select(model_->index(row + 1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    return model_->deleteRow(row);
}

int CReportCtrl::DeleteAllItems() {
    const int count = GetItemCount();
    model_->resetRows(0);
    return count;
}

void CReportCtrl::ResetItems(int count) { model_->resetRows(count); }

int CReportCtrl::MoveTo(int row, int target) {
    if (!model_->isRow(row)) return -1;
    target = std::clamp(target, 0, GetItemCount() - 1);
    if (target != row) model_->moveRow(row, target);
    return target;
}

void CReportCtrl::SetItemTextColor(int row, int column, ColorRef color, bool redraw) {
    model_->setColor(ReportModel::ColorKind::Text, row, column, color);
    if (redraw) viewport()->repaint();
}

void CReportCtrl::SetItemBkColor(int row, int column, ColorRef color, bool redraw) {
    model_->setColor(ReportModel::ColorKind::Background, row, column, color);
    if (redraw) viewport()->repaint();
}

ColorRef CReportCtrl::GetItemTextColor(int row, int column) const {
    return model_->color(ReportModel::ColorKind::Text, row, column);
}

ColorRef CReportCtrl::GetItemBkColor(int row, int column) const {
    return model_->color(ReportModel::ColorKind::Background, row, column);
}

void CReportCtrl::SetGridLines(bool on) { setShowGrid(on); }

void CReportCtrl::SetRedraw(bool on) {
    if (on)
        model_->endBatch();
    else
        model_->beginBatch();
}

std::pair<int, int> CReportCtrl::selectedRange() const {
    int first = -1;
    int last = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) first = range.top();
        last = std::max(last, range.bottom());
    }
    return {first, last};
}

void CReportCtrl::selectRows(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, GetItemCount() - 1);
    if (first > last || GetColumnCount() == 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QItemSelection rows(model_->index(first, 0), model_->index(last, GetColumnCount() - 1));
    selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

QRect CReportCtrl::cellEditorRect(int row, int column) {
    const QModelIndex cell = model_->index(row, column);
    if (!cell.isValid()) return {};
    scrollTo(cell, QAbstractItemView::EnsureVisible);
    QRect rect = visualRect(cell);
    if (rect.left() < 0) {
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + rect.left());
        rect = visualRect(cell);
    }
    rect.setRight(std::min(rect.right(), viewport()->rect().right()));
    return rect;
}

void CReportCtrl::endActiveEditor() {
    if (activeEditor_ != nullptr && activeEdit_ != nullptr) activeEdit_->finishEdit();
    editorEnded(activeEdit_);
}

void CReportCtrl::editorEnded(InPlaceEditor* edit) {
    if (edit != activeEdit_) return;
    activeEditor_ = nullptr;
    activeEdit_ = nullptr;
}

void CReportCtrl::adoptEditor(QWidget* editor, InPlaceEditor* edit) {
    endActiveEditor();
    activeEditor_ = editor;
    activeEdit_ = edit;
    editor->installEventFilter(this);
}

void CReportCtrl::reportEndLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData) {
    emit endLabelEdit(row, column, std::move(text), itemData);
}

bool CReportCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space) {
            const bool editBoxWithCtrl =
                qobject_cast<CEditItem*>(watched) != nullptr && key->modifiers().testFlag(Qt::ControlModifier);
            if (!editBoxWithCtrl) return true;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void CReportCtrl::scrollContentsBy(int dx, int dy) {
    if (activeEditor_ == nullptr || activeEdit_ == nullptr) {
        QTableView::scrollContentsBy(dx, dy);
        return;
    }
    // An editor sits over its cell and follows it.
    const QModelIndex cell = model_->index(activeEdit_->row(), activeEdit_->column());
    const QPoint offset = activeEditor_->pos() - visualRect(cell).topLeft();
    QTableView::scrollContentsBy(dx, dy);
    activeEditor_->move(visualRect(cell).topLeft() + offset);
}
