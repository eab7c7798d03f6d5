// The view panel: one view at a time, the polling of the manual operation and teach views only
// while they are shown, and the exit confirmation.
#include "MainWindowFixture.h"

#include "editor/CUserProgramDlg.h"
#include "views/CManualOptDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"
#include "views/CVideoTeachOptDlg.h"

#include <QTest>

#include <algorithm>

namespace {

constexpr std::uint32_t kAxisX = 1;

class MainWindowViewPanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        addCom3();
        startWindow();
        com3->clearTraffic();
    }

    // Each refresh of the manual operation and teach views asks for the X position once.
    int xPositionQueries() {
        const auto commands = CommandsReceived(*com3);
        return static_cast<int>(std::count(commands.begin(), commands.end(), Command{cmd::Position, kAxisX}));
    }

    std::vector<QWidget*> visibleViews() {
        std::vector<QWidget*> shown;
        for (QWidget* view : {static_cast<QWidget*>(window->findChild<CVideoTeachOptDlg*>()),
                              static_cast<QWidget*>(window->findChild<CUserProgramDlg*>()),
                              static_cast<QWidget*>(window->findChild<CMotorParSettingDlg*>()),
                              static_cast<QWidget*>(window->findChild<CPeripheralDlg*>()),
                              static_cast<QWidget*>(window->findChild<CManualOptDlg*>())})
            if (view->isVisible()) shown.push_back(view);
        return shown;
    }
};

TEST_F(MainWindowViewPanelTest, EachButtonShowsItsViewAlone) {
    const std::pair<const char*, QWidget*> buttons[] = {
        {"motorViewButton", window->findChild<CMotorParSettingDlg*>()},
        {"peripheralViewButton", window->findChild<CPeripheralDlg*>()},
        {"manualViewButton", window->findChild<CManualOptDlg*>()},
        {"teachViewButton", window->findChild<CVideoTeachOptDlg*>()},
        {"editorViewButton", window->findChild<CUserProgramDlg*>()},
    };
    for (const auto& [name, view] : buttons) {
        button(name).click();
        EXPECT_EQ(visibleViews(), std::vector<QWidget*>{view}) << name;
        if (view == buttons[1].second) {
            EXPECT_TRUE(CommandsReceived(*com3).empty()) << "motor and peripheral views send nothing";
        }
    }
}

TEST_F(MainWindowViewPanelTest, ManualViewPollsOnceASecondOnlyWhileShown) {
    button("manualViewButton").click();
    button("manualViewButton").click();  // already active: no second timer
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_EQ(CommandsReceived(*com3).front(), (Command{cmd::SetWorkMode, 2}));
    EXPECT_EQ(xPositionQueries(), 1);

    const int activated = xPositionQueries();
    QTest::qWait(2500);
    const int ticks = xPositionQueries() - activated;
    EXPECT_GE(ticks, 1);
    EXPECT_LE(ticks, 3) << "one timer, not two";

    button("motorViewButton").click();
    ASSERT_TRUE(waitForControllerJob());  // a tick under way ends
    const int afterLeaving = xPositionQueries();
    QTest::qWait(1500);
    EXPECT_EQ(xPositionQueries(), afterLeaving);
}

TEST_F(MainWindowViewPanelTest, TeachViewStopsPollingWhenAnotherViewIsShown) {
    button("teachViewButton").click();
    QTest::qWait(2000);
    ASSERT_TRUE(waitForControllerJob());
    const int whileShown = xPositionQueries();
    EXPECT_GE(whileShown, 2) << "activation and at least one timer tick";

    button("editorViewButton").click();
    ASSERT_TRUE(waitForControllerJob());  // a tick under way ends
    const int afterLeaving = xPositionQueries();
    QTest::qWait(1500);
    EXPECT_EQ(xPositionQueries(), afterLeaving);
}

TEST_F(MainWindowViewPanelTest, ExitAnsweredCancelKeepsWindowAndConnectionOkClosesWithoutTraffic) {
    prompter.answers.assign({Prompter::Answer::Cancel, Prompter::Answer::Ok});

    EXPECT_FALSE(window->close());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("请确认是否需要退出!"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("提示信息"));
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));

    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(CommandsReceived(*com3).empty());
}

}  // namespace
