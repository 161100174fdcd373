// Gestures whose world changes under them: a swipe whose presenter leaves the calendar, whose
// selection or transition mode changes, whose calendar goes; a pinch whose transition is
// replaced. Each must still end what it began, exactly once, and leave nothing behind.

#include "CalendarTestSupport.h"

#include <algorithm>

using namespace cal::test;

namespace {

// Switches the view mode when told that the displayed date is about to change.
class ModeSwitchingDelegate : public RecordingDelegate {
public:
    using RecordingDelegate::RecordingDelegate;
    XQCalendarViewMode switchTo = XQCalendarViewModeNone;
    void calendarWillNavigateToDate(XQCalendar& calendar, const fnd::Date& date) override {
        RecordingDelegate::calendarWillNavigateToDate(calendar, date);
        const XQCalendarViewMode mode = std::exchange(switchTo, XQCalendarViewModeNone);
        if (mode != XQCalendarViewModeNone) calendar.setViewMode(mode);
    }
};

class CutGestureTest : public HostedCalendarTest {
protected:
    // A slow swipe to the left, the finger still down: the transition follows it.
    void startSlowSwipe() {
        driver->touchDown(1, {300, 150});
        for (int i = 1; i <= 20; ++i) {
            driver->step();
            driver->touchMove(1, {300.0 - 4 * i, 150});
        }
    }
    // Lifted while still moving left: a swipe that finishes.
    void lift() {
        driver->step();
        driver->touchMove(1, {216, 150});
        driver->touchUp(1, {216, 150});
    }
    Log transitionReports() {
        Log reports;
        for (const std::string& entry : takeLog())
            if (entry.rfind("presenter", 0) == 0) reports.push_back(entry);
        return reports;
    }
    static bool hasTransitionView(const ui::View& view) {
        return std::any_of(view.subviews().begin(), view.subviews().end(), [](const auto& subview) {
            return dynamic_cast<XQViewTransition*>(subview.get()) != nullptr;
        });
    }
    // The calendar still navigates, by swipe and by call.
    void expectNavigates() {
        const fnd::Date before = calendar->displayedDate();
        startSlowSwipe();
        lift();
        driver->runUntilIdle();
        EXPECT_NE(calendar->displayedDate(), before);
        const fnd::Date swiped = calendar->displayedDate();
        calendar->navigateForward(true);
        driver->runUntilIdle();
        EXPECT_NE(calendar->displayedDate(), swiped);
    }
};

} // namespace

TEST_F(CutGestureTest, ASwipeWhosePresenterLeavesTheCalendarEndsAtOnce) {
    auto switching = std::make_shared<ModeSwitchingDelegate>(&log);
    calendar->setDelegate(switching);
    grid().setDelegate(switching);
    auto month = std::dynamic_pointer_cast<GridPresenter>(calendar->presenter());
    switching->switchTo = XQCalendarViewModeWeek; // as the swipe starts
    startSlowSwipe();
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeWeek);
    EXPECT_EQ(transitionReports(), (Log{"presenterBegin", "presenterFinish canceled"}));
    EXPECT_FALSE(month->isTransitionOpen());
    EXPECT_FALSE(hasTransitionView(*month));
    lift();
    driver->runUntilIdle();
    EXPECT_TRUE(transitionReports().empty());

    calendar->setViewMode(XQCalendarViewModeMonth);
    grid().setDelegate(switching);
    expectNavigates();
}

