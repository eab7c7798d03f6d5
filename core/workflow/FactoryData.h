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
    NoFactoryDate,  // no factory date: today's date and the defaults are to be stored
    CheckFailed,    // an axis reported another speed: today's date and the defaults are to be stored
};

struct FactoryCheckResult {
    FactoryCheckOutcome outcome = FactoryCheckOutcome::NoFactoryDate;
    CalendarDate factoryDate;  // as the controller reported it (0s when it did not answer)
    std::string message;       // for the user (UTF-8); see the functions
};

// What the user is told after a store: that it succeeded, or, when a frame of it got no
// answer, that the controller did not answer (nothing is known to be stored).
inline constexpr const char* kFactoryStoredText = "数据保存成功，请将控制器断电";

// Work mode 2 and the stored date (raw command 18); with a factory date, the current speed of
// axes 1..6 in turn, each compared exactly with 10.0, up to the first that differs. Stores
// nothing. `today` bounds the years that count. The message is the date's verdict for Passed
// and CheckFailed, which the user sees before the store; empty for NoFactoryDate, whose
// message is the store's.
FactoryCheckResult ReadFactoryCheck(const CalendarDate& today);

// Work mode 2, `today` as the factory date (raw command 17), then for axes 1..6 the
// acceleration and deceleration coefficients 10, the maximum speed 10.0, the pitch 5.0 and
// 1600 pulses per revolution, one parameter for all six axes at a time. Returns the message
// for the user: kFactoryStoredText when the controller answered every frame, else kNoReplyText.
std::string StoreFactoryData(const CalendarDate& today);

// The whole check for callers that report once at the end: ReadFactoryCheck, then
// StoreFactoryData unless it passed. A store after a failed check keeps the check's message;
// one without a factory date reports the store's.
FactoryCheckResult CheckFactoryData(const CalendarDate& today);

}  // namespace kelvane
