// The program grid: one program line per row, seven columns, over the ten program slots of
// ProgramGridModel. It shows the model's row texts in its cells, opens the drop-down or edit
// box a click asks for, colours the rows and runs the line operations of the editor view's
// buttons. Every change of a program can be undone, per program slot.
#pragma once

#include "editor/CReportCtrl.h"
#include "editor/ProgramHistory.h"

#include "core/editor/ProgramGridModel.h"
#include "core/editor/RowTexts.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QUndoStack;

class CUserProgramEditCtrl : public CReportCtrl, private kelvane::RowTexts, private ProgramHistoryTarget {
    Q_OBJECT
public:
    explicit CUserProgramEditCtrl(QWidget* parent = nullptr);
    ~CUserProgramEditCtrl() override;

    // The programs shown, with their lines and the current row.
    kelvane::ProgramGridModel& programs();
    const kelvane::ProgramGridModel& programs() const;

    // The executable's folder; the catalogue is read from its KelvaneRavoTools folder.
    void setBaseFolder(const QString& exeDirectory);
    // The seven columns with their headings and widths; reads the catalogue.
    void InitGrid();
    // Shows slot `slot`; keepRows 0 rebuilds the 1000 rows, any other value rewrites texts.
    void ShowProgram(int slot, int keepRows);
    void RefreshHighlight();
    int CommitRows(kelvane::JumpEdit kind);
    void CopyProgram(int target);
    void ClearProgram(int slot);
    // A program read from a file into `slot`, which is shown; that slot's undo history ends.
    void LoadProgram(int slot, const kelvane::ProgramImage& program);
    void ExportCurrentProgram(kelvane::ProgramImage& program);
    int currentProgram() const;

    // Line operations of the editor view's buttons, on the current program.
    void InsertLine();
    void DeleteCurrentLine();
    void MoveLineUp();
    void MoveLineDown();
    void CopySelection();
    void PasteSelection();
    void DeleteSelectedLines();
    // Searches the lines after the current row for a pattern of 1 or 2 bytes; row or -1.
    int FindValue(const std::vector<std::uint8_t>& pattern);

    // Undo and redo of the current program's cell edits and line operations (Ctrl+Z, Ctrl+Y).
    void undo();
    void redo();
    QUndoStack& undoStack(int slot);
    // Forgets the undo history of every program.
    void clearUndoHistory();

signals:
    // The instruction under the clicked cell, whose help text the view shows.
    void helpRequested(std::uint8_t instructionCode);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // No jump to a row by typing its first letters: the current row moves only as a click does.
    void keyboardSearch(const QString&) override {}

private:
    // RowTexts over the cells.
    int rowCount() const override;
    std::string text(int row, int column) const override;
    void setText(int row, int column, const std::string& text) override;
    void insertRow(int row) override;
    void removeRow(int row) override;
    void moveRow(int from, int to) override;

    // ProgramHistoryTarget
    void restoreProgram(const ProgramState& state) override;
    void restoreCellText(int row, int column, const QString& text) override;

    // A click on a cell, or Enter or F2 on the current cell: the editor the cell asks for.
    void openCell(int row, int column);
    void onEndLabelEdit(int row, int column, std::optional<QString> text, qint64 itemData);
    // Runs a line operation with its scrolling and records it for undo. The row 17 below
    // `anchor` (the top visible row unless given) is scrolled into view.
    template <typename Operation>
    void lineOperation(const char* name, Operation operation, std::optional<int> anchor = std::nullopt);
    // The current program as the grid's texts would commit it; the slot itself is unchanged.
    SharedProgramState committedState();
    SharedProgramState currentState() const;
    // Row backgrounds from the model's shades; column 5's text blue.
    void paintShades();
    // The view's current cell follows the model's current row.
    void followCurrentRow();
    void scrollToRow(int row);

    kelvane::ProgramGridModel model_;
    ProgramHistory history_;
};
