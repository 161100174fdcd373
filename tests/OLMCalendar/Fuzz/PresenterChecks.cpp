// The presenters' own checks in the randomized sequences: what a user would see break in the
// day view and the zoomed-out views. They look only at a presenter at rest (no transition
// open or running, none between view modes).

#include "CalendarFuzz.h"

#include "../CalendarTestSupport.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"
#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"
#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNamesPresenter.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthYearCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumbersPresenter.h"
#include "platform/foundation/Strings.h"

#include <algorithm>
#include <cmath>

namespace cal::fuzz {
namespace {

using Result = std::optional<std::string>;

template <class P> P* atRest(XQCalendar& calendar) {
    if (calendar.transition()) return nullptr;
    auto* presenter = dynamic_cast<P*>(calendar.presenter().get());
    if (!presenter) return nullptr;
    if constexpr (std::is_base_of_v<XQCalendarPresenterBase, P>) {
        if (presenter->isTransitionOpen() || presenter->isTransitionRunning()) return nullptr;
    }
    return presenter;
}

bool sameUnit(XQCalendar& calendar, const std::optional<fnd::Date>& a, const std::optional<fnd::Date>& b,
              fnd::CalendarUnit unit) {
    return a && b && calendar.calendar()->isDateEqualToDate(*a, *b, unit);
}

// The day view: the strip shows one week, the day view one of its days with the events the
// strip's cell of that day has; after a navigation, the displayed day.
Result checkDayView(XQCalendar& calendar, const CheckContext& context) {
    auto* presenter = atRest<XQCalendarDayViewPresenter>(calendar);
    if (!presenter) return std::nullopt;
    const auto& strip = presenter->weekView()->subviews();
    const long columns = std::min(calendar.daysInWeek(), static_cast<long>(strip.size()) - 1);
    const auto& day = *presenter->dayView();
    std::optional<fnd::Date> previous;
    std::shared_ptr<XQCalendarDayCell> shown;
    bool displayed = false;
    for (long column = 0; column < columns; ++column) {
        auto cell = std::dynamic_pointer_cast<XQCalendarDayCell>(strip[static_cast<std::size_t>(column) + 1]);
        // Hidden weekend columns keep whatever they showed last.
        if (!cell || (presenter->weekendsHidden() && calendar.isWeekend(column))) {
            previous.reset();
            continue;
        }
        if (previous && !sameUnit(calendar, cell->date(), calendar.calendar()->dateByAddingUnit(fnd::CalendarUnitDay, 1, *previous),
                                  fnd::CalendarUnitDay))
            return "day view: the strip's days do not follow each other at " + test::text(cell->date());
        previous = cell->date();
        if (sameUnit(calendar, cell->date(), day.date(), fnd::CalendarUnitDay)) shown = cell;
        displayed = displayed || sameUnit(calendar, cell->date(), calendar.displayedDate(), fnd::CalendarUnitDay);
    }
    // A weekend day shown has no column. A displayed date the application set without an
    // update is not shown yet, and the day view's day is then found in the strip made for it.
    if (presenter->weekendsHidden() || columns <= 0 || !displayed) return std::nullopt;
    if (!shown) return "day view: the strip's week lacks the day shown, " + test::text(day.date());
    if (context.justNavigated && !sameUnit(calendar, day.date(), calendar.displayedDate(), fnd::CalendarUnitDay))
        return "day view: shows " + test::text(day.date()) + " after a navigation to " +
               test::text(calendar.displayedDate());
    XQCalendarEvents listed = day.events();
    listed.insert(listed.end(), day.allDayEvents().begin(), day.allDayEvents().end());
    XQCalendarEvents own = shown->events();
    std::erase(own, nullptr);
    std::sort(listed.begin(), listed.end());
    std::sort(own.begin(), own.end());
    if (listed != own)
        return fnd::stringWithFormat("day view: lists %ld events, its day's cell has %ld", listed.size(), own.size());
    return std::nullopt;
}

// A zoomed-out cell's marks: selected for the selected date's month (year).
Result checkMarks(XQCalendar& calendar, const XQCalendarMonthYearCell& cell, fnd::CalendarUnit unit) {
    const bool selected = sameUnit(calendar, cell.date(), calendar.selectedDate(), unit);
    if (selected != ((cell.state() & XQCalendarMonthYearCellStateSelected) != 0))
        return fnd::stringWithFormat("%s: the cell of %s is %s marked selected", cell.objectClass().name(),
                                     test::text(cell.date()), selected ? "not" : "wrongly");
    return std::nullopt;
}

// Month names: the months of the year presented, that month among them, the selected one
// marked; after a navigation, the displayed year.
Result checkMonthNames(XQCalendar& calendar, const CheckContext& context) {
    auto* presenter = atRest<XQCalendarMonthNamesPresenter>(calendar);
    if (!presenter || !presenter->presentedDate()) return std::nullopt;
    const fnd::Date presented = *presenter->presentedDate();
    if (context.justNavigated && !sameUnit(calendar, presented, calendar.displayedDate(), fnd::CalendarUnitYear))
        return "month names: show the year of " + test::text(presented) + " after a navigation to " +
               test::text(calendar.displayedDate());
    bool shown = false;
    for (const auto& cell : presenter->cells()) {
        if (cell->isHidden() || !cell->date()) continue;
        if (!sameUnit(calendar, cell->date(), presented, fnd::CalendarUnitYear))
            return "month names: a cell of " + test::text(cell->date()) + " in the year of " + test::text(presented);
        shown = shown || sameUnit(calendar, cell->date(), presented, fnd::CalendarUnitMonth);
        if (auto message = checkMarks(calendar, *cell, fnd::CalendarUnitMonth)) return message;
    }
    // Column counts that divide twelve show every month.
    if (!shown && presenter->columns() >= 1 && presenter->columns() <= 12 && 12 % presenter->columns() == 0)
        return "month names: no cell shows the month of " + test::text(presented);
    return std::nullopt;
}

// Year numbers: a page of consecutive years, the selected year marked; after a navigation,
// from the displayed year on.
Result checkYearNumbers(XQCalendar& calendar, const CheckContext& context) {
    auto* presenter = atRest<XQCalendarYearNumbersPresenter>(calendar);
    if (!presenter || presenter->cells().empty()) return std::nullopt;
    const auto& cells = presenter->cells();
    if (context.justNavigated && !sameUnit(calendar, cells.front()->date(), calendar.displayedDate(), fnd::CalendarUnitYear))
        return "year numbers: the page begins at " + test::text(cells.front()->date()) + " after a navigation to " +
               test::text(calendar.displayedDate());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0 && cells[i - 1]->date() &&
            !sameUnit(calendar, cells[i]->date(), calendar.calendar()->dateByAddingUnit(fnd::CalendarUnitYear, 1, *cells[i - 1]->date()),
                      fnd::CalendarUnitYear))
            return "year numbers: the years do not follow each other at " + test::text(cells[i]->date());
        if (auto message = checkMarks(calendar, *cells[i], fnd::CalendarUnitYear)) return message;
    }
    return std::nullopt;
}

