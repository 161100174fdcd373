#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {

void DayEvents::add(const fnd::Date& date, int count) {
    auto& list = days[text(date)];
    auto cal = fnd::Calendar::make();
    for (int i = 0; i < count; ++i) {
        auto event = XQCalendarEvent::make();
        event->setStartDate(cal->dateByAddingUnit(fnd::CalendarUnitHour, 9 + i, date));
        event->setEndDate(cal->dateByAddingUnit(fnd::CalendarUnitHour, 10 + i, date));
        event->setTitle("Event " + std::to_string(i + 1));
        event->setEventColor(gfx::colors::red());
        list.push_back(event);
    }
}

void MonthPresenterTest::SetUp() {
    delegate = std::make_shared<ListDelegate>(&log);
    events = std::make_shared<DayEvents>();
    driver = std::make_unique<ui::TestDriver>(gfx::Size{390, 844});
    calendar = XQCalendar::make(gfx::Rect{0, 0, 390, 844});
    calendar->setDelegate(delegate);
    calendar->setDataSource(events);
    month().setDelegate(delegate);
    driver->window()->addSubview(calendar);
    driver->runUntilIdle();
    takeLog();
}

void MonthPresenterTest::TearDown() {
    driver.reset();
    calendar.reset();
}

XQCalendarMonthPresenter& MonthPresenterTest::month() const {
    return dynamic_cast<XQCalendarMonthPresenter&>(*calendar->presenter());
}

void MonthPresenterTest::show(const fnd::Date& date) {
    calendar->setDisplayedDate(date, true);
    month().setNeedsLayout();
    calendar->layoutIfNeeded();
    month().layoutIfNeeded();
    takeLog();
}

fnd::CalendarRef MonthPresenterTest::calendarWithFirstWeekday(long weekday) {
    auto cal = fnd::Calendar::make();
    cal->setFirstWeekday(weekday);
    return cal;
}

gfx::Point MonthPresenterTest::centre(const XQCalendarDayCell& cell) const {
    const gfx::Rect frame = cell.convertRectToView(cell.bounds(), &month());
    return {frame.midX(), frame.midY()};
}

Log MonthPresenterTest::takeLog() {
    Log taken;
    taken.swap(log);
    return taken;
}

} // namespace cal::test
