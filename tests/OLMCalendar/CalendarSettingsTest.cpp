// Settings and defaults, view-mode changes and the presenter cache.

#include "CalendarTestSupport.h"

#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "platform/foundation/ProcessDefaults.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/PinchGestureRecognizer.h"

using namespace cal::test;

TEST(CalendarDefaults, SetupLeavesTheDocumentedStartState) {
    auto calendar = XQCalendar::make(gfx::Rect{0, 0, 320, 400});
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(calendar->selectionMode(), XQCalendarSelectionModeSingle);
    EXPECT_EQ(calendar->displayedDate(), fnd::Date::now());
    EXPECT_EQ(text(calendar->minDate()), "2025-01-01");
    EXPECT_EQ(text(calendar->maxDate()), "2027-12-31");
    EXPECT_FALSE(calendar->selectedDate());
    EXPECT_FALSE(calendar->locale());
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_TRUE(calendar->allowPinchZoom());
    EXPECT_TRUE(calendar->dateRange() && !calendar->dateRange()->startDate());
    EXPECT_TRUE(calendar->theme() && calendar->theme()->isKindOf(XQCalendarDefaultTheme::staticClass()));
    EXPECT_TRUE(calendar->layer()->needsDisplayOnBoundsChange());
    EXPECT_EQ(calendar->backgroundColor(), gfx::systemColors::systemBackground());

    // The month presenter (the empty base presenter until the month view is built) fills the
    // bounds, and the pinch recognizer is installed on the calendar.
    ASSERT_TRUE(calendar->presenter());
    EXPECT_TRUE(calendar->presenter()->isKindOf(XQCalendar::presenterClass(XQCalendarViewModeMonth)));
    EXPECT_EQ(calendar->presenter()->superview(), calendar.get());
    EXPECT_EQ(calendar->presenter()->frame(), calendar->bounds());
    ASSERT_TRUE(calendar->pinchRecognizer());
    EXPECT_EQ(calendar->pinchRecognizer()->view(), calendar.get());

    calendar->setAllowPinchZoom(false);
    EXPECT_FALSE(calendar->pinchRecognizer()->isEnabled());
}

TEST(CalendarDefaults, MaxDateIsTheLastDayOfNextYearWhateverTheStartMonth) {
    fnd::ScopedDefaults defaults;
    for (long month : {1, 2, 4, 12}) {
        fnd::Clock::setFixedNow(day(2026, month, month == 2 ? 28 : 30, 15, 45));
        auto calendar = XQCalendar::make(gfx::Rect{0, 0, 300, 300});
        EXPECT_EQ(text(calendar->maxDate()), "2027-12-31") << "start in month " << month;
        EXPECT_EQ(text(calendar->minDate()), "2025-01-01") << "start in month " << month;
    }
}

TEST_F(CalendarTest, SideEffectSettersReachThePresenter) {
    grid().updates.clear();
    calendar->setDelegate(delegate);
    calendar->setDataSource(nullptr);
    calendar->setMaxDate(day(2027, 6, 1, 9, 30));
    EXPECT_EQ(grid().updates, (std::vector<bool>{true, false, false}));
    // The last date keeps its time; the first is cut to its day.
    EXPECT_EQ(text(calendar->maxDate()), "2027-06-01 09:30");
    calendar->setMinDate(day(2026, 3, 4, 18, 5));
    EXPECT_EQ(text(calendar->minDate()), "2026-03-04");

    // A new calendar resets the weekday cache; nil is refused.
    calendar->setDaysInWeek(5);
    auto gregorian = fnd::Calendar::make("gregorian");
    calendar->setCalendar(gregorian);
    EXPECT_EQ(calendar->calendar(), gregorian);
    EXPECT_EQ(calendar->daysInWeek(), 7);
    calendar->setCalendar(nullptr);
    EXPECT_EQ(calendar->calendar(), gregorian);

    // Changing the selection mode keeps the selection and refreshes the cells' states.
    calendar->setSelectedDate(day(2026, 12, 3));
    grid().stateDates.clear();
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-03");
    ASSERT_EQ(grid().stateDates.size(), 1u);
    EXPECT_EQ(text(grid().stateDates[0]), "2026-12-03");
}

