#include "editor/CUserProgramEditCtrl.h"

#include "editor/CComboItem.h"
#include "editor/CEditItem.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStringList>
#include <QUndoStack>
#include <QValidator>

#include <algorithm>

using kelvane::JumpEdit;
using kelvane::RowShade;

namespace {

struct ColumnLayout {
    const char* heading;
    int width;
};
constexpr ColumnLayout kColumns[kelvane::kProgramColumnCount] = {
    {"行号", 45}, {"程序集", 120}, {"指令", 150}, {"参数1", 100}, {"参数2", 100}, {"参数3", 100}, {"备注信息", 200},
};

constexpr ColorRef kJumpColor = 0x00FFFF;
constexpr ColorRef kOddRowColor = 0xEAD999;
constexpr ColorRef kEvenRowColor = 0xF2E7BD;
constexpr ColorRef kCurrentRowColor = 0x0000FF;
constexpr ColorRef kParam3TextColor = 0xFF0000;
// After a line operation the row this far below the top visible row is scrolled into view.
constexpr int kScrollAhead = 17;

ColorRef ShadeColor(RowShade shade) {
    switch (shade) {
        case RowShade::Current:
            return kCurrentRowColor;
        case RowShade::Jump:
            return kJumpColor;
        case RowShade::Odd:
            return kOddRowColor;
        case RowShade::Even:
            return kEvenRowColor;
    }
    return kSystemColor;
}

// Takes no more remark than the application program file keeps.
class RemarkValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return kelvane::RemarkFits(input.toStdString()) ? Acceptable : Invalid;
    }
};

QStringList ToStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<int>(texts.size()));
    for (const std::string& text : texts) list.append(QString::fromStdString(text));
    return list;
}

}  // namespace

CUserProgramEditCtrl::CUserProgramEditCtrl(QWidget* parent)
    : CReportCtrl(parent),
      model_(static_cast<kelvane::RowTexts&>(*this)),
      history_(static_cast<ProgramHistoryTarget&>(*this), this) {
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& cell) { openCell(cell.row(), cell.column()); });
    connect(this, &CReportCtrl::endLabelEdit, this, &CUserProgramEditCtrl::onEndLabelEdit);
}

CUserProgramEditCtrl::~CUserProgramEditCtrl() = default;

kelvane::ProgramGridModel& CUserProgramEditCtrl::programs() { return model_; }
const kelvane::ProgramGridModel& CUserProgramEditCtrl::programs() const { return model_; }
int CUserProgramEditCtrl::currentProgram() const { return model_.currentProgram(); }

void CUserProgramEditCtrl::setBaseFolder(const QString& exeDirectory) {
    model_.setBaseFolder(exeDirectory.toStdString());
}

void CUserProgramEditCtrl::InitGrid() {
    endActiveEditor();
    DeleteAllItems();
    while (GetColumnCount() > 0) DeleteColumn(0);
    SetGridLines(true);
    horizontalHeader()->setSectionsMovable(true);
    for (int column = 0; column < kelvane::kProgramColumnCount; ++column)
        InsertColumn(column, QString::fromUtf8(kColumns[column].heading), Qt::AlignLeft, kColumns[column].width);
    model_.InitGrid();
    history_.clearAll();
}

void CUserProgramEditCtrl::ShowProgram(int slot, int keepRows) {
    endActiveEditor();
    SetRedraw(false);
    // A grid without rows gets its 1000 rows in one go rather than one by one.
    if (keepRows == 0 || GetItemCount() == 0) ResetItems(kelvane::kMaxProgramLines);
    model_.ShowProgram(slot);
    paintShades();
    SetRedraw(true);
    followCurrentRow();
}

void CUserProgramEditCtrl::RefreshHighlight() {
    model_.RefreshHighlight();
    paintShades();
    viewport()->repaint();
}

int CUserProgramEditCtrl::CommitRows(JumpEdit kind) { return model_.CommitRows(kind); }

void CUserProgramEditCtrl::CopyProgram(int target) {
    if (target == currentProgram()) return;
    model_.CopyProgram(target);
    history_.clear(target);
}

