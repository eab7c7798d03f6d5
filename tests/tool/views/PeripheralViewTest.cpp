// The peripheral view: its lists, fill and copy against the record, what a download takes from
// the boxes, and the four bus-address buttons with their range check.
#include "ViewTestSupport.h"

#include "views/CPeripheralDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <tuple>

namespace {

QStringList Entries(const QComboBox* list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i) entries << list->itemText(i);
    return entries;
}

kelvane::PeripheralParameterRecord SampleRecord() {
    kelvane::PeripheralParameterRecord record;
    record.limitTriggerLevel = 1;
    for (int i = 0; i < 16; ++i) record.limits[i] = static_cast<std::uint8_t>(i + 3);
    record.limits[0] = 0;                                                     // "不开启"
    record.limits[1] = 1;                                                     // X1
    record.limits[15] = 24;                                                   // IN24
    record.analogue = {{{7, -1.5f, 10.25f}, {2, 0.0f, 5.0f}}};                // "采集模拟量", "Y轴速度"
    record.encoders = {{{30, 1000, 0.5f}, {1, 2500, 2.0f}, {0, -7, 1.25f}}};  // "W轴位置读取", ...
    return record;
}

using PeripheralViewTest = ViewFixture<CPeripheralDlg>;

TEST_F(PeripheralViewTest, ListsHoldTheirEntriesAfterEveryFill) {
    view.FillFromRecord(SampleRecord());
    view.FillFromRecord(SampleRecord());

    const QStringList limits = Entries(find<QComboBox>("limitPositive8"));
    ASSERT_EQ(limits.size(), 25);
    EXPECT_EQ(QStringList({limits[0], limits[1], limits[14], limits[15], limits[24]}),
              QString::fromUtf8("不开启,X1,X14,IN15,IN24").split(','));
    EXPECT_EQ(Entries(find<QComboBox>("adMode2")),
              QString::fromUtf8("不启用,X轴速度,Y轴速度,Z轴速度,A轴速度,B轴速度,C轴速度,采集模拟量").split(','));
    const QStringList encoder = Entries(find<QComboBox>("encoderMode3"));
    ASSERT_EQ(encoder.size(), 31);
    EXPECT_EQ(QStringList({encoder[0], encoder[1], encoder[8], encoder[30]}),
              QString::fromUtf8("不启用,X轴速度跟随,Y轴闭环控制,W轴位置读取").split(','));
}

TEST_F(PeripheralViewTest, FillThenCopyGivesTheRecordBackAndCodesNoListHasBecomeNothingOrOff) {
    kelvane::PeripheralParameterRecord sample = SampleRecord();
    view.FillFromRecord(sample);
    EXPECT_TRUE(find<QCheckBox>("activeHigh")->isChecked());
    EXPECT_EQ(find<QComboBox>("limitPositive8")->currentText(), "IN24");
    EXPECT_EQ(find<QLineEdit>("adMinimum1")->text(), "-1.5");
    kelvane::PeripheralParameterRecord copy;
    view.CopyToRecord(copy);
    EXPECT_EQ(copy.limitTriggerLevel, 1);
    EXPECT_EQ(copy.limits, sample.limits);
    for (int i = 0; i < 2; ++i) {
        const auto &a = copy.analogue[i], &b = sample.analogue[i];
        EXPECT_EQ(std::tie(a.function, a.minimum, a.maximum), std::tie(b.function, b.minimum, b.maximum)) << i;
    }
    for (int i = 0; i < 3; ++i) {
        const auto &a = copy.encoders[i], &b = sample.encoders[i];
        EXPECT_EQ(std::tie(a.mode, a.lines, a.ratio), std::tie(b.mode, b.lines, b.ratio)) << i;
    }

    sample.limitTriggerLevel = 2;  // any non-zero level is "高电平有效"
    sample.limits[4] = 25;
    sample.analogue[1].function = 8;
    sample.encoders[2].mode = 31;
    view.FillFromRecord(sample);
    EXPECT_TRUE(find<QCheckBox>("activeHigh")->isChecked());
    EXPECT_EQ(find<QComboBox>("limitNegative3")->currentIndex(), -1);
    EXPECT_EQ(find<QComboBox>("adMode2")->currentIndex(), 0);
    EXPECT_EQ(find<QComboBox>("encoderMode3")->currentIndex(), 0);
    view.CopyToRecord(copy);
    EXPECT_EQ(std::tie(copy.limitTriggerLevel, copy.limits[4], copy.analogue[1].function, copy.encoders[2].mode),
              std::make_tuple(1, 255, 0, 0));
}

