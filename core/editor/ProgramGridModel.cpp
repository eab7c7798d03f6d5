#include "ProgramGridModel.h"

#include "ProgramFind.h"
#include "RecordFields.h"

#include <algorithm>

namespace kelvane {
namespace {

bool isLineIndex(int row) { return row >= 0 && row < kMaxProgramLines; }

int usedLines(const ProgramSlot& slot) { return std::clamp(slot.lineCount, 0, kMaxProgramLines); }

}  // namespace

void ProgramGridModel::InitGrid() {
    while (rows_.rowCount() > 0) removeRow(rows_.rowCount() - 1);
    currentRow_ = 0;
    currentSlot().lineCount = -1;
    LoadCatalogue();
}

void ProgramGridModel::setCurrentRow(int row) {
    if (isLineIndex(row)) currentRow_ = row;
}

RowCells ProgramGridModel::rowCells(int row) const {
    RowCells cells;
    for (int column = 0; column < kProgramColumnCount; ++column) cells[column] = rows_.text(row, column);
    return cells;
}

int ProgramGridModel::programRowsInGrid() const {
    int row = 0;
    while (row < rows_.rowCount() && !EndsProgram(rowCells(row))) ++row;
    return row;
}

void ProgramGridModel::insertRow(int row) {
    rows_.insertRow(row);
    if (row >= 0 && row <= static_cast<int>(shown_.size())) shown_.insert(shown_.begin() + row, std::nullopt);
}

void ProgramGridModel::removeRow(int row) {
    rows_.removeRow(row);
    if (row >= 0 && row < static_cast<int>(shown_.size())) shown_.erase(shown_.begin() + row);
}

void ProgramGridModel::moveRow(int from, int to) {
    rows_.moveRow(from, to);
    const int size = static_cast<int>(shown_.size());
    if (from < 0 || from >= size || to < 0 || to >= size || from == to) return;
    auto moving = std::move(shown_[from]);
    shown_.erase(shown_.begin() + from);
    shown_.insert(shown_.begin() + to, std::move(moving));
}

int ProgramGridModel::CommitRow(int row) {
    if (!isLineIndex(row)) return 0;
    ProgramSlot& slot = currentSlot();
    std::optional<std::string> remark;
    const bool committed =
        row < static_cast<int>(shown_.size()) && shown_[row]
            ? CommitEditedCells(catalogue_, rowCells(row), shown_[row]->record,
                                shown_[row]->remark ? &*shown_[row]->remark : nullptr, slot.records[row], remark)
            : CommitCells(catalogue_, rowCells(row), slot.records[row], remark);
    if (!committed) return 0;
    if (remark) slot.remarks.emplace(row, std::move(*remark));
    return 1;
}

void ProgramGridModel::RenderRow(int row) {
    if (!isLineIndex(row)) return;
    const ProgramSlot& slot = currentSlot();
    const auto remark = slot.remarks.find(row);
    const RowCells cells =
        RenderCells(catalogue_, row, slot.records[row], remark == slot.remarks.end() ? nullptr : &remark->second);
    for (int column = 0; column < kProgramColumnCount; ++column) rows_.setText(row, column, cells[column]);
    if (row < static_cast<int>(shown_.size())) {
        shown_[row] =
            ShownLine{slot.records[row],
                      remark == slot.remarks.end() ? std::nullopt : std::optional<std::string>(remark->second)};
    }
}

int ProgramGridModel::AdjustJumpTarget(int line, JumpEdit kind, int n) {
    if (!isLineIndex(line)) return 0;
    return kelvane::AdjustJumpTarget(catalogue_, currentSlot().records[line], kind, n, currentRow_) ? 1 : 0;
}

int ProgramGridModel::CommitRows(JumpEdit kind) {
    ProgramSlot& slot = currentSlot();
    slot.remarks.clear();
    int firstJump = 0;
    int line = 0;
    while (line < kMaxProgramLines && CommitRow(line) == 1) {
        if (AdjustJumpTarget(line, kind, 1) == 1 && firstJump == 0 && line > 0) firstJump = line;
        ++line;
    }
    slot.lineCount = line;
    return firstJump;
}

void ProgramGridModel::ShowProgram(int slot) {
    currentProgram_ = slotIndex(slot);
    while (rows_.rowCount() < kMaxProgramLines) rows_.insertRow(rows_.rowCount());
    while (rows_.rowCount() > kMaxProgramLines) rows_.removeRow(rows_.rowCount() - 1);
    // The widget may have rebuilt its rows: every row is written again below.
    shown_.assign(kMaxProgramLines, std::nullopt);

    const int lines = usedLines(currentSlot());
    for (int row = 0; row < lines; ++row) RenderRow(row);
    for (int row = lines; row < kMaxProgramLines; ++row) {
        rows_.setText(row, kLineColumn, std::to_string(row));
        for (int column = kGroupColumn; column < kProgramColumnCount; ++column) rows_.setText(row, column, "");
    }
}

void ProgramGridModel::RefreshHighlight() {
    ProgramSlot& slot = currentSlot();
    if (slot.lineCount < currentRow_ + 1) slot.lineCount = currentRow_ + 1;
}

RowShade ProgramGridModel::rowShade(int row) const {
    if (row == currentRow_) return RowShade::Current;
    const ProgramSlot& slot = currentSlot();
    if (row >= 0 && row < usedLines(slot) && catalogue_.GetJumpOffset(slot.records[row].bytes[kCodeByte]) != 0) {
        return RowShade::Jump;
    }
    return row % 2 != 0 ? RowShade::Odd : RowShade::Even;
}

void ProgramGridModel::CopyProgram(int target) {
    if (target < 0 || target >= kProgramSlotCount || target == currentProgram_) return;
    slots_[target] = slots_[currentProgram_];
}

void ProgramGridModel::ClearProgram(int slot) {
    if (slot < 0 || slot >= kProgramSlotCount) return;
    slots_[slot] = ProgramSlot{};
}

void ProgramGridModel::LoadProgram(int slot, const ProgramImage& program) {
    if (slot < 0 || slot >= kProgramSlotCount) return;
    ProgramSlot& target = slots_[slot];
    target.lineCount = std::min<int>(program.lineCount, kMaxProgramLines);
    std::copy_n(program.records.begin(), target.lineCount, target.records.begin());
    target.remarks = program.remarks;
    ShowProgram(slot);
}

void ProgramGridModel::ExportCurrentProgram(ProgramImage& program) {
    // The rows are encoded with the catalogue that wrote their texts; only then is the
    // catalogue re-read and the rows rewritten from it. Encoding them with a changed (or
    // missing) catalogue would turn every instruction it no longer names into a blank line.
    CommitRows(JumpEdit::None);
    LoadCatalogue();
    ShowProgram(currentProgram_);
    const ProgramSlot& slot = currentSlot();
    program.lineCount = static_cast<std::uint16_t>(usedLines(slot));
    std::copy_n(slot.records.begin(), program.lineCount, program.records.begin());
    program.remarks = slot.remarks;
}

void ProgramGridModel::InsertLine() {
    if (!isLineIndex(currentRow_) || currentRow_ > rows_.rowCount()) return;
    // A full program would push its last line out of the grid.
    if (programRowsInGrid() >= kMaxProgramLines) return;
    insertRow(currentRow_);
    rows_.setText(currentRow_, kGroupColumn, " ");  // commits as a line without instruction
    rows_.setText(currentRow_, kRemarkColumn, " ");
    CommitRows(JumpEdit::LinesInserted);
    ShowProgram(currentProgram_);
}

void ProgramGridModel::DeleteCurrentLine() {
    if (currentRow_ < 0 || currentRow_ >= rows_.rowCount()) return;
    removeRow(currentRow_);
    CommitRows(JumpEdit::LinesDeleted);
    ShowProgram(currentProgram_);
}

void ProgramGridModel::MoveLineUp() {
    if (currentRow_ <= 0 || currentRow_ >= currentSlot().lineCount) return;
    moveRow(currentRow_, currentRow_ - 1);
    --currentRow_;
    CommitRows(JumpEdit::MovedUp);
    ShowProgram(currentProgram_);
}

void ProgramGridModel::MoveLineDown() {
    if (currentRow_ < 0 || currentRow_ >= currentSlot().lineCount - 1) return;
    moveRow(currentRow_, currentRow_ + 1);
    ++currentRow_;
    CommitRows(JumpEdit::MovedDown);
    ShowProgram(currentProgram_);
}

void ProgramGridModel::CopySelection(int first, int last) {
    if (first < 0 || last < first) {
        copied_ = {-1, -1};
        return;
    }
    const int lineCount = currentSlot().lineCount;
    if (first < lineCount && last >= lineCount) last = lineCount - 1;
    copied_ = {first, last};
}

void ProgramGridModel::PasteSelection() {
    auto [first, last] = copied_;
    int p = currentRow_;
    if (first < 0 || last < first || !isLineIndex(p)) return;
    if (first <= p && p <= last && p < currentSlot().lineCount) return;

    CommitRows(JumpEdit::None);
    ProgramSlot& slot = currentSlot();
    const int lineCount = slot.lineCount;
    // Only lines of the program are copied, and the result must fit into the slot.
    last = std::min(last, lineCount - 1);
    if (first > last) return;
    const int n = last - first + 1;
    if (lineCount + n > kMaxProgramLines) return;
    p = std::min(p, lineCount);  // beyond the program: append at its end

    RemarkMap remarks;
    for (const auto& [line, text] : slot.remarks) remarks.emplace(line < p ? line : line + n, text);
    for (int i = 0; i < n; ++i) {
        const auto copied = slot.remarks.find(first + i);
        if (copied != slot.remarks.end()) remarks.insert_or_assign(p + i, copied->second);
    }
    slot.remarks = std::move(remarks);

    const std::vector<LineRecord> block(slot.records.begin() + first, slot.records.begin() + last + 1);
    std::move_backward(slot.records.begin() + p, slot.records.begin() + lineCount,
                       slot.records.begin() + lineCount + n);
    std::copy(block.begin(), block.end(), slot.records.begin() + p);
    slot.lineCount = lineCount + n;

    currentRow_ = p;
    for (int line = 0; line < slot.lineCount; ++line) AdjustJumpTarget(line, JumpEdit::LinesInserted, n);
    currentRow_ = p + n;
    ShowProgram(currentProgram_);
}

void ProgramGridModel::DeleteSelectedLines(int first, int last) {
    copied_ = {-1, -1};
    if (first < 0 || last < first) return;
    copied_ = {first, last};
    if (first > currentSlot().lineCount - 1) return;

    CommitRows(JumpEdit::None);
    ProgramSlot& slot = currentSlot();
    const int lineCount = slot.lineCount;
    last = std::min(last, lineCount - 1);
    copied_ = {first, last};
    // The commit may end the program before the selection (a raised line count shrinks).
    if (last < first) return;
    const int n = last - first + 1;
    const bool endedAtLastLine = last == lineCount - 1;

    std::move(slot.records.begin() + first + n, slot.records.begin() + lineCount, slot.records.begin() + first);
    RemarkMap remarks;
    for (const auto& [line, text] : slot.remarks) {
        if (line < first)
            remarks.emplace(line, text);
        else if (line >= first + n)
            remarks.emplace(line - n, text);
    }
    slot.remarks = std::move(remarks);

    currentRow_ = first;
    slot.lineCount = lineCount - n;
    for (int line = 0; line < slot.lineCount; ++line) AdjustJumpTarget(line, JumpEdit::LinesDeleted, n);
    if (endedAtLastLine) --currentRow_;
    currentRow_ = std::max(currentRow_, 0);
    ShowProgram(currentProgram_);
}

int ProgramGridModel::FindValue(const std::vector<std::uint8_t>& pattern) {
    const int row = kelvane::FindValue(currentSlot(), currentRow_, pattern);
    if (row >= 0) {
        currentRow_ = row;
        RefreshHighlight();
    }
    return row;
}

CellEditor ProgramGridModel::ClickCell(int row, int column) {
    if (row < 0 || row >= kMaxProgramLines) return {};
    currentRow_ = row;
    if (column <= kLineColumn) {
        RefreshHighlight();
        return {};
    }
    if (column >= kProgramColumnCount) return {};

    CommitRow(row);
    CellEditor editor;
    editor.helpCode = currentSlot().records[row].bytes[kCodeByte];
    editor.kind = chooseEditor(row, column, editor.choices);
    return editor;
}

CellEditor::Kind ProgramGridModel::chooseEditor(int row, int column, std::vector<std::string>& choices) {
    if (column == kGroupColumn) {
        for (const auto& [code, name] : catalogue_.groups) choices.push_back(name);
        return CellEditor::Kind::DropDown;
    }

    const std::string group = rows_.text(row, kGroupColumn);
    const InstructionDef* def =
        catalogue_.instruction(catalogue_.FindInstructionCode(rows_.text(row, kInstructionColumn)));
    if (column == kRemarkColumn) {
        const bool editable = row < currentSlot().lineCount || (!group.empty() && def != nullptr);
        return editable ? CellEditor::Kind::EditBox : CellEditor::Kind::None;
    }
    if (group.empty()) return CellEditor::Kind::None;

    if (column == kInstructionColumn) {
        const auto members = catalogue_.groupMembers.find(catalogue_.FindGroupCode(group));
        if (members != catalogue_.groupMembers.end()) {
            for (std::uint8_t code : members->second) {
                if (const InstructionDef* member = catalogue_.instruction(code)) choices.push_back(member->name);
            }
        }
        return CellEditor::Kind::DropDown;
    }

    if (def == nullptr) return CellEditor::Kind::None;
    const ParamDef& param = def->params[column - kParam1Column];
    if (param.used != 1) {
        rows_.setText(row, column, "0");
        return CellEditor::Kind::None;
    }
    if (param.kind != kEnumerationParam) return CellEditor::Kind::EditBox;
    const auto type = catalogue_.paramTypes.find(param.enumType);
    if (type != catalogue_.paramTypes.end()) {
        for (const auto& [value, text] : type->second) choices.push_back(text);
    }
    return CellEditor::Kind::DropDown;
}

}  // namespace kelvane
