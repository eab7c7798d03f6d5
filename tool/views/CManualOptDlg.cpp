#include "CManualOptDlg.h"

#include "views/ControlNames.h"
#include "views/ReadControls.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using kelvane::AxisMask;
using kelvane::kControllerAddress;

namespace {

constexpr int kRefreshMs = 1000;
const char* const kSpeedLabels[kelvane::kOperatedAxes] = {
    "X轴速度:", "Y轴速度:", "Z轴:速度:", "U轴速度:", "V轴速度:", "W轴速度:"};
const char kAbsoluteRun[] = "绝对运行";
const char kRelativeRun[] = "相对运行";

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Fixed3(float value) { return QString::asprintf("%.3f", static_cast<double>(value)); }

}  // namespace

CManualOptDlg::CManualOptDlg(LinkWorker& worker, QWidget* parent) : QWidget(parent), link_(worker, this) {
    absolute_.fill(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildInputGroup());
    layout->addWidget(buildOutputGroup());
    layout->addWidget(buildMotorGroup());

    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &CManualOptDlg::onTimer);

    for (int i = 0; i < kelvane::kOperatedAxes; ++i) {
        ShowNumber(axes_[i].speedSetting, speedSetting_[i]);
        ShowNumber(axes_[i].target, target_[i]);
    }
}

QWidget* CManualOptDlg::buildInputGroup() {
    auto* group = new QGroupBox(Text("输入状态"));
    auto* grid = new QGridLayout(group);
    for (int n = 1; n <= kelvane::kInputPins; ++n) {
        // Indicators only: each stands alone and nothing is sent when one is clicked.
        auto* indicator = new QRadioButton(QStringLiteral("IN%1").arg(n));
        indicator->setObjectName(indicator->text());
        indicator->setAutoExclusive(false);
        inputs_[n - 1] = indicator;
        grid->addWidget(indicator, (n - 1) / 12, (n - 1) % 12);
    }
    return group;
}

QWidget* CManualOptDlg::buildOutputGroup() {
    auto* group = new QGroupBox(Text("输出状态"));
    auto* grid = new QGridLayout(group);
    for (int n = 1; n <= kelvane::kOutputPins; ++n) {
        auto* box = new QCheckBox(QStringLiteral("OUT%1").arg(n));
        box->setObjectName(box->text());
        outputs_[n - 1] = box;
        connect(box, &QCheckBox::clicked, this, [this, n] { switchOutput(n); });
        grid->addWidget(box, 0, n - 1);
    }
    return group;
}

QWidget* CManualOptDlg::buildMotorGroup() {
    auto* group = new QGroupBox(Text("电机操作"));
    auto* grid = new QGridLayout(group);
    for (int axis = 1; axis <= kelvane::kOperatedAxes; ++axis) addAxisRows(grid, axis);
    return group;
}

void CManualOptDlg::addAxisRows(QGridLayout* grid, int axis) {
    const int i = axis - 1;
    const int mask = AxisMask(axis);
    const QString letter = Text(kelvane::AxisName(axis));
    AxisControls& c = axes_[i];
    c.speed = new QLabel(Fixed3(0));
    c.speedSetting = new QLineEdit;
    c.position = new QLabel(Fixed3(0));
    c.runMode = new QPushButton;
    SetAxisButtonText(c.runMode, letter, Text(kAbsoluteRun));
    c.target = new QLineEdit;
    c.speedSetting->setAccessibleName(AxisControlName(letter, Text("设置速度")));
    c.target->setAccessibleName(AxisControlName(letter, Text("目标位置")));
    c.speed->setObjectName("speed" + letter);
    c.speedSetting->setObjectName("speedSetting" + letter);
    c.position->setObjectName("position" + letter);
    c.runMode->setObjectName("runMode" + letter);
    c.target->setObjectName("target" + letter);

    auto button = [this, &letter](const QString& text, const char* name, auto action) {
        auto* b = new QPushButton;
        SetAxisButtonText(b, letter, text);
        b->setObjectName(QString::fromLatin1(name) + letter);
        connect(b, &QPushButton::clicked, this, action);
        return b;
    };
    // Homing runs the axis toward its lower end, the same command as the "--" jog.
    QWidget* firstRow[] = {
        new QLabel(Text(kSpeedLabels[i])),
        c.speed,
        new QLabel(Text("速度设置")),
        c.speedSetting,
        button(Text("速度设置"), "setSpeed", [this, axis] { setSpeed(axis); }),
        button(Text("坐标清零"), "clearPosition",
               [this, mask] { link_.send([mask] { Ravo_ClearMotorPosition(kControllerAddress, mask); }); }),
        button(Text("回坐标零"), "goZero",
               [this, mask] { link_.send([mask] { Ravo_MotorGoPos(kControllerAddress, mask, 0.0f); }); }),
        button(Text("回机械零"), "goHome",
               [this, mask] { link_.send([mask] { Ravo_ManualLeftMove(kControllerAddress, mask); }); }),
    };
    connect(c.runMode, &QPushButton::clicked, this, [this, axis] { toggleRunMode(axis); });
    QWidget* secondRow[] = {
        new QLabel(letter + Text("轴位置:")),
        c.position,
        c.runMode,
        c.target,
        button(Text("启动"), "start", [this, axis] { start(axis); }),
        button(Text("停止"), "stop",
               [this, mask] { link_.send([mask] { Ravo_SlowStopMotor(kControllerAddress, mask); }); }),
        button(letter + "--", "jogDown",
               [this, mask] { link_.send([mask] { Ravo_ManualLeftMove(kControllerAddress, mask); }); }),
        button(letter + "++", "jogUp",
               [this, mask] { link_.send([mask] { Ravo_ManualRightMove(kControllerAddress, mask); }); }),
    };
    for (int column = 0; column < 8; ++column) {
        grid->addWidget(firstRow[column], 2 * i, column);
        grid->addWidget(secondRow[column], 2 * i + 1, column);
    }
}