TEST_F(PeripheralViewTest, ReadForDownloadTakesTheBoxesAsShownOrNothingWhenOneDoesNotParse) {
    view.FillFromRecord(SampleRecord());
    find<QCheckBox>("activeHigh")->setChecked(false);
    find<QComboBox>("limitNegative1")->setCurrentIndex(14);  // X14
    find<QComboBox>("limitNegative3")->setCurrentIndex(-1);  // nothing chosen goes out as 255
    const auto record = view.ReadForDownload();
    ASSERT_TRUE(record);
    EXPECT_EQ(std::tie(record->limitTriggerLevel, record->limits[0], record->limits[4], record->encoders[0].mode),
              std::make_tuple(0, 14, 255, 30));

    find<QLineEdit>("encoderRatio2")->setText("two");
    EXPECT_FALSE(view.ReadForDownload());
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8("请输入一个数字。")});
}

TEST_F(PeripheralViewTest, AddressButtonsWriteAndReadBothAddresses) {
    find<QLineEdit>("rs485Address")->setText("7");
    click("rs485Write");
    find<QLineEdit>("rs485Address")->setText("0");
    click("rs485Read");
    find<QLineEdit>("rs232Address")->setText("200");
    click("rs232Write");
    ASSERT_TRUE(settle());
    EXPECT_EQ(controller->registerValue(199), 200);
    controller->setRegister(199, 0x1234);  // only the low 8 bits are the address
    click("rs232Read");

    EXPECT_EQ(takeTraffic(), (std::vector<std::string>{Cmd(cmd::SetRs485Address, {7}), Cmd(cmd::GetRs485Address, {}),
                                                       WriteRegisters(199, {200}), ReadRegisters(199, 1)}));
    EXPECT_EQ(find<QLineEdit>("rs485Address")->text(), "7");
    EXPECT_EQ(find<QLineEdit>("rs232Address")->text(), "52");
    EXPECT_TRUE(prompter.shown.empty());

    controller->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Modbus, 4});
    click("rs232Read");  // no answer shows 0
    ASSERT_TRUE(settle());
    EXPECT_EQ(find<QLineEdit>("rs232Address")->text(), "0");
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

    EXPECT_EQ(prompter.texts(), (QStringList{range, range, range, QString::fromUtf8("请输入一个整数。")}));
    EXPECT_TRUE(takeTraffic().empty());

    find<QLineEdit>("rs232Address")->setText("255");
    click("rs232Write");
    EXPECT_EQ(takeTraffic(), std::vector<std::string>{WriteRegisters(199, {255})});
}

TEST_F(PeripheralViewTest, AddressBoxesTakeNoPartInCopyToRecordOrReadForDownload) {
    view.FillFromRecord(SampleRecord());
    find<QLineEdit>("rs485Address")->setText("300");  // typed, never written
    find<QLineEdit>("rs232Address")->setText("x");
    find<QLineEdit>("adMinimum1")->setText("2.5");  // program boxes typed after the addresses
    find<QLineEdit>("encoderLines3")->setText("42");
    find<QLineEdit>("encoderRatio3")->setText("0.75");

    kelvane::PeripheralParameterRecord copy;
    view.CopyToRecord(copy);
    EXPECT_EQ(std::tie(copy.analogue[0].minimum, copy.encoders[2].lines, copy.encoders[2].ratio),
              std::make_tuple(2.5f, 42, 0.75f));

    const auto record = view.ReadForDownload();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->analogue[0].minimum, 2.5f);
    EXPECT_TRUE(prompter.shown.empty());

    view.FillFromRecord(SampleRecord());  // loading a program leaves the addresses as typed
    EXPECT_EQ(find<QLineEdit>("rs485Address")->text(), "300");
    EXPECT_EQ(find<QLineEdit>("rs232Address")->text(), "x");
}

TEST_F(PeripheralViewTest, EachAddressButtonReadsOnlyItsOwnBox) {
    const QString range = QString::fromUtf8("请输入一个介于 0 和 255 之间的整数。");
    find<QLineEdit>("encoderRatio2")->setText("two");  // a program box that does not parse
    const struct {
        const char* write;
        const char* own;
        const char* other;
        std::string sent;
    } rows[] = {
        {"rs485Write", "rs485Address", "rs232Address", Cmd(cmd::SetRs485Address, {9})},
        {"rs232Write", "rs232Address", "rs485Address", WriteRegisters(199, {9})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.write);
        find<QLineEdit>(row.own)->setText("9");
        find<QLineEdit>(row.other)->setText("300");
        click(row.write);
        EXPECT_EQ(takeTraffic(), std::vector<std::string>{row.sent});
        EXPECT_TRUE(prompter.shown.empty());

        find<QLineEdit>(row.own)->setText("300");
        find<QLineEdit>(row.other)->setText("9");
        click(row.write);
        EXPECT_TRUE(takeTraffic().empty());
        EXPECT_EQ(prompter.texts(), QStringList{range});
        prompter.shown.clear();
    }

    find<QLineEdit>("rs485Address")->setText("300");
    find<QLineEdit>("rs232Address")->setText("300");
    click("rs485Read");  // a read button reads no box: the address read replaces its text
    click("rs232Read");
    EXPECT_EQ(takeTraffic(), (std::vector<std::string>{Cmd(cmd::GetRs485Address, {}), ReadRegisters(199, 1)}));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(find<QLineEdit>("rs485Address")->text(), "9");
}

}  // namespace
