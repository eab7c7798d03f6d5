#include "CVideoTeachOptDlg.h"

#include "views/CVideoTechIOSettingDlg.h"
#include "views/ControlNames.h"
#include "views/ReadControls.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using kelvane::AxisMask;
using kelvane::kControllerAddress;

namespace {

constexpr int kPollMs = 1000;
const char kLeft[] = "左移";
const char kRight[] = "右移";
const char kStop[] = "停止";

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }
QString Fixed2(float value) { return QString::asprintf("%.2f", static_cast<double>(value)); }

QPushButton* Button(const char* text, const QString& name) {
    auto* button = new QPushButton(Text(text));
    button->setObjectName(name);
    return button;
}

QPushButton* AxisButton(const char* text, const char* name, const QString& axis) {
    QPushButton* button = Button(text, QString::fromLatin1(name) + axis);
    button->setAccessibleName(AxisControlName(axis, Text(text)));
    return button;
}

}  // namespace

CVideoTeachOptDlg::CVideoTeachOptDlg(LinkWorker& worker, QWidget* parent)
    : QWidget(parent),
      inputEnableMask_(kelvane::kAllTeachIo),
      outputEnableMask_(kelvane::kAllTeachIo),
      link_(worker, this) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(buildAxisGroup(), 0, 0);
    layout->addWidget(buildCoordinateGroup(), 0, 1);
    layout->addWidget(buildRecordingGroup(), 1, 0, 1, 2);
    layout->addWidget(buildIoGroup(), 2, 0, 1, 2);

    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &CVideoTeachOptDlg::onTimer);
    showMembers();
}

QLineEdit* CVideoTeachOptDlg::watchedBox(const QString& name, std::function<void()> onLeft) {
    auto* box = new QLineEdit;
    box->setObjectName(name);
    box->installEventFilter(this);
    leaveActions_[box] = std::move(onLeft);
    return box;
}

QWidget* CVideoTeachOptDlg::buildAxisGroup() {
    auto* group = new QGroupBox(Text("电机参数"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(Text("速度")), 0, 1);
    grid->addWidget(new QLabel(Text("位置")), 0, 2);
    for (int axis = 1; axis <= kelvane::kOperatedAxes; ++axis) {
        const int i = axis - 1;
        const int mask = AxisMask(axis);
        AxisControls& c = axes_[i];
        const QString letter = Text(kelvane::AxisName(axis));
        c.speed = watchedBox("speed" + letter, [this, i, mask] {
            link_.send([mask, speed = speed_[i]] { Ravo_SetMotorMaxSpeed(kControllerAddress, mask, speed); });
        });
        c.target = watchedBox("target" + letter, [this, i, mask] {
            link_.send([mask, target = targetPos_[i]] { Ravo_MotorGoPos(kControllerAddress, mask, target); });
        });
        c.speed->setAccessibleName(AxisControlName(letter, Text("速度")));
        c.target->setAccessibleName(AxisControlName(letter, Text("位置")));
        c.left = AxisButton(kLeft, "left", letter);
        c.right = AxisButton(kRight, "right", letter);
        connect(c.left, &QPushButton::clicked, this,
                [this, axis] { jog(axis, axes_[axis - 1].left, kLeft, &Ravo_ManualLeftMove); });
        connect(c.right, &QPushButton::clicked, this,
                [this, axis] { jog(axis, axes_[axis - 1].right, kRight, &Ravo_ManualRightMove); });
        grid->addWidget(new QLabel(letter + Text("轴")), axis, 0);
        grid->addWidget(c.speed, axis, 1);
        grid->addWidget(c.target, axis, 2);
        grid->addWidget(c.left, axis, 3);
        grid->addWidget(c.right, axis, 4);
    }
    return group;
}

QWidget* CVideoTeachOptDlg::buildCoordinateGroup() {
    auto* group = new QGroupBox(Text("当前坐标"));
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) {
        axes_[i].coordinate = new QLabel(Fixed2(0));
        const QString letter = Text(kelvane::AxisName(i + 1));
        axes_[i].coordinate->setObjectName(QStringLiteral("coordinate") + letter);
        grid->addWidget(new QLabel(letter + Text(":")), i, 0);
        grid->addWidget(axes_[i].coordinate, i, 1);
    }
    return group;
}

