// Helpers of the grid tests: a shown and active window, real clicks on cells, pixels of the
// painted viewport, and program grids filled with rows of texts.
#pragma once

#include "editor/CReportCtrl.h"
#include "editor/CUserProgramEditCtrl.h"

#include <QColor>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

// Shows the window and waits until it is exposed and active, so focus changes really happen.
void ShowActive(QWidget& window);

// The cell's rectangle in the viewport.
QRect CellRect(const CReportCtrl& grid, int row, int column);
QString HeaderText(const CReportCtrl& grid, int column);

// A real left click (Shift or Ctrl for extended selections) in the middle of a cell.
void ClickCell(CReportCtrl& grid, int row, int column, Qt::KeyboardModifiers modifiers = {});

// The background as painted near the right edge of a cell, away from its text.
QColor PaintedBackground(CReportCtrl& grid, int row, int column);
// Whether any pixel of the cell is painted in nearly pure blue (the text of column 5).
bool HasBlueText(CReportCtrl& grid, int row, int column);

// One end-of-edit report of a grid.
struct EditReport {
    int row;
    int column;
    std::optional<QString> text;
    qint64 itemData;
};

// A grid in a window beside a second focusable box, with its reports collected.
template <typename Grid>
struct GridWindow {
    GridWindow();
    // Declared first so it outlives the window: an editor open when the window goes reports.
    std::vector<EditReport> reports;
    QWidget window;
    Grid* grid;
    QLineEdit* other;
};

// Editors are deleted later; this lets the event loop delete them.
void FlushDeletes();

// The program rows as texts, group to remark.
using ProgramRow = std::array<std::string, 6>;

// Writes the rows from line 0 into the grid, commits them and shows them again.
void WriteProgram(CUserProgramEditCtrl& grid, const std::vector<ProgramRow>& rows);
// Column `column` of the rows of the current program, as shown.
std::vector<std::string> ShownColumn(const CUserProgramEditCtrl& grid, int column);
// "<instruction> <parameter 1>" of every line of the current program, as shown; "blank" for a
// line without instruction.
std::vector<std::string> ShownLines(const CUserProgramEditCtrl& grid);
