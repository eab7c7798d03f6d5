// A program grid over the data folder's catalogue, shown in an active window, holding a test
// program: line 0 jumps to line 5, lines 1..9 wait 101..109 ms with the remarks "note 1"..
#pragma once

#include "GridTestSupport.h"

#include <QTest>

#include <optional>
#include <string>
#include <vector>

class ProgramGridFixture : public ::testing::Test {
public:
    ProgramGridFixture() : grid(*shown.grid) {
        grid.setBaseFolder(RAVO_DEMO_DATA_FOLDER);
        grid.InitGrid();
        grid.ShowProgram(0, 0);
        QObject::connect(&grid, &CUserProgramEditCtrl::helpRequested, [this](std::uint8_t code) { help = code; });
        ShowActive(shown.window);
    }

    // Into the current slot, emptied first.
    void writeTestProgram() {
        grid.ClearProgram(grid.currentProgram());
        grid.ShowProgram(grid.currentProgram(), 0);
        std::vector<ProgramRow> rows = {{"流程控制", "跳转", "5", "0", "0", ""}};
        for (int i = 1; i <= 9; ++i)
            rows.push_back({"流程控制", "延时", std::to_string(100 + i), "0", "0", "note " + std::to_string(i)});
        WriteProgram(grid, rows);
    }
    // The shown lines: the jump with its target, then waits by their last digit (0: blank).
    static std::vector<std::string> program(int jumpTarget, const std::vector<int>& waits) {
        std::vector<std::string> lines = {"跳转 " + std::to_string(jumpTarget)};
        for (int wait : waits) lines.push_back(wait == 0 ? "blank" : "延时 " + std::to_string(100 + wait));
        return lines;
    }
    void selectLines(int first, int last) {
        ClickCell(grid, first, 0);
        ClickCell(grid, last, 0, Qt::ShiftModifier);
    }
    int currentRow() const { return grid.programs().currentRow(); }

    GridWindow<CUserProgramEditCtrl> shown;
    CUserProgramEditCtrl& grid;
    std::optional<int> help;
};
