// The program editor view with the demo catalogue, shown offscreen, its port open on a
// simulated controller and its message boxes answered by a RecordingPrompter.
#pragma once

#include "support/ProgramImages.h"
#include "views/ViewTestSupport.h"

#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"

#include <QTabBar>

#include <cstdint>
#include <string>
#include <vector>

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
