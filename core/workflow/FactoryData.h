// The factory data (出厂设置): the factory date kept in the controller's external storage, a
// check of the storage by the factory maximum speed, and the store of today's date with the
// factory motor defaults.
#pragma once

#include <string>

namespace kelvane {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// Today's local date.
CalendarDate LocalDate();

// A stored year counts as a factory date from 2011 to the current year, so a date stored today
// is one the next check accepts.
bool IsFactoryYear(int year, int currentYear);

enum class FactoryCheckOutcome {
    Passed,         // a factory date, and every axis reports the factory maximum speed
    NoFactoryDate,  // no factory date: today's date and the defaults were stored
    CheckFailed,    // an axis reported another speed: today's date and the defaults were stored
    StoreFailed,    // no factory date, and a part of the store got no reply
};

inline constexpr const char* kFactoryDataStored = "数据保存成功，请将控制器断电";
inline constexpr const char* kFactoryDataNotStored = "数据保存失败，请检查控制器连接后重试";

struct FactoryCheckResult {
    FactoryCheckOutcome outcome = FactoryCheckOutcome::NoFactoryDate;
    CalendarDate factoryDate;  // as the controller reported it (0s when it did not answer)
    std::string message;       // for the user (UTF-8)
};

// Work mode 2 and the stored date (raw command 18). Without a factory date: StoreFactoryData.
// Otherwise the current speed of axes 1..6 in turn, each compared exactly with 10.0; the first
// axis that differs ends the check with StoreFactoryData. `today` is what a store writes and
// bounds the years that count.
FactoryCheckResult CheckFactoryData(const CalendarDate& today);

// Work mode 2, `today` as the factory date (raw command 17), then for axes 1..6 the
// acceleration and deceleration coefficients 10, the maximum speed 10.0, the pitch 5.0 and
// 1600 pulses per revolution, one parameter for all six axes at a time. True when every
// exchange got its whole reply; a request without one may not have reached the controller.
bool StoreFactoryData(const CalendarDate& today);

}  // namespace kelvane