void CManualOptDlg::Activate() {
    if (timer_.isActive()) return;
    link_.post<Readings>(
        [] {
            Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_MANUAL, 0);
            return read(true);
        },
        [this](Readings readings) { showReadings(readings); });
    timer_.start();
}

void CManualOptDlg::Deactivate() { timer_.stop(); }

void CManualOptDlg::onTimer() {
    link_.tick<Readings>([] { return read(false); }, [this](Readings readings) { showReadings(readings); });
}

// On the worker: inputs, outputs when asked, positions, speeds.
CManualOptDlg::Readings CManualOptDlg::read(bool withOutputs) {
    Readings readings;
    readings.inputs = kelvane::ReadPinBlock(kelvane::kFirstInputPin);
    if (withOutputs) readings.outputs = kelvane::ReadOutputsOneByOne();
    readings.positions = kelvane::ReadAxisPositions();
    readings.speeds = kelvane::ReadAxisSpeeds();
    return readings;
}

void CManualOptDlg::showReadings(const Readings& readings) {
    for (int k = 0; k < kelvane::kInputPins; ++k) inputs_[k]->setChecked((readings.inputs >> k) & 1u);
    if (readings.outputs)
        for (int k = 0; k < kelvane::kOutputPins; ++k) outputs_[k]->setChecked((*readings.outputs)[k]);
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) {
        axes_[i].position->setText(Fixed3(readings.positions[i]));
        axes_[i].speed->setText(Fixed3(readings.speeds[i]));
    }
}

bool CManualOptDlg::readControls() {
    ControlReader read(this);
    for (int i = 0; i < kelvane::kOperatedAxes; ++i)
        read.number(axes_[i].speedSetting, speedSetting_[i]).number(axes_[i].target, target_[i]);
    return read.ok();
}

// Motion commands go out only with what the boxes hold: after a parse message nothing moves.
void CManualOptDlg::setSpeed(int axis) {
    if (!readControls()) return;
    const float speed = speedSetting_[axis - 1];
    link_.send([mask = AxisMask(axis), speed] { Ravo_SetMotorMaxSpeed(kControllerAddress, mask, speed); });
}

void CManualOptDlg::start(int axis) {
    if (!readControls()) return;
    const int i = axis - 1;
    const float target = target_[i];
    if (absolute_[i])
        link_.send([mask = AxisMask(axis), target] { Ravo_MotorGoPos(kControllerAddress, mask, target); });
    else
        link_.send([mask = AxisMask(axis), target] { Ravo_MotorMove(kControllerAddress, mask, target); });
}

void CManualOptDlg::toggleRunMode(int axis) {
    const int i = axis - 1;
    absolute_[i] = axes_[i].runMode->text() != Text(kAbsoluteRun);
    SetAxisButtonText(axes_[i].runMode, Text(kelvane::AxisName(axis)),
                      Text(absolute_[i] ? kAbsoluteRun : kRelativeRun));
}

// The level sent is the box's own state, which no other box can spoil.
void CManualOptDlg::switchOutput(int output) {
    readControls();
    link_.send([output, on = outputs_[output - 1]->isChecked()] { kelvane::SetOutput(output, on); });
}
