// The motor parameter view: its defaults, fill and copy against the record, and the download
// with read-back through the library to the simulated controller.
#include "ViewTestSupport.h"

#include "views/CMotorParSettingDlg.h"
#include "views/ReadControls.h"

#include <QLineEdit>

#include <tuple>

namespace {

constexpr int kSetDiv = 120, kGetDiv = 121, kSetPitch = 122, kGetPitch = 123, kSetAcc = 124, kGetAcc = 125,
              kSetMinSpeed = 129;

kelvane::MotorParameterRecord SampleRecord() {
    kelvane::MotorParameterRecord record;
    for (int i = 0; i < kelvane::kMotorAxes; ++i)
        record.axes[i] = {800 + i, 2.5f + i, 0.25f * i, 20 + i, 30 + i, 1.5f + i};
    return record;
}

auto Fields(const kelvane::AxisParameters& a) {
    return std::tie(a.subdivision, a.pitch, a.backlash, a.acceleration, a.deceleration, a.minimumSpeed);
}

// The whole download of `record`, as the controller must receive it.
std::vector<std::string> DownloadTraffic(const kelvane::MotorParameterRecord& record) {
    std::vector<std::string> lines;
    for (int i = 0; i < 8; ++i)
        lines.insert(lines.end(),
                     {Cmd(kSetDiv, {1u << i, std::uint32_t(record.axes[i].subdivision)}), Cmd(kGetDiv, {1u << i})});
    for (int i = 0; i < 8; ++i)
        lines.insert(lines.end(), {Cmd(kSetPitch, {1u << i, Bits(record.axes[i].pitch)}), Cmd(kGetPitch, {1u << i})});
    for (int i = 0; i < 8; ++i)
        lines.insert(lines.end(),
                     {Cmd(kSetAcc, {1u << i, std::uint32_t(record.axes[i].acceleration)}), Cmd(kGetAcc, {1u << i})});
    for (int i = 0; i < 6; ++i) lines.push_back(Cmd(kSetMinSpeed, {1u << i, Bits(record.axes[i].minimumSpeed)}));
    return lines;
}

class MotorParameterViewTest : public ViewFixture<CMotorParSettingDlg> {
protected:
    QLineEdit* box(const char* field, int axis) {
        return find<QLineEdit>(QString::fromLatin1(field) + QString::number(axis));
    }
};

TEST_F(MotorParameterViewTest, StartsWithTheFactoryValuesAndFillThenCopyGivesTheRecordBack) {
    kelvane::MotorParameterRecord record = SampleRecord();
    view.CopyToRecord(record);
    for (int i = 0; i < 8; ++i) {
        const bool driven = i < 6;
        EXPECT_EQ(Fields(record.axes[i]),
                  std::make_tuple(1600, driven ? 5.0f : 0.0f, 0.0f, driven ? 10 : 0, driven ? 10 : 0, 0.0f))
            << i;
    }
    EXPECT_EQ(box("pitch", 1)->text(), "5");
    EXPECT_TRUE(box("deceleration", 1)->isHidden());

    const kelvane::MotorParameterRecord sample = SampleRecord();
    view.FillFromRecord(sample);
    EXPECT_EQ(box("subdivision", 8)->text(), "807");
    EXPECT_EQ(box("backlash", 3)->text(), "0.5");
    view.CopyToRecord(record);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Fields(record.axes[i]), Fields(sample.axes[i])) << i;
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(MotorParameterViewTest, CopyStopsReadingAtTheFirstBadBoxAndCopiesAnyway) {
    view.FillFromRecord(SampleRecord());
    view.show();
    box("subdivision", 3)->setText("1234");  // read before the bad box
    box("pitch", 3)->setText("abc");
    box("acceleration", 3)->setText("99");  // read after it: keep their old values
    box("minimumSpeed", 3)->setText("8");
    box("pitch", 4)->setText("y");  // a second bad box is never reached

    kelvane::MotorParameterRecord copy;
    view.CopyToRecord(copy);

    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8("请输入一个数字。"));
    EXPECT_EQ(prompter.shown[0].caption, DefaultCaption());
    EXPECT_EQ(view.focusWidget(), box("pitch", 3));
    EXPECT_EQ(
        std::tie(copy.axes[2].subdivision, copy.axes[2].pitch, copy.axes[2].acceleration, copy.axes[2].minimumSpeed),
        std::make_tuple(1234, 4.5f, 22, 3.5f));
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

    box("acceleration", 5)->setText("1.5");  // a box that does not parse: nothing is sent
    EXPECT_NE(view.Download(), 0);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8("请输入一个整数。")});
    EXPECT_TRUE(takeTraffic().empty());
}

TEST_F(MotorParameterViewTest, DownloadStopsAtTheFirstReadBackMismatchNamingAxisAndValue) {
    view.FillFromRecord(SampleRecord());
    const std::vector<std::string> full = DownloadTraffic(SampleRecord());
    const struct {
        int query;
        std::uint32_t axis;
        std::uint32_t answer;
        std::size_t sent;
        const char* message;
    } cases[] = {
        {kGetDiv, 64, 0, 14, "设置7轴细分数失败2"},
        {kGetPitch, 1, Bits(5.01f), 18, "设置X轴螺距失败2"},
        {kGetAcc, 32, 11, 44, "设置W轴加速系数失败2"},
    };
    for (const auto& c : cases) {
        controller->clearFaults();
        controller->overrideReadBack(c.query, c.axis, c.answer);
        prompter.shown.clear();
        EXPECT_NE(view.Download(), 0);
        ASSERT_EQ(prompter.texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(prompter.shown[0].caption, DefaultCaption());
        EXPECT_EQ(takeTraffic(), std::vector<std::string>(full.begin(), full.begin() + c.sent)) << c.message;
    }
}

}  // namespace
