#include "UITestSupport.h"

#include "platform/foundation/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

using namespace ui;
using namespace ui::test;

namespace {

const char* phaseName(RunLoop::Phase phase) {
    switch (phase) {
    case RunLoop::Phase::input:
        return "input";
    case RunLoop::Phase::mainQueue:
        return "mainQueue";
    case RunLoop::Phase::animations:
        return "animations";
    case RunLoop::Phase::animationStops:
        return "animationStops";
    case RunLoop::Phase::layout:
        return "layout";
    case RunLoop::Phase::display:
        return "display";
    case RunLoop::Phase::commit:
        return "commit";
    case RunLoop::Phase::composite:
        return "composite";
    }
    return "?";
}

// Removes the phase observer when the test ends (also when an assertion cut it short).
struct LoopScope {
    ~LoopScope() { RunLoop::main().setPhaseObserver(nullptr); }
};

class StopListener : public AnimationDelegate {
public:
    std::function<void(bool)> onStop;
    void animationDidStop(Animation*, bool finished) override { onStop(finished); }
};

// Logs its drawing as well.
class DrawingView : public RecordingView {
public:
    void drawRect(const gfx::Rect& rect) override {
        log->push_back(name + ".drawRect");
        RecordingView::drawRect(rect);
    }

protected:
    friend class rt::Access;
};

Pixel8 toPixel8(const gfx::RGBA& c) {
    const auto q = [](double v) { return static_cast<int>(std::lround(v * 255)); };
    return {q(c.r), q(c.g), q(c.b), q(c.a)};
}

} // namespace

TEST(HostRunLoop, ATurnRunsInputQueueAnimationsStopsLayoutDisplayCommitThenComposite) {
    LoopScope scope;
    TestDriver driver({100, 100});
    Log log;
    auto view = rt::create<DrawingView>("view", &log, gfx::Rect{0, 0, 100, 100});
    view->draws = true;
    view->setNeedsDisplay();
    view->fill = gfx::Color::rgba(0, 0, 0, 0);
    view->handlesTouches = true;
    view->setBackgroundColor(gfx::Color::rgba(1, 0, 0));
    driver.window()->addSubview(view);
    ASSERT_TRUE(driver.runUntilIdle());

    // An animation that ends in the next turn; its stop turns the view green.
    auto listener = std::make_shared<StopListener>();
    listener->onStop = [&](bool finished) {
        log.push_back(finished ? "stop:finished" : "stop:cancelled");
        view->setBackgroundColor(gfx::Color::rgba(0, 1, 0));
    };
    auto fade = BasicAnimation::make("opacity");
    fade->setFromValue(0.5);
    fade->setToValue(1.0);
    fade->setDuration(0.1);
    fade->setDelegate(listener);
    view->layer()->addAnimation(fade, "fade");
    driver.step(0.05);

    // Everything the next turn has to do, queued before it.
    view->setNeedsLayout();
    view->setNeedsDisplay();
    fnd::dispatchAsync(fnd::mainQueue(), [&] { log.push_back("task"); });
    driver.window()->enqueueTouches({{7, TouchPhaseBegan, {50, 50}, driver.now()}});
    log.clear();
    RunLoop::main().setPhaseObserver([&](RunLoop::Phase p) { log.push_back(phaseName(p)); });
    driver.step(0.1);
    RunLoop::main().setPhaseObserver(nullptr);

    EXPECT_EQ(log, (Log{"input", "view.touchesBegan", "mainQueue", "task", "animations", "animationStops",
                        "stop:finished", "layout", "view.layoutSubviews", "display", "view.drawRect",
                        "commit", "composite"}));
    // The stop's change is in the very frame composited in its turn.
    EXPECT_EQ(toPixel8(driver.pixel({50, 50})), green);
    driver.touchCancel(7);

    // Real-time hosting runs turns until told to stop, or until its time is up.
    const unsigned long turns = RunLoop::main().turnCount();
    EXPECT_TRUE(RunLoop::main().run([] { return true; }, 10));
    EXPECT_FALSE(RunLoop::main().run([] { return false; }, 0));
    EXPECT_EQ(RunLoop::main().turnCount(), turns + 2);
}

