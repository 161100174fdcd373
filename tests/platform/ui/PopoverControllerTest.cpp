#include "ControllerTestSupport.h"

#include "platform/ui/PopoverController.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace ui::test;

namespace {

class RecordingPopoverDelegate : public PopoverControllerDelegate {
public:
    explicit RecordingPopoverDelegate(Log* log) : log(log) {}
    Log* log;
    bool allows = true;
    bool popoverControllerShouldDismissPopover(PopoverController&) override {
        log->push_back("shouldDismiss");
        return allows;
    }
    void popoverControllerDidDismissPopover(PopoverController&) override { log->push_back("didDismiss"); }
};

Pixel8 shown(const TestDriver& driver, gfx::Point p) {
    const gfx::RGBA c = driver.pixel(p);
    auto q = [](double v) { return static_cast<int>(std::lround(v * 255)); };
    return {q(c.r), q(c.g), q(c.b), q(c.a)};
}

// A 320 × 480 window whose root view logs the touches it gets.
struct Scene {
    Log log;
    TestDriver driver{{320, 480}};
    std::shared_ptr<RecordingView> root = RecordingView::make("root", &log);
    std::shared_ptr<RecordingController> content = RecordingController::make("content", &log);
    std::shared_ptr<PopoverController> popover = PopoverController::make(content);
    std::shared_ptr<RecordingPopoverDelegate> delegate = std::make_shared<RecordingPopoverDelegate>(&log);

    Scene() {
        root->handlesTouches = true;
        driver.window()->setRootView(root);
        popover->setDelegate(delegate);
        driver.runUntilIdle();
        log.clear();
    }
    void present(gfx::Rect anchor, gfx::Size size, PopoverArrowDirection arrows = PopoverArrowDirectionUp,
                 bool animated = false) {
        popover->setPopoverContentSize(size);
        popover->presentPopoverFromRect(anchor, root.get(), arrows, animated);
        driver.runUntilIdle();
    }
};

} // namespace

TEST(PopoverController, HangsBelowTheRectCentredWithTheArrowOnItsEdge) {
    Scene s;
    s.popover->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    s.present({100, 100, 40, 30}, {200, 100});
    EXPECT_TRUE(s.popover->isPopoverVisible());
    EXPECT_EQ(s.popover->popoverArrowDirection(), PopoverArrowDirectionUp);
    EXPECT_EQ(s.popover->arrowTip(), (gfx::Point{120, 130}));
    EXPECT_EQ(s.popover->bodyFrame(), (gfx::Rect{20, 143, 200, 100}));
    // The content fills the body, above the window's root view.
    EXPECT_EQ(s.content->view()->convertRectToView(s.content->view()->bounds(), nullptr), s.popover->bodyFrame());
    EXPECT_EQ(s.log, (Log{"content.viewDidLoad", "content.viewWillAppear", "content.viewDidAppear",
                          "content.viewWillLayoutSubviews", "content.viewDidLayoutSubviews"}));
    EXPECT_EQ(s.driver.window()->subviews().front(), s.root);
    // Drawn: the body and the arrow just under the tip in the body's colour.
    EXPECT_TRUE(near(shown(s.driver, {120, 200}), blue));
    EXPECT_TRUE(near(shown(s.driver, {120, 133}), blue));
    EXPECT_FALSE(near(shown(s.driver, {108, 133}), blue));
}

TEST(PopoverController, StaysInsideTheWindowAndShortensOrTurnsWhenItDoesNotFit) {
    Scene s;
    // At the right edge the body stops 10 points inside and the arrow slides to the rect.
    s.present({280, 100, 40, 30}, {200, 100});
    EXPECT_EQ(s.popover->bodyFrame(), (gfx::Rect{110, 143, 200, 100}));
    EXPECT_EQ(s.popover->arrowTip(), (gfx::Point{300, 130}));

    // Too tall for the room below: shortened to it.
    s.present({100, 300, 40, 30}, {200, 400});
    EXPECT_EQ(s.popover->bodyFrame(), (gfx::Rect{20, 343, 200, 127}));

    // Any direction: the one with the most room when none fits (above: 277 points).
    s.present({100, 300, 40, 30}, {200, 400}, PopoverArrowDirectionAny);
    EXPECT_EQ(s.popover->popoverArrowDirection(), PopoverArrowDirectionDown);
    EXPECT_EQ(s.popover->bodyFrame(), (gfx::Rect{20, 10, 200, 277}));
    // …and the first that fits when one does.
    s.present({10, 200, 40, 30}, {200, 100}, PopoverArrowDirectionDown | PopoverArrowDirectionLeft);
    EXPECT_EQ(s.popover->popoverArrowDirection(), PopoverArrowDirectionDown);
    s.present({10, 200, 40, 30}, {200, 100}, PopoverArrowDirectionLeft);
    EXPECT_EQ(s.popover->arrowTip(), (gfx::Point{50, 215}));
    EXPECT_EQ(s.popover->bodyFrame(), (gfx::Rect{63, 165, 200, 100}));
}

