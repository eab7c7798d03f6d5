// The COM port list and the connect button: enumeration on drop-down, choosing a port,
// disconnecting and reconnecting, and a port that no longer opens.
#include "MainWindowFixture.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

namespace {

class MainWindowConnectionTest : public MainWindowTest {
protected:
    // Starts connected to COM3 and forgets the start-up traffic.
    void startConnectedToCom3() {
        addCom3();
        startWindow();
        ASSERT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
        com1->clearTraffic();
        com3->clearTraffic();
    }
    // Work mode 1 reaches the controller only over an open port.
    void showProgramEditor() {
        button("editorViewButton").click();
        ASSERT_TRUE(waitForControllerJob());
    }
};

const std::vector<std::string> kConnectTraffic{"c6:2", "c2:0"};

TEST_F(MainWindowConnectionTest, DropDownWhileConnectedRelistsAndKeepsTheConnectionOpen) {
    startConnectedToCom3();

    comPortList().showPopup();
    ASSERT_TRUE(waitForControllerJob());
    comPortList().hidePopup();

    EXPECT_EQ(comPortEntries(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(comPortList().currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    EXPECT_TRUE(CommandWords(*com3).empty()) << "reopening sends nothing";
    showProgramEditor();
    EXPECT_EQ(CommandWords(*com3), (std::vector<std::string>{"c6:1"}));
}

TEST_F(MainWindowConnectionTest, TheListDropsDownOnlyOnceProbedAndAVanishedConnectedPortShowsNotConnected) {
    startConnectedToCom3();
    removeCom3();

    comPortList().showPopup();
    ASSERT_TRUE(QTest::qWaitFor([this] { return comPortList().view()->isVisible(); }, 5000));
    EXPECT_EQ(comPortEntries(), QStringList({"COM1"})) << "no choice from the list before the probe";
    comPortList().hidePopup();
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_EQ(comPortList().currentIndex(), -1);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器未连接"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MainWindowConnectionTest, DropDownWhileNotConnectedLeavesNoPortForTheButtonUntilOneIsChosen) {
    startConnectedToCom3();
    button("connectButton").click();  // disconnect
    ASSERT_TRUE(waitForControllerJob());

    comPortList().showPopup();
    ASSERT_TRUE(waitForControllerJob());
    comPortList().hidePopup();
    EXPECT_EQ(comPortEntries(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(comPortList().currentIndex(), -1);
    EXPECT_EQ(comPortList().currentText(), QString());

    button("connectButton").click();
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_TRUE(CommandWords(*com1).empty());
    EXPECT_TRUE(CommandWords(*com3).empty());
    EXPECT_TRUE(prompter.shown.empty());

    chooseComPort(0);
    EXPECT_EQ(CommandWords(*com1), kConnectTraffic);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
}

TEST_F(MainWindowConnectionTest, AConnectPressedWhileTheStartUpProbesKeepsTheRememberedPort) {
    addCom3();
    writeLibraryList(1, {"a1"}, 0);
    window = std::make_unique<CKelvaneRavoToolsDlg>(exeDirectory.path());
    button("connectButton").click();  // the start-up's probe is still on the worker
    ASSERT_TRUE(waitForControllerJob());

    EXPECT_EQ(comPortList().currentText(), QStringLiteral("COM3"));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    emit window->findChild<QComboBox*>(QStringLiteral("programList"))->activated(0);  // writes the list file
    EXPECT_EQ(kelvane::LoadLibraryListFile(dataFolder() + kelvane::kLibraryListFile)->portIndex, 1);
}

TEST_F(MainWindowConnectionTest, ChoosingAnotherPortSwitchesTheConnection) {
    startConnectedToCom3();
    com1->setVersion(0x0105);

    chooseComPort(0);

    EXPECT_EQ(CommandWords(*com1), kConnectTraffic);
    EXPECT_EQ(statusText(), QStringLiteral("控制器:1.5版本"));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    showProgramEditor();
    EXPECT_EQ(CommandWords(*com1).back(), std::string("c6:1"));
    EXPECT_TRUE(CommandWords(*com3).empty());
}

TEST_F(MainWindowConnectionTest, ButtonDisconnectsAndConnectsAgain) {
    startConnectedToCom3();

    button("connectButton").click();
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器未连接"));
    showProgramEditor();
    EXPECT_TRUE(CommandWords(*com3).empty()) << "the port is closed";

    button("connectButton").click();
    ASSERT_TRUE(waitForControllerJob());
    EXPECT_EQ(CommandWords(*com3), kConnectTraffic);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
}

TEST_F(MainWindowConnectionTest, PortThatNoLongerOpensIsReported) {
    startConnectedToCom3();
    button("connectButton").click();  // disconnect
    ASSERT_TRUE(waitForControllerJob());
    removeCom3();

    button("connectButton").click();
    ASSERT_TRUE(waitForControllerJob());

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("COM3:打开失败"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("错误信息"));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器未连接"));
}

TEST_F(MainWindowConnectionTest, TypedTextSelectsNothing) {
    startConnectedToCom3();
    QLineEdit* edit = comPortList().lineEdit();

    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("COM1"));
    QTest::keyClick(edit, Qt::Key_Return);

    EXPECT_EQ(comPortList().count(), 2);
    EXPECT_EQ(comPortList().currentIndex(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("COM3"));
    EXPECT_TRUE(CommandWords(*com1).empty());
    EXPECT_TRUE(CommandWords(*com3).empty());
}

}  // namespace
