#pragma once

// Date formatting on ICU: patterns (UTS #35, as ICU reads them: "MMMM yyyy", "hh:mm a",
// "MMMM YYYY" with its week-based year) or date and time styles, in a locale, calendar and
// time zone; and the locale's month and weekday names.
//
// A DateFormatter is a reference object. It keeps the ICU formatter it built and rebuilds
// it only when a setting changes. Building one costs tens of microseconds, so ICU
// formatters are pooled process-wide by their settings: a formatter that is dropped hands
// its ICU formatter to the next one made with the same settings, and a new formatter per
// label (as cells make them) stays cheap.

#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fnd {

// The predefined date and time styles. Values outside 0...4 act as no style.
using DateFormatterStyle = long;
inline constexpr DateFormatterStyle DateFormatterNoStyle = 0;
inline constexpr DateFormatterStyle DateFormatterShortStyle = 1;
inline constexpr DateFormatterStyle DateFormatterMediumStyle = 2;
inline constexpr DateFormatterStyle DateFormatterLongStyle = 3;
inline constexpr DateFormatterStyle DateFormatterFullStyle = 4;

class DateFormatter;
using DateFormatterRef = std::shared_ptr<DateFormatter>;

class DateFormatter {
public:
    // A formatter with no format (it formats every date as ""), the current locale, the
    // default time zone and the locale's calendar.
    static DateFormatterRef make();
    ~DateFormatter();
    DateFormatter(const DateFormatter&) = delete;
    DateFormatter& operator=(const DateFormatter&) = delete;

    // The pattern in use: the one set, or the one the styles stand for in the locale.
    std::string dateFormat() const;
    // Sets an explicit pattern; it stays in force until a style is set.
    void setDateFormat(std::string pattern);
    DateFormatterStyle dateStyle() const { return _dateStyle; }
    DateFormatterStyle timeStyle() const { return _timeStyle; }
    // Setting a style replaces an explicit pattern by the pattern of the styles.
    void setDateStyle(DateFormatterStyle style);
    void setTimeStyle(DateFormatterStyle style);

    // The locale in use: the one set, or the current locale.
    Locale locale() const;
    // nullopt = the current locale (followed when it changes).
    void setLocale(const std::optional<Locale>& locale);
    // The calendar whose system and week rules the formatter uses (the week-based year of
    // "YYYY" depends on them). The formatter keeps a copy: later changes to the calendar
    // passed in do not reach it. nullptr = a Gregorian calendar of the locale.
    CalendarRef calendar() const;
    void setCalendar(const CalendarRef& calendar);
    // The zone in use: the one set, or the default time zone.
    TimeZone timeZone() const;
    // nullopt = the default time zone (followed when it changes).
    void setTimeZone(const std::optional<TimeZone>& zone);

    // The date as text (UTF-8).
    std::string stringFromDate(const Date& date) const;

    // Names in the locale and calendar, 0-based: month lists start with January, weekday
    // lists with Sunday. "Standalone" forms are the ones used without a day number.
    std::vector<std::string> monthSymbols() const;
    std::vector<std::string> shortMonthSymbols() const;
    std::vector<std::string> veryShortMonthSymbols() const;
    std::vector<std::string> standaloneMonthSymbols() const;
    std::vector<std::string> shortStandaloneMonthSymbols() const;
    std::vector<std::string> veryShortStandaloneMonthSymbols() const;
    std::vector<std::string> weekdaySymbols() const;
    std::vector<std::string> shortWeekdaySymbols() const;
    std::vector<std::string> veryShortWeekdaySymbols() const;
    std::vector<std::string> standaloneWeekdaySymbols() const;
    std::vector<std::string> shortStandaloneWeekdaySymbols() const;
    std::vector<std::string> veryShortStandaloneWeekdaySymbols() const;
    std::string AMSymbol() const;
    std::string PMSymbol() const;

    struct Impl;

private:
    DateFormatter();
    void invalidate();

    std::string _pattern;
    bool _patternFromStyles = false;
    DateFormatterStyle _dateStyle = DateFormatterNoStyle;
    DateFormatterStyle _timeStyle = DateFormatterNoStyle;
    std::optional<Locale> _locale;
    std::optional<TimeZone> _timeZone;
    CalendarRef _calendar;

    mutable std::mutex _mutex;
    std::unique_ptr<Impl> _impl; // the cached ICU formatter
};

} // namespace fnd