TEST(HostWindow, CoversTheScreenKeepsItsRootViewSizedAndCompositesAtTheScreenScale) {
    LoopScope scope;
    gfx::test::ScopedGraphicsSettings settings;
    Screen& screen = Screen::mainScreen();
    const gfx::Size oldSize = screen.size();
    screen.setSize({200, 120});
    screen.setSize({-1, 5}); // ignored
    screen.setScale(3);
    EXPECT_EQ(gfx::screenScale(), 3);
    auto window = ui::Window::make();
    screen.setSize(oldSize);
    expectRectNear(window->frame(), {0, 0, 200, 120});
    EXPECT_TRUE(window->isWindow());

    auto root = View::make();
    root->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    window->setRootView(root);
    EXPECT_EQ(root->window(), window.get());
    expectRectNear(root->frame(), {0, 0, 200, 120});
    window->setFrame({0, 0, 150, 100});
    window->layoutAndDisplayIfNeeded();
    expectRectNear(root->frame(), {0, 0, 150, 100});

    window->composite();
    EXPECT_EQ(window->compositor().pixelWidth(), 450);
    EXPECT_EQ(window->frameCount(), 1);
    EXPECT_EQ(pixel8(window->image(), 440, 290), blue);

    // Replacing the root view takes the old one out; null leaves the window empty.
    auto next = View::make();
    window->setRootView(next);
    EXPECT_EQ(root->superview(), nullptr);
    window->setRootView(nullptr);
    EXPECT_EQ(next->superview(), nullptr);
    EXPECT_TRUE(window->subviews().empty());

    // The key window is the last one shown, while it is shown.
    window->makeKeyAndVisible();
    EXPECT_TRUE(window->isKeyWindow());
    EXPECT_EQ(RunLoop::main().windows().size(), 1u);
    window->orderOut();
    EXPECT_EQ(ui::Window::keyWindow(), nullptr);
    EXPECT_TRUE(RunLoop::main().windows().empty());

    // A finger left down on the window itself (no subview under it) does not keep the
    // window alive once it is no longer shown.
    std::weak_ptr<ui::Window> released;
    {
        TestDriver driver({50, 50});
        driver.touchDown(1, {10, 10});
        released = driver.window();
    }
    EXPECT_TRUE(released.expired());

    // Device settings are stored as given; only 3 and 4 are landscape.
    Device& device = Device::currentDevice();
    EXPECT_EQ(device.userInterfaceIdiom(), UserInterfaceIdiomPhone);
    EXPECT_EQ(device.orientation(), DeviceOrientationPortrait);
    device.setUserInterfaceIdiom(UserInterfaceIdiomPad);
    device.setOrientation(9);
    EXPECT_EQ(device.orientation(), 9);
    EXPECT_FALSE(deviceOrientationIsLandscape(9));
    EXPECT_FALSE(deviceOrientationIsPortrait(DeviceOrientationFaceUp));
    EXPECT_TRUE(deviceOrientationIsLandscape(DeviceOrientationLandscapeRight));
    device.setUserInterfaceIdiom(UserInterfaceIdiomPhone);
    device.setOrientation(DeviceOrientationPortrait);
}

