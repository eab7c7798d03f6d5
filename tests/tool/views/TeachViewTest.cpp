// The teach view: activation order and polling, jog toggles, edit boxes that send when left,
// the recording buttons and the teach I/O dialog.
#include "ViewTestSupport.h"

#include "views/CVideoTeachOptDlg.h"
#include "views/CVideoTechIOSettingDlg.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

void Leave(QLineEdit* box, Qt::FocusReason reason = Qt::TabFocusReason) {
    QFocusEvent event(QEvent::FocusOut, reason);
    QCoreApplication::sendEvent(box, &event);
}

using TeachViewTest = ViewFixture<CVideoTeachOptDlg>;

TEST_F(TeachViewTest, ActivateReadsInOrderThenPollsEverySecondUntilStopped) {
    const std::vector<std::string> expected =
        Joined({ReadRegisters(361, 1)},
               {AxisCommands(cmd::Position),
                AxisCommands(cmd::Speed),
                {ReadRegisters(361, 1), ReadRegisters(360, 1), Cmd(cmd::GetAllPins, {1}), Cmd(cmd::GetAllPins, {33})}});
    controller->setRegister(360, 65535);  // shown unsigned
    controller->setRegister(361, 4);
    view.Activate();
    QElapsedTimer sinceStart;
    sinceStart.start();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(view.isPolling());
    EXPECT_EQ(takeTraffic(), expected);
    EXPECT_EQ(find<QLineEdit>("totalPoints")->text(), "65535");
    EXPECT_EQ(find<QLineEdit>("recordPoint")->text(), "4");
    EXPECT_EQ(find<QLineEdit>("delay")->text(), "0");
    view.Activate();  // shown again: reads again, the poll keeps running
    ASSERT_TRUE(settle());
    EXPECT_EQ(takeTraffic(), expected);
    EXPECT_TRUE(view.isPolling());

    // Each tick reads the record point and the positions and fills the coordinates.
    Ravo_SetMotorMaxSpeed(255, 2, 1000.0f);
    Ravo_MotorGoPos(255, 2, 3.25f);
    controller->clearTraffic();
    controller->setRegister(361, 9);
    const std::vector<std::string> tick = Joined({ReadRegisters(361, 1)}, {AxisCommands(cmd::Position)});
    ASSERT_TRUE(WaitFor([&] { return controller->traffic().size() >= tick.size(); }, 5000));
    EXPECT_GE(sinceStart.elapsed(), 900);
    ASSERT_TRUE(WaitFor([&] { return find<QLabel>("coordinateY")->text() == "3.25"; }, 5000))
        << find<QLabel>("coordinateY")->text().toStdString();
    EXPECT_EQ(takeTraffic(), tick);
    EXPECT_EQ(find<QLabel>("coordinateX")->text(), "0.00");
    EXPECT_EQ(find<QLineEdit>("recordPoint")->text(), "4");  // the member waits until the boxes are next shown

    view.StopPolling();
    EXPECT_FALSE(view.isPolling());
    view.StopPolling();
    EXPECT_FALSE(WaitFor([&] { return !controller->traffic().empty(); }, 1300));
}

TEST_F(TeachViewTest, JogButtonsToggleBetweenMovingAndStopping) {
    const std::pair<const char*, const char*> clicks[] = {
        {"leftZ", "停止"}, {"rightZ", "停止"}, {"leftZ", "左移"}, {"rightZ", "右移"}};
    for (const auto& [button, text] : clicks) {
        click(button);
        EXPECT_EQ(find<QPushButton>(button)->text(), QString::fromUtf8(text)) << button;
        EXPECT_EQ(find<QPushButton>(button)->accessibleName(), QString::fromUtf8("Z轴") + QString::fromUtf8(text));
    }

    EXPECT_EQ(takeTraffic(), (std::vector<std::string>{Cmd(cmd::JogLeft, {4}), Cmd(cmd::JogRight, {4}),
                                                       Cmd(cmd::QuickStop, {4}), Cmd(cmd::QuickStop, {4})}));
}

TEST_F(TeachViewTest, LeavingABoxSendsWhatItHoldsChangedOrNot) {
    Ravo_SetMotorMaxSpeed(255, 8, 7.5f);
    view.Activate();
    ASSERT_TRUE(settle());
    EXPECT_EQ(find<QLineEdit>("speedU")->text(), "7.5");
    controller->clearTraffic();

    find<QLineEdit>("targetW")->setText("12.5");
    Leave(find<QLineEdit>("targetW"));
    Leave(find<QLineEdit>("targetW"));
    Leave(find<QLineEdit>("speedU"));
    find<QLineEdit>("totalPoints")->setText("70000");  // the low 16 bits go out
    Leave(find<QLineEdit>("totalPoints"));
    find<QLineEdit>("recordPoint")->setText("3");
    Leave(find<QLineEdit>("recordPoint"));
    Leave(find<QLineEdit>("delay"));
    // Focus taken by another window is not leaving the box.
    Leave(find<QLineEdit>("targetW"), Qt::ActiveWindowFocusReason);

    EXPECT_EQ(takeTraffic(),
              (std::vector<std::string>{
                  Cmd(cmd::GoPosition, {32, FloatBits(12.5f)}), Cmd(cmd::GoPosition, {32, FloatBits(12.5f)}),
                  Cmd(cmd::MaxSpeed, {8, FloatBits(7.5f)}), WriteRegisters(360, {4464}), WriteRegisters(361, {3})}));

    // A box that does not read sends nothing and takes the focus.
    view.show();
    find<QLineEdit>("speedX")->setText("quick");
    Leave(find<QLineEdit>("targetY"));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8("请输入一个数字。")});
    EXPECT_EQ(view.focusWidget(), find<QLineEdit>("speedX"));
    EXPECT_TRUE(takeTraffic().empty());
}

