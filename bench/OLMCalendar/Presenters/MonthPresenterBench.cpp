// The month view at the size of a phone screen (390 x 844 points at scale 3, 1170 x 2532
// pixels) in a window of the headless host, default theme:
//   - a month switch frame: update to the next (or previous) month (re-binding, styling and
//     drawing 42 cells), then one run-loop turn compositing the full screen;
//   - the same with 1,000 events in the month, for each data-source form, as shapes and as
//     text;
//   - updateState after a tap (single selection, and a 20-day range);
//   - one frame of the inline list's opening animation, the clock stepped mid-way.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/TestDriver.h"

#include "../../PixelKernelCap.h"
#include "PresenterBenchSupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>

namespace {


using bench::at;

// Events prepared per day (keyed by the day's start), answered at once or through the
// callback (called before it returns, so the results are drained in the same turn).
class PreparedEvents : public XQCalendarDataSource {
public:
    bool callbackForm = false;
    std::map<double, XQCalendarEvents> days;

    const XQCalendarEvents& eventsOf(XQCalendar& calendar, const fnd::Date& date) {
        static const XQCalendarEvents none;
        auto it = days.find(calendar.calendar()->startOfDayForDate(date).timeIntervalSince1970());
        return it != days.end() ? it->second : none;
    }
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar, const fnd::Date& date) override {
        if (callbackForm) return std::nullopt;
        return eventsOf(calendar, date);
    }
    bool calendarEventsFromDate(XQCalendar& calendar, const fnd::Date& from, const fnd::Date&,
                                EventsCallback callback) override {
        callback(eventsOf(calendar, from));
        return true;
    }

    void add(const fnd::Date& start, const fnd::Date& end, bool allDay, const gfx::Color& color) {
        auto event = XQCalendarEvent::make();
        event->setStartDate(start);
        event->setEndDate(end);
        event->setTitle(allDay ? "Conference" : "Design review");
        event->setEventColor(color);
        event->setAllDay(allDay);
        auto cal = fnd::Calendar::make();
        for (fnd::Date day = cal->startOfDayForDate(start); day <= end;
             day = *cal->dateByAddingUnit(fnd::CalendarUnitDay, 1, day))
            days[day.timeIntervalSince1970()].push_back(event);
    }

    // `perDay` timed events on every day of November to January, plus a few all-day events
    // spanning days when `allDayRuns`.
    void fill(int perDay, bool allDayRuns) {
        const gfx::Color palette[] = {gfx::systemColors::systemRed(), gfx::systemColors::systemGreen(),
                                      gfx::systemColors::systemBlue(), gfx::systemColors::systemOrange()};
        auto cal = fnd::Calendar::make();
        for (fnd::Date day = at(2026, 11, 1); day < at(2027, 2, 1);
             day = *cal->dateByAddingUnit(fnd::CalendarUnitDay, 1, day)) {
            for (int i = 0; i < perDay; ++i) {
                const fnd::Date start = *cal->dateByAddingUnit(fnd::CalendarUnitMinute, 8 * 60 + i * 20, day);
                add(start, *cal->dateByAddingUnit(fnd::CalendarUnitMinute, 15, start), false, palette[i % 4]);
            }
        }
        if (allDayRuns)
            for (int d : {3, 10, 17, 24})
                for (long month : {11L, 12L})
                    add(at(2026, month, d), at(2026, month, d + 2, 23), true, gfx::systemColors::systemPurple());
    }
};

struct MonthScreen : bench::CalendarScreen {
    std::shared_ptr<PreparedEvents> events = std::make_shared<PreparedEvents>();

    MonthScreen() : CalendarScreen(at(2026, 12, 15, 10)) {
        calendar->setDataSource(events);
        show();
    }
    XQCalendarMonthPresenter& month() const { return presenter<XQCalendarMonthPresenter>(); }
    // Switches between December and November, one composited frame each.
    void switchMonths(benchmark::State& state) {
        const fnd::Date months[] = {at(2026, 11, 15, 10), at(2026, 12, 15, 10)};
        driver->runUntilIdle();
        int i = 0;
        bench::timeFrames(state, [&] {
            calendar->setDisplayedDate(months[i++ % 2], true);
            driver->step();
            bench::compositeFrame(*driver);
        });
    }
};

void BM_MonthSwitchFrame(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) != 0);
    MonthScreen screen;
    screen.events->fill(3, false);
    screen.calendar->reloadData();
    screen.switchMonths(state);
}
BENCHMARK(BM_MonthSwitchFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// Arguments: data-source form (0 at once, 1 callback), events as text (1) or shapes (0).
void BM_MonthSwitchFrame1000Events(benchmark::State& state) {
    MonthScreen screen;
    screen.events->callbackForm = state.range(0) == 1;
    screen.events->fill(30, true); // about 1,000 in each month, a few all-day runs
    screen.calendar->theme()->addStyleGroupWithClass(XQCalendarDayCell::staticClass(),
                                                     {{"displayEventsAsText", state.range(1) == 1}});
    screen.calendar->reloadData();
    screen.switchMonths(state);
}
BENCHMARK(BM_MonthSwitchFrame1000Events)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"callback", "text"})
    ->Unit(benchmark::kMillisecond);

// Argument: 0 single selection, 1 a 20-day range.
void BM_UpdateStateAfterTap(benchmark::State& state) {
    MonthScreen screen;
    screen.events->fill(3, false);
    screen.calendar->reloadData();
    const bool range = state.range(0) == 1;
    screen.calendar->setSelectionMode(range ? XQCalendarSelectionModeRange : XQCalendarSelectionModeSingle);
    screen.driver->runUntilIdle();
    int i = 0;
    for (auto _ : state) {
        const long first = 2 + (i++ % 2);
        if (range)
            screen.calendar->setSelectedDatesRange(XQDateRange::make(at(2026, 12, first), at(2026, 12, first + 19)),
                                                   at(2026, 12, first + 19));
        else
            screen.calendar->setSelectedDate(at(2026, 12, first + 10));
    }
}
BENCHMARK(BM_UpdateStateAfterTap)->Arg(0)->Arg(1)->ArgName("range")->Unit(benchmark::kMicrosecond);

// Each iteration is one frame of the list's opening animation under a middle row: the clock
// stepped one frame interval, the turn run and the full screen composited. When an opening
// has ended, the list is closed and opened again with the timing paused.
void BM_InlineListOpeningFrame(benchmark::State& state) {
    MonthScreen screen;
    screen.events->fill(3, false);
    screen.calendar->reloadData();
    auto& month = screen.month();
    month.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
    screen.driver->runUntilIdle();
    auto cell = month.cellForDate(at(2026, 12, 16));
    const auto reopen = [&] {
        month.hideInlineEvents(false);
        screen.driver->runUntilIdle();
        screen.driver->render();
        month.showInlineEventsForCell(*cell, true);
    };
    bench::timeFrames(
        state,
        [&] {
            if (month.isInlineAnimating()) return;
            state.PauseTiming();
            reopen();
            state.ResumeTiming();
        },
        [&] {
            screen.driver->step();
            bench::compositeFrame(*screen.driver);
        },
        {});
}
BENCHMARK(BM_InlineListOpeningFrame)->Unit(benchmark::kMillisecond);

} // namespace
