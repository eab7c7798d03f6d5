#include "CMotorParSettingDlg.h"

#include "common/Prompter.h"
#include "views/ControlNames.h"
#include "views/ReadControls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

const char* const kSubdivisionRegisters[] = {"(DM25)", "(DM27)", "(DM29)",  "(DM31)",
                                             "(DM33)", "(DM35)", "(DM108)", "(DM110)"};
const char* const kPitchRegisters[] = {"(DM13)", "(DM15)", "(DM17)",  "(DM19)",
                                       "(DM21)", "(DM23)", "(DM104)", "(DM106)"};
const char* const kAccelerationRegisters[] = {"(DM1)", "(DM2)", "(DM3)",   "(DM4)",
                                              "(DM5)", "(DM6)", "(DM100)", "(DM101)"};
// Only the first three axes' minimum-speed registers are known; the other rows show none.
const char* const kMinimumSpeedRegisters[] = {"(DM94)", "(DM96)", "(DM98)", "", "", "", "", ""};

kelvane::AxisParameters DefaultAxis(int axis) {
    kelvane::AxisParameters p;
    p.subdivision = 1600;
    if (axis <= 6) {
        p.pitch = 5.0f;
        p.acceleration = 10;
        p.deceleration = 10;
    }
    return p;
}

QString AxisLabel(int axis, const char* text) { return QString::number(axis) + QString::fromUtf8(text); }

// Label, box and register label in three columns of `grid` starting at `column`.
QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& label, const char* registerLabel) {
    auto* box = new QLineEdit;
    AddBuddyLabel(grid, label, box, row, column);
    grid->addWidget(box, row, column + 1);
    grid->addWidget(new QLabel(QString::fromUtf8(registerLabel)), row, column + 2);
    return box;
}

}  // namespace

CMotorParSettingDlg::CMotorParSettingDlg(QWidget* parent) : QWidget(parent) {
    for (int axis = 1; axis <= kelvane::kMotorAxes; ++axis) values_.axes[axis - 1] = DefaultAxis(axis);

    auto* gear = new QGroupBox(QString::fromUtf8("电子齿轮设置"));
    auto* gearGrid = new QGridLayout(gear);
    auto* curve = new QGroupBox(QString::fromUtf8("电机曲线系数设置"));
    auto* curveGrid = new QGridLayout(curve);
    for (int axis = 1; axis <= kelvane::kMotorAxes; ++axis) {
        const int i = axis - 1;
        AxisBoxes& b = boxes_[i];
        b.subdivision = AddField(gearGrid, i, 0, AxisLabel(axis, "轴转动一圈脉冲数:"), kSubdivisionRegisters[i]);
        b.pitch = AddField(gearGrid, i, 3, AxisLabel(axis, "轴转动一圈前进距离(螺距):"), kPitchRegisters[i]);
        b.backlash = AddField(gearGrid, i, 6, AxisLabel(axis, "轴间隙补偿:"), "");
        b.acceleration = AddField(curveGrid, i, 0, AxisLabel(axis, "轴加速系数(0--65535):"), kAccelerationRegisters[i]);
        b.minimumSpeed =
            AddField(curveGrid, i, 3, AxisLabel(axis, "轴最低速度(0表示自适应):"), kMinimumSpeedRegisters[i]);
        b.deceleration = new QLineEdit(this);
        b.deceleration->hide();
        const QString n = QString::number(axis);
        b.subdivision->setObjectName("subdivision" + n);
        b.pitch->setObjectName("pitch" + n);
        b.backlash->setObjectName("backlash" + n);
        b.acceleration->setObjectName("acceleration" + n);
        b.deceleration->setObjectName("deceleration" + n);
        b.minimumSpeed->setObjectName("minimumSpeed" + n);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gear);
    layout->addWidget(curve);

    showMembers();
}

void CMotorParSettingDlg::FillFromRecord(const kelvane::MotorParameterRecord& record) {
    values_ = record;
    showMembers();
}

void CMotorParSettingDlg::CopyToRecord(kelvane::MotorParameterRecord& record) {
    readControls();
    record = values_;
}

// A box the user was just told is wrong must not go out with its previous value.
std::optional<kelvane::MotorParameterRecord> CMotorParSettingDlg::ReadForDownload() {
    if (!readControls()) return std::nullopt;
    return values_;
}

void CMotorParSettingDlg::ShowDownloadFailure(const std::string& message) {
    Prompter::current().message(this, QString::fromStdString(message), DefaultCaption());
}

bool CMotorParSettingDlg::readControls() {
    ControlReader read(this);
    for (int i = 0; i < kelvane::kMotorAxes; ++i) {
        kelvane::AxisParameters& v = values_.axes[i];
        const AxisBoxes& b = boxes_[i];
        read.integer(b.subdivision, v.subdivision)
            .number(b.pitch, v.pitch)
            .number(b.backlash, v.backlash)
            .integer(b.acceleration, v.acceleration)
            .integer(b.deceleration, v.deceleration)
            .number(b.minimumSpeed, v.minimumSpeed);
    }
    return read.ok();
}

void CMotorParSettingDlg::showMembers() {
    for (int i = 0; i < kelvane::kMotorAxes; ++i) {
        const kelvane::AxisParameters& v = values_.axes[i];
        const AxisBoxes& b = boxes_[i];
        ShowInteger(b.subdivision, v.subdivision);
        ShowNumber(b.pitch, v.pitch);
        ShowNumber(b.backlash, v.backlash);
        ShowInteger(b.acceleration, v.acceleration);
        ShowInteger(b.deceleration, v.deceleration);
        ShowNumber(b.minimumSpeed, v.minimumSpeed);
    }
}
