// The motor parameter view: its defaults, fill and copy against the record, and the download
// with read-back through the library to the simulated controller.
#include "ViewTestSupport.h"

#include "views/CMotorParSettingDlg.h"
#include "views/ReadControls.h"

#include <QLineEdit>

namespace {

constexpr int kSetDiv = 120, kGetDiv = 121, kSetPitch = 122, kGetPitch = 123, kSetAcc = 124,
              kGetAcc = 125, kSetMinSpeed = 129;

kelvane::MotorParameterRecord SampleRecord() {
    kelvane::MotorParameterRecord record;
    for (int i = 0; i < kelvane::kMotorAxes; ++i) {
        kelvane::AxisParameters& a = record.axes[i];
        a.subdivision = 800 + i;
        a.pitch = 2.5f + i;
        a.backlash = 0.25f * i;
        a.acceleration = 20 + i;
        a.deceleration = 30 + i;
        a.minimumSpeed = 1.5f + i;
    }
    return record;
}

// The whole download of `record`, as the controller must receive it.
std::vector<std::string> DownloadTraffic(const kelvane::MotorParameterRecord& record) {
    std::vector<std::string> lines;
    for (int i = 0; i < 8; ++i) {
        lines.push_back(Cmd(kSetDiv, {1u << i, std::uint32_t(record.axes[i].subdivision)}));
        lines.push_back(Cmd(kGetDiv, {1u << i}));
    }
    for (int i = 0; i < 8; ++i) {
        lines.push_back(Cmd(kSetPitch, {1u << i, Bits(record.axes[i].pitch)}));
        lines.push_back(Cmd(kGetPitch, {1u << i}));
    }
    for (int i = 0; i < 8; ++i) {
        lines.push_back(Cmd(kSetAcc, {1u << i, std::uint32_t(record.axes[i].acceleration)}));
        lines.push_back(Cmd(kGetAcc, {1u << i}));
    }
    for (int i = 0; i < 6; ++i)
        lines.push_back(Cmd(kSetMinSpeed, {1u << i, Bits(record.axes[i].minimumSpeed)}));
    return lines;
}

class MotorParameterViewTest : public ViewTest {
protected:
    QLineEdit* box(const char* field, int axis) {
        return child<QLineEdit>(&view, QString::fromLatin1(field) + QString::number(axis));
    }

    CMotorParSettingDlg view;
};

TEST_F(MotorParameterViewTest, StartsWithTheFactoryValues) {
    kelvane::MotorParameterRecord record = SampleRecord();
    view.CopyToRecord(record);
    for (int i = 0; i < 8; ++i) {
        const kelvane::AxisParameters& a = record.axes[i];
        const bool driven = i < 6;
        EXPECT_EQ(a.subdivision, 1600);
        EXPECT_EQ(a.pitch, driven ? 5.0f : 0.0f);
        EXPECT_EQ(a.backlash, 0.0f);
        EXPECT_EQ(a.acceleration, driven ? 10 : 0);
        EXPECT_EQ(a.deceleration, driven ? 10 : 0);
        EXPECT_EQ(a.minimumSpeed, 0.0f);
    }
    EXPECT_EQ(box("pitch", 1)->text(), "5");
    EXPECT_TRUE(box("deceleration", 1)->isHidden());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MotorParameterViewTest, FillThenCopyGivesTheRecordBack) {
    const kelvane::MotorParameterRecord sample = SampleRecord();
    view.FillFromRecord(sample);
    EXPECT_EQ(box("subdivision", 8)->text(), "807");
    EXPECT_EQ(box("backlash", 3)->text(), "0.5");

    kelvane::MotorParameterRecord copy;
    view.CopyToRecord(copy);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(copy.axes[i].subdivision, sample.axes[i].subdivision);
        EXPECT_EQ(copy.axes[i].pitch, sample.axes[i].pitch);
        EXPECT_EQ(copy.axes[i].backlash, sample.axes[i].backlash);
        EXPECT_EQ(copy.axes[i].acceleration, sample.axes[i].acceleration);
        EXPECT_EQ(copy.axes[i].deceleration, sample.axes[i].deceleration);
        EXPECT_EQ(copy.axes[i].minimumSpeed, sample.axes[i].minimumSpeed);
    }
}

