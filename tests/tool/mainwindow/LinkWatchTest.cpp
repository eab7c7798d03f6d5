// The status text as the line goes: a controller that does not answer, a pulled adapter, and
// the reconnect when it comes back.
#include "MainWindowFixture.h"

#include "views/CManualOptDlg.h"

#include <QTest>

#include <algorithm>
#include <chrono>

namespace {

const QString kVersion = QStringLiteral("控制器:3.0版本");
const QString kNoReply = QStringLiteral("控制器无应答");
const QString kLost = QStringLiteral("控制器连接已断开");

class MainWindowLinkTest : public MainWindowTest {
protected:
    void SetUp() override { addCom3(); }

    // QTest's QTRY_ macros would end a test silently outside a QTest run.
    bool statusBecomes(const QString& text, int timeoutMs) {
        return QTest::qWaitFor([&] { return statusText() == text; }, timeoutMs);
    }

    // The manual operation view's ticks, each of which reads the inputs once.
    int inputReads() {
        const auto commands = CommandWords(*com3);
        return static_cast<int>(std::count(commands.begin(), commands.end(), CommandWord(cmd::GetAllPins, 1)));
    }
};

TEST_F(MainWindowLinkTest, ASilentControllerIsNamedAndItsVersionReturnsWithItsAnswers) {
    com3->setSilent(true);
    startWindow();
    EXPECT_EQ(statusText(), kNoReply) << "no version of 0.0";
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));

    com3->setSilent(false);
    button("manualViewButton").click();
    ASSERT_TRUE(statusBecomes(QStringLiteral("控制器:未知版本"), 5000)) << statusText().toStdString();

    com3->setSilent(true);
    ASSERT_TRUE(statusBecomes(kNoReply, 10000)) << statusText().toStdString();
}

TEST_F(MainWindowLinkTest, APulledAdapterIsNamedAndReconnectsByItself) {
    startWindow();
    ASSERT_EQ(statusText(), kVersion);
    button("manualViewButton").click();
    auto* manual = window->findChild<CManualOptDlg*>();

    com3->unplugFor(std::chrono::milliseconds(4000));
    ASSERT_TRUE(statusBecomes(kLost, 4000)) << statusText().toStdString();  // the next tick meets the lost port
    EXPECT_FALSE(manual->isActive()) << "polling pauses while the line is gone";
    // The window keeps working meanwhile.
    QPushButton* runMode = manual->findChild<QPushButton*>(QStringLiteral("runModeX"));
    runMode->click();
    EXPECT_EQ(runMode->text(), QStringLiteral("相对运行"));
    button("factoryButton").click();
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_FALSE(manual->isActive()) << "a job that ends on the lost line resumes no polling";

    ASSERT_TRUE(com3->waitUntilPluggedIn(std::chrono::milliseconds(10000)));
    com3->clearTraffic();
    ASSERT_TRUE(statusBecomes(kVersion, 5000)) << statusText().toStdString();
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    const std::vector<std::string> reconnect{"c6:2", "c2:0", "c6:2", "c23:1"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return CommandWords(*com3).size() >= reconnect.size(); }, 3000));
    const auto received = CommandWords(*com3);
    EXPECT_EQ(std::vector<std::string>(received.begin(), received.begin() + 4), reconnect)
        << "the connect sequence, then the manual view's activation";
    EXPECT_TRUE(manual->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return inputReads() >= 3; }, 5000));  // activation and two ticks
}

// The manual view's poll finds the line gone; the editor is shown while it is.
TEST_F(MainWindowLinkTest, AReconnectWithTheProgramEditorShownSetsWorkMode1Again) {
    startWindow();
    button("manualViewButton").click();
    com3->unplugFor(std::chrono::milliseconds(3000));
    ASSERT_TRUE(statusBecomes(kLost, 4000));
    button("editorViewButton").click();
    ASSERT_TRUE(com3->waitUntilPluggedIn(std::chrono::milliseconds(10000)));
    com3->clearTraffic();
    const std::vector<std::string> reconnect{"c6:2", "c2:0", "c6:1"};
    QTest::qWaitFor([this, &reconnect] { return CommandWords(*com3).size() >= reconnect.size(); }, 5000);
    EXPECT_EQ(CommandWords(*com3), reconnect);
    EXPECT_EQ(statusText(), kVersion);
}

TEST_F(MainWindowLinkTest, DisconnectingWhileLostEndsTheReconnectAttempts) {
    startWindow();
    button("manualViewButton").click();
    com3->unplug();
    ASSERT_TRUE(statusBecomes(kLost, 4000)) << statusText().toStdString();

    button("connectButton").click();
    EXPECT_EQ(statusText(), QStringLiteral("控制器未连接"));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    com3->plugIn();
    com3->clearTraffic();
    QTest::qWait(2500);
    EXPECT_TRUE(CommandWords(*com3).empty());
    EXPECT_EQ(statusText(), QStringLiteral("控制器未连接"));
}

}  // namespace