QWidget* CVideoTeachOptDlg::buildRecordingGroup() {
    auto* group = new QWidget;
    auto* layout = new QVBoxLayout(group);
    auto* grid = new QGridLayout;
    auto* buttons = new QHBoxLayout;
    layout->addLayout(grid);
    layout->addLayout(buttons);
    recordPointBox_ =
        watchedBox("recordPoint", [this] { link_.send([point = recordPoint_] { kelvane::WriteRecordPoint(point); }); });
    totalPointsBox_ =
        watchedBox("totalPoints", [this] { link_.send([total = totalPoints_] { kelvane::WriteTotalPoints(total); }); });
    delayBox_ = watchedBox("delay", [] {});  // the delay goes out with "保存录制点"
    const auto addLabelled = [grid](const char* label, QLineEdit* box, int column) {
        AddBuddyLabel(grid, Text(label), box, 0, column);
        grid->addWidget(box, 0, column + 1);
    };
    addLabelled("录制点:", recordPointBox_, 0);
    addLabelled("总点数:", totalPointsBox_, 2);
    addLabelled("延时:", delayBox_, 4);
    grid->addWidget(new QLabel(QStringLiteral("ms")), 0, 6);

    struct Action {
        const char* name;
        const char* text;
        std::function<void()> run;
    };
    const Action actions[] = {
        {"refresh", "刷新状态", [this] { refresh(); }},
        {"startRecording", "开始录制", [this] { startRecording(); }},
        {"saveRecordPoint", "保存录制点", [this] { saveRecordPoint(); }},
        {"endRecording", "结束录制点", [this] { link_.send([] { kelvane::EndRecording(); }); }},
        {"teachIo", "设置示教IO口", [this] { chooseTeachIo(); }},
    };
    for (const Action& action : actions) {
        QPushButton* button = Button(action.text, QString::fromLatin1(action.name));
        connect(button, &QPushButton::clicked, this, action.run);
        buttons->addWidget(button);
    }
    return group;
}

QWidget* CVideoTeachOptDlg::buildIoGroup() {
    auto* group = new QGroupBox(Text("IO操作"));
    auto* grid = new QGridLayout(group);
    for (int n = 1; n <= kelvane::kInputPins; ++n) {
        inputs_[n - 1] = new QCheckBox(QStringLiteral("IN%1").arg(n));
        inputs_[n - 1]->setObjectName(inputs_[n - 1]->text());
        grid->addWidget(inputs_[n - 1], (n - 1) / 12, (n - 1) % 12);
    }
    for (int n = 1; n <= kelvane::kOutputPins; ++n) {
        outputs_[n - 1] = new QCheckBox(QStringLiteral("OUT%1").arg(n));
        outputs_[n - 1]->setObjectName(outputs_[n - 1]->text());
        connect(outputs_[n - 1], &QCheckBox::clicked, this, [this, n] { switchOutput(n); });
        grid->addWidget(outputs_[n - 1], 2, n - 1);
    }
    return group;
}

void CVideoTeachOptDlg::Activate() {
    inputEnableMask_ = outputEnableMask_ = kelvane::kAllTeachIo;
    delayMs_ = 0;
    struct Activation {
        kelvane::TeachActivation state;
        Levels levels;
    };
    link_.post<Activation>(
        [] {
            return Activation{kelvane::ReadTeachActivation(), readLevels()};
        },
        [this](Activation read) {
            targetPos_ = read.state.positions;
            speed_ = read.state.speeds;
            recordPoint_ = read.state.counters.recordPoint;
            totalPoints_ = read.state.counters.totalPoints;
            showMembers();
            showLevels(read.levels);
        });
    if (!timer_.isActive()) timer_.start();
}

void CVideoTeachOptDlg::StopPolling() { timer_.stop(); }

// The record point goes into the member only; its box shows it at the next showMembers.
void CVideoTeachOptDlg::onTimer() {
    struct Poll {
        std::int32_t recordPoint;
        kelvane::AxisValues positions;
    };
    link_.tick<Poll>(
        [] {
            return Poll{kelvane::ReadRecordPoint(), kelvane::ReadAxisPositions()};
        },
        [this](Poll read) {
            recordPoint_ = read.recordPoint;
            showCoordinates(read.positions);
        });
}

// 刷新状态: coordinates, then the I/O levels.
void CVideoTeachOptDlg::refresh() {
    struct Refresh {
        kelvane::AxisValues positions;
        Levels levels;
    };
    link_.post<Refresh>(
        [] {
            return Refresh{kelvane::ReadAxisPositions(), readLevels()};
        },
        [this](Refresh read) {
            showCoordinates(read.positions);
            showLevels(read.levels);
        });
}

