// The year-to-month navigation: the push of a month controller on a tap of a mini month and
// its zoom, the pop back, the animator's hand-over, the selected rect, "Today", and the
// controllers made or used in ways the zoom does not expect.

#include "OLMCalendar/NavigationController/XQCalendarMonthViewController.h"
#include "OLMCalendar/NavigationController/XQCalendarNavigationAnimator.h"
#include "OLMCalendar/NavigationController/XQCalendarNavigationController.h"
#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "tests/OLMCalendar/CalendarTestSupport.h"

namespace cal::test {
namespace {

class RecordingYearDelegate : public XQCalendarYearViewControllerDelegate {
public:
    std::vector<XQCalendarMonthViewController*> loaded;
    void navigatedToMonthViewController(XQCalendarMonthViewController& controller) override {
        loaded.push_back(&controller);
    }
};

// A context that reports its transition cancelled, with the completion it got.
class CancelledContext : public ui::ViewControllerContextTransitioning {
public:
    std::shared_ptr<ui::View> container = ui::View::make(gfx::Rect{0, 0, 320, 568});
    std::shared_ptr<ui::ViewController> from, to;
    std::vector<bool> completions;
    std::shared_ptr<ui::View> containerView() const override { return container; }
    std::shared_ptr<ui::ViewController> viewControllerForKey(std::string_view key) const override {
        return key == ui::TransitionContextFromViewControllerKey ? from
               : key == ui::TransitionContextToViewControllerKey ? to
                                                                 : nullptr;
    }
    std::shared_ptr<ui::View> viewForKey(std::string_view) const override { return nullptr; }
    gfx::Rect finalFrameForViewController(const ui::ViewController*) const override { return container->bounds(); }
    void completeTransition(bool didComplete) override { completions.push_back(didComplete); }
    bool transitionWasCancelled() const override { return true; }
};

void expectTransform(const gfx::AffineTransform& t, const gfx::AffineTransform& expected) {
    EXPECT_NEAR(t.a, expected.a, 1e-6);
    EXPECT_NEAR(t.d, expected.d, 1e-6);
    EXPECT_NEAR(t.tx, expected.tx, 1e-6);
    EXPECT_NEAR(t.ty, expected.ty, 1e-6);
}

gfx::AffineTransform shownTransform(ui::View& view) {
    return gfx::affineTransform(view.layer()->presentationState().transform);
}

class NavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<ui::TestDriver>(gfx::Size{320, 612});
        navigation = XQCalendarNavigationController::make();
        year = std::dynamic_pointer_cast<XQCalendarYearViewController>(navigation->viewControllers().front());
        year->setDelegate(yearDelegate);
        driver->window()->setRootViewController(navigation);
        driver->runUntilIdle();
    }
    void TearDown() override {
        driver.reset();
        navigation.reset();
        year.reset();
    }

    XQCalendar& yearCalendar() { return *year->contentView(); }
    ui::CollectionView& collection() {
        return *dynamic_cast<XQCalendarYearPresenter&>(*yearCalendar().presenter()).collection();
    }
    std::shared_ptr<XQCalendarMonthViewController> top() {
        return std::dynamic_pointer_cast<XQCalendarMonthViewController>(navigation->topViewController());
    }
    // May of the shown year: (106.5, 166.5, 97, 124.5) in the year view, which starts 44 points
    // down the window.
    void tapMay() { driver->tap({5 + 106.5 + 48.5, 44 + 5 + 166.5 + 62.25}); }

    // The push's transforms from the rect of May 2026 in a 320 x 568 view.
    const gfx::AffineTransform S = XQCalendarNavigationAnimator::rectTransform({-5, -55.25}, {0.303125, 124.5 / 568});
    const gfx::AffineTransform Z = XQCalendarNavigationAnimator::zoomTransform({-5, -55.25});

    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendarNavigationController> navigation;
    std::shared_ptr<XQCalendarYearViewController> year;
    std::shared_ptr<RecordingYearDelegate> yearDelegate = std::make_shared<RecordingYearDelegate>();
};

