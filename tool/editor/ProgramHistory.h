// The undo history of the ten programs, one QUndoStack per program slot. A line operation is
// kept as the program before and after it (records, line count, remarks, current row); a cell
// edit as the cell's text before and after. A state equal to the one kept last in a slot is
// shared rather than copied, so a history of full programs stays small.
#pragma once

#include "core/editor/ProgramSlot.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class QObject;
class QUndoStack;

struct ProgramState {
    // The slot's records up to its last record that is not all zero; the rest are zero.
    std::vector<kelvane::LineRecord> records;
    int lineCount = 0;
    kelvane::RemarkMap remarks;
    int currentRow = 0;

    static ProgramState of(const kelvane::ProgramSlot& slot, int currentRow);
    void restoreInto(kelvane::ProgramSlot& slot) const;
    bool operator==(const ProgramState& other) const;
};
using SharedProgramState = std::shared_ptr<const ProgramState>;

// What undoing and redoing change: the grid.
class ProgramHistoryTarget {
public:
    virtual void restoreProgram(const ProgramState& state) = 0;
    virtual void restoreCellText(int row, int column, const QString& text) = 0;

protected:
    ~ProgramHistoryTarget() = default;
};

class ProgramHistory {
public:
    static constexpr int kUndoSteps = 100;

    ProgramHistory(ProgramHistoryTarget& target, QObject* owner);

    QUndoStack& stack(int slot);
    // A line operation of slot `slot`, unless it left the program as it was.
    void recordOperation(int slot, const char* name, SharedProgramState before, SharedProgramState after);
    // A cell edit; recording it writes the new text.
    void recordCellEdit(int slot, int row, int column, const QString& before, const QString& after);
    void clear(int slot);
    void clearAll();

private:
    class OperationCommand;
    class CellEditCommand;

    void restore(int slot, const SharedProgramState& state);

    ProgramHistoryTarget& target_;
    std::array<QUndoStack*, kelvane::kProgramSlotCount> stacks_{};
    // Per slot, the state recorded or restored last.
    std::array<SharedProgramState, kelvane::kProgramSlotCount> last_{};
};