TEST_F(MotorParameterViewTest, CopyStopsReadingAtTheFirstBadBoxAndCopiesAnyway) {
    view.FillFromRecord(SampleRecord());
    view.show();
    box("subdivision", 3)->setText("1234");  // read before the bad box
    box("pitch", 3)->setText("abc");
    box("acceleration", 3)->setText("99");  // read after it: keeps the old value
    box("subdivision", 4)->setText("x");    // a second bad box is never reached

    kelvane::MotorParameterRecord copy;
    view.CopyToRecord(copy);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8("请输入一个数字。"));
    EXPECT_EQ(prompter.shown[0].caption, DefaultCaption());
    EXPECT_EQ(view.focusWidget(), box("pitch", 3));
    EXPECT_EQ(copy.axes[2].subdivision, 1234);
    EXPECT_EQ(copy.axes[2].pitch, 4.5f);
    EXPECT_EQ(copy.axes[2].acceleration, 22);
    EXPECT_EQ(copy.axes[3].subdivision, 803);
}

TEST_F(MotorParameterViewTest, DownloadSendsEveryValueWithReadBackInOrder) {
    kelvane::MotorParameterRecord record = SampleRecord();
    record.axes[1].acceleration = 70000;  // beyond the label's range, sent unchanged
    view.FillFromRecord(record);

    EXPECT_EQ(view.Download(), 0);
    EXPECT_EQ(takeTraffic(), DownloadTraffic(record));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(controller->axis(2).acceleration, 70000);

    // Backlash, deceleration and the minimum speed of axes 7 and 8 stay in the file.
    box("backlash", 1)->setText("3.5");
    box("deceleration", 2)->setText("77");
    box("minimumSpeed", 7)->setText("9");
    EXPECT_EQ(view.Download(), 0);
    EXPECT_EQ(takeTraffic(), DownloadTraffic(record));
}

TEST_F(MotorParameterViewTest, DownloadStopsAtTheFirstReadBackMismatch) {
    view.FillFromRecord(SampleRecord());
    controller->overrideReadBack(kGetPitch, 1, Bits(5.01f));
    box("pitch", 1)->setText("5");

    EXPECT_NE(view.Download(), 0);

    ASSERT_EQ(prompter.texts(), QStringList{QString::fromUtf8("设置X轴螺距失败2")});
    EXPECT_EQ(prompter.shown[0].caption, DefaultCaption());
    const std::vector<std::string> traffic = takeTraffic();
    ASSERT_EQ(traffic.size(), 18u);  // all pulses per revolution, then axis 1's pitch
    EXPECT_EQ(traffic[16], Cmd(kSetPitch, {1, Bits(5.0f)}));
    EXPECT_EQ(traffic[17], Cmd(kGetPitch, {1}));
}

TEST_F(MotorParameterViewTest, MismatchMessagesNameTheAxisAndTheValue) {
    view.FillFromRecord(SampleRecord());
    controller->overrideReadBack(kGetDiv, 64, 0);
    EXPECT_NE(view.Download(), 0);
    EXPECT_EQ(takeTraffic().back(), Cmd(kGetDiv, {64}));

    controller->clearFaults();
    controller->overrideReadBack(kGetAcc, 32, 11);
    EXPECT_NE(view.Download(), 0);
    EXPECT_EQ(takeTraffic().back(), Cmd(kGetAcc, {32}));

    EXPECT_EQ(prompter.texts(), (QStringList{QString::fromUtf8("设置7轴细分数失败2"),
                                             QString::fromUtf8("设置W轴加速系数失败2")}));
}

TEST_F(MotorParameterViewTest, DownloadSendsNothingWhenABoxDoesNotParse) {
    box("acceleration", 5)->setText("1.5");
    EXPECT_NE(view.Download(), 0);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8("请输入一个整数。")});
    EXPECT_TRUE(takeTraffic().empty());
}

}  // namespace
