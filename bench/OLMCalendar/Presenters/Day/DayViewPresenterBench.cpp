// The day view at the size of a phone screen (390 x 844 points at scale 3, 1170 x 2532
// pixels) in a window of the headless host: stepping a day with the default (scroll)
// transition over the day view, frame by frame until it settles, forward and back in turn.
// Each day holds 40 timed events in overlapping runs and 3 all-day events. The frame that
// starts a step (two snapshots, the new day's binding, layout and drawing) is the costly
// one: `start_ms` is its median; `median_ms` and `worst_ms` cover every frame.
// Also: moving without animation to a day of 200 events (180 timed in overlapping clusters,
// 20 all-day), then one frame (layout, display, compositing), two such days in turn.

#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "../../../PixelKernelCap.h"
#include "../PresenterBenchSupport.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/TestDriver.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>

namespace {


using bench::at;

class BusyDays : public XQCalendarDataSource {
public:
    int timed = 40;
    int allDay = 3;
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar, const fnd::Date& date) override {
        const fnd::Date start = calendar.calendar()->startOfDayForDate(date);
        auto& day = _days[start.timeIntervalSince1970()];
        if (day.empty()) fill(day, start);
        return day;
    }

private:
    void fill(XQCalendarEvents& day, const fnd::Date& start) const {
        const gfx::Color palette[] = {gfx::systemColors::systemRed(), gfx::systemColors::systemGreen(),
                                      gfx::systemColors::systemBlue(), gfx::systemColors::systemOrange()};
        // Days differ in their colours and titles, so that a move draws every event anew.
        const auto dayNumber = static_cast<long>(start.timeIntervalSince1970() / 86400);
        const std::string room = "Room " + std::to_string(dayNumber % 100);
        const auto add = [&](double from, double minutes, bool allDay, int i) {
            auto event = XQCalendarEvent::make();
            event->setStartDate(start.dateByAddingTimeInterval(from * 60));
            event->setEndDate(start.dateByAddingTimeInterval((from + minutes) * 60));
            event->setTitle((allDay ? "Conference " : "Design review with the team ") + room);
            event->setDetail(room);
            event->setEventColor(palette[(i + dayNumber) % 4]);
            event->setAllDay(allDay);
            day.push_back(event);
        };
        for (int i = 0; i < allDay; ++i) add(0, 1440, true, i);
        // Runs of four overlapping events from 7:00 (from 0:00 for long days), one run every
        // hour (or less).
        const double first = timed > 68 ? 0 : 7 * 60;
        const double run = std::min(60.0, (1440 - first) / ((timed + 3) / 4));
        for (int i = 0; i < timed; ++i)
            add(first + (i / 4) * run + (i % 4) * run / 5, 30 + (i % 3) * 20, false, i);
    }
    std::map<double, XQCalendarEvents> _days;
};

// A calendar in day mode on a phone screen at scale 3, "now" fixed at 15 December 2026
// 10:00, showing days of `timed` and `allDay` events.
struct DayScreen : bench::CalendarScreen {
    DayScreen(int timed, int allDay) : CalendarScreen(at(2026, 12, 15, 10)) {
        events->timed = timed;
        events->allDay = allDay;
        calendar->setDataSource(events);
        calendar->setViewMode(XQCalendarViewModeDay);
        show();
    }
    XQCalendarDayViewPresenter& presenter() const { return CalendarScreen::presenter<XQCalendarDayViewPresenter>(); }

    std::shared_ptr<BusyDays> events = std::make_shared<BusyDays>();
};

void BM_DaySwitchFrames(benchmark::State& state) {
    PixelKernelCap cap(state.range(0) == 1);
    DayScreen screen(40, 3);
    auto& driver = screen.driver;
    auto& presenter = screen.presenter();
    // A swipe in the day view first: programmatic steps then move a day, over the day view.
    driver->panAndRest({300, 500}, {100, 500}, 1.5);
    driver->runUntilIdle();

    bool forward = false;
    long steps = 0;
    bench::timeFrames(
        state,
        [&] {
            const bool start = !presenter.isTransitionRunning();
            if (start) {
                forward = !forward;
                forward ? presenter.navigateForward(true) : presenter.navigateBack(true);
                ++steps;
            }
            driver->step();
            bench::compositeFrame(*driver);
            return start;
        },
        {.median = true, .marked = "start_ms"});
    state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_DaySwitchFrames)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond)->Iterations(240);

void BM_DayMoveFrame200Events(benchmark::State& state) {
    PixelKernelCap cap(state.range(0) == 1);
    DayScreen screen(180, 20);
    auto& presenter = screen.presenter();
    const fnd::Date days[] = {at(2026, 12, 16, 10), at(2026, 12, 24, 10)};
    int i = 0;
    bench::timeFrames(state, [&] {
        presenter.navigateToDate(days[i++ % 2], false);
        screen.driver->step();
        bench::compositeFrame(*screen.driver);
    });
}
BENCHMARK(BM_DayMoveFrame200Events)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

} // namespace
