// The window never waits on the line: with a controller that does not answer, the manual
// operation view polls on the link worker while the event loop keeps running, and its ticks do
// not pile up behind one another.
#include "MainWindowFixture.h"

#include "support/StallProbe.h"
#include "views/CManualOptDlg.h"

#include <QTest>

#include <algorithm>

namespace {

class MainWindowResponsivenessTest : public MainWindowTest {
protected:
    void SetUp() override {
        addCom3();
        startWindow();
        com3->setSilent(true);
    }
    int xPositionQueries() {
        const auto commands = CommandWords(*com3);
        return static_cast<int>(std::count(commands.begin(), commands.end(), CommandWord(cmd::Position, 1)));
    }
};

TEST_F(MainWindowResponsivenessTest, ASilentControllerNeverHoldsTheEventLoop) {
    StallProbe probe;
    probe.start();
    button("manualViewButton").click();
    QTest::qWait(5000);
    probe.stop();

    EXPECT_GT(probe.samples(), 50u);
    EXPECT_LT(probe.longestMs(), 100.0) << "an exchange ran on the user-interface thread";
    EXPECT_EQ(statusText(), QStringLiteral("控制器无应答"));
}

// Activation and a tick of 13 exchanges take seconds against a silent controller; the ticks
// that find one running are skipped, so leaving the view ends the polling within one tick.
TEST_F(MainWindowResponsivenessTest, TicksThatFindTheLastOneRunningAreSkipped) {
    button("manualViewButton").click();
    QTest::qWait(6000);
    EXPECT_LE(xPositionQueries(), 3) << "activation and at most two ticks in 6 s";

    button("editorViewButton").click();
    EXPECT_FALSE(window->findChild<CManualOptDlg*>()->isActive()) << "the timer stops at once";
    EXPECT_TRUE(waitForControllerJob(6000)) << "no queue of ticks to work off";
}

}  // namespace
