#include "CPeripheralDlg.h"

#include "core/machine/ControllerAddress.h"
#include "core/machine/PeripheralCodes.h"
#include "views/ControlNames.h"
#include "views/ReadControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

void Refill(QComboBox* list, const std::vector<std::string>& names) {
    list->clear();
    for (const std::string& name : names) list->addItem(QString::fromStdString(name));
}

// A list index as the record stores it: nothing selected (-1) becomes 255.
std::uint8_t StoredIndex(const QComboBox* list) { return static_cast<std::uint8_t>(list->currentIndex()); }

// The stored index when the list has it, else `fallback` (-1 selects nothing).
void Select(QComboBox* list, std::uint8_t index, int fallback) {
    list->setCurrentIndex(index < list->count() ? index : fallback);
}

}  // namespace

CPeripheralDlg::CPeripheralDlg(LinkWorker& worker, QWidget* parent) : QWidget(parent), link_(worker, this) {
    auto* layout = new QGridLayout(this);
    layout->addWidget(buildLimitGroup(), 0, 0, 2, 1);
    layout->addWidget(buildAddressGroup(), 0, 1);
    layout->addWidget(buildAnalogueGroup(), 1, 1);
    layout->addWidget(buildEncoderGroup(), 2, 0, 1, 2);

    refillLists();
    showMembers();
}

QWidget* CPeripheralDlg::buildLimitGroup() {
    auto* group = new QGroupBox(Text("限位设置"));
    auto* grid = new QGridLayout(group);
    activeHigh_ = new QCheckBox(Text("高电平有效"));
    activeHigh_->setObjectName("activeHigh");
    grid->addWidget(activeHigh_, 0, 0, 1, 3);
    const char* const sides[2] = {"负限位", "正限位"};
    grid->addWidget(new QLabel(Text(sides[0])), 1, 1);
    grid->addWidget(new QLabel(Text(sides[1])), 1, 2);
    for (int axis = 1; axis <= kelvane::kMotorAxes; ++axis) {
        grid->addWidget(new QLabel(QString::number(axis) + Text("轴:")), axis + 1, 0);
        for (int side = 0; side < 2; ++side) {
            auto* list = new QComboBox;
            list->setObjectName((side == 0 ? "limitNegative" : "limitPositive") + QString::number(axis));
            list->setAccessibleName(AxisControlName(QString::number(axis), Text(sides[side])));
            limits_[2 * (axis - 1) + side] = list;
            grid->addWidget(list, axis + 1, 1 + side);
        }
    }
    return group;
}

QWidget* CPeripheralDlg::buildAddressGroup() {
    auto* group = new QGroupBox(Text("控制器地址设置"));
    auto* grid = new QGridLayout(group);
    rs485Box_ = new QLineEdit;
    rs232Box_ = new QLineEdit;
    rs485Box_->setObjectName("rs485Address");
    rs232Box_->setObjectName("rs232Address");
    struct Row {
        const char* name;
        const char* label;
        QLineEdit* box;
        void (CPeripheralDlg::*read)();
        void (CPeripheralDlg::*write)();
    };
    const Row rows[] = {
        {"rs485", "控制器485地址：", rs485Box_, &CPeripheralDlg::ReadRs485Address, &CPeripheralDlg::WriteRs485Address},
        {"rs232", "控制器232地址：", rs232Box_, &CPeripheralDlg::ReadRs232Address, &CPeripheralDlg::WriteRs232Address},
    };
    int row = 0;
    for (const Row& r : rows) {
        auto* readButton = new QPushButton(Text("地址读取"));
        auto* writeButton = new QPushButton(Text("地址写入"));
        readButton->setObjectName(QString::fromLatin1(r.name) + "Read");
        writeButton->setObjectName(QString::fromLatin1(r.name) + "Write");
        const QString address = Text(r.label).chopped(1);  // without its colon
        readButton->setAccessibleName(address + readButton->text());
        writeButton->setAccessibleName(address + writeButton->text());
        connect(readButton, &QPushButton::clicked, this, r.read);
        connect(writeButton, &QPushButton::clicked, this, r.write);
        ShowInteger(r.box, 0);  // until an address is read or typed
        AddBuddyLabel(grid, Text(r.label), r.box, row, 0);
        grid->addWidget(r.box, row, 1);
        grid->addWidget(readButton, row, 2);
        grid->addWidget(writeButton, row, 3);
        ++row;
    }
    return group;
}

