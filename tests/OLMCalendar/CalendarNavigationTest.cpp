// Navigation by date: without and with a transition, its end reports, the bounds of the
// allowed dates, and swipes set up without a finger.

#include "CalendarTestSupport.h"

using namespace cal::test;

namespace {

bool hasSubview(const ui::View& view, const ui::View* subview) {
    for (const auto& s : view.subviews())
        if (s.get() == subview) return true;
    return false;
}

} // namespace

TEST_F(CalendarTest, WithoutATransitionNavigationIsImmediate) {
    grid().setTransitionMode(XQCalendarTransitionModeNone);
    calendar->navigateForward(true);
    EXPECT_EQ(takeLog(),
              (Log{"willNavigate 2027-01-15 10:30", "update(NO)", "didNavigate 2027-01-15 10:30"}));
    EXPECT_EQ(grid().currentTransition(), nullptr);

    // A mode without a transition class behaves the same (the fixture restores the table).
    XQCalendarPresenterBase::registerTransitionClass(XQCalendarTransitionModeFlip, nullptr);
    grid().setTransitionMode(XQCalendarTransitionModeFlip);
    calendar->navigateBack(true);
    EXPECT_EQ(takeLog(),
              (Log{"willNavigate 2026-12-15 10:30", "update(NO)", "didNavigate 2026-12-15 10:30"}));
}

