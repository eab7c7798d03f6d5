// The factory data sequences against a simulated controller: what is read, when the date and
// the defaults are stored, and the message of each outcome.
#include "core/workflow/FactoryData.h"

#include "TrafficText.h"
#include "support/ConnectedControllerTest.h"

#include <array>
#include <optional>

namespace {

using kelvane::CalendarDate;
using kelvane::FactoryCheckOutcome;

// Work mode 2, today's date, then the five factory defaults for axes 1..6.
std::vector<std::string> StoreTraffic(const CalendarDate& today) {
    std::vector<std::string> words = {"c6:2", CommandWord(17, static_cast<std::uint32_t>(today.year))};
    for (int code : {124, 126, 128, 122, 120}) words += PerAxis(code, 6);
    return words;
}

std::vector<std::string> CheckTraffic(int speedQueries) {
    std::vector<std::string> words = {"c6:2", "c18:0"};
    words += PerAxis(130, speedQueries);
    return words;
}

using FactoryDataTest = ConnectedControllerTest;

TEST_F(FactoryDataTest, ChecksTheStoredDateAndTheSpeedsAndStoresWhenEitherFails) {
    const CalendarDate today = kelvane::LocalDate();
    enum Silence { Answers, DateUnanswered, DecelerationUnanswered, Silent };
    struct Case {
        const char* what;
        std::array<int, 3> stored;
        std::optional<int> axisAt12_5;  // the one axis whose maximum speed is not 10.0
        Silence silence;
        FactoryCheckOutcome outcome;
        std::string message;
        std::vector<std::string> traffic;
    };
    std::vector<std::string> failedThenStored = CheckTraffic(3);
    failedThenStored += StoreTraffic(today);
    std::vector<std::string> noDateThenStored = CheckTraffic(0);
    noDateThenStored += StoreTraffic(today);
    std::vector<std::string> silentThenStored = CheckTraffic(0);
    silentThenStored += StoreTraffic(today);
    std::vector<std::string> unansweredStore = CheckTraffic(0);
    unansweredStore += StoreTraffic(today);
    const std::string thisYear = std::to_string(today.year);
    const Case cases[] = {
        {"a factory date and six factory speeds",
         {2015, 6, 30},
         std::nullopt,
         Answers,
         FactoryCheckOutcome::Passed,
         "出厂时间:2015年6月30日, 外部存储校验通过!",
         CheckTraffic(6)},
        {"axis 3 off the factory speed",
         {2015, 6, 30},
         3,
         Answers,
         FactoryCheckOutcome::CheckFailed,
         "出厂时间:2015年6月30日, 外部存储校验错误!",
         failedThenStored},
        {"no factory date",
         {0, 0, 0},
         std::nullopt,
         Answers,
         FactoryCheckOutcome::NoFactoryDate,
         "数据保存成功，请将控制器断电",
         noDateThenStored},
        {"this year",
         {today.year, 1, 1},
         std::nullopt,
         Answers,
         FactoryCheckOutcome::Passed,
         "出厂时间:" + thisYear + "年1月1日, 外部存储校验通过!",
         CheckTraffic(6)},
        {"no answer to the date",
         {2015, 6, 30},
         std::nullopt,
         DateUnanswered,
         FactoryCheckOutcome::NoFactoryDate,
         "数据保存成功，请将控制器断电",
         silentThenStored},
        {"no factory date, and a deceleration lost on the way",
         {0, 0, 0},
         std::nullopt,
         DecelerationUnanswered,
         FactoryCheckOutcome::NoFactoryDate,
         "控制器无应答",
         noDateThenStored},
        {"a silent controller: nothing stored, nothing claimed",
         {2015, 6, 30},
         std::nullopt,
         Silent,
         FactoryCheckOutcome::NoFactoryDate,
         "控制器无应答",
         unansweredStore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        controller->setFactoryDate(c.stored[0], c.stored[1], c.stored[2]);
        for (int axis = 1; axis <= 6; ++axis)
            Ravo_SetMotorMaxSpeed(255, 1 << (axis - 1), c.axisAt12_5 == axis ? 12.5f : 10.0f);
        Ravo_SetMotorPitch(255, 63, 2.0f);  // something a store would overwrite
        controller->setSilent(c.silence == Silent);
        if (c.silence == DateUnanswered)
            controller->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Command, 18});
        if (c.silence == DecelerationUnanswered)
            controller->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Command, 126});
        controller->clearTraffic();

        const kelvane::FactoryCheckResult result = kelvane::CheckFactoryData(today);

        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(TrafficWords(*controller), Lines(c.traffic));
        const bool stored = c.outcome != FactoryCheckOutcome::Passed && c.silence != Silent;
        const std::array<std::int32_t, 3> expectedDate =
            stored ? std::array<std::int32_t, 3>{today.year, today.month, today.day} : c.stored;
        EXPECT_EQ(controller->factoryDate(), expectedDate);
        const ravo_sim::AxisState axis3 = controller->axis(3);
        EXPECT_EQ(axis3.pitch, stored ? 5.0f : 2.0f);
        if (stored) {
            EXPECT_EQ(axis3.maxSpeed, 10.0f);
            EXPECT_EQ(std::make_tuple(axis3.acceleration, axis3.deceleration, axis3.subdivision),
                      std::make_tuple(10, 10, 1600));
        }
    }
}

TEST(FactoryYear, CountsFrom2011ToTheCurrentYear) {
    const struct {
        int year, currentYear;
        bool counts;
    } cases[] = {{2011, 2030, true},  {2019, 2030, true},  {2020, 2030, true}, {2030, 2030, true},
                 {2010, 2030, false}, {2031, 2030, false}, {0, 2030, false},   {-2015, 2030, false}};
    for (const auto& c : cases) EXPECT_EQ(kelvane::IsFactoryYear(c.year, c.currentYear), c.counts) << c.year;
}

}  // namespace
