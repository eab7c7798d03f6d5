// The program editor view with the demo catalogue, shown offscreen, its port open on a
// simulated controller and its message boxes answered by a RecordingPrompter.
#pragma once

#include "views/ViewTestSupport.h"

#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"

#include <QTabBar>

#include <cstdint>
#include <string>
#include <vector>

// A line record: instruction `code` and three parameters.
kelvane::LineRecord Line(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0, std::uint32_t p3 = 0);
// A program of these lines and remarks (line index -> remark).
kelvane::ProgramImage Program(const std::vector<kelvane::LineRecord>& lines, const kelvane::RemarkMap& remarks = {});

class EditorViewTest : public ViewTest {
protected:
    EditorViewTest();

    // Loads the programs into slots 0.. and sets the tabs, as the application program reader does.
    void load(const std::vector<kelvane::ProgramImage>& programs);

    CUserProgramEditCtrl& grid() { return view.grid(); }
    QTabBar& tabs() { return *child<QTabBar>(&view, QStringLiteral("programTabs")); }
    QStringList tabTitles();
    void clickTab(int index);
    // Clicks the centre of a grid cell.
    void clickCell(int row, int column);
    void clickButton(const char* objectName);

    // The records of slot `slot` that are in use, and its remarks.
    std::vector<kelvane::LineRecord> records(int slot);

    CUserProgramDlg view;
};

namespace kelvane {
bool operator==(const LineRecord& a, const LineRecord& b);
void PrintTo(const LineRecord& record, std::ostream* out);
}  // namespace kelvane
