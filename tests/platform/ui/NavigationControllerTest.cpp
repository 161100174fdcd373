#include "ControllerTestSupport.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace ui::test;

namespace {

// A navigation controller shown as the window's root, at rest, with a recording delegate.
struct Shown {
    Log log;
    TestDriver driver{{320, 480}};
    std::shared_ptr<RecordingController> a = RecordingController::make("a", &log);
    std::shared_ptr<NavigationController> nav = NavigationController::make(a);
    std::shared_ptr<RecordingNavigationDelegate> delegate = std::make_shared<RecordingNavigationDelegate>(&log);

    Shown() {
        nav->setDelegate(delegate);
        driver.window()->setRootViewController(nav);
        driver.runUntilIdle();
        log.clear();
    }
    View& container() { return *nav->containerView(); }
    bool shows(ViewController& c) { return c.view()->superview() == nav->containerView().get(); }
};

class Target : public rt::Object {
public:
    static std::shared_ptr<Target> make() { return rt::create<Target>(); }
    std::vector<BarButtonItem*> taps;
    void touched(BarButtonItem* sender) { taps.push_back(sender); }

protected:
    Target() = default;
    friend class rt::Access;
};

} // namespace

TEST(NavigationController, ShowsTheRootUnderTheBarAndPassesAppearanceOn) {
    Log log;
    TestDriver driver({320, 480});
    auto a = RecordingController::make("a", &log);
    auto nav = NavigationController::make(a);
    EXPECT_EQ(log, (Log{"a.willMove:nav", "a.didMove:nav"}));
    log.clear();
    driver.window()->setRootViewController(nav);
    driver.runUntilIdle();
    EXPECT_EQ(nav->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{a}));
    EXPECT_EQ(nav->navigationBar().frame(), (gfx::Rect{0, 0, 320, 44}));
    EXPECT_EQ(nav->containerView()->frame(), (gfx::Rect{0, 44, 320, 436}));
    EXPECT_EQ(a->view()->frame(), (gfx::Rect{0, 0, 320, 436}));
    EXPECT_EQ(log, (Log{"a.viewDidLoad", "a.viewWillAppear", "a.viewDidAppear", "a.viewWillLayoutSubviews",
                        "a.viewDidLayoutSubviews"}));
    EXPECT_TRUE(nav->navigationBar().backButton()->isHidden());
}

TEST(NavigationController, PushRunsTheDelegatesAnimatorInTheNextLayoutPass) {
    Shown s;
    auto b = RecordingController::make("b", &s.log);
    s.nav->pushViewController(b, true);
    // The stack changes at once; the transition waits for the layout pass.
    EXPECT_EQ(s.nav->topViewController(), b);
    EXPECT_EQ(s.log, (Log{"b.willMove:nav"}));
    s.driver.step();
    const TransitionContextRef context = s.delegate->animator->context;
    ASSERT_TRUE(context);
    EXPECT_EQ(s.log, (Log{"b.willMove:nav", "b.viewDidLoad", "animatorFor:1:a>b", "a.viewWillDisappear",
                          "b.viewWillAppear", "animateTransition", "b.viewWillLayoutSubviews",
                          "b.viewDidLayoutSubviews"}));
    EXPECT_EQ(context->containerView(), s.nav->containerView());
    EXPECT_EQ(context->viewControllerForKey(TransitionContextFromViewControllerKey), s.a);
    EXPECT_EQ(context->viewForKey(TransitionContextToViewKey), b->view());
    EXPECT_EQ(context->finalFrameForViewController(b.get()), s.container().bounds());
    EXPECT_EQ(b->view()->frame(), s.container().bounds());
    EXPECT_FALSE(context->transitionWasCancelled());
    EXPECT_EQ(s.nav->navigationBar().backButton()->isHidden(), false);

    // Pushes and pops during the transition are ignored.
    s.nav->pushViewController(RecordingController::make("c", &s.log), true);
    EXPECT_EQ(s.nav->popViewControllerAnimated(true), nullptr);
    EXPECT_EQ(s.nav->viewControllers().size(), 2u);

    s.log.clear();
    context->completeTransition(true);
    context->completeTransition(true); // counts once
    EXPECT_EQ(s.log, (Log{"a.viewDidDisappear", "b.viewDidAppear", "b.didMove:nav"}));
    EXPECT_FALSE(s.shows(*s.a));
    EXPECT_TRUE(s.shows(*b));
    EXPECT_FALSE(s.nav->isTransitioning());
    // The same controller again is ignored.
    s.nav->pushViewController(b, true);
    EXPECT_EQ(s.nav->viewControllers().size(), 2u);
}

