// The presenter base's tap and pan rules and the calendar's pinch, driven through the
// headless host with synthetic fingers and a stepped clock.
//
// The grid presenter's cells are 50 x 50 points; December 2026's grid starts on Sunday
// 29 November, so row 1 holds 6...12 December.

#include "CalendarTestSupport.h"

#include <algorithm>

using namespace cal::test;

namespace {

class CalendarGestureTest : public HostedCalendarTest {
protected:
    gfx::Point at(const fnd::Date& date) { return grid().pointOfDate(date).value(); }
    std::shared_ptr<FakeTransition> pageTransition() {
        return std::dynamic_pointer_cast<FakeTransition>(grid().currentTransition());
    }
    // One finger through the points, a frame apart, lifted at the last without stopping.
    void drag(const std::vector<gfx::Point>& points) {
        driver->touchDown(1, points.front());
        for (std::size_t i = 1; i < points.size(); ++i) {
            driver->step();
            driver->touchMove(1, points[i]);
        }
        driver->touchUp(1, points.back());
    }
    // Points from `from` moving `dx` per frame for `frames` frames.
    static std::vector<gfx::Point> line(gfx::Point from, double dx, int frames) {
        std::vector<gfx::Point> points{from};
        for (int i = 1; i <= frames; ++i)
            points.push_back({from.x + dx * i, from.y});
        return points;
    }
};

} // namespace

// --- Taps.

TEST_F(CalendarGestureTest, ATapSelectsTheDateUnderTheFinger) {
    driver->tap(at(day(2026, 12, 9)));
    EXPECT_EQ(takeLog(), (Log{"didTapCell 10", "shouldSelect 2026-12-09", "updateState 2026-12-09",
                              "didSelect 2026-12-09"}));

    // Outside the allowed dates only the cell is reported.
    calendar->setMaxDate(day(2026, 12, 8));
    takeLog();
    driver->tap(at(day(2026, 12, 10)));
    EXPECT_EQ(takeLog(), (Log{"didTapCell 11"}));
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-09");
}

TEST_F(CalendarGestureTest, RangeTapsAnchorThenClose) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    driver->tap(at(day(2026, 12, 3)));
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-03");
    takeLog();
    driver->tap(at(day(2026, 12, 3))); // the selected date again: nothing
    EXPECT_EQ(takeLog(), (Log{"didTapCell 4"}));

    driver->tap(at(day(2026, 12, 17)));
    EXPECT_EQ(text(calendar->dateRange()->startDate()), "2026-12-03");
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-17");
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-17");
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 12, 10)));

    // The anchor is gone: the next tap starts a new range.
    driver->tap(at(day(2026, 12, 1)));
    EXPECT_EQ(text(calendar->dateRange()->startDate()), "2026-12-01");
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-01");
}

TEST_F(CalendarGestureTest, ARangeAnchorTheBoundsLeftBehindStartsNoRange) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    driver->tap(at(day(2026, 12, 23)));
    calendar->setMaxDate(day(2026, 12, 20));
    driver->tap(at(day(2026, 12, 9)));
    EXPECT_EQ(text(calendar->dateRange()->startDate()), "2026-12-09");
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-09");
}

TEST_F(CalendarGestureTest, ZoomedOutTapsKeepTheSelectedDayWhereTheMonthAllows) {
    struct Case {
        XQCalendarViewMode mode;
        fnd::Date selected;
        fnd::Date shown;
        fnd::Date tapped;
        std::string opened;
        XQCalendarViewMode openedMode;
    };
    const std::vector<Case> cases = {
        {XQCalendarViewModeMonthNames, day(2027, 1, 31), day(2027, 3, 10), day(2027, 3, 12), "2027-03-31",
         XQCalendarViewModeMonth},
        {XQCalendarViewModeMonthNames, day(2027, 1, 31), day(2027, 2, 10), day(2027, 2, 12), "2027-02-28",
         XQCalendarViewModeMonth},
        // 29 February selected; a year without one gives the 28th, not 1 March.
        {XQCalendarViewModeYearNumbers, day(2024, 2, 29), day(2027, 6, 10), day(2027, 6, 16), "2027-02-28",
         XQCalendarViewModeMonthNames},
    };
    for (const Case& c : cases) {
        calendar->setViewMode(c.mode);
        calendar->setDisplayedDate(c.shown, false);
        calendar->setSelectedDate(c.selected);
        takeLog();
        driver->tap(at(c.tapped));
        driver->runUntilIdle();
        EXPECT_EQ(calendar->viewMode(), c.openedMode);
        EXPECT_EQ(text(calendar->displayedDate()), c.opened);
        EXPECT_EQ(text(calendar->selectedDate()), text(c.selected)) << "zooming in selects nothing";
        const Log log = takeLog();
        EXPECT_TRUE(std::find(log.begin(), log.end(), "didNavigate " + c.opened) != log.end());
    }

    // Without pinch zoom the adjusted date is selected instead.
    calendar->setAllowPinchZoom(false);
    calendar->setViewMode(XQCalendarViewModeMonthNames);
    calendar->setDisplayedDate(day(2027, 4, 10), false);
    calendar->setSelectedDate(day(2027, 1, 31));
    driver->tap(at(day(2027, 4, 14)));
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    EXPECT_EQ(text(calendar->selectedDate()), "2027-04-30");
}

