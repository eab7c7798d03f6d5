// The program grid: one program line per row, seven columns, over the ten program slots of
// ProgramGridModel. It shows the model's row texts in its cells, opens the drop-down or edit
// box a click asks for, colours the rows and runs the line operations of the editor view's
// buttons. Every change of a program can be undone, per program slot.
#pragma once

#include "editor/CReportCtrl.h"

#include "core/editor/ProgramGridModel.h"
#include "core/editor/RowTexts.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class CUserProgramEditCtrl : public CReportCtrl, private kelvane::RowTexts {
    Q_OBJECT
public:
    explicit CUserProgramEditCtrl(QWidget* parent = nullptr);
    ~CUserProgramEditCtrl() override;

    kelvane::ProgramGridModel& model();
    const kelvane::ProgramGridModel& model() const;

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

    // Forgets the undo history of every program.
    void clearUndoHistory();

signals:
    // The instruction under the clicked cell, whose help text the view shows.
    void helpRequested(std::uint8_t instructionCode);
    // Ctrl+F in the grid.
    void findRequested();
};