TEST(HostTestDriver, RunsUntilIdleThroughAnimationsAndGivesUpWhenWorkNeverEnds) {
    LoopScope scope;
    TestDriver driver({50, 50});
    auto view = View::make({0, 0, 50, 50});
    driver.window()->addSubview(view);
    auto move = BasicAnimation::make("position");
    move->setFromValue(gfx::Point{0, 0});
    move->setToValue(gfx::Point{25, 25});
    move->setDuration(0.5);
    view->layer()->addAnimation(move, "move");
    const double start = driver.now();
    EXPECT_TRUE(driver.runUntilIdle());
    EXPECT_GE(driver.now() - start, 0.5);
    EXPECT_LT(driver.now() - start, 0.5 + 2 * TestDriver::frameInterval);
    EXPECT_FALSE(AnimationEngine::hasRunningAnimations());

    // A view that asks for layout again every time it is laid out never lets the loop rest.
    struct Restless : View {
        void layoutSubviews() override { setNeedsLayout(); }
    };
    auto restless = rt::create<Restless>(gfx::Rect{0, 0, 10, 10});
    restless->setNeedsLayout();
    driver.window()->addSubview(restless);
    const double before = driver.now();
    EXPECT_FALSE(driver.runUntilIdle(0.5));
    EXPECT_NEAR(driver.now() - before, 0.5, 2 * TestDriver::frameInterval);
    restless->removeFromSuperview();
}

TEST(HostTestDriver, TapPanAndPinchReachRecognizersWithTheirValues) {
    LoopScope scope;
    TestDriver driver({400, 400});
    auto target = View::make({0, 0, 400, 400});
    driver.window()->addSubview(target);

    std::vector<GestureRecognizerState> taps;
    gfx::Point tapLocation;
    auto tap = TapGestureRecognizer::make();
    tap->addAction([&](GestureRecognizer& r) {
        taps.push_back(r.state());
        tapLocation = r.locationInView(target.get());
    });
    target->addGestureRecognizer(tap);
    driver.tap({120, 80});
    EXPECT_EQ(taps, std::vector<GestureRecognizerState>{GestureRecognizerStateEnded});
    expectPointNear(tapLocation, {120, 80});

    // A double tap needs both taps within the tap interval.
    tap->setNumberOfTapsRequired(2);
    taps.clear();
    driver.tap({200, 200}, 2);
    EXPECT_EQ(taps.size(), 1u);
    target->removeGestureRecognizer(tap.get());

    // A pan at 400 points per second over 200 points.
    auto pan = PanGestureRecognizer::make();
    gfx::Point translation, velocity;
    std::vector<GestureRecognizerState> panStates;
    pan->addAction([&](GestureRecognizer& r) {
        panStates.push_back(r.state());
        translation = pan->translationInView(target.get());
        velocity = pan->velocityInView(target.get());
    });
    target->addGestureRecognizer(pan);
    const double start = driver.now();
    driver.panAtSpeed({50, 300}, {250, 300}, 400, 10);
    EXPECT_NEAR(driver.now() - start, 0.5, 1e-9);
    ASSERT_FALSE(panStates.empty());
    EXPECT_EQ(panStates.front(), GestureRecognizerStateBegan);
    EXPECT_EQ(panStates.back(), GestureRecognizerStateEnded);
    expectPointNear(translation, {200, 0}, 1e-6);
    EXPECT_NEAR(velocity.x, 400, 1);
    EXPECT_NEAR(velocity.y, 0, 1e-6);

    // A path with a corner: the pan ends where the path does.
    driver.pan({{50, 50}, {150, 50}, {150, 250}}, 0.3, 12);
    expectPointNear(translation, {100, 200}, 1e-6);
    target->removeGestureRecognizer(pan.get());

    // Two fingers spread from 100 to 200 points apart about a centre.
    auto pinch = PinchGestureRecognizer::make();
    double scale = 0;
    gfx::Point centre;
    long touches = 0;
    pinch->addAction([&](GestureRecognizer& r) {
        scale = pinch->scale();
        centre = r.locationInView(target.get());
        touches = std::max(touches, r.numberOfTouches());
    });
    target->addGestureRecognizer(pinch);
    driver.pinch({200, 150}, 1, 2, 0.25);
    EXPECT_NEAR(scale, 2, 1e-6);
    expectPointNear(centre, {200, 150}, 1e-6);
    EXPECT_EQ(touches, 2);
    EXPECT_EQ(pinch->state(), GestureRecognizerStatePossible); // reset after the gesture
}
