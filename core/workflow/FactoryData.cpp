#include "FactoryData.h"

#include "core/machine/ControllerAxes.h"
#include "core/workflow/ControllerConnection.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <cstdio>
#include <ctime>

namespace kelvane {

namespace {

constexpr int kFirstFactoryYear = 2011;
constexpr int kStoreDateCommand = 17;
constexpr int kReadDateCommand = 18;

constexpr int kFactoryAcceleration = 10;
constexpr int kFactoryDeceleration = 10;
constexpr float kFactoryMaxSpeed = 10.0f;  // also what a sound storage reports back
constexpr float kFactoryPitch = 5.0f;
constexpr int kFactorySubdivision = 1600;

// `after` runs after each exchange.
template <typename Value, typename After>
void SetForOperatedAxes(int (*set)(int, int, Value), Value value, const After& after) {
    for (int axis = 1; axis <= kOperatedAxes; ++axis) {
        set(kControllerAddress, AxisMask(axis), value);
        after();
    }
}

std::string DateMessage(const CalendarDate& date, const char* verdict) {
    char text[128];
    std::snprintf(text, sizeof text, "出厂时间:%d年%d月%d日, 外部存储校验%s!", date.year, date.month, date.day,
                  verdict);
    return text;
}

// The first operated axis whose current speed is not the factory maximum speed; 0 when none.
int FirstAxisOffFactorySpeed() {
    float speed = 0.0f;
    for (int axis = 1; axis <= kOperatedAxes; ++axis) {
        Ravo_GetMotorCurSpeed(kControllerAddress, AxisMask(axis), &speed);
        if (speed != kFactoryMaxSpeed) return axis;
    }
    return 0;
}

}  // namespace

CalendarDate LocalDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsFactoryYear(int year, int currentYear) { return year >= kFirstFactoryYear && year <= currentYear; }

FactoryCheckResult ReadFactoryCheck(const CalendarDate& today) {
    Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_MANUAL, 0);
    CalendarDate stored;
    Ravo_CommandRawData(kReadDateCommand, &stored.year, &stored.month, &stored.day);

    if (!IsFactoryYear(stored.year, today.year)) return {FactoryCheckOutcome::NoFactoryDate, stored, ""};
    if (FirstAxisOffFactorySpeed() != 0) return {FactoryCheckOutcome::CheckFailed, stored, DateMessage(stored, "错误")};
    return {FactoryCheckOutcome::Passed, stored, DateMessage(stored, "通过")};
}

std::string StoreFactoryData(const CalendarDate& today) {
    bool answered = true;
    const auto note = [&answered] { answered = answered && Ravo_GetLinkState() == RAVO_LINK_OK; };
    Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_MANUAL, 0);
    note();
    CalendarDate date = today;
    Ravo_CommandRawData(kStoreDateCommand, &date.year, &date.month, &date.day);
    note();
    SetForOperatedAxes(&Ravo_SetMotorAcc, kFactoryAcceleration, note);
    SetForOperatedAxes(&Ravo_SetMotorDec, kFactoryDeceleration, note);
    SetForOperatedAxes(&Ravo_SetMotorMaxSpeed, kFactoryMaxSpeed, note);
    SetForOperatedAxes(&Ravo_SetMotorPitch, kFactoryPitch, note);
    SetForOperatedAxes(&Ravo_SetMotorDriveDiv, kFactorySubdivision, note);
    return answered ? kFactoryStoredText : kNoReplyText;
}

FactoryCheckResult CheckFactoryData(const CalendarDate& today) {
    FactoryCheckResult result = ReadFactoryCheck(today);
    if (result.outcome == FactoryCheckOutcome::Passed) return result;
    std::string stored = StoreFactoryData(today);
    if (result.outcome == FactoryCheckOutcome::NoFactoryDate) result.message = std::move(stored);
    return result;
}

}  // namespace kelvane