TEST(PopoverController, AnOutsideTapIsConsumedAskedAndReportedAfterTheFade) {
    Scene s;
    s.present({100, 100, 40, 30}, {200, 100}, PopoverArrowDirectionUp, true);
    s.log.clear();
    s.driver.tap(*s.content->view()); // inside: nothing happens
    EXPECT_TRUE(s.popover->isPopoverVisible());

    s.delegate->allows = false;
    s.driver.tap({300, 20});
    EXPECT_EQ(s.log, (Log{"shouldDismiss"}));
    EXPECT_TRUE(s.popover->isPopoverVisible());

    s.delegate->allows = true;
    s.driver.tap({300, 20});
    EXPECT_FALSE(s.popover->isPopoverVisible());
    EXPECT_EQ(s.log, (Log{"shouldDismiss", "shouldDismiss", "content.viewWillDisappear"}));
    s.driver.advance(0.1);
    EXPECT_NEAR(s.driver.window()->subviews().back()->layer()->presentationState().opacity, 0.5, 0.2);
    s.driver.runUntilIdle();
    EXPECT_EQ(s.log, (Log{"shouldDismiss", "shouldDismiss", "content.viewWillDisappear",
                          "content.viewDidDisappear", "didDismiss"}));
    EXPECT_EQ(s.driver.window()->subviews().size(), 1u);
}

TEST(PopoverController, ProgrammaticDismissalReleaseAndDetachedViewsReportNothing) {
    Scene s;
    s.present({100, 100, 40, 30}, {200, 100});
    s.popover->dismissPopoverAnimated(true);
    EXPECT_FALSE(s.popover->isPopoverVisible());
    s.driver.runUntilIdle();
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "didDismiss"), 0);
    EXPECT_EQ(s.driver.window()->subviews().size(), 1u);

    // Released while visible: gone at once.
    s.present({100, 100, 40, 30}, {200, 100}, PopoverArrowDirectionUp, true);
    s.popover.reset();
    EXPECT_EQ(s.driver.window()->subviews().size(), 1u);
    s.driver.runUntilIdle();
    EXPECT_EQ(std::count(s.log.begin(), s.log.end(), "didDismiss"), 0);

    // From a view outside a window: nothing shows.
    auto popover = PopoverController::make(RecordingController::make("other", nullptr));
    auto loose = View::make({0, 0, 100, 100});
    popover->presentPopoverFromRect({10, 10, 10, 10}, loose.get(), PopoverArrowDirectionAny, false);
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_EQ(loose->subviews().size(), 0u);
}

TEST(PopoverController, ClipsTheContentToTheRoundedBodyAndResizesAnimatedOnRequest) {
    Scene s;
    s.content->view()->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    s.present({100, 100, 40, 30}, {200, 100});
    const gfx::Rect body = s.popover->bodyFrame();
    EXPECT_TRUE(near(shown(s.driver, {body.minX() + 13, body.minY() + 2}), blue));
    EXPECT_FALSE(near(shown(s.driver, {body.minX() + 1, body.minY() + 1}), blue)); // a rounded corner
    EXPECT_FALSE(near(shown(s.driver, {body.maxX() - 1, body.maxY() - 1}), blue));

    // Animated, the body and the content grow over 0.3 s; otherwise at once.
    const auto height = [&] { return s.content->view()->layer()->presentationState().bounds.height(); };
    s.popover->setPopoverContentSize({200, 200}, true);
    EXPECT_EQ(s.popover->bodyFrame().height(), 200);
    s.driver.step(0.15);
    EXPECT_GT(height(), 100);
    EXPECT_LT(height(), 200);
    s.driver.step(0.16);
    EXPECT_EQ(height(), 200);
    s.popover->setPopoverContentSize({200, 120});
    s.driver.step();
    EXPECT_EQ(height(), 120);
}
