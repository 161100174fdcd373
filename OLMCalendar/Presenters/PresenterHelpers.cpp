#include "OLMCalendar/Presenters/PresenterHelpers.h"

namespace presenters {

namespace {

// More months than any calendar system has in a year: a guard against a calendar that never
// leaves the year.
constexpr std::size_t monthsLimit = 24;

// The first day of the month after the one that holds `date`.
std::optional<fnd::Date> nextMonthStart(const fnd::Calendar& calendar, const fnd::Date& date) {
    const auto later = calendar.dateByAddingUnit(fnd::CalendarUnitMonth, 1, date);
    return later ? startOf(calendar, fnd::CalendarUnitMonth, *later) : std::nullopt;
}

} // namespace

std::optional<fnd::Date> startOf(const fnd::Calendar& calendar, fnd::CalendarUnit unit, const fnd::Date& date) {
    auto comps = calendar.components(fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth, date);
    if (unit == fnd::CalendarUnitYear) comps.month = 1;
    comps.day = 1;
    const auto first = calendar.dateFromComponents(comps);
    const fnd::Date day = calendar.startOfDayForDate(date);
    if (!first || *first >= day || calendar.isDateEqualToDate(*first, date, unit)) return first;
    // An era began inside the unit (Heisei 1 on 8 January 1989), and day 1 of the unit still
    // belongs to the era before: the unit starts on the era's first day, found by halving the
    // days between the two.
    fnd::Date before = *first;
    fnd::Date within = day;
    for (long days = calendar.components(fnd::CalendarUnitDay, before, within).day.value_or(0); days > 1;
         days = calendar.components(fnd::CalendarUnitDay, before, within).day.value_or(0)) {
        const auto middle = calendar.dateByAddingUnit(fnd::CalendarUnitDay, days / 2, before);
        if (!middle) break;
        (calendar.isDateEqualToDate(*middle, date, unit) ? within : before) = *middle;
    }
    return within;
}

std::vector<fnd::Date> monthStartsOfYear(const fnd::Calendar& calendar, const fnd::Date& date) {
    std::vector<fnd::Date> starts;
    const auto first = startOf(calendar, fnd::CalendarUnitYear, date);
    for (std::optional<fnd::Date> month = first; month && starts.size() < monthsLimit; month = nextMonthStart(calendar, *month)) {
        if (!calendar.isDateEqualToDate(*month, *first, fnd::CalendarUnitYear)) break;
        starts.push_back(*month);
    }
    return starts;
}

bool isWithinBounds(const XQCalendar& calendar, fnd::CalendarUnit unit, const fnd::Date& date) {
    const fnd::Calendar& cal = *calendar.calendar();
    const auto start = startOf(cal, unit, date);
    if (!start) return false;
    if (const auto& min = calendar.minDate()) {
        const auto first = startOf(cal, unit, *min);
        if (first && *start < *first) return false;
    }
    if (const auto& max = calendar.maxDate()) {
        const auto last = startOf(cal, unit, *max);
        if (last && *start > *last) return false;
    }
    return true;
}

fnd::Date stepWithinBounds(const XQCalendar& calendar, fnd::Date date, bool forward) {
    const auto displayedDay = calendar.dateWithoutTime(calendar.displayedDate());
    const auto& bound = forward ? calendar.maxDate() : calendar.minDate();
    if (!bound || !displayedDay || (forward ? date <= *bound : date >= *bound)) return date;
    const auto boundDay = calendar.dateWithoutTime(bound);
    if (boundDay && (forward ? *boundDay > *displayedDay : *boundDay < *displayedDay)) return *bound;
    return date;
}

std::optional<fnd::Date> nextYearStart(const XQCalendar& calendar) {
    const fnd::Calendar& cal = *calendar.calendar();
    // A month on from the year's last month, not a year on from its first day: a year on
    // from Showa 64 would pass over Heisei 1.
    const auto months = monthStartsOfYear(cal, calendar.displayedDate());
    const auto after = months.empty() ? std::nullopt : nextMonthStart(cal, months.back());
    const auto next = after ? startOf(cal, fnd::CalendarUnitYear, *after) : std::nullopt;
    if (!next || (calendar.maxDate() && *next > *calendar.maxDate())) return std::nullopt;
    return next;
}

std::optional<fnd::Date> previousYearStart(const XQCalendar& calendar) {
    const fnd::Calendar& cal = *calendar.calendar();
    const auto start = startOf(cal, fnd::CalendarUnitYear, calendar.displayedDate());
    const auto lastDay = start ? cal.dateByAddingUnit(fnd::CalendarUnitDay, -1, *start) : std::nullopt;
    if (!lastDay || (calendar.minDate() && *lastDay < *calendar.minDate())) return std::nullopt;
    return startOf(cal, fnd::CalendarUnitYear, *lastDay);
}

} // namespace presenters
