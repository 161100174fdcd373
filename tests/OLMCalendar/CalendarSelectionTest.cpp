// Selection in the single, multiple and range modes.

#include "CalendarTestSupport.h"

using namespace cal::test;

TEST_F(CalendarTest, SingleSelectionAsksDeselectsStoresUpdatesThenSelects) {
    calendar->setSelectedDate(day(2026, 12, 3));
    EXPECT_EQ(takeLog(), (Log{"shouldSelect 2026-12-03", "updateState 2026-12-03", "didSelect 2026-12-03"}));

    // The same instant again: nothing. The same day at another time: a new selection.
    calendar->setSelectedDate(day(2026, 12, 3));
    EXPECT_TRUE(takeLog().empty());
    calendar->setSelectedDate(day(2026, 12, 3, 8, 0));
    EXPECT_EQ(takeLog(), (Log{"shouldSelect 2026-12-03 08:00", "didDeselect 2026-12-03",
                              "updateState 2026-12-03 08:00", "didSelect 2026-12-03 08:00"}));

    // A refusal changes nothing.
    delegate->refused = {"2026-12-04"};
    calendar->setSelectedDate(day(2026, 12, 4));
    EXPECT_EQ(takeLog(), (Log{"shouldSelect 2026-12-04"}));
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-03 08:00");
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 12, 3, 23, 59)));
    EXPECT_FALSE(calendar->isDateSelected(day(2026, 12, 4)));

    // Nil deselects after asking with nil.
    calendar->setSelectedDate(std::nullopt);
    EXPECT_EQ(takeLog(), (Log{"shouldSelect nil", "didDeselect 2026-12-03 08:00", "updateState nil"}));
    EXPECT_FALSE(calendar->selectedDate());
}

TEST_F(CalendarTest, SingleSelectionViews) {
    EXPECT_FALSE(calendar->selectedDates());
    EXPECT_EQ(calendar->selectedDatesRange(), nullptr);
    calendar->setSelectedDate(day(2026, 12, 9, 7, 0));
    ASSERT_TRUE(calendar->selectedDates());
    EXPECT_EQ(*calendar->selectedDates(), (std::vector<fnd::Date>{day(2026, 12, 9, 7, 0)}));
    auto range = calendar->selectedDatesRange();
    ASSERT_TRUE(range);
    EXPECT_EQ(range->startDate(), range->endDate());
    // Ranges and date lists belong to other modes.
    calendar->setSelectedDates({day(2026, 12, 1)});
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 1), day(2026, 12, 5)));
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-09 07:00");
}

TEST_F(CalendarTest, MultipleSelectionTogglesByDay) {
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    takeLog();
    calendar->setSelectedDate(day(2026, 3, 5, 9, 0));
    EXPECT_EQ(calendar->dayKey(day(2026, 3, 5)), "5.3.2026");
    EXPECT_EQ(calendar->selectedDatesDict().count("5.3.2026"), 1u);

    // The same day at another time removes it; selectedDate stays.
    calendar->setSelectedDate(day(2026, 3, 5, 17, 0));
    EXPECT_EQ(takeLog(), (Log{"shouldSelect 2026-03-05 09:00", "didSelect 2026-03-05 09:00",
                              "updateState 2026-03-05 09:00", "didDeselect 2026-03-05 17:00",
                              "updateState 2026-03-05 17:00"}));
    EXPECT_TRUE(calendar->selectedDatesDict().empty());
    EXPECT_EQ(text(calendar->selectedDate()), "2026-03-05 09:00");

    delegate->refused = {"2026-03-06"};
    calendar->setSelectedDate(day(2026, 3, 6));
    EXPECT_EQ(takeLog(), (Log{"shouldSelect 2026-03-06"}));
    calendar->setSelectedDate(std::nullopt);
    EXPECT_TRUE(takeLog().empty());
    EXPECT_FALSE(calendar->selectedDatesRange());
}

TEST_F(CalendarTest, SetSelectedDatesReportsEveryDateButStoresOnePerDay) {
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    calendar->setSelectedDates({day(2026, 12, 1)});
    takeLog();
    calendar->setSelectedDates({day(2026, 12, 2), day(2026, 12, 7), day(2026, 12, 2, 15, 0)});
    EXPECT_EQ(takeLog(), (Log{"didDeselect 2026-12-01", "didSelect 2026-12-02", "didSelect 2026-12-07",
                              "didSelect 2026-12-02 15:00", "updateState 2026-12-07"}));
    auto dates = calendar->selectedDates();
    ASSERT_TRUE(dates);
    EXPECT_EQ(dates->size(), 2u);
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-07");
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 12, 2, 23, 0)));

    calendar->setSelectedDates({});
    EXPECT_FALSE(calendar->selectedDate());
    EXPECT_TRUE(calendar->selectedDates()->empty());
}

TEST_F(CalendarTest, RangeSelection) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    takeLog();
    calendar->setSelectedDate(day(2026, 12, 8));
    EXPECT_EQ(text(calendar->dateRange()->startDate()), "2026-12-08");
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-08");
    EXPECT_FALSE(calendar->selectedDates());

    // A range given backwards: the dates are put in order, the last selected is its start.
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 20), day(2026, 12, 10)));
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-10");
    EXPECT_EQ(text(calendar->selectedDatesRange()->startDate()), "2026-12-10");
    takeLog();

    // The same days at other times: nothing, whatever the last selected date.
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 10, 9, 0), day(2026, 12, 20, 9, 0)),
                                    day(2026, 12, 20));
    EXPECT_TRUE(takeLog().empty());
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-10");
}

TEST_F(CalendarTest, RangeMembershipComparesDaysNotTimeStamps) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 3, 5, 12, 0), day(2026, 3, 9, 6, 0)));
    EXPECT_FALSE(calendar->isDateSelected(day(2026, 3, 4, 13, 0)));
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 3, 5)));
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 3, 9, 23, 0)));
    EXPECT_FALSE(calendar->isDateSelected(day(2026, 3, 10)));
    EXPECT_FALSE(calendar->isDateSelected(std::nullopt));
}

TEST_F(CalendarTest, ResetLeavesNoSelectionBehindInAnyMode) {
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    calendar->setSelectedDates({day(2026, 12, 1), day(2026, 12, 2)});
    takeLog();
    calendar->reloadData();
    EXPECT_EQ(takeLog(), (Log{"didDeselect 2026-12-01", "didDeselect 2026-12-02", "update(YES)"}));
    EXPECT_FALSE(calendar->selectedDate());
    EXPECT_FALSE(calendar->isDateSelected(day(2026, 12, 2)));

    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 3), day(2026, 12, 6)));
    takeLog();
    calendar->clearSelection();
    EXPECT_FALSE(calendar->selectedDate());
    EXPECT_FALSE(calendar->dateRange()->startDate());
    EXPECT_EQ(takeLog(), (Log{"updateState nil"}));

    // In single mode the delegate may keep the date.
    calendar->setSelectionMode(XQCalendarSelectionModeSingle);
    calendar->setSelectedDate(day(2026, 12, 4));
    delegate->refused = {"nil"};
    calendar->resetSelection();
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-04");
}