// --- Pans.

TEST_F(CalendarGestureTest, ASlowSwipeDrivesTheTransitionAndFinishes) {
    drag(line({300, 150}, -4, 40)); // 240 points per second to the left
    auto transition = pageTransition();
    ASSERT_TRUE(transition);
    ASSERT_GE(transition->calls.size(), 3u);
    EXPECT_EQ(transition->calls.front(), "begin 0");
    EXPECT_EQ(transition->calls.back(), "finish");
    ASSERT_FALSE(transition->progress.empty());
    EXPECT_TRUE(std::is_sorted(transition->progress.begin(), transition->progress.end()));
    // 160 points of 0.7 x 350 after the pan began 10 points in.
    EXPECT_NEAR(transition->progress.back(), 150.0 / 245.0, 0.02);
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    EXPECT_EQ(takeLog(), (Log{"presenterBegin", "willNavigate 2027-01-15 10:30", "update(NO)",
                              "presenterFinish", "didNavigate 2027-01-15 10:30"}));
}

TEST_F(CalendarGestureTest, SensitivityDelaysTheStartAndProgressStartsAtZero) {
    grid().setPanGestureSensitivity(20);
    drag(line({300, 150}, -3, 5)); // 15 points
    EXPECT_EQ(pageTransition(), nullptr);
    EXPECT_TRUE(takeLog().empty());

    drag(line({300, 150}, -2, 30));
    auto transition = pageTransition();
    ASSERT_TRUE(transition);
    ASSERT_FALSE(transition->progress.empty());
    EXPECT_NEAR(transition->progress.front(), 0.0, 1e-9);
}

TEST_F(CalendarGestureTest, AFlickPlaysTheWholeTransition) {
    drag(line({300, 150}, -10, 3)); // 600 points per second, then lifted at once
    auto transition = pageTransition();
    ASSERT_TRUE(transition);
    EXPECT_EQ(transition->calls, (Log{"begin 0", "play"}));
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");

    // Vertical transitions follow the y axis: a sideways flick is ignored, one down goes back.
    grid().setTransitionIsVertical(true);
    drag(line({300, 150}, -10, 3));
    EXPECT_EQ(pageTransition(), transition);
    drag({{175, 100}, {175, 110}, {175, 120}, {175, 130}});
    ASSERT_NE(pageTransition(), transition);
    EXPECT_EQ(pageTransition()->calls, (Log{"begin 1", "play"}));
    EXPECT_TRUE(pageTransition()->isVertical());
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
}

TEST_F(CalendarGestureTest, ASwipeEndingBackwardsIsCancelledAndReturns) {
    struct Case {
        double dx;        // per frame, for 30 frames
        double backSpeed; // then back towards the start, points per second
        bool reverse;
        bool cancels;
    };
    const Case cases[] = {
        {-4, 10, false, true},
        {-4, 10, true, true},
        {4, 10, false, true},  // a swipe back (to the right) turning left
        {-4, 5, false, false}, // slower than 7 points per second: still a finish
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.dx << " " << c.backSpeed << " " << c.reverse);
        grid().setTransitionIsReverse(c.reverse);
        calendar->setDisplayedDate(day(2027, 3, 31, 10, 30), false);
        takeLog();
        auto points = line({c.dx < 0 ? 300.0 : 50.0, 150}, c.dx, 30);
        const double back = c.dx < 0 ? c.backSpeed : -c.backSpeed;
        const auto turn = line(points.back(), back / 60, 12);
        points.insert(points.end(), turn.begin() + 1, turn.end());
        drag(points);
        ASSERT_TRUE(pageTransition());
        EXPECT_EQ(pageTransition()->calls.back(), c.cancels ? "cancel" : "finish");
        driver->runUntilIdle();
        const Log log = takeLog();
        ASSERT_GE(log.size(), 2u);
        if (c.cancels) {
            EXPECT_EQ(text(calendar->displayedDate()), "2027-03-31 10:30");
            EXPECT_EQ(log[log.size() - 2], "didNavigate 2027-03-31 10:30");
            EXPECT_EQ(log.back(), "presenterFinish canceled");
        } else {
            EXPECT_EQ(text(calendar->displayedDate()), "2027-04-30 10:30");
            EXPECT_EQ(log.back(), "didNavigate 2027-04-30 10:30");
        }
    }
}

TEST_F(CalendarGestureTest, AnInterruptedSwipeIsCancelled) {
    driver->touchDown(1, {300, 150});
    for (int i = 1; i <= 20; ++i) {
        driver->step();
        driver->touchMove(1, {300.0 - 4 * i, 150});
    }
    driver->touchCancel(1);
    ASSERT_TRUE(pageTransition());
    EXPECT_EQ(pageTransition()->calls.back(), "cancel");
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
    EXPECT_FALSE(grid().isTransitionRunning());
}