TEST_F(CalendarTest, DisplayedDateAndValidity) {
    // The displayed day at another time, and nil, change nothing and report nothing.
    const fnd::Date shown = calendar->displayedDate();
    calendar->setDisplayedDate(day(2026, 12, 15, 23, 0), true);
    calendar->setDisplayedDate(std::nullopt, true);
    EXPECT_EQ(calendar->displayedDate(), shown);
    EXPECT_TRUE(takeLog().empty());

    calendar->setDisplayedDate(day(2026, 11, 2), false);
    calendar->setDisplayedDate(day(2026, 10, 2), true);
    EXPECT_EQ(takeLog(), (Log{"willNavigate 2026-11-02", "willNavigate 2026-10-02", "update(NO)"}));

    // Bounds compare full time stamps; a nil bound passes.
    calendar->setMaxDate(day(2027, 1, 1, 12, 0));
    EXPECT_TRUE(calendar->isValidDate(day(2027, 1, 1, 12, 0)));
    EXPECT_FALSE(calendar->isValidDate(day(2027, 1, 1, 12, 1)));
    EXPECT_FALSE(calendar->isValidDate(day(2024, 12, 31)));
    calendar->setMinDate(std::nullopt);
    EXPECT_TRUE(calendar->isValidDate(day(1900, 1, 1)));
    EXPECT_FALSE(calendar->isValidDate(std::nullopt));
}

TEST_F(CalendarTest, ViewModeChangesCacheAndReusePresenters) {
    auto month = calendar->presenter();
    calendar->setViewMode(XQCalendarViewModeMonth);
    calendar->setViewMode(7);
    calendar->setViewMode(-1);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(calendar->presenter(), month);
    EXPECT_TRUE(takeLog().empty());

    calendar->setFrame({0, 0, 400, 280});
    calendar->setViewMode(XQCalendarViewModeWeek);
    auto week = calendar->presenter();
    ASSERT_NE(week, month);
    EXPECT_EQ(month->superview(), nullptr);
    EXPECT_EQ(calendar->cachedPresenter(XQCalendarViewModeMonth), month);
    EXPECT_EQ(week->frame(), calendar->bounds());
    // The new presenter is updated before the delegate hears of the change.
    EXPECT_EQ(takeLog(), (Log{"didChangeViewMode 1->0"}));
    EXPECT_EQ(static_cast<GridPresenter&>(*week).updates, (std::vector<bool>{false}));

    calendar->setFrame({0, 0, 500, 250});
    calendar->setViewMode(XQCalendarViewModeMonth);
    EXPECT_EQ(calendar->presenter(), month);
    EXPECT_EQ(month->frame(), calendar->bounds());
    EXPECT_EQ(calendar->cachedPresenter(XQCalendarViewModeWeek), week);
    EXPECT_EQ(calendar->subviews().size(), 1u);
    EXPECT_EQ(grid().updates.back(), false);
    EXPECT_EQ(takeLog(), (Log{"update(NO)", "didChangeViewMode 0->1"}));
}

TEST_F(CalendarTest, AnimatedViewModeChangePlaysAFloatTransitionAndRemovesIt) {
    grid().setBackgroundColor(gfx::colors::green());
    calendar->setViewMode(XQCalendarViewModeMonthNames, true);
    auto transition = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(transition);
    EXPECT_EQ(transition->superview(), calendar.get());
    EXPECT_EQ(transition->frame(), calendar->bounds());
    EXPECT_DOUBLE_EQ(transition->transitionDuration(), 0.4);
    EXPECT_EQ(transition->calls, (Log{"begin 0", "play"}));
    ASSERT_TRUE(transition->from && transition->to);
    EXPECT_EQ(transition->from->size(), calendar->bounds().size);
    // The from image is taken before the old presenter leaves, the to image once the new one
    // (which has no background of its own) is in.
    EXPECT_EQ(transition->from->pixel(350, 300), (gfx::RGBA{0, 1, 0, 1}));
    EXPECT_EQ(transition->to->pixel(350, 300), gfx::systemColors::systemBackground().resolved());

    drain();
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_EQ(transition->superview(), nullptr);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
}

TEST_F(CalendarTest, AnOlderTransitionEndingDoesNotForgetTheNewerOne) {
    calendar->setViewMode(XQCalendarViewModeMonthNames, true);
    auto first = calendar->transition();
    calendar->setViewMode(XQCalendarViewModeYearNumbers, true);
    auto second = calendar->transition();
    ASSERT_TRUE(first && second && first != second);

    calendar->transitionIsCanceled(*first, false);
    EXPECT_EQ(calendar->transition(), second);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->superview(), calendar.get());
    // The presenter stays beneath the transition that still runs.
    EXPECT_EQ(calendar->subviews().front(), calendar->presenter());
}
