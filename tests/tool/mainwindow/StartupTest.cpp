// Start-up: which ports are listed, which one is connected, what the controller receives and
// what the window shows.
#include "MainWindowFixture.h"

#include "editor/CUserProgramDlg.h"

#include <cstdlib>

namespace {

using StartupTest = MainWindowTest;

// Without a list file the remembered position is 1: the second listed port.
TEST_F(StartupTest, ConnectsToRememberedPositionAndEndsInProgramEditorView) {
    addCom3();
    com3->setVersion(0x0203);

    startWindow();

    EXPECT_EQ(comPortEntries(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(comPortList().currentIndex(), 1);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器:2.3版本"));
    // Work mode 2 from connecting, the version query, work mode 1 from the program editor view.
    EXPECT_EQ(CommandsReceived(*com3),
              (std::vector<Command>{{kSetWorkMode, 2}, {kVersionQuery, 0}, {kSetWorkMode, 1}}));
    EXPECT_TRUE(CommandsReceived(*com1).empty()) << "probing a port sends nothing";
    EXPECT_TRUE(prompter.shown.empty());

    auto* editor = window->findChild<CUserProgramDlg*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(StartupTest, ControllerThatDoesNotAnswerShowsVersionZero) {
    addCom3();
    com3->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Command, kVersionQuery});

    startWindow();

    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器:0.0版本"));
}

TEST_F(StartupTest, RememberedPositionBeyondTheListConnectsNothing) {
    startWindow();  // only COM1: position 1 is not there

    EXPECT_EQ(comPortEntries(), QStringList({"COM1"}));
    EXPECT_EQ(comPortList().currentIndex(), -1);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_EQ(statusText(), QString());
    EXPECT_TRUE(CommandsReceived(*com1).empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StartupTest, NoOpenablePortLeavesAnEmptyListAndNoMessage) {
    setenv("RAVO_COM_DIR", qPrintable(exeDirectory.path()), 1);  // a folder without COM links

    startWindow();

    EXPECT_EQ(comPortList().count(), 0);
    EXPECT_EQ(statusText(), QString());
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(StartupTest, WindowHasTheCaptionAndAFixedSize) {
    startWindow();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Lumo_K5T3_6轴配置软件(V3.0)"));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->dataFolder(), exeDirectory.path() + "/KelvaneRavoTools/");
}

}  // namespace