TEST_F(CalendarGestureTest, SwipesThatDoNotNavigate) {
    // Across the axis.
    drag({{175, 50}, {176, 60}, {177, 80}, {178, 100}, {179, 120}});
    // Without a transition mode.
    grid().setTransitionMode(XQCalendarTransitionModeNone);
    drag(line({300, 150}, -4, 20));
    grid().setTransitionMode(XQCalendarTransitionModeScroll);
    EXPECT_EQ(pageTransition(), nullptr);
    EXPECT_TRUE(takeLog().empty());

    // While the last transition is still finishing.
    FakeTransition::holdEnds = true;
    drag(line({300, 150}, -10, 3));
    auto first = pageTransition();
    ASSERT_TRUE(first);
    drag(line({300, 150}, -10, 3));
    EXPECT_EQ(pageTransition(), first);
    // A swipe begun while it finishes stays ignored after the transition has ended, even
    // when it only passes the sensitivity then.
    grid().setPanGestureSensitivity(40);
    const auto late = line({300, 150}, -4, 20);
    driver->touchDown(1, late[0]);
    for (std::size_t i = 1; i < late.size(); ++i) {
        if (i == 5) FakeTransition::releaseHeldEnds();
        driver->step();
        driver->touchMove(1, late[i]);
    }
    driver->touchUp(1, late.back());
    EXPECT_FALSE(grid().isTransitionRunning());
    EXPECT_EQ(pageTransition(), first);
    driver->runUntilIdle();
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
}

TEST_F(CalendarGestureTest, PanningInRangeModeSelectsSkippingRefusedDates) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setMaxDate(day(2026, 12, 9));
    drag(line(at(day(2026, 12, 6)), 5, 60)); // along row 1 to 12 December
    EXPECT_EQ(text(calendar->dateRange()->startDate()), "2026-12-06");
    EXPECT_EQ(text(calendar->dateRange()->endDate()), "2026-12-09");
    EXPECT_EQ(pageTransition(), nullptr);
}

// --- Pinch.

TEST_F(CalendarGestureTest, PinchingZoomsOutAndSpreadingZoomsIn) {
    const gfx::Point centre{175, 150};
    FakeTransition::holdEnds = true; // to look at the transition the pinch drove
    driver->pinch(centre, 1.0, 0.5, 0.3);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    auto transition = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(transition);
    EXPECT_EQ(transition->calls.front(), "begin 1");
    EXPECT_EQ(transition->calls.back(), "finish");
    ASSERT_FALSE(transition->progress.empty());
    EXPECT_NEAR(transition->progress.back(), 0.5, 0.02);
    FakeTransition::releaseHeldEnds();
    driver->runUntilIdle();
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_EQ(transition->superview(), nullptr);

    driver->pinch(centre, 1.0, 0.5, 0.3);
    driver->runUntilIdle();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeYearNumbers);
    // Nothing is coarser than the years.
    driver->pinch(centre, 1.0, 0.5, 0.3);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeYearNumbers);
    EXPECT_EQ(calendar->transition(), nullptr);

    FakeTransition::holdEnds = true;
    driver->pinch(centre, 1.0, 1.8, 0.3);
    auto spread = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(spread);
    EXPECT_EQ(spread->calls.front(), "begin 0");
    FakeTransition::releaseHeldEnds();
    driver->runUntilIdle();
    driver->pinch(centre, 1.0, 1.8, 0.3);
    driver->runUntilIdle();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    // Nothing is finer than the month.
    driver->pinch(centre, 1.0, 1.8, 0.3);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_EQ(calendar->transition(), nullptr);

    Log changes;
    for (const std::string& entry : takeLog())
        if (entry.rfind("didChangeViewMode", 0) == 0) changes.push_back(entry);
    EXPECT_EQ(changes, (Log{"didChangeViewMode 1->2", "didChangeViewMode 2->4", "didChangeViewMode 4->2",
                            "didChangeViewMode 2->1"}));
}

TEST_F(CalendarGestureTest, AnInterruptedPinchEndsItsOwnTransitionOnly) {
    FakeTransition::holdEnds = true;
    startPinch();
    auto pinched = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(pinched);
    driver->touchCancel(1);
    driver->touchCancel(2);
    EXPECT_EQ(pinched->calls.back(), "finish");
    FakeTransition::releaseHeldEnds();
    driver->runUntilIdle();
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_EQ(pinched->superview(), nullptr);

    // A pinch that changes nothing does not drive a transition it did not make.
    FakeTransition::holdEnds = true;
    calendar->setViewMode(XQCalendarViewModeWeek, true);
    auto other = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(other);
    driver->pinch({175, 150}, 1.0, 0.5, 0.3);
    EXPECT_EQ(other->calls, (Log{"begin 0", "play"}));
    FakeTransition::releaseHeldEnds();
    driver->runUntilIdle();
    EXPECT_EQ(calendar->transition(), nullptr);
}
