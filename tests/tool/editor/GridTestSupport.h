// Helpers of the grid tests: a shown and active window, real clicks on cells, pixels of the
// painted viewport and the reports of the in-place editors.
#pragma once

#include "editor/CReportCtrl.h"

#include <QColor>
#include <QLineEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

// Shows the window and waits until it is exposed and active, so focus changes really happen.
void ShowActive(QWidget& window);

// A real left click (Shift for an extended selection) in the middle of a cell.
void ClickCell(CReportCtrl& grid, int row, int column, Qt::KeyboardModifiers modifiers = {});

// The background as painted near the right edge of a cell, away from its text.
QColor PaintedBackground(CReportCtrl& grid, int row, int column);
// Whether any pixel of the cell is painted in nearly pure blue.
bool HasBlueText(CReportCtrl& grid, int row, int column);

// One end-of-edit report of a grid.
struct EditReport {
    int row;
    int column;
    std::optional<QString> text;
    qint64 itemData;
    bool operator==(const EditReport& o) const {
        return row == o.row && column == o.column && text == o.text && itemData == o.itemData;
    }
};
void PrintTo(const EditReport& report, std::ostream* out);

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
