// The motor parameter view: its defaults, fill and copy against the record, and what a download
// takes from its boxes.
#include "ViewTestSupport.h"

#include "views/CMotorParSettingDlg.h"
#include "views/ReadControls.h"

#include <QLineEdit>

#include <tuple>

namespace {

kelvane::MotorParameterRecord SampleRecord() {
    kelvane::MotorParameterRecord record;
    for (int i = 0; i < kelvane::kMotorAxes; ++i)
        record.axes[i] = {800 + i, 2.5f + i, 0.25f * i, 20 + i, 30 + i, 1.5f + i};
    return record;
}

auto Fields(const kelvane::AxisParameters& a) {
    return std::tie(a.subdivision, a.pitch, a.backlash, a.acceleration, a.deceleration, a.minimumSpeed);
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

    prompter.shown.clear();  // a download takes nothing while a box does not parse
    EXPECT_FALSE(view.ReadForDownload());
    EXPECT_EQ(prompter.shown.size(), 1u);
}

}  // namespace
