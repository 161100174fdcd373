#pragma once

// What the presenter benchmarks share: dates of the default calendar, a calendar on a phone
// screen and per-frame timing.

#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/Window.h"

#include "bench/FrameTiming.h"

namespace bench {

// An hour (00:00 unless given) of a day in the default calendar and time zone.
inline fnd::Date at(long year, long month, long day, long hour = 0) {
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    return *fnd::Calendar::make()->dateFromComponents(c);
}

// Composites the frame of the driver's last turn (the window composites on demand) into the
// frame buffer, without copying the buffer out as an image.
inline void compositeFrame(const ui::TestDriver& driver) {
    benchmark::DoNotOptimize(driver.window()->compositor().statistics().damagedPixels);
}

// A calendar filling a phone screen (390 x 844 points at scale 3) in the headless host's window,
// with "now" fixed. The benchmark sets the calendar up, then shows it (the first layout, display
// and frame run); everything goes, and the clock is real again, with the screen.
struct CalendarScreen {
    static constexpr gfx::Size size{390, 844};

    explicit CalendarScreen(const fnd::Date& now) {
        gfx::setScreenScale(3);
        fnd::Clock::setFixedNow(now);
        driver = std::make_unique<ui::TestDriver>(size);
        calendar = XQCalendar::make(gfx::Rect{{0, 0}, size});
    }
    ~CalendarScreen() {
        driver.reset();
        calendar.reset();
        fnd::mainQueue().drain();
        fnd::Clock::setFixedNow(std::nullopt);
    }
    CalendarScreen(const CalendarScreen&) = delete;
    CalendarScreen& operator=(const CalendarScreen&) = delete;

    void show() {
        driver->window()->addSubview(calendar);
        driver->runUntilIdle();
    }
    template <class Presenter> Presenter& presenter() const {
        return static_cast<Presenter&>(*calendar->presenter());
    }

    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendar> calendar;
};

} // namespace bench
