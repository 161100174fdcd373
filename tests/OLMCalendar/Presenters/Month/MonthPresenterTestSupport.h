#pragma once

// A real calendar in a 390 x 844 window of the headless host, showing the real month
// presenter, with a recording delegate (calendar and presenter, inline-list reports
// included) and a data source whose events the test sets per day.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/SystemColors.h"
#include "tests/OLMCalendar/CalendarTestSupport.h"

#include <map>

namespace cal::test {

class ListDelegate : public RecordingDelegate {
public:
    using RecordingDelegate::RecordingDelegate;
    void monthPresenterInlineEventsViewDidShowForCell(XQCalendarMonthPresenter&, XQCalendarDayCell& cell) override {
        log->push_back("listShown " + text(cell.date()));
    }
    void monthPresenterInlineEventsViewDidHideForCell(XQCalendarMonthPresenter&, XQCalendarDayCell& cell) override {
        log->push_back("listHidden " + text(cell.date()));
    }
};

// Events by day ("2026-12-15"), answered at once.
class DayEvents : public XQCalendarDataSource {
public:
    std::map<std::string, XQCalendarEvents> days;
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar&, const fnd::Date& date) override {
        auto it = days.find(text(date));
        return it != days.end() ? it->second : XQCalendarEvents{};
    }
    // `count` one-hour events from 09:00 on the day.
    void add(const fnd::Date& day, int count);
};

class MonthPresenterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    XQCalendarMonthPresenter& month() const;
    // Shows the month of `date` (and the date as displayed date).
    void show(const fnd::Date& date);
    // A calendar of the default time zone with a first weekday.
    static fnd::CalendarRef calendarWithFirstWeekday(long weekday);
    // The centre of a day cell in the presenter's coordinates.
    gfx::Point centre(const XQCalendarDayCell& cell) const;
    Log takeLog();
    void drain() { driver->runUntilIdle(); }

    Log log;
    std::shared_ptr<ListDelegate> delegate;
    std::shared_ptr<DayEvents> events;
    std::shared_ptr<XQCalendar> calendar;
    std::unique_ptr<ui::TestDriver> driver;
};

} // namespace cal::test
