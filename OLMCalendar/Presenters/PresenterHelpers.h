#pragma once

// What several presenters share: the delegate's own cells, and the months and years of the
// calendar's system counted the calendar's way (a Hebrew year has 12 or 13 months, and month
// numbers are not consecutive there; only adding months one at a time finds them all).

#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Calendar.h"

#include <memory>
#include <optional>
#include <vector>

namespace presenters {

// The cell the calendar's delegate supplies for a kind, when it is of the class the presenter
// needs and is not shown elsewhere already; nullptr otherwise (the presenter then makes its
// stock cell).
template <class Cell> std::shared_ptr<Cell> delegateCell(XQCalendar& calendar, XQCalendarCellType kind) {
    const auto delegate = calendar.delegate();
    auto cell = delegate ? std::dynamic_pointer_cast<Cell>(delegate->calendarViewForCellOfKind(calendar, kind)) : nullptr;
    return cell && !cell->superview() ? cell : nullptr;
}

// 00:00 of the first day of the date's month (unit month) or year (unit year), in the date's
// own era: the era's first day when the era began inside the month or year.
std::optional<fnd::Date> startOf(const fnd::Calendar& calendar, fnd::CalendarUnit unit, const fnd::Date& date);
// The first days of the months of the date's year, in order (the first the era's own when an era
// began that year).
std::vector<fnd::Date> monthStartsOfYear(const fnd::Calendar& calendar, const fnd::Date& date);
// Whether the date's month (unit month) or year (unit year) lies within those of the
// calendar's minDate...maxDate, both ends included; a nil bound passes.
bool isWithinBounds(const XQCalendar& calendar, fnd::CalendarUnit unit, const fnd::Date& date);

// One period on from the displayed date: `date` is the next (forward) or previous period's
// date. Past the calendar's maxDate (forward) or before its minDate (backward), it becomes that
// bound when the bound's day still lies ahead of the displayed day: the bounds are kept at
// 00:00 while the displayed date has a time of day, and the bound's own period must stay
// reachable.
fnd::Date stepWithinBounds(const XQCalendar& calendar, fnd::Date date, bool forward);

// The first day of the year after the displayed one; nullopt when it lies after maxDate.
std::optional<fnd::Date> nextYearStart(const XQCalendar& calendar);
// The first day of the year before the displayed one; nullopt when that year's last day lies
// before minDate.
std::optional<fnd::Date> previousYearStart(const XQCalendar& calendar);

} // namespace presenters
