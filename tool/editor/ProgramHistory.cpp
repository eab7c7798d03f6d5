#include "editor/ProgramHistory.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>

namespace {

bool isZero(const kelvane::LineRecord& record) {
    return std::all_of(record.bytes.begin(), record.bytes.end(), [](std::uint8_t byte) { return byte == 0; });
}

bool isSlot(int slot) { return slot >= 0 && slot < kelvane::kProgramSlotCount; }

}  // namespace

ProgramState ProgramState::of(const kelvane::ProgramSlot& slot, int currentRow) {
    ProgramState state;
    auto end = slot.records.end();
    while (end != slot.records.begin() && isZero(*(end - 1))) --end;
    state.records.assign(slot.records.begin(), end);
    state.lineCount = slot.lineCount;
    state.remarks = slot.remarks;
    state.currentRow = currentRow;
    return state;
}

void ProgramState::restoreInto(kelvane::ProgramSlot& slot) const {
    const auto end = std::copy(records.begin(), records.end(), slot.records.begin());
    std::fill(end, slot.records.end(), kelvane::LineRecord{});
    slot.lineCount = lineCount;
    slot.remarks = remarks;
}

bool ProgramState::operator==(const ProgramState& other) const {
    return lineCount == other.lineCount && currentRow == other.currentRow && remarks == other.remarks &&
           records.size() == other.records.size() &&
           std::equal(records.begin(), records.end(), other.records.begin(),
                      [](const auto& a, const auto& b) { return a.bytes == b.bytes; });
}

class ProgramHistory::OperationCommand final : public QUndoCommand {
public:
    OperationCommand(ProgramHistory& history, int slot, const char* name, SharedProgramState before,
                     SharedProgramState after)
        : QUndoCommand(QString::fromLatin1(name)),
          history_(history),
          slot_(slot),
          before_(std::move(before)),
          after_(std::move(after)) {}

    // The operation has already run when it is recorded.
    void redo() override {
        if (done_) history_.restore(slot_, after_);
        done_ = true;
    }
    void undo() override { history_.restore(slot_, before_); }

private:
    ProgramHistory& history_;
    int slot_;
    SharedProgramState before_;
    SharedProgramState after_;
    bool done_ = false;
};

class ProgramHistory::CellEditCommand final : public QUndoCommand {
public:
    CellEditCommand(ProgramHistoryTarget& target, int row, int column, QString before, QString after)
        : QUndoCommand(QStringLiteral("CellEdit")),
          target_(target),
          row_(row),
          column_(column),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void redo() override { target_.restoreCellText(row_, column_, after_); }
    void undo() override { target_.restoreCellText(row_, column_, before_); }

private:
    ProgramHistoryTarget& target_;
    int row_;
    int column_;
    QString before_;
    QString after_;
};

ProgramHistory::ProgramHistory(ProgramHistoryTarget& target, QObject* owner) : target_(target) {
    for (QUndoStack*& stack : stacks_) {
        stack = new QUndoStack(owner);
        stack->setUndoLimit(kUndoSteps);
    }
}

QUndoStack& ProgramHistory::stack(int slot) { return *stacks_[isSlot(slot) ? slot : 0]; }

void ProgramHistory::recordOperation(int slot, const char* name, SharedProgramState before, SharedProgramState after) {
    if (!isSlot(slot) || *before == *after) return;
    SharedProgramState& last = last_[slot];
    if (last && *last == *before) before = last;
    last = after;
    stacks_[slot]->push(new OperationCommand(*this, slot, name, std::move(before), std::move(after)));
}

void ProgramHistory::recordCellEdit(int slot, int row, int column, const QString& before, const QString& after) {
    if (!isSlot(slot)) return;
    stacks_[slot]->push(new CellEditCommand(target_, row, column, before, after));
}

void ProgramHistory::restore(int slot, const SharedProgramState& state) {
    last_[slot] = state;
    target_.restoreProgram(*state);
}

void ProgramHistory::clear(int slot) {
    if (!isSlot(slot)) return;
    stacks_[slot]->clear();
    last_[slot].reset();
}

void ProgramHistory::clearAll() {
    for (int slot = 0; slot < kelvane::kProgramSlotCount; ++slot) clear(slot);
}
