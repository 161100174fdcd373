// The transitions driven by the calendar and its presenters, through the headless host:
// swipes that drive the scroll transition, flicks that play it, cancelled and reversed
// swipes, the pinch that zooms between view modes with the float transition, and a
// calendar that goes away in the middle of a transition.

#include "../CalendarTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"

#include <algorithm>
#include <cmath>

using namespace cal::test;

namespace {

constexpr gfx::Size kSize{350, 300};

bool contains(const Log& log, const std::string& entry) {
    return std::find(log.begin(), log.end(), entry) != log.end();
}

// The hosted calendar navigating with the real transitions in place of the stand-ins.
class TransitionDriving : public HostedCalendarTest {
protected:
    void SetUp() override {
        HostedCalendarTest::SetUp();
        XQViewTransition::registerTransitionClasses();
    }

    std::shared_ptr<XQViewTransitionScroll> scroll() const {
        return std::dynamic_pointer_cast<XQViewTransitionScroll>(grid().currentTransition());
    }
    // Whether a transition view is still laid over the presenter.
    bool transitionShown() const {
        return std::any_of(grid().subviews().begin(), grid().subviews().end(),
                           [](const auto& v) { return dynamic_cast<XQViewTransition*>(v.get()) != nullptr; });
    }

    // Moves finger 1 (already down) in a straight line at `speed` points per second, a
    // frame at a time, without lifting it.
    void drag(gfx::Point from, gfx::Point to, double speed) {
        const double length = std::hypot(to.x - from.x, to.y - from.y);
        const int frames =
            std::max(1, static_cast<int>(std::ceil(length / speed / ui::TestDriver::frameInterval)));
        for (int i = 1; i <= frames; ++i) {
            const double k = static_cast<double>(i) / frames;
            driver->step();
            driver->touchMove(1, {from.x + (to.x - from.x) * k, from.y + (to.y - from.y) * k});
        }
    }
};

} // namespace

TEST_F(TransitionDriving, ASlowSwipeDrivesTheScrollAndFinishes) {
    driver->touchDown(1, {300, 150});
    drag({300, 150}, {230, 150}, 120);
    auto t = scroll();
    ASSERT_TRUE(t) << "a swipe along the axis starts the presenter's scroll transition";
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
    // The pages follow the finger: the from page has moved left by as much as the to page
    // has come in, and neither is animated.
    const double x = t->first()->frame().origin.x;
    EXPECT_LT(x, 0);
    EXPECT_GT(x, -kSize.width);
    EXPECT_DOUBLE_EQ(t->second()->frame().origin.x, x + kSize.width);
    EXPECT_TRUE(t->first()->layer()->animationKeys().empty());
    drag({230, 150}, {180, 150}, 120);
    EXPECT_LT(t->first()->frame().origin.x, x);

    driver->touchUp(1, {178, 150});
    EXPECT_TRUE(transitionShown());
    driver->runUntilIdle();
    EXPECT_FALSE(transitionShown());
    const Log log = takeLog();
    EXPECT_TRUE(contains(log, "presenterFinish")) << ::testing::PrintToString(log);
    EXPECT_TRUE(contains(log, "didNavigate 2027-01-15 10:30"));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
}

TEST_F(TransitionDriving, SensitivityHoldsTheSwipeBackAndAFlickPlaysItThrough) {
    grid().setPanGestureSensitivity(20);
    driver->pan({200, 150}, {185, 150}, 0.5, 5);
    driver->runUntilIdle();
    EXPECT_EQ(grid().currentTransition(), nullptr) << "15 points stay within the sensitivity";
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");

    // A flick to the right (back) faster than 300 points per second: the finger stops at
    // once, yet the transition plays on its own to the end.
    grid().setPanGestureSensitivity(0);
    driver->touchDown(1, {100, 150});
    driver->step(0.02);
    driver->touchMove(1, {120, 150});
    driver->step(0.02);
    driver->touchMove(1, {140, 150});
    driver->step(0.02);
    ASSERT_TRUE(scroll());
    EXPECT_FALSE(scroll()->isForward());
    EXPECT_FALSE(scroll()->first()->layer()->animationKeys().empty()) << "playing on its own";
    // Whatever the finger does next no longer steers it: dragged back and lifted moving
    // left (which would cancel a driven swipe), the transition still ends where it went.
    drag({140, 150}, {60, 150}, 150);
    driver->touchUp(1, {58, 150});
    driver->runUntilIdle();
    EXPECT_FALSE(transitionShown());
    EXPECT_EQ(text(calendar->displayedDate()), "2026-11-15 10:30");
    EXPECT_TRUE(contains(takeLog(), "didNavigate 2026-11-15 10:30"));
}