TEST_F(TeachViewTest, RecordingButtonsDriveTheCoilsAndReadTheCounters) {
    view.Activate();
    ASSERT_TRUE(settle());
    controller->clearTraffic();
    controller->setRegister(360, 5);
    controller->setRegister(361, 2);

    click("startRecording");  // the controller starts a new recording at point 0
    ASSERT_TRUE(settle());
    EXPECT_EQ(find<QLineEdit>("totalPoints")->text(), "0");
    EXPECT_EQ(find<QLineEdit>("recordPoint")->text(), "0");
    click("saveRecordPoint");
    ASSERT_TRUE(settle());
    EXPECT_EQ(find<QLineEdit>("totalPoints")->text(), "1");
    EXPECT_EQ(find<QLineEdit>("recordPoint")->text(), "1");
    click("endRecording");
    ASSERT_TRUE(settle());

    const std::vector<ravo_sim::Request> requests = controller->traffic();
    EXPECT_EQ(takeTraffic(),
              (std::vector<std::string>{WriteCoil(157, false), ReadRegisters(361, 1), ReadRegisters(360, 1),
                                        WriteRegisters(362, {0xFFFF, 0x00FF}), WriteRegisters(364, {0xFFFF, 0x00FF}),
                                        WriteRegisters(366, {0, 0}), WriteCoil(159, false), ReadRegisters(361, 1),
                                        ReadRegisters(360, 1), WriteCoil(158, false)}));
    ASSERT_EQ(requests.size(), 10u);
    EXPECT_GE(requests[7].receivedAt - requests[6].receivedAt, std::chrono::milliseconds(50));
}

TEST_F(TeachViewTest, SaveSendsTheDelayAndTheChosenMasks) {
    view.Activate();
    ASSERT_TRUE(settle());
    controller->clearTraffic();
    find<QLineEdit>("delay")->setText("1");

    // The dialog is modal: answer it from the event loop it runs.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CVideoTechIOSettingDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("示教IO配置"));
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
            box->setChecked(box->text() == "IN3" || box->text() == "OUT12");
        }
        dialog->findChild<QPushButton*>("ok")->click();
    });
    click("teachIo");
    EXPECT_TRUE(takeTraffic().empty());  // the masks go out with the next save

    click("saveRecordPoint");
    const std::vector<std::string> traffic = takeTraffic();
    ASSERT_GE(traffic.size(), 3u);
    EXPECT_EQ(traffic[0], WriteRegisters(362, {4, 0}));
    EXPECT_EQ(traffic[1], WriteRegisters(364, {2048, 0}));
    EXPECT_EQ(traffic[2], WriteRegisters(366, {0x0000, 0x3F80}));

    view.Activate();  // every activation starts from all inputs and outputs again
    ASSERT_TRUE(settle());
    controller->clearTraffic();
    click("saveRecordPoint");
    EXPECT_EQ(takeTraffic()[0], WriteRegisters(362, {0xFFFF, 0x00FF}));
}

TEST_F(TeachViewTest, TeachIoDialogCancelKeepsTheMasks) {
    CVideoTechIOSettingDlg dialog(0x5, 0x800);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        EXPECT_EQ(box->isChecked(), box->text() == "IN1" || box->text() == "IN3" || box->text() == "OUT12");
    dialog.findChild<QCheckBox*>("IN2")->setChecked(true);
    dialog.findChild<QPushButton*>("cancel")->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.inputMask(), 0x5u);
    EXPECT_EQ(dialog.outputMask(), 0x800u);
}

TEST_F(TeachViewTest, InputsShowActiveLowAndOutputsSwitchTheirPins) {
    controller->setInput(5, true);
    Ravo_SetIOPinLevel(255, 34, 1);
    view.Activate();
    ASSERT_TRUE(settle());
    const std::pair<const char*, bool> shown[] = {{"IN1", true}, {"IN5", false}, {"OUT1", false}, {"OUT2", true}};
    for (const auto& [name, checked] : shown) EXPECT_EQ(find<QCheckBox>(name)->isChecked(), checked) << name;
    controller->clearTraffic();

    find<QCheckBox>("OUT2")->click();
    find<QCheckBox>("OUT12")->click();
    EXPECT_EQ(takeTraffic(), (std::vector<std::string>{Cmd(cmd::SetPin, {34, 0}), Cmd(cmd::SetPin, {44, 1})}));

    click("refresh");
    ASSERT_TRUE(settle());
    EXPECT_EQ(takeTraffic(),
              Joined(AxisCommands(cmd::Position), {{Cmd(cmd::GetAllPins, {1}), Cmd(cmd::GetAllPins, {33})}}));
    EXPECT_FALSE(find<QCheckBox>("OUT2")->isChecked());
    EXPECT_TRUE(find<QCheckBox>("OUT12")->isChecked());
}

}  // namespace