TEST_F(CutGestureTest, ASwipeEndsWhateverSettingsChangedMeanwhile) {
    struct Case {
        const char* name;
        std::function<void()> change;
        bool interrupted; // the touch is cancelled instead of lifted
    };
    const Case cases[] = {
        {"range selection", [&] { calendar->setSelectionMode(XQCalendarSelectionModeRange); }, false},
        {"no transition", [&] { grid().setTransitionMode(XQCalendarTransitionModeNone); }, false},
        {"a mode without a class", [&] { grid().setTransitionMode(XQCalendarTransitionModeFlip); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        calendar->setSelectionMode(XQCalendarSelectionModeSingle);
        grid().setTransitionMode(XQCalendarTransitionModeScroll);
        const fnd::Date start = calendar->displayedDate();
        takeLog();
        startSlowSwipe();
        c.change();
        if (c.interrupted) {
            driver->touchCancel(1);
        } else {
            lift();
        }
        driver->runUntilIdle();
        EXPECT_EQ(transitionReports(),
                  (Log{"presenterBegin", c.interrupted ? "presenterFinish canceled" : "presenterFinish"}));
        EXPECT_EQ(calendar->displayedDate() == start, c.interrupted);
        EXPECT_FALSE(grid().isTransitionOpen());
        EXPECT_FALSE(hasTransitionView(grid()));

        calendar->setSelectionMode(XQCalendarSelectionModeSingle);
        grid().setTransitionMode(XQCalendarTransitionModeScroll);
        expectNavigates();
    }
}

TEST_F(CutGestureTest, ASwipeWhoseCalendarGoesEndsAtOnce) {
    auto presenter = std::dynamic_pointer_cast<GridPresenter>(calendar->presenter());
    startSlowSwipe();
    ASSERT_TRUE(presenter->isTransitionOpen());
    driver->window()->subviews().front()->removeFromSuperview();
    calendar.reset();
    EXPECT_EQ(transitionReports(), (Log{"presenterBegin", "presenterFinish canceled"}));
    EXPECT_FALSE(hasTransitionView(*presenter));
    EXPECT_EQ(presenter->owner(), nullptr);
    driver->touchCancel(1);
    driver->runUntilIdle();
    EXPECT_TRUE(transitionReports().empty());
}

TEST_F(CutGestureTest, AViewModeChangeDuringAPinchEndsThePinchTransitionFirst) {
    FakeTransition::holdEnds = true;
    startPinch();
    auto pinched = std::dynamic_pointer_cast<FakeTransition>(calendar->transition());
    ASSERT_TRUE(pinched);
    calendar->setViewMode(XQCalendarViewModeWeek, true, XQViewTransitionDirectionForward, true);
    EXPECT_EQ(pinched->calls.back(), "finish");
    auto replacing = calendar->transition();
    ASSERT_NE(replacing, pinched);

    // The pinch's end ends the transition that replaced its own.
    driver->touches({{1, ui::TouchPhaseEnded, {145, 150}, 0}, {2, ui::TouchPhaseEnded, {205, 150}, 0}});
    FakeTransition::releaseHeldEnds();
    driver->runUntilIdle();
    EXPECT_EQ(pinched->superview(), nullptr);
    EXPECT_EQ(replacing->superview(), nullptr);
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_FALSE(hasTransitionView(*calendar));
}

namespace {

// Switches the view mode when told that a presenter's transition ended.
class FinishSwitchingDelegate : public RecordingDelegate {
public:
    using RecordingDelegate::RecordingDelegate;
    XQCalendar* calendar = nullptr;
    XQCalendarViewMode target = XQCalendarViewModeNone;
    void presenterFinishTransition(XQCalendarPresenter& presenter, XQViewTransition& transition,
                                   bool canceled) override {
        RecordingDelegate::presenterFinishTransition(presenter, transition, canceled);
        if (calendar) std::exchange(calendar, nullptr)->setViewMode(target);
    }
};

} // namespace

TEST_F(CutGestureTest, AViewModeChangeMadeWhileTheOldPresenterLeavesSupersedesTheFirst) {
    auto switching = std::make_shared<FinishSwitchingDelegate>(&log);
    // To another mode, and back to the mode of the presenter that is leaving.
    for (XQCalendarViewMode target : {XQCalendarViewModeFlow, XQCalendarViewModeMonth}) {
        SCOPED_TRACE(target);
        calendar->setViewMode(XQCalendarViewModeMonth);
        grid().setDelegate(switching);
        FakeTransition::holdEnds = true;
        calendar->navigateForward(true); // the month presenter's transition runs
        switching->calendar = calendar.get();
        switching->target = target;
        calendar->setViewMode(XQCalendarViewModeMonthNames); // it ends as the presenter leaves
        EXPECT_EQ(calendar->viewMode(), target);
        long presenters = 0;
        for (const auto& subview : calendar->subviews())
            presenters += dynamic_cast<XQCalendarPresenter*>(subview.get()) != nullptr;
        EXPECT_EQ(presenters, 1);
        EXPECT_EQ(calendar->presenter()->superview(), calendar.get());
        const fnd::Date before = calendar->displayedDate();
        calendar->navigateForward(false);
        EXPECT_NE(calendar->displayedDate(), before);
        FakeTransition::releaseHeldEnds();
        driver->runUntilIdle();
    }
}
