#pragma once

// Calendar units and date components. The unit bits are the integer values the calendar
// code passes as masks (28 = year | month | day, 252 = year ... second). Months in
// components are 1-based and weekdays run 1 = Sunday ... 7 = Saturday.

#include <climits>
#include <optional>

namespace fnd {

using CalendarUnit = unsigned long;

inline constexpr CalendarUnit CalendarUnitEra = 2;
inline constexpr CalendarUnit CalendarUnitYear = 4;
inline constexpr CalendarUnit CalendarUnitMonth = 8;
inline constexpr CalendarUnit CalendarUnitDay = 16;
inline constexpr CalendarUnit CalendarUnitHour = 32;
inline constexpr CalendarUnit CalendarUnitMinute = 64;
inline constexpr CalendarUnit CalendarUnitSecond = 128;
inline constexpr CalendarUnit CalendarUnitWeekday = 512;
inline constexpr CalendarUnit CalendarUnitWeekdayOrdinal = 1024;
inline constexpr CalendarUnit CalendarUnitWeekOfMonth = 4096;
inline constexpr CalendarUnit CalendarUnitWeekOfYear = 8192;
inline constexpr CalendarUnit CalendarUnitYearForWeekOfYear = 16384;
inline constexpr CalendarUnit CalendarUnitNanosecond = 32768;

// "Not found": the location of a range that does not exist.
inline constexpr long NotFound = LONG_MAX;

struct Range {
    long location = NotFound;
    long length = 0;
    friend constexpr bool operator==(const Range&, const Range&) = default;
};

// A set of calendar fields, each either unset (nullopt) or a value. Used both for the
// fields of a date and for amounts to add or differences between dates.
struct DateComponents {
    std::optional<long> era;
    std::optional<long> year;
    std::optional<long> month;
    std::optional<long> day;
    std::optional<long> hour;
    std::optional<long> minute;
    std::optional<long> second;
    std::optional<long> nanosecond;
    std::optional<long> weekday;
    std::optional<long> weekdayOrdinal;
    std::optional<long> weekOfMonth;
    std::optional<long> weekOfYear;
    std::optional<long> yearForWeekOfYear;

    // The field of one unit (nullopt for units that are not a single field or are unset).
    std::optional<long> valueForComponent(CalendarUnit unit) const;
    // Sets (or with nullopt clears) the field of one unit; other units are ignored.
    void setValue(std::optional<long> value, CalendarUnit unit);

    friend bool operator==(const DateComponents&, const DateComponents&) = default;
};

} // namespace fnd
