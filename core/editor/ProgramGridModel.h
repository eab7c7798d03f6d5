// What the program grid does without a widget: the catalogue, the ten program slots, the
// current program and row, the conversions between rows and records, and the line operations
// with their jump upkeep. The grid widget shows the row texts (RowTexts), reports clicks and
// selections, and colours rows by rowShade().
#pragma once

#include "InstructionCatalogue.h"
#include "JumpUpkeep.h"
#include "LineCodec.h"
#include "ProgramSlot.h"
#include "RowTexts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvane {

// Background of a row: the current row, a program line holding a jump instruction, or the
// alternating shades of odd and even rows.
enum class RowShade { Current, Jump, Odd, Even };

// The editor a click on a cell opens over it.
struct CellEditor {
    enum class Kind { None, DropDown, EditBox };
    Kind kind = Kind::None;
    std::vector<std::string> choices;  // drop-down entries in list order
    // The instruction code whose help text the view shows; none for a click on a line number.
    std::optional<std::uint8_t> helpCode;
};

class ProgramGridModel {
public:
    explicit ProgramGridModel(RowTexts& rows) : rows_(rows) {}

    // The executable's folder, prefix of the catalogue paths.
    void setBaseFolder(std::string exeDirectory) { baseFolder_ = std::move(exeDirectory); }
    const std::string& baseFolder() const { return baseFolder_; }
    InstructionCatalogue& catalogue() { return catalogue_; }
    const InstructionCatalogue& catalogue() const { return catalogue_; }
    int LoadCatalogue() { return catalogue_.LoadCatalogue(baseFolder_); }

    // Removes every row; current row 0; the current slot's line count -1 (nothing committed
    // yet); loads the catalogue.
    void InitGrid();

    int currentProgram() const { return currentProgram_; }
    int currentRow() const { return currentRow_; }
    // A click on a row (0..999) makes it the current row; other rows are ignored.
    void setCurrentRow(int row);
    // Slot 0..9; any other index gives slot 0.
    ProgramSlot& slot(int index) { return slots_[slotIndex(index)]; }
    const ProgramSlot& slot(int index) const { return slots_[slotIndex(index)]; }
    ProgramSlot& currentSlot() { return slots_[currentProgram_]; }
    const ProgramSlot& currentSlot() const { return slots_[currentProgram_]; }
    std::pair<int, int> copiedRange() const { return copied_; }

    // Row `row` (0..999) into the current program's record and remark; 1 if it is a program
    // line, 0 if it ends the program. A row shown from a line keeps the values of that line
    // that the user did not edit (CommitEditedCells).
    int CommitRow(int row);
    // The record and remark of line `row` into the row's texts; the row carries them from now on.
    void RenderRow(int row);
    // Jump upkeep of line `line` for an edit at the current row; 1 if it holds a jump.
    int AdjustJumpTarget(int line, JumpEdit kind, int n);
    // Commits rows from 0 up to the first that ends the program, adjusting jumps by `kind`
    // with n = 1; the remarks are rebuilt and the line count becomes the rows committed.
    // Returns the first line above 0 holding a jump, else 0.
    int CommitRows(JumpEdit kind);
    // Makes `slot` current (any index but 0..9 gives 0) and rewrites all 1000 rows from it.
    void ShowProgram(int slot);
    // Raises the line count to cover the current row (a click on its number); the widget then
    // repaints the row shades.
    void RefreshHighlight();
    RowShade rowShade(int row) const;
    // A click on a cell: makes the row current; a line number raises the line count
    // (RefreshHighlight); any other cell commits the row and names the editor to open: group
    // names, the instructions of the row's group, an enumeration's texts, or an edit box. A
    // parameter that is in use but not editable is set to "0" instead.
    CellEditor ClickCell(int row, int column);

    // The current program's records, line count and remarks into slot `target`.
    void CopyProgram(int target);
    // Slot `slot` emptied: records zero, no remarks, line count 0.
    void ClearProgram(int slot);
    // A program read from a file into slot `slot` (0..9, others ignored; at most 1000 lines),
    // which is then shown.
    void LoadProgram(int slot, const ProgramImage& program);
    // Commits the grid, re-reads the catalogue, shows the program again and hands it out.
    void ExportCurrentProgram(ProgramImage& program);

    // Line operations on the current program, each followed by ShowProgram.
    void InsertLine();
    void DeleteCurrentLine();
    void MoveLineUp();
    void MoveLineDown();
    // Remembers the selected rows (-1 when none) for a later paste.
    void CopySelection(int first, int last);
    // Inserts copies of the remembered lines of the current program before the current row.
    void PasteSelection();
    // Deletes the selected lines (-1 when none); the selection becomes the remembered range.
    void DeleteSelectedLines(int first, int last);
    // Searches the records after the current row for a pattern of 1 or 2 bytes; a hit becomes
    // the current row. Returns the row or -1.
    int FindValue(const std::vector<std::uint8_t>& pattern);

private:
    // The line a row was last shown from: its record and its remark entry. It moves with its
    // row, so that a commit keeps what the user did not edit.
    struct ShownLine {
        LineRecord record;
        std::optional<std::string> remark;
    };

    static int slotIndex(int index) { return index >= 0 && index < kProgramSlotCount ? index : 0; }
    CellEditor::Kind chooseEditor(int row, int column, std::vector<std::string>& choices);
    RowCells rowCells(int row) const;
    // The number of leading rows that hold program lines, as the texts stand.
    int programRowsInGrid() const;
    // Row changes of the grid, with the lines the rows carry.
    void insertRow(int row);
    void removeRow(int row);
    void moveRow(int from, int to);

    RowTexts& rows_;
    std::vector<std::optional<ShownLine>> shown_;  // one per row of rows_
    std::string baseFolder_;
    InstructionCatalogue catalogue_;
    std::array<ProgramSlot, kProgramSlotCount> slots_{};
    int currentProgram_ = 0;
    int currentRow_ = 0;
    std::pair<int, int> copied_{-1, -1};
};

}  // namespace kelvane