TEST_F(NavigationTest, ATappedMiniMonthZoomsIntoItsMonth) {
    EXPECT_EQ(year->view()->bounds().size, (gfx::Size{320, 568}));
    EXPECT_EQ(year->navigationItem()->rightBarButtonItem()->title(), "Today");
    EXPECT_EQ(collection().contentOffset().y, 552);
    expectTransform(Z, {4, 0, 0, 4, 15, 165.75});

    tapMay();
    const auto month = top();
    ASSERT_TRUE(month);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(yearDelegate->loaded, (std::vector<XQCalendarMonthViewController*>{month.get()}));
    EXPECT_EQ(yearCalendar().viewMode(), XQCalendarViewModeYear);
    XQCalendar& monthCalendar = *month->contentView();
    EXPECT_EQ(monthCalendar.viewMode(), XQCalendarViewModeFlow);
    EXPECT_EQ(text(monthCalendar.displayedDate()), "2026-05-01");
    EXPECT_EQ(monthCalendar.minDate(), yearCalendar().minDate());
    EXPECT_EQ(monthCalendar.maxDate(), yearCalendar().maxDate());
    EXPECT_EQ(year->selectedItemRect(), (gfx::Rect{106.5, 166.5, 97, 124.5}));
    expectTransform(shownTransform(*month->view()), S);
    // Only the two views move: the month view's content is laid out before the zoom.
    EXPECT_EQ(monthCalendar.frame(), month->view()->bounds());
    EXPECT_TRUE(monthCalendar.layer()->animationKeys().empty());

    driver->advance(0.24);
    expectTransform(shownTransform(*year->view()), Z);
    EXPECT_NEAR(year->view()->layer()->presentationState().opacity, 0, 1e-6);
    driver->advance(0.07);
    driver->runUntilIdle();
    EXPECT_TRUE(shownTransform(*month->view()).isIdentity());
    EXPECT_TRUE(year->view()->transform().isIdentity());
    EXPECT_EQ(year->view()->alpha(), 1);
    EXPECT_FALSE(navigation->isTransitioning());
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(month->view()->superview(), navigation->containerView().get());
}

TEST_F(NavigationTest, GoingBackZoomsOutOntoTheYearOfTheMonthShown) {
    tapMay();
    driver->runUntilIdle();
    std::weak_ptr<XQCalendarMonthViewController> month = top();
    std::weak_ptr<XQCalendar> monthCalendar = top()->contentView();
    top()->contentView()->navigateToDate(day(2027, 8, 10), false);
    navigation->popViewControllerAnimated(true);
    driver->step();
    EXPECT_EQ(text(yearCalendar().displayedDate()), "2027-08-10");
    EXPECT_EQ(collection().contentOffset().y, 2 * 552);
    expectTransform(shownTransform(*year->view()), Z);
    driver->advance(0.3);
    driver->runUntilIdle();
    EXPECT_TRUE(year->view()->transform().isIdentity());
    EXPECT_EQ(year->view()->alpha(), 1);
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_TRUE(month.expired());
    EXPECT_TRUE(monthCalendar.expired());
}

TEST_F(NavigationTest, TheAnimatorServesOnlyThePushToAMonthAndThePopBack) {
    auto month = XQCalendarMonthViewController::make();
    auto plain = ui::ViewController::make();
    EXPECT_EQ(year->navigationControllerAnimationControllerForOperation(*navigation, 0, *year, *month), nullptr);
    auto push = std::dynamic_pointer_cast<XQCalendarNavigationAnimator>(
        year->navigationControllerAnimationControllerForOperation(*navigation, 1, *year, *month));
    ASSERT_TRUE(push);
    EXPECT_TRUE(push->presenting());
    auto pop = year->navigationControllerAnimationControllerForOperation(*navigation, 2, *month, *year);
    EXPECT_EQ(pop, push);
    EXPECT_FALSE(push->presenting());
    EXPECT_EQ(push->operation(), 2);
    EXPECT_EQ(push->transitionDuration(nullptr), 0.3);
    EXPECT_EQ(year->navigationControllerAnimationControllerForOperation(*navigation, 1, *month, *plain), nullptr);
    EXPECT_EQ(year->navigationControllerAnimationControllerForOperation(*navigation, 2, *plain, *month), nullptr);
    EXPECT_EQ(year->navigationControllerAnimationControllerForOperation(*navigation, 1, *year, *plain), nullptr);
}