TEST(NavigationController, PopSendsTheMoveAtTheCallAndFreesThePoppedController) {
    Shown s;
    EXPECT_EQ(s.nav->popViewControllerAnimated(false), nullptr) << "popping the root";
    s.nav->pushViewController(nullptr, true);
    s.delegate->animator->completeAtOnce = true;
    std::weak_ptr<RecordingController> weak;
    {
        auto b = RecordingController::make("b", &s.log);
        weak = b;
        s.nav->pushViewController(b, true);
    }
    s.driver.runUntilIdle();
    s.log.clear();

    s.delegate->animator->completeAtOnce = false;
    EXPECT_EQ(s.nav->popViewControllerAnimated(true), weak.lock());
    EXPECT_EQ(s.log, (Log{"b.willMove"}));
    EXPECT_EQ(s.nav->topViewController(), s.a);
    s.driver.step();
    EXPECT_EQ(s.log, (Log{"b.willMove", "animatorFor:2:b>a", "b.viewWillDisappear", "a.viewWillAppear",
                          "animateTransition", "a.viewWillLayoutSubviews", "a.viewDidLayoutSubviews"}));
    s.log.clear();
    s.delegate->animator->context->completeTransition(true);
    s.delegate->animator->context.reset();
    EXPECT_EQ(s.log, (Log{"b.viewDidDisappear", "a.viewDidAppear", "b.didMove"}));
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(s.shows(*s.a));
    EXPECT_TRUE(s.nav->navigationBar().backButton()->isHidden());
}

TEST(NavigationController, CancelledTransitionsRestoreStackViewsAndBalanceAppearance) {
    Shown s;
    auto b = RecordingController::make("b", &s.log);
    s.nav->pushViewController(b, true);
    s.driver.step();
    s.log.clear();
    s.delegate->animator->context->completeTransition(false);
    EXPECT_EQ(s.log, (Log{"b.viewWillDisappear", "a.viewWillAppear", "b.viewDidDisappear", "a.viewDidAppear",
                          "b.willMove", "b.didMove"}));
    EXPECT_EQ(s.nav->viewControllers(), (std::vector<std::shared_ptr<ViewController>>{s.a}));
    EXPECT_EQ(b->parentViewController(), nullptr);
    EXPECT_TRUE(s.shows(*s.a));
    EXPECT_FALSE(s.shows(*b));

    // A cancelled pop keeps the controller on the stack.
    s.delegate->animator->completeAtOnce = true;
    s.nav->pushViewController(b, true);
    s.driver.step();
    s.delegate->animator->completeAtOnce = false;
    s.nav->popViewControllerAnimated(true);
    s.driver.step();
    s.log.clear();
    s.delegate->animator->context->completeTransition(false);
    EXPECT_EQ(s.nav->topViewController(), b);
    EXPECT_TRUE(s.shows(*b));
    EXPECT_FALSE(s.shows(*s.a));
    EXPECT_EQ(s.log, (Log{"a.viewWillDisappear", "b.viewWillAppear", "a.viewDidDisappear", "b.viewDidAppear",
                          "b.willMove:nav", "b.didMove:nav"}));
}

TEST(NavigationController, AnAnimatorThatNeverAddsTheViewStillEndsWithItShown) {
    Shown s;
    s.delegate->animator->addsToView = false;
    s.delegate->animator->completeAtOnce = true;
    auto b = RecordingController::make("b", &s.log);
    s.nav->pushViewController(b, true);
    s.driver.runUntilIdle();
    EXPECT_TRUE(s.shows(*b));
    EXPECT_EQ(b->view()->frame(), s.container().bounds());
}

