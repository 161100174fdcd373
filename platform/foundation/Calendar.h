#pragma once

// Calendars on ICU: the arithmetic of dates in a calendar system, a locale (which supplies
// the first weekday and the week rules unless they are set) and a time zone.
//
// A Calendar is a shared, mutable reference object (CalendarRef): a view and its cells
// share one, and a change to it is seen by all. Each Calendar keeps one ICU calendar that
// every call reuses. Calls are serialised by an internal lock, so a data-source callback on
// another thread may use the calendar too.

#include "platform/foundation/Date.h"
#include "platform/foundation/DateComponents.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

class Calendar;
using CalendarRef = std::shared_ptr<Calendar>;

class Calendar {
public:
    // A calendar of the identifier ("gregorian", "iso8601", "buddhist", "japanese", "hebrew",
    // "islamicCivil", "persian", "republicOfChina", ...; ICU's own type names are accepted
    // too) with the current locale and the default time zone. nullptr for an unknown
    // identifier.
    static CalendarRef make(std::string_view identifier = "gregorian");
    // A new calendar following the process defaults: the current locale (its "calendar"
    // keyword, if any, chooses the calendar; Gregorian otherwise) and the default time zone.
    static CalendarRef current();
    // An independent calendar with the same identifier, locale, time zone and week rules.
    CalendarRef copy() const;

    ~Calendar();
    Calendar(const Calendar&) = delete;
    Calendar& operator=(const Calendar&) = delete;

    const std::string& identifier() const { return _identifier; }

    Locale locale() const;
    // nullopt = the current locale (as it is now). Week rules that were not set explicitly
    // follow the locale.
    void setLocale(const std::optional<Locale>& locale);
    TimeZone timeZone() const;
    // nullopt = the default time zone (as it is now).
    void setTimeZone(const std::optional<TimeZone>& zone);

    // 1 = Sunday ... 7 = Saturday; from the locale unless set. Values outside 1...7 are ignored.
    long firstWeekday() const;
    void setFirstWeekday(long weekday);
    // Days of a new year's first week that must fall in that year (1...7); from the locale
    // unless set. Values outside 1...7 are ignored.
    long minimumDaysInFirstWeek() const;
    void setMinimumDaysInFirstWeek(long days);

    // The fields of `date` named by the unit mask (other fields stay unset). A year always
    // comes with its era, named or not: a year number alone is ambiguous in calendars with
    // eras (Japanese Heisei 2 and Reiwa 2), so that the components rebuild the same date
    // through `dateFromComponents` however they were changed in between.
    DateComponents components(CalendarUnit unitFlags, const Date& date) const;
    // The value of one unit of `date` (e.g. its weekday).
    long component(CalendarUnit unit, const Date& date) const;
    // The difference from `from` to `to` in the units of the mask, largest unit first, each
    // in whole units truncated toward zero (negative when `to` is earlier). Days and larger
    // units count calendar days, so they are right across daylight-saving changes.
    DateComponents components(CalendarUnit unitFlags, const Date& from, const Date& to) const;

    // The date of the components, leniently: out-of-range values roll over (day 0 is the
    // last day of the previous month, month 13 is January of the next year), unset fields
    // take their first value (year 1, month 1, day 1, 00:00:00). A wall time skipped by a
    // daylight-saving change moves forward by the gap; a repeated one takes the first
    // occurrence. nullopt when the result cannot be represented.
    std::optional<Date> dateFromComponents(const DateComponents& comps) const;
    // The date plus the components, largest unit first. Month and year steps pin the day
    // to the end of a shorter month (31 Jan + 1 month = 28/29 Feb); hours and smaller
    // units are elapsed time.
    std::optional<Date> dateByAddingComponents(const DateComponents& comps, const Date& date) const;
    std::optional<Date> dateByAddingUnit(CalendarUnit unit, long value, const Date& date) const;

    // The range of values a smaller unit takes within the larger unit that contains
    // `date`: days in the month or year, months in the year, weekdays in a week (7), weeks
    // of the month (location = the week-of-month of day 1, length = the distinct weeks the
    // month touches), days of a week of the month (clipped to the month), hours, minutes,
    // seconds. {NotFound, 0} for combinations that have no meaning.
    Range rangeOfUnit(CalendarUnit smaller, CalendarUnit larger, const Date& date) const;
    // The widest range a unit can take in this calendar (month {1, 12}, day {1, 31}, ...).
    Range maximumRangeOfUnit(CalendarUnit unit) const;
    // The narrowest upper bound (day {1, 28} in the Gregorian calendar).
    Range minimumRangeOfUnit(CalendarUnit unit) const;

    // Whether both dates lie in the same unit (same day, same month, same week...).
    bool isDateEqualToDate(const Date& a, const Date& b, CalendarUnit unitGranularity) const;
    bool isDateInToday(const Date& date) const {
        return isDateEqualToDate(date, Date::now(), CalendarUnitDay);
    }
    // The first instant of the day containing `date` (01:00 where midnight is skipped).
    Date startOfDayForDate(const Date& date) const;

    struct Impl;

private:
    Calendar(std::string identifier, std::string icuType, Locale locale, TimeZone zone);
    // A calendar of an ICU calendar type in the locale and the default time zone.
    static CalendarRef create(const std::string& icuType, const Locale& locale);
    // Makes the ICU calendar for the identifier, locale and time zone, then reapplies the
    // week rules that were set explicitly. Called with the lock held (or before sharing).
    void rebuild();

    std::string _identifier;
    std::string _icuType;
    Locale _locale;
    TimeZone _timeZone;
    std::optional<long> _firstWeekday; // nullopt: from the locale
    std::optional<long> _minimumDaysInFirstWeek;
    mutable std::mutex _mutex;
    std::unique_ptr<Impl> _impl;
};

} // namespace fnd