TEST_F(NavigationTest, APushBeforeTheYearViewAppearedRunsWithoutTheZoom) {
    auto other = XQCalendarNavigationController::make();
    EXPECT_TRUE(other->delegate().expired());
    auto firstYear = std::dynamic_pointer_cast<XQCalendarYearViewController>(other->viewControllers().front());
    firstYear->calendarDidSelectDate(*firstYear->contentView(), day(2026, 5, 1));
    EXPECT_EQ(other->viewControllers().size(), 2u);
    EXPECT_TRUE(other->delegate().expired());
    // The shown one took the delegate at its first appearance.
    EXPECT_EQ(navigation->delegate().lock().get(), static_cast<ui::NavigationControllerDelegate*>(year.get()));
}

TEST_F(NavigationTest, TheSelectedRectFollowsTheScrollAndNeedsTheYearView) {
    EXPECT_EQ(year->selectedItemRect(), gfx::Rect::zero());
    tapMay();
    driver->runUntilIdle();
    collection().setContentOffset({0, 752});
    EXPECT_EQ(year->selectedItemRect(), (gfx::Rect{106.5, -33.5, 97, 124.5}));
    yearCalendar().setViewMode(XQCalendarViewModeMonth);
    EXPECT_EQ(year->selectedItemRect(), gfx::Rect::zero());
}

TEST_F(NavigationTest, TodayShowsTheCurrentYearAndMonthWithinTheBounds) {
    yearCalendar().navigateToDate(day(2025, 3, 1), false);
    year->todayTouched();
    driver->runUntilIdle();
    EXPECT_EQ(text(yearCalendar().displayedDate()), "2026-12-15 10:30");
    EXPECT_EQ(collection().contentOffset().y, 552);
    yearCalendar().setMaxDate(day(2026, 6, 30));
    yearCalendar().navigateToDate(day(2025, 3, 1), false);
    year->todayTouched();
    EXPECT_EQ(text(yearCalendar().displayedDate()), "2026-06-30");
    driver->runUntilIdle();

    yearCalendar().setMaxDate(day(2027, 12, 31));
    driver->runUntilIdle();
    tapMay();
    driver->runUntilIdle();
    auto month = top();
    ASSERT_TRUE(month);
    month->todayTouched();
    driver->runUntilIdle();
    auto& flow = dynamic_cast<XQCalendarFlowPresenter&>(*month->contentView()->presenter());
    EXPECT_EQ(flow.collectionView()->contentOffset().y, flow.offsetForDate(day(2026, 12, 1)));
}

TEST_F(NavigationTest, AMonthControllerOnItsOwnOpensAtItsCalendarsDate) {
    auto month = XQCalendarMonthViewController::make();
    const auto calendar = month->contentView(); // before the view loads
    calendar->setDisplayedDate(day(2026, 3, 3), false);
    auto plain = ui::NavigationController::make(month);
    driver->window()->setRootViewController(plain);
    driver->runUntilIdle();
    EXPECT_EQ(month->contentView(), calendar);
    EXPECT_EQ(calendar->superview(), month->view().get());
    EXPECT_EQ(calendar->frame(), month->view()->bounds());
    EXPECT_EQ(text(calendar->displayedDate()), "2026-03-03");
    month->willMoveToParentViewController(nullptr);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-03-03");
}

TEST_F(NavigationTest, ADoubleTapPushesOnce) {
    driver->tap({5 + 106.5 + 48.5, 44 + 5 + 166.5 + 62.25}, 2);
    driver->runUntilIdle();
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_EQ(yearDelegate->loaded.size(), 1u);
}

TEST_F(NavigationTest, ACancelledPopLeavesTheMonthViewShown) {
    tapMay();
    driver->runUntilIdle();
    auto context = std::make_shared<CancelledContext>();
    context->from = top();
    context->to = year;
    context->container->addSubview(top()->view());
    auto animator = std::dynamic_pointer_cast<XQCalendarNavigationAnimator>(
        year->navigationControllerAnimationControllerForOperation(*navigation, 2, *top(), *year));
    ASSERT_TRUE(animator);
    driver->window()->addSubview(context->container);
    animator->animateTransition(context);
    driver->advance(0.35);
    driver->runUntilIdle();
    EXPECT_EQ(context->completions, std::vector<bool>{false});
    EXPECT_TRUE(top()->view()->transform().isIdentity());
    EXPECT_EQ(year->view()->superview(), nullptr);
    context->container->removeFromSuperview();
}

} // namespace
} // namespace cal::test
