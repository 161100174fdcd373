#pragma once

// A real calendar (real presenters, real transitions) filling a 320 x 568 window of the
// headless host, with a recording delegate.

#include "OLMCalendar/XQCalendar.h"
#include "tests/OLMCalendar/CalendarTestSupport.h"

namespace cal::test {

class HostedPresenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        delegate = std::make_shared<RecordingDelegate>(&log);
        driver = std::make_unique<ui::TestDriver>(gfx::Size{320, 568});
        calendar = XQCalendar::make(gfx::Rect{0, 0, 320, 568});
        calendar->setDelegate(delegate);
        driver->window()->addSubview(calendar);
        driver->runUntilIdle();
        takeLog();
    }
    void TearDown() override {
        driver.reset();
        calendar.reset();
    }

    // Switches to a mode and lays it out; the log is emptied.
    template <class Presenter> Presenter& show(XQCalendarViewMode mode) {
        calendar->setViewMode(mode);
        driver->runUntilIdle();
        takeLog();
        return dynamic_cast<Presenter&>(*calendar->presenter());
    }
    // Redisplays the current presenter at a date.
    void showDate(const fnd::Date& date) {
        calendar->setDisplayedDate(date, true);
        driver->runUntilIdle();
        takeLog();
    }
    // The log entries that start with `prefix`.
    Log entries(const std::string& prefix) {
        Log found;
        for (const std::string& entry : takeLog())
            if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
        return found;
    }
    Log takeLog() {
        Log taken;
        taken.swap(log);
        return taken;
    }

    Log log;
    std::shared_ptr<RecordingDelegate> delegate;
    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendar> calendar;
};

} // namespace cal::test
