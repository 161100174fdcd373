#include "OLMCalendar/Presenters/PresenterHelpers.h"

namespace presenters {

namespace {

// More months than any calendar system has in a year: a guard against a calendar that never
// leaves the year.
constexpr std::size_t monthsLimit = 24;

} // namespace

std::optional<fnd::Date> startOf(const fnd::Calendar& calendar, fnd::CalendarUnit unit, const fnd::Date& date) {
    auto comps = calendar.components(fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth, date);
    if (unit == fnd::CalendarUnitYear) comps.month = 1;
    comps.day = 1;
    return calendar.dateFromComponents(comps);
}

std::vector<fnd::Date> monthStartsOfYear(const fnd::Calendar& calendar, const fnd::Date& date) {
    std::vector<fnd::Date> starts;
    const auto first = startOf(calendar, fnd::CalendarUnitYear, date);
    if (!first) return starts;
    const auto year = calendar.components(fnd::CalendarUnitEra | fnd::CalendarUnitYear, *first);
    for (std::optional<fnd::Date> month = first; month && starts.size() < monthsLimit;
         month = calendar.dateByAddingUnit(fnd::CalendarUnitMonth, 1, *month)) {
        if (calendar.components(fnd::CalendarUnitEra | fnd::CalendarUnitYear, *month) != year) break;
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
    const auto start = startOf(cal, fnd::CalendarUnitYear, calendar.displayedDate());
    const auto next = start ? cal.dateByAddingUnit(fnd::CalendarUnitYear, 1, *start) : std::nullopt;
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
