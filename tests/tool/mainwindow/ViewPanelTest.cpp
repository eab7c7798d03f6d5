// The view panel: one view at a time, the polling views active only while shown, and the exit
// confirmation.
#include "MainWindowFixture.h"

#include "editor/CUserProgramDlg.h"
#include "views/CManualOptDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"
#include "views/CVideoTeachOptDlg.h"

namespace {

class MainWindowViewPanelTest : public MainWindowTest {
protected:
    void SetUp() override {
        addCom3();
        startWindow();
        com3->clearTraffic();
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

// How the manual operation and teach views poll is theirs; the panel activates the one it shows
// and stops the one it leaves.
TEST_F(MainWindowViewPanelTest, EachButtonShowsItsViewAloneAndOnlyTheShownViewPolls) {
    auto* manual = window->findChild<CManualOptDlg*>();
    auto* teach = window->findChild<CVideoTeachOptDlg*>();
    const struct {
        const char* button;
        QWidget* view;
        bool manualPolls, teachPolls;
    } cases[] = {
        {"motorViewButton", window->findChild<CMotorParSettingDlg*>(), false, false},
        {"peripheralViewButton", window->findChild<CPeripheralDlg*>(), false, false},
        {"manualViewButton", manual, true, false},
        {"teachViewButton", teach, false, true},
        {"manualViewButton", manual, true, false},
        {"editorViewButton", window->findChild<CUserProgramDlg*>(), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        button(c.button).click();
        EXPECT_EQ(visibleViews(), std::vector<QWidget*>{c.view});
        EXPECT_EQ(manual->isActive(), c.manualPolls);
        EXPECT_EQ(teach->isPolling(), c.teachPolls);
        if (c.view == cases[1].view)
            EXPECT_TRUE(CommandWords(*com3).empty()) << "motor and peripheral views send nothing";
    }
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
    EXPECT_TRUE(CommandWords(*com3).empty());
}

}  // namespace