// A scrolling presenter that navigated and came to rest shows the displayed date's section at
// the top (or as near as the content lets it).
Result checkScrolledTo(const char* name, ui::ScrollView& view, double offset) {
    const double bottom = std::max(0.0, view.contentSize().height - view.bounds().height());
    const double y = view.contentOffset().y;
    if (std::abs(y - offset) > 0.5 && std::abs(y - std::clamp(offset, 0.0, bottom)) > 0.5)
        return fnd::stringWithFormat("%s: at rest after a navigation at offset %.1f, the displayed date's is %.1f",
                                     name, y, offset);
    return std::nullopt;
}

Result checkFlow(XQCalendar& calendar, const CheckContext& context) {
    auto* presenter = atRest<XQCalendarFlowPresenter>(calendar);
    if (!presenter || !context.justNavigated || presenter->sectionCount() == 0) return std::nullopt;
    return checkScrolledTo("flow", *presenter->content(), presenter->offsetForDate(calendar.displayedDate()));
}

Result checkYear(XQCalendar& calendar, const CheckContext& context) {
    auto* presenter = atRest<XQCalendarYearPresenter>(calendar);
    if (!presenter || !context.justNavigated || presenter->sectionsCount() == 0) return std::nullopt;
    return checkScrolledTo("year", *presenter->collection(), presenter->offsetForDate(calendar.displayedDate()));
}

const bool registered = [] {
    auto& checks = presenterChecks();
    for (PresenterCheck check : {checkDayView, checkMonthNames, checkYearNumbers, checkFlow, checkYear})
        checks.push_back(std::move(check));
    return true;
}();

} // namespace
} // namespace cal::fuzz
