// The manual operation view: activation and its refresh timer, the per-axis buttons, the
// output check boxes and the input indicators.
#include "ViewTestSupport.h"

#include "views/CManualOptDlg.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using ManualViewTest = ViewFixture<CManualOptDlg>;

TEST_F(ManualViewTest, ActivateRefreshesOnceThenTheTimerEverySecondUntilDeactivated) {
    std::vector<std::string> pins;
    for (int pin = 33; pin <= 44; ++pin) pins.push_back(Cmd(cmd::GetPin, {std::uint32_t(pin)}));
    const std::vector<std::string> tick =
        Joined({Cmd(cmd::GetAllPins, {1})}, {AxisCommands(cmd::Position), AxisCommands(cmd::Speed)});

    view.Activate();
    QElapsedTimer sinceStart;
    sinceStart.start();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(view.isActive());
    view.Activate();  // already active: nothing more
    ASSERT_TRUE(settle());
    EXPECT_EQ(takeTraffic(), Joined({Cmd(cmd::SetWorkMode, {2, 0}), Cmd(cmd::GetAllPins, {1})},
                                    {pins, AxisCommands(cmd::Position), AxisCommands(cmd::Speed)}));
    EXPECT_EQ(controller->workMode(), 2);

    ASSERT_TRUE(WaitFor([&] { return controller->traffic().size() >= tick.size(); }, 5000));
    EXPECT_GE(sinceStart.elapsed(), 900);
    EXPECT_EQ(takeTraffic(), tick);

    view.Deactivate();
    EXPECT_FALSE(view.isActive());
    view.Deactivate();
    EXPECT_EQ(controller->workMode(), 2);  // left as it was
    EXPECT_FALSE(WaitFor([&] { return !controller->traffic().empty(); }, 1300));
}

TEST_F(ManualViewTest, AxisButtonsSendOneCommandEach) {
    find<QLineEdit>("speedSettingY")->setText("12.5");
    find<QLineEdit>("targetZ")->setText("10");
    for (const char* button : {"setSpeedY", "clearPositionU", "goZeroV", "goHomeW", "jogDownW", "jogUpX", "stopZ"})
        click(button);
    // Start runs absolute or relative as the toggle reads.
    QPushButton* toggle = find<QPushButton>("runModeZ");
    EXPECT_EQ(toggle->text(), QString::fromUtf8("绝对运行"));
    click("startZ");
    toggle->click();
    EXPECT_EQ(toggle->text(), QString::fromUtf8("相对运行"));
    EXPECT_EQ(toggle->accessibleName(), QString::fromUtf8("Z轴相对运行"));
    click("startZ");
    toggle->click();
    click("startZ");
    EXPECT_EQ(find<QPushButton>("runModeX")->text(), QString::fromUtf8("绝对运行"));

    EXPECT_EQ(takeTraffic(),
              (std::vector<std::string>{
                  Cmd(cmd::MaxSpeed, {2, FloatBits(12.5f)}), Cmd(cmd::ClearPosition, {8}),
                  Cmd(cmd::GoPosition, {16, FloatBits(0.0f)}), Cmd(cmd::JogLeft, {32}), Cmd(cmd::JogLeft, {32}),
                  Cmd(cmd::JogRight, {1}), Cmd(cmd::SlowStop, {4}), Cmd(cmd::GoPosition, {4, FloatBits(10.0f)}),
                  Cmd(cmd::Move, {4, FloatBits(10.0f)}), Cmd(cmd::GoPosition, {4, FloatBits(10.0f)})}));
}

TEST_F(ManualViewTest, NoMotionCommandAfterAParseMessage) {
    view.show();
    find<QLineEdit>("speedSettingX")->setText("fast");
    find<QLineEdit>("targetY")->setText("20");
    click("startY");
    click("setSpeedX");
    EXPECT_EQ(prompter.texts(), QStringList(2, QString::fromUtf8("请输入一个数字。")));
    EXPECT_EQ(view.focusWidget(), find<QLineEdit>("speedSettingX"));
    EXPECT_TRUE(takeTraffic().empty());
}

TEST_F(ManualViewTest, OutputBoxesSwitchTheirPinsAndIndicatorsShowTheInputs) {
    find<QCheckBox>("OUT12")->click();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(controller->output(44));
    find<QCheckBox>("OUT12")->click();
    find<QCheckBox>("OUT1")->click();
    EXPECT_EQ(takeTraffic(), (std::vector<std::string>{Cmd(cmd::SetPin, {44, 1}), Cmd(cmd::SetPin, {44, 0}),
                                                       Cmd(cmd::SetPin, {33, 1})}));

    // Activation shows what the controller holds, without switching anything.
    Ravo_SetIOPinLevel(255, 35, 1);
    controller->setInput(1, true);
    controller->setInput(24, true);
    controller->clearTraffic();
    view.Activate();
    ASSERT_TRUE(settle());
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(find<QCheckBox>(QStringLiteral("OUT%1").arg(n))->isChecked(), n == 1 || n == 3) << n;
    for (int n = 1; n <= 24; ++n)
        EXPECT_EQ(find<QRadioButton>(QStringLiteral("IN%1").arg(n))->isChecked(), n == 1 || n == 24) << n;
    EXPECT_EQ(find<QLabel>("positionX")->text(), "0.000");
    EXPECT_EQ(find<QLabel>("speedW")->text(), "0.000");
    for (const std::string& line : takeTraffic()) EXPECT_NE(line.rfind("C21 ", 0), 0u) << line;

    // An indicator changes only how it looks.
    find<QRadioButton>("IN5")->click();
    EXPECT_TRUE(find<QRadioButton>("IN1")->isChecked());
    EXPECT_TRUE(takeTraffic().empty());
}

}  // namespace