TEST(NavigationController, WithoutAnAnimatorItSlidesInAThirdOfASecondAndAHalf) {
    Shown s;
    s.delegate->answersAnimator = false;
    auto b = RecordingController::make("b", &s.log);
    s.nav->pushViewController(b, true);
    s.driver.step(0);
    EXPECT_NEAR(b->view()->layer()->presentationState().position.x, 320 + 160, 1e-6);
    s.driver.advance(0.175);
    // Half-way on an ease-in-out curve: the new view covers half the width.
    EXPECT_NEAR(b->view()->layer()->presentationState().position.x, 160 + 160, 1);
    EXPECT_TRUE(s.shows(*s.a));
    s.driver.advance(0.2);
    EXPECT_FALSE(s.nav->isTransitioning());
    EXPECT_FALSE(s.shows(*s.a));
    EXPECT_EQ(s.a->view()->frame(), s.container().bounds());

    // Not animated: no animator at all, done in the layout pass.
    s.log.clear();
    s.nav->popViewControllerAnimated(false);
    s.driver.step(0);
    EXPECT_FALSE(s.nav->isTransitioning());
    EXPECT_TRUE(s.shows(*s.a));
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "animateTransition"), 0);
}

TEST(NavigationController, TheBarShowsTheTopItemAndItsButtonsAct) {
    Shown s;
    auto target = Target::make();
    auto item = BarButtonItem::make("Today", BarButtonItemStylePlain, target, &Target::touched);
    s.a->navigationItem()->setTitle("2026");
    s.a->navigationItem()->setRightBarButtonItem(item);
    s.driver.runUntilIdle();
    NavigationBar& bar = s.nav->navigationBar();
    EXPECT_EQ(bar.titleLabel()->text(), "2026");
    EXPECT_EQ(bar.rightButton()->currentTitle(), "Today");
    EXPECT_FALSE(bar.rightButton()->isHidden());
    EXPECT_EQ(bar.rightButton()->currentTitleColor(), bar.rightButton()->tintColor());
    s.driver.tap(*bar.rightButton());
    EXPECT_EQ(target->taps, (std::vector<BarButtonItem*>{item.get()}));

    // The back button pops, animated.
    s.delegate->answersAnimator = false;
    s.nav->pushViewController(RecordingController::make("b", nullptr), false);
    s.driver.runUntilIdle();
    EXPECT_TRUE(bar.rightButton()->isHidden());
    EXPECT_EQ(bar.titleLabel()->text(), "");
    s.driver.tap(*bar.backButton());
    EXPECT_EQ(s.nav->topViewController(), s.a);
    s.driver.runUntilIdle();
    EXPECT_EQ(bar.titleLabel()->text(), "2026");
}

TEST(NavigationController, ARightButtonSetAnimatedFadesInAndOut) {
    Shown s;
    NavigationBar& bar = s.nav->navigationBar();
    const auto opacity = [&] { return bar.rightButton()->layer()->presentationState().opacity; };
    s.a->navigationItem()->setRightBarButtonItem(BarButtonItem::make("Today"),
                                                 true);
    EXPECT_FALSE(bar.rightButton()->isHidden());
    s.driver.step(0.15);
    EXPECT_GT(opacity(), 0);
    EXPECT_LT(opacity(), 1);
    s.driver.step(0.16);
    EXPECT_EQ(opacity(), 1);
    s.a->navigationItem()->setRightBarButtonItem(nullptr, true);
    s.driver.step(0.15);
    EXPECT_FALSE(bar.rightButton()->isHidden()); // still fading out
    EXPECT_LT(opacity(), 1);
    s.driver.runUntilIdle();
    EXPECT_TRUE(bar.rightButton()->isHidden());
    EXPECT_EQ(bar.rightButton()->alpha(), 1);
}

TEST(NavigationController, HoldsItsDelegateWeaklyAndSwapsAtOnceOffScreen) {
    Log log;
    auto a = RecordingController::make("a", &log);
    auto nav = NavigationController::make(a);
    std::weak_ptr<RecordingNavigationDelegate> weak;
    {
        auto delegate = std::make_shared<RecordingNavigationDelegate>(&log);
        weak = delegate;
        nav->setDelegate(delegate);
    }
    EXPECT_TRUE(weak.expired());
    log.clear();
    auto b = RecordingController::make("b", &log);
    nav->pushViewController(b, true);
    EXPECT_FALSE(nav->isTransitioning());
    EXPECT_EQ(log, (Log{"b.willMove:nav", "b.viewDidLoad", "b.didMove:nav"}));
    EXPECT_EQ(nav->containerView()->subviews(), (std::vector<std::shared_ptr<View>>{b->view()}));
}
