#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"
#include "OLMCalendar/Presenters/Week/XQCalendarWeekDayCell.h"
#include "OLMCalendar/Presenters/Week/XQCalendarWeekPresenter.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {
namespace {

class WeekPresenterTest : public MonthPresenterTest {
protected:
    void SetUp() override {
        MonthPresenterTest::SetUp();
        calendar->setViewMode(XQCalendarViewModeWeek);
        week().setDelegate(delegate);
        driver->runUntilIdle();
        takeLog();
    }
    XQCalendarWeekPresenter& week() const { return dynamic_cast<XQCalendarWeekPresenter&>(*calendar->presenter()); }
    std::vector<std::string> days() const {
        std::vector<std::string> out;
        for (const auto& cell : week().dayCells()) out.push_back(text(cell->date()));
        return out;
    }
};

TEST_F(WeekPresenterTest, showsOneRowOfTheDisplayedWeekAsOnePeriod) {
    show(day(2026, 12, 31));
    ASSERT_EQ(week().dayCells().size(), 7u);
    EXPECT_EQ(days().front(), "2026-12-27");
    EXPECT_EQ(days().back(), "2027-01-02");
    for (const auto& cell : week().dayCells()) {
        EXPECT_TRUE(dynamic_cast<XQCalendarWeekDayCell*>(cell.get()));
        EXPECT_TRUE(cell->state() & XQCalendarDayCellStateCurrentMonth) << text(cell->date());
    }
    EXPECT_DOUBLE_EQ(week().rowHeight(), 794);
    EXPECT_EQ(week().transitionMode(), XQCalendarTransitionModeScroll);
    // The inline list finds its cells in the week too.
    EXPECT_EQ(week().cellForDate(day(2027, 1, 1)), week().dayCells()[5]);
    EXPECT_EQ(text(week().dateFromPoint(centre(*week().dayCells()[5]))), "2027-01-01");
}

TEST_F(WeekPresenterTest, aSundayWithMondayFirstStartsOnTheMondayBefore) {
    calendar->setCalendar(calendarWithFirstWeekday(2));
    show(day(2026, 12, 13));
    EXPECT_EQ(days().front(), "2026-12-07");
    EXPECT_EQ(days().back(), "2026-12-13");
}

TEST_F(WeekPresenterTest, weekStepsKeepTheWeekdayAndReachTheWeeksOfTheBounds) {
    calendar->setMinDate(day(2026, 12, 3));
    calendar->setMaxDate(day(2026, 12, 30));
    show(day(2026, 12, 16, 10));
    EXPECT_TRUE(week().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-23 10:00");
    EXPECT_TRUE(week().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-30"); // the bound, in its own week
    EXPECT_FALSE(week().navigateForward(false));
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(week().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-03"); // the bound's week is reached
    EXPECT_FALSE(week().navigateBack(false));
}

TEST_F(WeekPresenterTest, presenterRangeComparesWeekYearsOnBothSides) {
    calendar->setCalendar(calendarWithFirstWeekday(2));
    calendar->calendar()->setMinimumDaysInFirstWeek(4);
    calendar->setMinDate(day(2024, 12, 30)); // week 1 of 2025
    calendar->setMaxDate(day(2025, 12, 31));
    EXPECT_FALSE(week().isDateInPresenterRange(day(2024, 1, 20)));
    EXPECT_FALSE(week().isDateInPresenterRange(day(2024, 12, 29)));
    EXPECT_TRUE(week().isDateInPresenterRange(day(2024, 12, 31)));
    EXPECT_TRUE(week().isDateInPresenterRange(day(2026, 1, 1))); // in week 1 of 2026, as the bound
}

// The week's single row fills the grid: a list under it shifts header and grid up by its
// height; the popover lists the same day.
TEST_F(WeekPresenterTest, listsATappedDaysEventsInlineAndInAPopover) {
    events->add(day(2026, 12, 16), 2);
    calendar->reloadData();
    show(day(2026, 12, 16));
    auto& w = week();
    w.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
    auto cell = w.cellForDate(day(2026, 12, 16));
    ASSERT_TRUE(cell);
    driver->tap(centre(*cell));
    drain();
    EXPECT_EQ(takeLog().back(), "listShown 2026-12-16");
    EXPECT_EQ(w.presenterRow(), 0);
    EXPECT_DOUBLE_EQ(w.inlinePreviewDelta(), -88);
    EXPECT_DOUBLE_EQ(w.headerView()->frame().origin.y, -88);
    EXPECT_EQ(w.inlineEventsView()->frame(), (gfx::Rect{0, 844 - 88, 390, 88}));
    EXPECT_EQ(w.inlineEventsView()->tableView()->numberOfRowsInSection(0), 2);

    w.setInlineEventsViewMode(XQCalendarInlineEventsViewModePopover);
    w.layoutIfNeeded();
    EXPECT_EQ(w.headerView()->frame().origin.y, 0);
    w.showInlineEventsForCell(*cell, false);
    ASSERT_TRUE(w.popover() && w.popover()->isPopoverVisible());
    EXPECT_EQ(w.inlineEventsView()->superview(), w.popover()->contentViewController()->view().get());
    EXPECT_EQ(w.inlineEventsView()->tableView()->numberOfRowsInSection(0), 2);
}

} // namespace
} // namespace cal::test