void CUserProgramEditCtrl::ClearProgram(int slot) {
    model_.ClearProgram(slot);
    history_.clear(slot);
}

void CUserProgramEditCtrl::LoadProgram(int slot, const kelvane::ProgramImage& program) {
    if (slot < 0 || slot >= kelvane::kProgramSlotCount) return;
    endActiveEditor();
    SetRedraw(false);
    ResetItems(kelvane::kMaxProgramLines);
    model_.LoadProgram(slot, program);
    paintShades();
    SetRedraw(true);
    followCurrentRow();
    history_.clear(slot);
}

void CUserProgramEditCtrl::ExportCurrentProgram(kelvane::ProgramImage& program) {
    endActiveEditor();
    SetRedraw(false);
    model_.ExportCurrentProgram(program);
    paintShades();
    SetRedraw(true);
}

void CUserProgramEditCtrl::InsertLine() {
    lineOperation("InsertLine", [this] { model_.InsertLine(); });
}

void CUserProgramEditCtrl::DeleteCurrentLine() {
    lineOperation(
        "DeleteCurrentLine", [this] { model_.DeleteCurrentLine(); }, model_.currentRow());
}

void CUserProgramEditCtrl::MoveLineUp() {
    lineOperation("MoveLineUp", [this] { model_.MoveLineUp(); });
}

void CUserProgramEditCtrl::MoveLineDown() {
    lineOperation("MoveLineDown", [this] { model_.MoveLineDown(); });
}

void CUserProgramEditCtrl::CopySelection() {
    const auto [first, last] = selectedRange();
    model_.CopySelection(first, last);
}

void CUserProgramEditCtrl::PasteSelection() {
    lineOperation("PasteSelection", [this] { model_.PasteSelection(); });
}

void CUserProgramEditCtrl::DeleteSelectedLines() {
    const auto [first, last] = selectedRange();
    lineOperation("DeleteSelectedLines",
                  [this, first = first, last = last] { model_.DeleteSelectedLines(first, last); });
}

int CUserProgramEditCtrl::FindValue(const std::vector<std::uint8_t>& pattern) {
    endActiveEditor();
    const int row = model_.FindValue(pattern);
    if (row >= 0) {
        paintShades();
        followCurrentRow();
        scrollToRow(row);
        viewport()->repaint();
    }
    return row;
}

void CUserProgramEditCtrl::undo() {
    endActiveEditor();
    history_.stack(currentProgram()).undo();
}

void CUserProgramEditCtrl::redo() {
    endActiveEditor();
    history_.stack(currentProgram()).redo();
}

QUndoStack& CUserProgramEditCtrl::undoStack(int slot) { return history_.stack(slot); }
void CUserProgramEditCtrl::clearUndoHistory() { history_.clearAll(); }

template <typename Operation>
void CUserProgramEditCtrl::lineOperation(const char* name, Operation operation, std::optional<int> anchor) {
    endActiveEditor();
    const int slot = currentProgram();
    SharedProgramState before = committedState();
    const int top = std::max(rowAt(0), 0);
    SetRedraw(false);
    operation();
    paintShades();
    SetRedraw(true);
    followCurrentRow();
    scrollToRow(anchor.value_or(top) + kScrollAhead);
    history_.recordOperation(slot, name, std::move(before), currentState());
}

SharedProgramState CUserProgramEditCtrl::committedState() {
    kelvane::ProgramSlot& slot = model_.currentSlot();
    const auto saved = std::make_unique<kelvane::ProgramSlot>(slot);
    model_.CommitRows(JumpEdit::None);
    auto state = std::make_shared<const ProgramState>(ProgramState::of(slot, model_.currentRow()));
    slot = std::move(*saved);
    return state;
}

SharedProgramState CUserProgramEditCtrl::currentState() const {
    return std::make_shared<const ProgramState>(ProgramState::of(model_.currentSlot(), model_.currentRow()));
}