TEST_F(CalendarTest, AnimatedNavigationReportsInOrder) {
    grid().setTransitionIsVertical(true);
    grid().setTransitionDuration(0.5);
    calendar->navigateForward(true);
    auto transition = std::dynamic_pointer_cast<FakeTransition>(grid().currentTransition());
    ASSERT_TRUE(transition);
    EXPECT_TRUE(grid().isTransitionRunning());
    EXPECT_EQ(transition->superview(), &grid());
    EXPECT_EQ(transition->frame(), grid().bounds());
    EXPECT_DOUBLE_EQ(transition->transitionDuration(), 0.5);
    EXPECT_TRUE(transition->isVertical());
    EXPECT_EQ(transition->calls, (Log{"begin 0", "play"}));
    ASSERT_TRUE(transition->from && transition->to);
    EXPECT_EQ(transition->to->size(), grid().bounds().size);
    // Each snapshot shows its own month, though the update only asked for a layout.
    EXPECT_EQ(transition->from->pixel(10, 10), (gfx::RGBA{0, 0, 1, 1}));
    EXPECT_EQ(transition->to->pixel(10, 10), (gfx::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(takeLog(), (Log{"presenterBegin", "willNavigate 2027-01-15 10:30", "update(NO)"}));

    // Whatever a presenter hid under the transition shows again when it ends.
    grid().cells()[5]->setHidden(true);
    drain();
    EXPECT_EQ(takeLog(), (Log{"presenterFinish", "didNavigate 2027-01-15 10:30"}));
    EXPECT_FALSE(grid().isTransitionRunning());
    EXPECT_FALSE(hasSubview(grid(), transition.get()));
    EXPECT_FALSE(grid().cells()[5]->isHidden());

    // A date before the shown one runs backward.
    calendar->navigateBack(true);
    EXPECT_EQ(std::dynamic_pointer_cast<FakeTransition>(grid().currentTransition())->calls,
              (Log{"begin 1", "play"}));
}

TEST_F(CalendarTest, NavigationWaitsForTheRunningTransition) {
    calendar->navigateForward(true);
    takeLog();
    EXPECT_FALSE(grid().navigateForward(true));
    EXPECT_FALSE(grid().navigateBack(false));
    calendar->navigateToDate(day(2027, 6, 1), false);
    EXPECT_FALSE(grid().startInteractiveTransition());
    EXPECT_TRUE(takeLog().empty());
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");

    drain();
    takeLog();
    EXPECT_TRUE(grid().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-02-15 10:30");
}

TEST_F(CalendarTest, NavigateToDateClampsBeforeItComparesPeriods) {
    // The last date is the shown day at 00:00 (the displayed date is at 10:30): a date beyond
    // it is the shown day, so nothing happens.
    calendar->setMaxDate(day(2026, 12, 15));
    takeLog();
    calendar->navigateToDate(day(2027, 1, 5), true);
    EXPECT_TRUE(takeLog().empty());

    calendar->setMaxDate(day(2026, 12, 20));
    takeLog();
    // Beyond the last date, clamped into the shown month: no animation.
    calendar->navigateToDate(day(2027, 1, 5), true);
    EXPECT_EQ(grid().currentTransition(), nullptr);
    EXPECT_EQ(takeLog(), (Log{"willNavigate 2026-12-20", "update(NO)", "didNavigate 2026-12-20"}));
    // The shown day: nothing at all.
    calendar->navigateToDate(day(2026, 12, 20, 18, 0), true);
    EXPECT_TRUE(takeLog().empty());
    // Another month animates.
    calendar->navigateToDate(day(2026, 10, 2), true);
    EXPECT_NE(grid().currentTransition(), nullptr);
}

TEST_F(CalendarTest, WeekModeComparesWholeWeeks) {
    calendar->setViewMode(XQCalendarViewModeWeek);
    grid().setDelegate(delegate);
    calendar->setDisplayedDate(day(2026, 12, 31), false);
    // 1 January 2027 is in the same week: no animation.
    calendar->navigateToDate(day(2027, 1, 1), true);
    EXPECT_EQ(grid().currentTransition(), nullptr);
    // 28 December 2026 and 1 January 2026 both lie in a "week 1", of different years.
    calendar->setDisplayedDate(day(2026, 12, 28), false);
    calendar->navigateToDate(day(2026, 1, 1), true);
    EXPECT_NE(grid().currentTransition(), nullptr);
}

TEST_F(CalendarTest, StepsReachTheDaysOfTheBounds) {
    // maxDate is 31 December 2027 at 00:00 while the displayed date keeps 10:30.
    grid().stepDays = 1;
    calendar->setDisplayedDate(day(2027, 12, 30, 10, 30), false);
    EXPECT_TRUE(grid().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
    EXPECT_FALSE(grid().navigateForward(false));

    // Months: a first date later in its month than the displayed day is still reached.
    grid().stepDays = 0;
    calendar->setMinDate(day(2026, 11, 20, 8, 0));
    calendar->setDisplayedDate(day(2026, 12, 15, 10, 30), false);
    EXPECT_TRUE(grid().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-11-20");
    EXPECT_FALSE(grid().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-11-20");
}

TEST_F(CalendarTest, ACancelledSwipeReturnsToExactlyWhereItStarted) {
    for (bool reverse : {false, true}) {
        grid().setTransitionIsReverse(reverse);
        calendar->setDisplayedDate(day(2027, 1, 31, 10, 30), false);
        takeLog();
        ASSERT_TRUE(grid().startInteractiveTransition());
        const std::string moved = reverse ? "2026-12-31 10:30" : "2027-02-28 10:30";
        EXPECT_EQ(takeLog(), (Log{"presenterBegin", "willNavigate " + moved, "update(NO)"}));

        grid().currentTransition()->cancelTransition();
        drain();
        EXPECT_EQ(text(calendar->displayedDate()), "2027-01-31 10:30");
        EXPECT_EQ(takeLog(), (Log{"willNavigate 2027-01-31 10:30", "update(NO)",
                                  "didNavigate 2027-01-31 10:30", "presenterFinish canceled"}));
    }
}

TEST_F(CalendarTest, ASwipeThatCannotMoveLeavesNoTransitionBehind) {
    calendar->setDisplayedDate(day(2027, 12, 31), false);
    takeLog();
    const auto subviews = grid().subviews().size();
    EXPECT_FALSE(grid().startInteractiveTransition());
    EXPECT_EQ(grid().subviews().size(), subviews);
    EXPECT_EQ(grid().currentTransition(), nullptr);
    EXPECT_FALSE(grid().isTransitionRunning());
    EXPECT_EQ(takeLog(), (Log{"presenterBegin", "presenterFinish canceled"}));
}