QWidget* CPeripheralDlg::buildAnalogueGroup() {
    auto* group = new QGroupBox(Text("A/D外设配置"));
    auto* grid = new QGridLayout(group);
    const char* const labels[2][3] = {
        {"模/数输入通道1工作模式", "最小值(DM78)", "最大值(DM80)"},
        {"模/数输入通道2工作模式", "最小值(DM82)", "最大值(DM84)"},
    };
    for (int channel = 0; channel < 2; ++channel) {
        AnalogueControls& c = analogue_[channel];
        c.mode = new QComboBox;
        c.minimum = new QLineEdit;
        c.maximum = new QLineEdit;
        const QString n = QString::number(channel + 1);
        c.mode->setObjectName("adMode" + n);
        c.minimum->setObjectName("adMinimum" + n);
        c.maximum->setObjectName("adMaximum" + n);
        const int row = 2 * channel;
        AddBuddyLabel(grid, Text(labels[channel][0]), c.mode, row, 0);
        grid->addWidget(c.mode, row, 1, 1, 3);
        AddBuddyLabel(grid, Text(labels[channel][1]), c.minimum, row + 1, 0);
        grid->addWidget(c.minimum, row + 1, 1);
        AddBuddyLabel(grid, Text(labels[channel][2]), c.maximum, row + 1, 2);
        grid->addWidget(c.maximum, row + 1, 3);
    }
    return group;
}

QWidget* CPeripheralDlg::buildEncoderGroup() {
    auto* group = new QGroupBox(Text("编码器/手轮输入"));
    auto* grid = new QGridLayout(group);
    const char* const names[3] = {"编码器1(IN23 IN24)", "编码器2(IN21 IN22)", "编码器3(IN19 IN20)"};
    const char* const ratioLabels[3] = {"(电机/编码器)脉冲比(DM138)", "(电机/编码器)脉冲比(DM140)",
                                        "(电机/编码器)脉冲比(DM142)"};
    for (int encoder = 0; encoder < 3; ++encoder) {
        EncoderControls& c = encoders_[encoder];
        c.mode = new QComboBox;
        c.lines = new QLineEdit;
        c.ratio = new QLineEdit;
        const QString n = QString::number(encoder + 1);
        c.mode->setObjectName("encoderMode" + n);
        c.lines->setObjectName("encoderLines" + n);
        c.ratio->setObjectName("encoderRatio" + n);
        AddBuddyLabel(grid, Text(names[encoder]), c.mode, encoder, 0);
        grid->addWidget(c.mode, encoder, 1);
        grid->addWidget(new QLabel(Text("编码器线数")), encoder, 2);
        c.lines->setAccessibleName(Text(names[encoder]) + Text("编码器线数"));
        grid->addWidget(c.lines, encoder, 3);
        AddBuddyLabel(grid, Text(ratioLabels[encoder]), c.ratio, encoder, 4);
        grid->addWidget(c.ratio, encoder, 5);
    }
    return group;
}

void CPeripheralDlg::refillLists() {
    const auto limitNames = kelvane::LimitInputNames();
    const auto analogueNames = kelvane::AnalogueModeNames();
    const auto encoderNames = kelvane::EncoderModeNames();
    for (QComboBox* list : limits_) Refill(list, limitNames);
    for (AnalogueControls& c : analogue_) Refill(c.mode, analogueNames);
    for (EncoderControls& c : encoders_) Refill(c.mode, encoderNames);
}