void CUserProgramEditCtrl::restoreProgram(const ProgramState& state) {
    endActiveEditor();
    state.restoreInto(model_.currentSlot());
    model_.setCurrentRow(state.currentRow);
    SetRedraw(false);
    model_.ShowProgram(currentProgram());
    paintShades();
    SetRedraw(true);
    followCurrentRow();
    scrollToRow(state.currentRow);
}

void CUserProgramEditCtrl::restoreCellText(int row, int column, const QString& text) {
    SetItemText(row, column, text);
    model_.setCurrentRow(row);
    paintShades();
    followCurrentRow();
    scrollToRow(row);
}

void CUserProgramEditCtrl::openCell(int row, int column) {
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    if (row < 0) return;
    const kelvane::CellEditor editor = model_.ClickCell(row, column);
    paintShades();
    if (column <= kelvane::kLineColumn) {
        viewport()->repaint();
        return;
    }
    if (editor.helpCode) emit helpRequested(*editor.helpCode);
    if (editor.kind == kelvane::CellEditor::Kind::None) return;

    const QRect rect = cellEditorRect(row, column);
    if (rect.isEmpty()) return;
    if (editor.kind == kelvane::CellEditor::Kind::EditBox) {
        auto* box = new CEditItem(this, row, column, GetItemText(row, column), rect);
        if (column == kelvane::kRemarkColumn) box->setValidator(new RemarkValidator(box));
        return;
    }
    auto* combo = new CComboItem(this, row, column, ToStringList(editor.choices), rect);
    if (combo->count() > 0) combo->showPopup();
}

void CUserProgramEditCtrl::onEndLabelEdit(int row, int column, std::optional<QString> text, qint64) {
    if (row < 0 || !text) return;
    const QString before = GetItemText(row, column);
    if (before == *text) return;
    history_.recordCellEdit(currentProgram(), row, column, before, *text);
}

void CUserProgramEditCtrl::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo) || (ctrl && key == Qt::Key_Y)) {
        redo();
    } else if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->matches(QKeySequence::Paste)) {
        PasteSelection();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) {
        const QModelIndex cell = currentIndex();
        openCell(cell.isValid() ? cell.row() : model_.currentRow(), cell.isValid() ? cell.column() : 0);
    } else if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        CReportCtrl::keyPressEvent(event);
        // As a click on the line number of the row moved to.
        if (currentIndex().isValid()) model_.ClickCell(currentIndex().row(), kelvane::kLineColumn);
        paintShades();
        viewport()->repaint();
        return;
    } else {
        CReportCtrl::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CUserProgramEditCtrl::paintShades() {
    SetRedraw(false);
    for (int row = 0; row < GetItemCount(); ++row) SetItemBkColor(row, -1, ShadeColor(model_.rowShade(row)), false);
    SetItemTextColor(-1, kelvane::kParam3Column, kParam3TextColor, false);
    SetRedraw(true);
}

void CUserProgramEditCtrl::followCurrentRow() {
    const int column = std::max(currentIndex().column(), 0);
    const QModelIndex cell = model()->index(model_.currentRow(), column);
    if (cell.isValid()) selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
}

void CUserProgramEditCtrl::scrollToRow(int row) {
    row = std::clamp(row, 0, std::max(GetItemCount() - 1, 0));
    const QModelIndex cell = model()->index(row, 0);
    if (cell.isValid()) scrollTo(cell, QAbstractItemView::EnsureVisible);
}

int CUserProgramEditCtrl::rowCount() const { return GetItemCount(); }

std::string CUserProgramEditCtrl::text(int row, int column) const { return GetItemText(row, column).toStdString(); }

void CUserProgramEditCtrl::setText(int row, int column, const std::string& text) {
    SetItemText(row, column, QString::fromStdString(text));
}

void CUserProgramEditCtrl::insertRow(int row) { InsertItem(row, QString()); }
void CUserProgramEditCtrl::removeRow(int row) { DeleteItem(row, false); }
void CUserProgramEditCtrl::moveRow(int from, int to) { MoveTo(from, to); }
