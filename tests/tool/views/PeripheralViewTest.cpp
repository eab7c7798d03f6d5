// The peripheral view: its lists, fill and copy against the record, the download, and the
// four bus-address buttons with their range check.
#include "ViewTestSupport.h"

#include "views/CPeripheralDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kSetAddress = 4, kGetAddress = 5, kLimits = 24, kEncoderLines = 29, kEncoderMode = 30,
              kAnalogueMode = 32, kAnalogueScale = 33;

QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
}

kelvane::PeripheralParameterRecord SampleRecord() {
    kelvane::PeripheralParameterRecord record;
    record.limitTriggerLevel = 1;
    for (int i = 0; i < 16; ++i) record.limits[i] = static_cast<std::uint8_t>(i + 3);
    record.limits[0] = 0;                     // "不开启"
    record.limits[1] = 1;                     // X1
    record.limits[15] = 24;                   // IN24
    record.analogue[0] = {7, -1.5f, 10.25f};  // "采集模拟量"
    record.analogue[1] = {2, 0.0f, 5.0f};     // "Y轴速度"
    record.encoders[0] = {30, 1000, 0.5f};    // "W轴位置读取"
    record.encoders[1] = {1, 2500, 2.0f};
    record.encoders[2] = {0, -7, 1.25f};
    return record;
}

class PeripheralViewTest : public ViewTest {
protected:
    template <typename Widget>
    Widget* find(const QString& name) {
        return child<Widget>(&view, name);
    }
    void click(const char* button) { find<QPushButton>(button)->click(); }

    CPeripheralDlg view;
};

TEST_F(PeripheralViewTest, ListsHoldTheirEntriesAfterEveryFill) {
    view.FillFromRecord(SampleRecord());
    view.FillFromRecord(SampleRecord());

    const QStringList limits = Entries(find<QComboBox>("limitPositive8"));
    ASSERT_EQ(limits.size(), 25);
    EXPECT_EQ(limits[0], QString::fromUtf8("不开启"));
    EXPECT_EQ(limits[1], "X1");
    EXPECT_EQ(limits[14], "X14");
    EXPECT_EQ(limits[15], "IN15");
    EXPECT_EQ(limits[24], "IN24");

    EXPECT_EQ(Entries(find<QComboBox>("adMode2")),
              QString::fromUtf8("不启用,X轴速度,Y轴速度,Z轴速度,A轴速度,B轴速度,C轴速度,采集模拟量")
                  .split(','));

    const QStringList encoder = Entries(find<QComboBox>("encoderMode3"));
    ASSERT_EQ(encoder.size(), 31);
    EXPECT_EQ(encoder[0], QString::fromUtf8("不启用"));
    EXPECT_EQ(encoder[1], QString::fromUtf8("X轴速度跟随"));
    EXPECT_EQ(encoder[8], QString::fromUtf8("Y轴闭环控制"));
    EXPECT_EQ(encoder[30], QString::fromUtf8("W轴位置读取"));
}

TEST_F(PeripheralViewTest, FillThenCopyGivesTheRecordBack) {
    const kelvane::PeripheralParameterRecord sample = SampleRecord();
    view.FillFromRecord(sample);
    EXPECT_TRUE(find<QCheckBox>("activeHigh")->isChecked());
    EXPECT_EQ(find<QComboBox>("limitPositive8")->currentText(), "IN24");
    EXPECT_EQ(find<QLineEdit>("adMinimum1")->text(), "-1.5");

    kelvane::PeripheralParameterRecord copy;
    view.CopyToRecord(copy);
    EXPECT_EQ(copy.limitTriggerLevel, 1);
    EXPECT_EQ(copy.limits, sample.limits);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(copy.analogue[i].function, sample.analogue[i].function);
        EXPECT_EQ(copy.analogue[i].minimum, sample.analogue[i].minimum);
        EXPECT_EQ(copy.analogue[i].maximum, sample.analogue[i].maximum);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(copy.encoders[i].mode, sample.encoders[i].mode);
        EXPECT_EQ(copy.encoders[i].lines, sample.encoders[i].lines);
        EXPECT_EQ(copy.encoders[i].ratio, sample.encoders[i].ratio);
    }
}

TEST_F(PeripheralViewTest, CodesNoListHasLoadAsNothingOrOff) {
    kelvane::PeripheralParameterRecord record = SampleRecord();
    record.limitTriggerLevel = 2;  // any non-zero level is "高电平有效"
    record.limits[4] = 25;
    record.analogue[1].function = 8;
    record.encoders[2].mode = 31;
    view.FillFromRecord(record);

    EXPECT_TRUE(find<QCheckBox>("activeHigh")->isChecked());
    EXPECT_EQ(find<QComboBox>("limitNegative3")->currentIndex(), -1);
    EXPECT_EQ(find<QComboBox>("adMode2")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>("encoderMode3")->currentIndex(), 0);

    kelvane::PeripheralParameterRecord copy;
    view.CopyToRecord(copy);
    EXPECT_EQ(copy.limitTriggerLevel, 1);
    EXPECT_EQ(copy.limits[4], 255);
    EXPECT_EQ(copy.analogue[1].function, 0);
    EXPECT_EQ(copy.encoders[2].mode, 0);

    EXPECT_EQ(view.Download(), 0);
    EXPECT_EQ(takeTraffic()[3], Cmd(kLimits, {4, 255, 8}));
}