// Focus moved on within the window: the box's action runs with what the boxes hold, changed
// or not. Focus taken by another window (a message box among them) is not leaving the box,
// and a leave while one is handled (the parse message moves the focus) is not a new one.
bool CVideoTeachOptDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !handlingLeave_) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto action = leaveActions_.find(watched);
        if (action != leaveActions_.end() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            handlingLeave_ = true;
            if (readControls()) action->second();
            handlingLeave_ = false;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool CVideoTeachOptDlg::readControls() {
    ControlReader read(this);
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) read.number(axes_[i].speed, speed_[i]);
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) read.number(axes_[i].target, targetPos_[i]);
    read.integer(recordPointBox_, recordPoint_).integer(totalPointsBox_, totalPoints_).number(delayBox_, delayMs_);
    return read.ok();
}

void CVideoTeachOptDlg::showMembers() {
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) {
        ShowNumber(axes_[i].speed, speed_[i]);
        ShowNumber(axes_[i].target, targetPos_[i]);
    }
    ShowInteger(recordPointBox_, recordPoint_);
    ShowInteger(totalPointsBox_, totalPoints_);
    ShowNumber(delayBox_, delayMs_);
}

void CVideoTeachOptDlg::showCoordinates(const kelvane::AxisValues& positions) {
    for (int i = 0; i < kelvane::kOperatedAxes; ++i) axes_[i].coordinate->setText(Fixed2(positions[i]));
}

// On the worker: the input block, then the output block.
CVideoTeachOptDlg::Levels CVideoTeachOptDlg::readLevels() {
    Levels levels;
    levels.inputs = kelvane::ReadPinBlock(kelvane::kFirstInputPin);
    levels.outputs = kelvane::ReadPinBlock(kelvane::kFirstOutputPin);
    return levels;
}

// Inputs are shown active-low: ticked while the level bit reads 0.
void CVideoTeachOptDlg::showLevels(const Levels& levels) {
    for (int k = 0; k < kelvane::kInputPins; ++k) inputs_[k]->setChecked(!((levels.inputs >> k) & 1u));
    for (int k = 0; k < kelvane::kOutputPins; ++k) outputs_[k]->setChecked((levels.outputs >> k) & 1u);
}

// A jog button starts a continuous jog and, now reading "停止", stops it again.
void CVideoTeachOptDlg::jog(int axis, QPushButton* button, const char* caption, int (*move)(int, int)) {
    if (button->text() == Text(kStop)) {
        link_.send([mask = AxisMask(axis)] { Ravo_QuickStopMotor(kControllerAddress, mask); });
        SetAxisButtonText(button, Text(kelvane::AxisName(axis)), Text(caption));
    } else {
        link_.send([move, mask = AxisMask(axis)] { move(kControllerAddress, mask); });
        SetAxisButtonText(button, Text(kelvane::AxisName(axis)), Text(kStop));
    }
}

// The level sent is the box's own state, which no other box can spoil.
void CVideoTeachOptDlg::switchOutput(int output) {
    readControls();
    link_.send([output, on = outputs_[output - 1]->isChecked()] { kelvane::SetOutput(output, on); });
}

void CVideoTeachOptDlg::startRecording() {
    link_.post<kelvane::RecordCounters>([] { return kelvane::StartRecording(); },
                                        [this](kelvane::RecordCounters counters) { showCounters(counters); });
}

// The delay must be what the box shows: after a parse message no point is saved.
void CVideoTeachOptDlg::saveRecordPoint() {
    if (!readControls()) return;
    link_.post<kelvane::RecordCounters>([inputs = inputEnableMask_, outputs = outputEnableMask_,
                                         delay = delayMs_] { return kelvane::SaveRecordPoint(inputs, outputs, delay); },
                                        [this](kelvane::RecordCounters counters) { showCounters(counters); });
}

void CVideoTeachOptDlg::showCounters(const kelvane::RecordCounters& counters) {
    recordPoint_ = counters.recordPoint;
    totalPoints_ = counters.totalPoints;
    showMembers();
}

void CVideoTeachOptDlg::chooseTeachIo() {
    CVideoTechIOSettingDlg dialog(inputEnableMask_, outputEnableMask_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    inputEnableMask_ = dialog.inputMask();
    outputEnableMask_ = dialog.outputMask();
}