TEST_F(TransitionDriving, ASwipeThatTurnsBackIsCancelledAndReturnsTheDate) {
    for (bool reverse : {false, true}) {
        SCOPED_TRACE(reverse);
        grid().setTransitionIsReverse(reverse);
        driver->touchDown(1, {300, 150});
        drag({300, 150}, {200, 150}, 150);
        ASSERT_TRUE(scroll());
        // Reversed, a swipe to the left goes back.
        EXPECT_EQ(text(calendar->displayedDate()), reverse ? "2026-11-15 10:30" : "2027-01-15 10:30");
        // Back to the right, still moving right when lifted: the swipe is cancelled.
        drag({200, 150}, {240, 150}, 150);
        driver->step();
        driver->touchUp(1, {242, 150});
        driver->runUntilIdle();
        EXPECT_FALSE(transitionShown());
        EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
        const Log log = takeLog();
        EXPECT_TRUE(contains(log, "presenterFinish canceled")) << ::testing::PrintToString(log);
        EXPECT_TRUE(contains(log, "didNavigate 2026-12-15 10:30"));
    }
}

TEST_F(TransitionDriving, APinchDrivesTheFloatByItsScale) {
    driver->touches({{1, ui::TouchPhaseBegan, {125, 150}, 0}, {2, ui::TouchPhaseBegan, {225, 150}, 0}});
    driver->step();
    for (double half : {45.0, 40.0, 35.0}) {
        driver->touches(
            {{1, ui::TouchPhaseMoved, {175 - half, 150}, 0}, {2, ui::TouchPhaseMoved, {175 + half, 150}, 0}});
        driver->step();
    }
    auto t = std::dynamic_pointer_cast<XQViewTransitionFloat>(calendar->transition());
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->isForward());
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonthNames);
    // Fingers 70 points apart after 100: scale 0.7, progress 0.3, backward pose.
    EXPECT_NEAR(t->top()->transform().m11, 1 - 0.4 * 0.3, 1e-6);
    EXPECT_NEAR(t->bottom()->opacity(), 0.3, 1e-6);
    driver->touches({{1, ui::TouchPhaseEnded, {140, 150}, 0}, {2, ui::TouchPhaseEnded, {210, 150}, 0}});
    driver->runUntilIdle();
    EXPECT_EQ(calendar->transition(), nullptr);
    EXPECT_EQ(t->superview(), nullptr);
}

TEST_F(TransitionDriving, ACalendarDestroyedMidTransitionFreesEverything) {
    // A navigation that has ended: the month presenter keeps its last transition, which has
    // reported and must no longer keep the presenter alive.
    calendar->navigateForward(true);
    ASSERT_TRUE(driver->runUntilIdle());
    std::weak_ptr<XQCalendarPresenter> month = calendar->presenter();
    std::weak_ptr<XQViewTransition> reported = grid().currentTransition();
    ASSERT_FALSE(reported.expired());

    // Then a navigation in week mode and a view-mode change, both in the middle of their
    // animations.
    calendar->setViewMode(XQCalendarViewModeWeek);
    grid().setDelegate(delegate);
    std::weak_ptr<XQCalendarPresenter> week = calendar->presenter();
    calendar->navigateForward(true);
    std::weak_ptr<XQViewTransition> navigation = grid().currentTransition();
    ASSERT_FALSE(navigation.expired());
    driver->step(0.1);
    calendar->setViewMode(XQCalendarViewModeMonthNames, true);
    std::weak_ptr<XQViewTransition> zoom = calendar->transition();
    ASSERT_FALSE(zoom.expired());
    driver->step(0.1);
    takeLog();

    std::weak_ptr<XQCalendar> weakCalendar = calendar;
    calendar->removeFromSuperview();
    calendar.reset();
    for (const auto* freed : {&month, &week})
        EXPECT_TRUE(freed->expired());
    for (const auto* freed : {&reported, &navigation, &zoom})
        EXPECT_TRUE(freed->expired());
    EXPECT_TRUE(weakCalendar.expired());
    // The animations that were running stop without anyone left to tell.
    EXPECT_TRUE(driver->runUntilIdle());
    EXPECT_TRUE(takeLog().empty());
}