TEST_F(PeripheralViewTest, DownloadSendsLevelLimitsAnalogueAndEncodersInOrder) {
    view.FillFromRecord(SampleRecord());
    EXPECT_EQ(view.Download(), 0);

    std::vector<std::string> expected{WriteCoil(110, true)};
    expected.push_back(Cmd(kLimits, {1, 255, 1}));
    for (int axis = 2; axis <= 7; ++axis)
        expected.push_back(Cmd(
            kLimits, {1u << (axis - 1), std::uint32_t(2 * axis + 1), std::uint32_t(2 * axis + 2)}));
    expected.push_back(Cmd(kLimits, {128, 17, 24}));
    expected.push_back(Cmd(kAnalogueMode, {1, 31}));
    expected.push_back(Cmd(kAnalogueScale, {1, Bits(-1.5f), Bits(10.25f)}));
    expected.push_back(Cmd(kAnalogueMode, {2, 6}));
    expected.push_back(Cmd(kAnalogueScale, {2, Bits(0.0f), Bits(5.0f)}));
    expected.push_back(Cmd(kEncoderLines, {1, 1000, Bits(0.5f)}));
    expected.push_back(Cmd(kEncoderMode, {1, 30}));
    expected.push_back(Cmd(kEncoderLines, {2, 2500, Bits(2.0f)}));
    expected.push_back(Cmd(kEncoderMode, {2, 1}));
    expected.push_back(Cmd(kEncoderLines, {3, std::uint32_t(-7), Bits(1.25f)}));
    expected.push_back(Cmd(kEncoderMode, {3, 0}));
    EXPECT_EQ(takeTraffic(), expected);
    EXPECT_TRUE(controller->coil(110));

    find<QCheckBox>("activeHigh")->setChecked(false);
    find<QComboBox>("limitNegative1")->setCurrentIndex(14);  // X14
    EXPECT_EQ(view.Download(), 0);
    const std::vector<std::string> again = takeTraffic();
    EXPECT_EQ(again[0], WriteCoil(110, false));
    EXPECT_EQ(again[1], Cmd(kLimits, {1, 14, 1}));
}

TEST_F(PeripheralViewTest, DownloadSendsNothingWhenABoxDoesNotParse) {
    find<QLineEdit>("encoderRatio2")->setText("two");
    EXPECT_NE(view.Download(), 0);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8("请输入一个数字。")});
    EXPECT_TRUE(takeTraffic().empty());
}

TEST_F(PeripheralViewTest, AddressButtonsWriteAndReadBothAddresses) {
    find<QLineEdit>("rs485Address")->setText("7");
    click("rs485Write");
    find<QLineEdit>("rs485Address")->setText("0");
    click("rs485Read");
    find<QLineEdit>("rs232Address")->setText("200");
    click("rs232Write");
    EXPECT_EQ(controller->registerValue(199), 200);
    controller->setRegister(199, 0x1234);  // only the low 8 bits are the address
    click("rs232Read");

    EXPECT_EQ(takeTraffic(),
              (std::vector<std::string>{Cmd(kSetAddress, {7}), Cmd(kGetAddress, {}),
                                        WriteRegisters(199, {200}), ReadRegisters(199, 1)}));
    EXPECT_EQ(find<QLineEdit>("rs485Address")->text(), "7");
    EXPECT_EQ(find<QLineEdit>("rs232Address")->text(), "52");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(PeripheralViewTest, AddressOutsideZeroTo255IsRefusedWithTheRangeMessage) {
    view.show();
    const QString range = QString::fromUtf8("请输入一个介于 0 和 255 之间的整数。");
    find<QLineEdit>("rs485Address")->setText("300");
    click("rs485Write");
    EXPECT_EQ(view.focusWidget(), find<QLineEdit>("rs485Address"));
    find<QLineEdit>("rs485Address")->setText("-1");
    click("rs485Write");
    find<QLineEdit>("rs485Address")->setText("255");
    find<QLineEdit>("rs232Address")->setText("256");
    click("rs232Write");
    find<QLineEdit>("rs232Address")->setText("70000");  // not even a 16-bit integer
    click("rs232Write");

    EXPECT_EQ(prompter.texts(),
              (QStringList{range, range, range, QString::fromUtf8("请输入一个整数。")}));
    EXPECT_TRUE(takeTraffic().empty());

    find<QLineEdit>("rs232Address")->setText("255");
    click("rs232Write");
    EXPECT_EQ(takeTraffic(), std::vector<std::string>{WriteRegisters(199, {255})});
}

TEST_F(PeripheralViewTest, ReadingWithNoAnswerShowsZero) {
    find<QLineEdit>("rs232Address")->setText("9");
    controller->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Modbus, 4});
    click("rs232Read");
    EXPECT_EQ(find<QLineEdit>("rs232Address")->text(), "0");
}

}  // namespace