void CPeripheralDlg::FillFromRecord(const kelvane::PeripheralParameterRecord& record) {
    refillLists();
    values_ = record;
    activeHigh_->setChecked(record.limitTriggerLevel != 0);
    for (std::size_t i = 0; i < limits_.size(); ++i) Select(limits_[i], record.limits[i], -1);
    for (std::size_t i = 0; i < analogue_.size(); ++i) Select(analogue_[i].mode, record.analogue[i].function, 0);
    for (std::size_t i = 0; i < encoders_.size(); ++i) Select(encoders_[i].mode, record.encoders[i].mode, 0);
    showMembers();
}

void CPeripheralDlg::CopyToRecord(kelvane::PeripheralParameterRecord& record) {
    readControls();
    gather(record);
}

// A box the user was just told is wrong must not go out with its previous value.
std::optional<kelvane::PeripheralParameterRecord> CPeripheralDlg::ReadForDownload() {
    if (!readControls()) return std::nullopt;
    kelvane::PeripheralParameterRecord record;
    gather(record);
    return record;
}

void CPeripheralDlg::ReadRs485Address() {
    link_.post<std::uint8_t>([] { return kelvane::ReadRs485Address(); },
                             [this](std::uint8_t address) { ShowInteger(rs485Box_, address); });
}

void CPeripheralDlg::WriteRs485Address() {
    if (const auto address = readAddress(rs485Box_))
        link_.send([address = *address] { kelvane::WriteRs485Address(address); });
}

void CPeripheralDlg::ReadRs232Address() {
    link_.post<std::uint8_t>([] { return kelvane::ReadRs232Address(); },
                             [this](std::uint8_t address) { ShowInteger(rs232Box_, address); });
}

void CPeripheralDlg::WriteRs232Address() {
    if (const auto address = readAddress(rs232Box_))
        link_.send([address = *address] { kelvane::WriteRs232Address(address); });
}

bool CPeripheralDlg::readControls() {
    ControlReader read(this);
    for (std::size_t i = 0; i < analogue_.size(); ++i)
        read.number(analogue_[i].minimum, values_.analogue[i].minimum)
            .number(analogue_[i].maximum, values_.analogue[i].maximum);
    for (std::size_t i = 0; i < encoders_.size(); ++i)
        read.integer(encoders_[i].lines, values_.encoders[i].lines)
            .number(encoders_[i].ratio, values_.encoders[i].ratio);
    return read.ok();
}

std::optional<std::uint8_t> CPeripheralDlg::readAddress(QLineEdit* box) {
    std::int32_t address = 0;
    if (!ControlReader(this).integerInRange(box, address, 0, 255).ok()) return std::nullopt;
    return static_cast<std::uint8_t>(address);
}

void CPeripheralDlg::gather(kelvane::PeripheralParameterRecord& record) const {
    record.limitTriggerLevel = activeHigh_->isChecked() ? 1 : 0;
    for (std::size_t i = 0; i < limits_.size(); ++i) record.limits[i] = StoredIndex(limits_[i]);
    for (std::size_t i = 0; i < analogue_.size(); ++i) {
        record.analogue[i] = values_.analogue[i];
        record.analogue[i].function = StoredIndex(analogue_[i].mode);
    }
    for (std::size_t i = 0; i < encoders_.size(); ++i) {
        record.encoders[i] = values_.encoders[i];
        record.encoders[i].mode = StoredIndex(encoders_[i].mode);
    }
}

void CPeripheralDlg::showMembers() {
    for (std::size_t i = 0; i < analogue_.size(); ++i) {
        ShowNumber(analogue_[i].minimum, values_.analogue[i].minimum);
        ShowNumber(analogue_[i].maximum, values_.analogue[i].maximum);
    }
    for (std::size_t i = 0; i < encoders_.size(); ++i) {
        ShowInteger(encoders_[i].lines, values_.encoders[i].lines);
        ShowNumber(encoders_[i].ratio, values_.encoders[i].ratio);
    }
}