namespace {

// The turning and stacking transitions the presenters navigate with, by mode, and how long
// their cancel takes (d = 0.35).
struct ModeCase {
    XQCalendarTransitionMode mode;
    const char* name;
    bool (*isMade)(const XQViewTransition*);
    double cancelDuration;
};

template <class T> bool isA(const XQViewTransition* t) {
    return dynamic_cast<const T*>(t) != nullptr;
}

const ModeCase kModes[] = {
    {XQCalendarTransitionModeFlip, "flip", isA<XQViewTransitionFlip>, 0.175},
    {XQCalendarTransitionModeFold, "fold", isA<XQViewTransitionFold>, 0.175},
    {XQCalendarTransitionModeCard, "card", isA<XQViewTransitionCard>, 0.35},
    {XQCalendarTransitionModeRotate, "rotate", isA<XQViewTransitionRotate>, 0.35},
};

} // namespace

TEST_F(TransitionDriving, EachModeNavigatesPlayedAndRemovesItsOverlay) {
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(m.name);
        grid().setTransitionMode(m.mode);
        grid().setTransitionIsVertical(true);
        calendar->navigateForward(true);
        const auto t = grid().currentTransition();
        ASSERT_TRUE(t && m.isMade(t.get()));
        EXPECT_EQ(t->transitionDuration(), 0.35);
        EXPECT_TRUE(t->isVertical());
        EXPECT_TRUE(transitionShown());
        driver->runUntilIdle();
        EXPECT_FALSE(transitionShown());
        const Log log = takeLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), "didNavigate 2027-01-15 10:30"), 1)
            << ::testing::PrintToString(log);
        EXPECT_TRUE(contains(log, "presenterBegin"));
        EXPECT_TRUE(contains(log, "presenterFinish"));
        calendar->navigateBack(false);
        takeLog();
    }
}

TEST_F(TransitionDriving, EachModeFollowsASwipeAFlickAndACancel) {
    for (const ModeCase& m : kModes) {
        SCOPED_TRACE(m.name);
        grid().setTransitionMode(m.mode);
        // Slow, finished.
        driver->touchDown(1, {300, 150});
        drag({300, 150}, {150, 150}, 120);
        ASSERT_TRUE(grid().currentTransition() && m.isMade(grid().currentTransition().get()));
        driver->touchUp(1, {148, 150});
        driver->runUntilIdle();
        EXPECT_FALSE(transitionShown());
        EXPECT_EQ(text(calendar->displayedDate()), "2027-01-15 10:30");
        EXPECT_TRUE(contains(takeLog(), "didNavigate 2027-01-15 10:30"));

        // A flick back plays on its own.
        driver->touchDown(1, {100, 150});
        driver->step(0.02);
        driver->touchMove(1, {120, 150});
        driver->step(0.02);
        driver->touchMove(1, {140, 150});
        driver->touchUp(1, {140, 150});
        driver->runUntilIdle();
        EXPECT_FALSE(transitionShown());
        EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
        takeLog();

        // Turned back and lifted: cancelled, over the whole cancel, and the date restored.
        driver->touchDown(1, {300, 150});
        drag({300, 150}, {200, 150}, 150);
        drag({200, 150}, {240, 150}, 150);
        driver->step();
        driver->touchUp(1, {242, 150});
        driver->step(m.cancelDuration - 0.03);
        EXPECT_TRUE(transitionShown()) << "still cancelling";
        driver->runUntilIdle();
        EXPECT_FALSE(transitionShown());
        EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15 10:30");
        EXPECT_TRUE(contains(takeLog(), "presenterFinish canceled"));
    }
}

TEST_F(TransitionDriving, EachModeDiesWithItsCalendarMidPlayAndMidSwipe) {
    for (const ModeCase& m : kModes) {
        for (bool swiping : {false, true}) {
            SCOPED_TRACE(testing::Message() << m.name << (swiping ? " swiping" : " playing"));
            if (!calendar) {
                calendar = XQCalendar::make(gfx::Rect{0, 0, 350, 300});
                calendar->setDelegate(delegate);
                driver->window()->addSubview(calendar);
                driver->runUntilIdle();
            }
            grid().setTransitionMode(m.mode);
            grid().setDelegate(delegate);
            if (swiping) {
                driver->touchDown(1, {300, 150});
                drag({300, 150}, {220, 150}, 120);
            } else {
                calendar->navigateForward(true);
                driver->step(0.1);
            }
            std::weak_ptr<XQViewTransition> transition = grid().currentTransition();
            ASSERT_FALSE(transition.expired());
            takeLog();
            calendar->removeFromSuperview();
            calendar.reset();
            EXPECT_TRUE(transition.expired());
            // The presenter's delegate hears the end of the transition at once, and only then.
            EXPECT_EQ(takeLog(), (Log{"presenterFinish canceled"}));
            if (swiping) driver->touchUp(1, {200, 150});
            EXPECT_TRUE(driver->runUntilIdle());
            EXPECT_TRUE(takeLog().empty());
        }
    }
}
