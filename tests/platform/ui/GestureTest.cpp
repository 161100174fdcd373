#include "GestureTestSupport.h"
#include "UITestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace ui;
using namespace ui::test;

namespace ui::test {
OLM_DEFINE_CLASS(TouchLogView, View)
}

namespace {

// A window-sized root with one logging child at (50, 50, 100, 100).
struct OneView {
    EventLog log;
    std::shared_ptr<View> root = View::make({0, 0, 400, 400});
    std::shared_ptr<TouchLogView> child = TouchLogView::make("child", &log, {50, 50, 100, 100});
    std::shared_ptr<GestureRecorder> recorder = GestureRecorder::make(&log);
    TouchScript script{*root};
    OneView() { root->addSubview(child); }
};

// The calendar's arrangement: a pinch on the root, a pan and a tap that lets touches
// through on the presenter, cells inside.
struct PresenterScene {
    EventLog log;
    std::shared_ptr<TouchLogView> calendar = TouchLogView::make("calendar", &log, {0, 0, 400, 400});
    std::shared_ptr<TouchLogView> presenter = TouchLogView::make("presenter", &log, {0, 0, 400, 400});
    std::shared_ptr<TouchLogView> cell = TouchLogView::make("cell", &log, {0, 100, 100, 100});
    std::shared_ptr<GestureRecorder> recorder = GestureRecorder::make(&log);
    std::shared_ptr<PinchGestureRecognizer> pinch =
        PinchGestureRecognizer::make(recorder, &GestureRecorder::pinch);
    std::shared_ptr<PanGestureRecognizer> pan = PanGestureRecognizer::make(recorder, &GestureRecorder::pan);
    std::shared_ptr<TapGestureRecognizer> tap = TapGestureRecognizer::make(recorder, &GestureRecorder::tap);
    TouchScript script{*calendar};
    PresenterScene() {
        calendar->addSubview(presenter);
        presenter->addSubview(cell);
        calendar->addGestureRecognizer(pinch);
        presenter->addGestureRecognizer(pan);
        presenter->addGestureRecognizer(tap);
        tap->setCancelsTouchesInView(false);
    }
};

struct Simultaneous : GestureRecognizerDelegate {
    bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer&,
                                                                             GestureRecognizer&) override {
        return true;
    }
};

struct Gatekeeper : GestureRecognizerDelegate {
    bool receive = true;
    bool begin = true;
    bool gestureRecognizerShouldReceiveTouch(GestureRecognizer&, Touch&) override { return receive; }
    bool gestureRecognizerShouldBegin(GestureRecognizer&) override { return begin; }
};

} // namespace

TEST(TapGesture, RecognizesOnLiftAtTheLiftLocationAndResets) {
    OneView s;
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    s.child->addGestureRecognizer(tap);
    EXPECT_EQ(tap->view(), s.child.get());

    s.script.down(1, {70, 80});
    EXPECT_EQ(s.log, (EventLog{"child.began"}));
    s.script.now += 0.1;
    s.script.up(1, {72, 81});
    // Recognized once at the lift; by default the view's touch is cancelled.
    EXPECT_EQ(s.log, (EventLog{"child.began", "child.cancelled", "tap:ended"}));
    expectPointNear(s.recorder->locations.at(0), {22, 31});
    EXPECT_EQ(s.recorder->touchCounts.at(0), 1);
    EXPECT_EQ(tap->state(), GestureRecognizerStatePossible);
    EXPECT_EQ(tap->numberOfTouches(), 0);
    EXPECT_TRUE(s.script.dispatcher.isIdle());
}

TEST(TapGesture, FailsOnMovementBeyondTheSlopOrATouchTooMany) {
    OneView s;
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    s.child->addGestureRecognizer(tap);
    auto& t = s.script;

    t.down(1, {100, 100});
    t.move(1, {109, 100});
    t.up(1, {109, 100});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);

    t.now += 1;
    t.down(1, {100, 100});
    t.move(1, {111, 100});
    t.move(1, {100, 100}); // coming back does not undo the failure
    t.up(1, {100, 100});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);

    t.now += 1;
    t.send({{1, TouchPhaseBegan, {100, 100}, t.now}, {2, TouchPhaseBegan, {120, 100}, t.now}});
    t.liftAll({{1, {100, 100}}, {2, {120, 100}}});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);

    // Two fingers are a tap once two are required; the location is their centroid.
    tap->setNumberOfTouchesRequired(2);
    t.now += 1;
    t.send({{1, TouchPhaseBegan, {100, 100}, t.now}, {2, TouchPhaseBegan, {120, 110}, t.now}});
    t.liftAll({{1, {100, 100}}, {2, {120, 110}}});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 2);
    expectPointNear(s.recorder->locations.back(), {60, 55});
}

TEST(TapGesture, DoubleTapNeedsTheSecondTapInTimeAndNearby) {
    OneView s;
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    tap->setNumberOfTapsRequired(2);
    s.child->addGestureRecognizer(tap);
    auto& t = s.script;

    // Two taps `gap` seconds apart, a second after whatever came before.
    const auto twoTaps = [&](gfx::Point first, double gap, gfx::Point second) {
        t.now += 1;
        t.tap(first);
        t.now += gap;
        t.tap(second);
    };

    t.tap({100, 100});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 0);
    ASSERT_TRUE(t.dispatcher.nextDeadline());
    EXPECT_NEAR(*t.dispatcher.nextDeadline(), t.now + TapGestureRecognizer::maximumTapInterval, 1e-9);
    t.now += 0.2;
    t.tap({110, 104});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);

    // Too slow: the first tap expires and the late one starts a new pair.
    twoTaps({100, 100}, 0.5, {100, 100});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);
    t.now += 0.1;
    t.tap({100, 100});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 2);

    // Too far apart.
    twoTaps({60, 60}, 0.1, {140, 140});
    t.wait(1);
    EXPECT_EQ(countOf(s.log, "tap:ended"), 2);
    EXPECT_TRUE(t.dispatcher.isIdle());
}

TEST(TapGesture, SingleTapWaitsForTheDoubleTapToFail) {
    OneView s;
    auto single = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    auto twice = TapGestureRecognizer::make(s.recorder, &GestureRecorder::doubleTap);
    twice->setNumberOfTapsRequired(2);
    single->requireGestureRecognizerToFail(twice);
    s.child->addGestureRecognizer(single);
    s.child->addGestureRecognizer(twice);
    auto& t = s.script;

    t.tap({100, 100});
    t.wait(0.2);
    // Held back, and so is the view's end of the touch.
    EXPECT_EQ(s.log, (EventLog{"child.began"}));
    t.wait(0.2);
    EXPECT_EQ(s.log, (EventLog{"child.began", "child.cancelled", "tap:ended"}));

    s.log.clear();
    t.now += 1;
    t.tap({100, 100});
    t.now += 0.1;
    t.tap({100, 100});
    t.wait(1);
    EXPECT_EQ(countOf(s.log, "doubleTap:ended"), 1);
    EXPECT_EQ(countOf(s.log, "tap:ended"), 0);
    EXPECT_TRUE(t.dispatcher.isIdle());
}

TEST(PanGesture, BeginsAfterTheHysteresisWithTranslationAndVelocity) {
    OneView s;
    auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
    s.child->addGestureRecognizer(pan);
    // A view drawn at twice the size sees half the movement.
    auto zoomed = View::make({0, 0, 10, 10});
    zoomed->setTransform(gfx::AffineTransform::makeScale(2, 2));
    s.root->addSubview(zoomed);
    std::vector<gfx::Point> zoomedTranslations;
    pan->addAction([&](GestureRecognizer& r) {
        zoomedTranslations.push_back(static_cast<PanGestureRecognizer&>(r).translationInView(zoomed.get()));
    });
    auto& t = s.script;

    // 300 points per second, a report every 1/60 s: 5 points a step.
    t.down(1, {60, 100});
    t.move(1, {60, 105}); // below the threshold: nothing yet
    EXPECT_TRUE(s.recorder->translations.empty());
    t.now += 1.0 / 60;
    t.move(1, {65, 105});
    t.now += 1.0 / 60;
    t.move(1, {70, 105});
    EXPECT_EQ(s.recorder->log->back(), "pan:began");
    expectPointNear(s.recorder->translations.at(0), {10, 5});
    expectPointNear(s.recorder->velocities.at(0), {300, 0}, 1e-6);
    expectPointNear(zoomedTranslations.at(0), {5, 2.5});

    t.drag(1, {70, 105}, {120, 105}, 300);
    EXPECT_EQ(countOf(s.log, "pan:changed"), 10);
    expectPointNear(s.recorder->translations.back(), {60, 5});
    expectPointNear(s.recorder->velocities.back(), {300, 0}, 1e-6);

    // A new origin; the speed goes on.
    pan->setTranslation({0, 0}, s.child.get());
    t.drag(1, {120, 105}, {125, 105}, 300);
    expectPointNear(s.recorder->translations.back(), {5, 0});
    expectPointNear(s.recorder->velocities.back(), {300, 0}, 1e-6);

    // A finger that rests before it lifts has no speed left.
    t.now += 0.2;
    t.up(1, {125, 105});
    EXPECT_EQ(s.log.back(), "pan:ended");
    expectPointNear(s.recorder->velocities.back(), {0, 0});
    EXPECT_EQ(pan->state(), GestureRecognizerStatePossible);
}

TEST(PanGesture, VelocityIsSignedAndFollowsTheLastMovement) {
    OneView s;
    auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
    s.child->addGestureRecognizer(pan);
    auto& t = s.script;

    // A fast swipe leftwards, then the finger drifts back right at 10 points per second.
    t.down(1, {140, 100});
    t.drag(1, {140, 100}, {60, 100}, 1000);
    t.drag(1, {60, 100}, {63, 100}, 10);
    t.up(1, {63, 100});
    EXPECT_EQ(s.log.at(2), "pan:began");
    EXPECT_NEAR(s.recorder->velocities.front().x, -1000, 1e-6);
    EXPECT_EQ(s.log.back(), "pan:ended");
    EXPECT_NEAR(s.recorder->velocities.back().x, 10, 1e-6);
    EXPECT_NEAR(s.recorder->translations.back().x, -77, 1e-9);

    // A second finger joining the pan does not make the translation jump.
    t.now += 1;
    t.down(1, {100, 100});
    t.drag(1, {100, 100}, {100, 120}, 300);
    t.down(2, {140, 140});
    const gfx::Point before = s.recorder->translations.back();
    t.move(2, {140, 150});
    expectPointNear(s.recorder->translations.back(), {before.x, before.y + 5});
}

TEST(PinchGesture, ScaleFromTheTouchDownDistanceCentroidAndVelocity) {
    OneView s;
    auto pinch = PinchGestureRecognizer::make(s.recorder, &GestureRecorder::pinch);
    s.root->addGestureRecognizer(pinch);
    auto& t = s.script;

    // Spread from 100 to 200 points apart in half a second.
    t.pinch({200, 250}, 100, 200, 0.5);
    EXPECT_EQ(s.log.at(0), "pinch:began");
    EXPECT_NEAR(s.recorder->scales.front(), 1.1, 1e-9);
    EXPECT_NEAR(s.recorder->scales.back(), 2.0, 1e-9);
    expectPointNear(s.recorder->locations.back(), {200, 250});
    EXPECT_NEAR(pinch->velocity(), 2.0, 1e-6);

    // One finger lifts: the scale holds and the recognizer says there is one finger left.
    t.now += 0.05;
    t.up(2, {300, 250});
    t.now += 0.05;
    t.move(1, {90, 250});
    EXPECT_EQ(s.log.back(), "pinch:changed");
    EXPECT_EQ(s.recorder->touchCounts.back(), 1);
    EXPECT_NEAR(s.recorder->scales.back(), 2.0, 1e-9);
    // A new second finger carries on from there.
    t.down(3, {210, 250});
    t.now += 0.05;
    t.move(3, {330, 250});
    EXPECT_NEAR(s.recorder->scales.back(), 4.0, 1e-9);
    t.liftAll({{1, {90, 250}}, {3, {330, 250}}});
    EXPECT_EQ(s.log.back(), "pinch:ended");
    EXPECT_EQ(pinch->scale(), 1);

    // Fingers moving together begin below 1.
    s.recorder->scales.clear();
    t.now += 1;
    t.pinch({200, 250}, 200, 100, 0.5);
    EXPECT_NEAR(s.recorder->scales.front(), 0.95, 1e-9);
    EXPECT_NEAR(s.recorder->scales.back(), 0.5, 1e-9);
}

TEST(GestureArbitration, TapPanAndPinchOfTheCalendarArrangement) {
    PresenterScene s;
    auto& t = s.script;

    // A quick tap on a cell: the tap's action runs before the cell's touchesEnded.
    t.tap({50, 150});
    EXPECT_EQ(s.log, (EventLog{"cell.began", "tap:ended", "cell.ended"}));

    // A drag: the pan wins and cancels the cell's touch; no tap, no pinch.
    s.log.clear();
    t.now += 1;
    t.down(1, {50, 150});
    t.drag(1, {50, 150}, {150, 150}, 300);
    t.up(1, {150, 150});
    EXPECT_LT(indexIn(s.log, "cell.cancelled"), indexIn(s.log, "pan:began"));
    EXPECT_EQ(countOf(s.log, "cell.ended"), 0);
    EXPECT_EQ(countOf(s.log, "tap:ended"), 0);
    EXPECT_EQ(s.log.back(), "pan:ended");
    EXPECT_EQ(
        std::count_if(s.log.begin(), s.log.end(), [](const auto& e) { return e.rfind("pinch", 0) == 0; }), 0);

    // A pinch about a still centroid: the pinch wins, the pan never begins.
    s.log.clear();
    t.now += 1;
    t.pinch({200, 300}, 100, 200, 0.5);
    t.liftAll({{1, {100, 300}}, {2, {300, 300}}});
    EXPECT_EQ(countOf(s.log, "pinch:began"), 1);
    EXPECT_EQ(s.log.back(), "pinch:ended");
    EXPECT_EQ(countOf(s.log, "pan:began"), 0);
    EXPECT_EQ(countOf(s.log, "presenter.cancelled"), 1);
    EXPECT_TRUE(t.dispatcher.isIdle());
}

TEST(GestureArbitration, DelegatesLetTwoRecognizersRunTogether) {
    for (const bool together : {false, true}) {
        OneView s;
        auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
        auto pinch = PinchGestureRecognizer::make(s.recorder, &GestureRecorder::pinch);
        s.child->addGestureRecognizer(pan);
        s.child->addGestureRecognizer(pinch);
        auto delegate = std::make_shared<Simultaneous>();
        if (together) pan->setDelegate(delegate);
        auto& t = s.script;
        // The fingers spread (10 points a step) and their centroid drifts right (3 a step):
        // the pinch begins first, the pan only if it may join it.
        t.send({{1, TouchPhaseBegan, {60, 100}, t.now}, {2, TouchPhaseBegan, {100, 100}, t.now}});
        for (int i = 1; i <= 4; ++i) {
            t.now += 0.02;
            t.send({{1, TouchPhaseMoved, {60.0 - 2 * i, 100}, t.now},
                    {2, TouchPhaseMoved, {100.0 + 8 * i, 100}, t.now}});
        }
        EXPECT_EQ(countOf(s.log, "pinch:began"), 1) << together;
        EXPECT_EQ(countOf(s.log, "pan:began"), together ? 1 : 0) << together;
    }
}

TEST(GestureArbitration, CancellingTouchesInTheViewIsTheRecognizersChoice) {
    for (const bool cancels : {true, false}) {
        OneView s;
        auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
        pan->setCancelsTouchesInView(cancels);
        s.child->addGestureRecognizer(pan);
        s.script.down(1, {60, 60});
        s.script.drag(1, {60, 60}, {100, 60}, 300);
        s.script.up(1, {100, 60});
        EXPECT_EQ(countOf(s.log, "child.cancelled"), cancels ? 1 : 0);
        EXPECT_EQ(countOf(s.log, "child.ended"), cancels ? 0 : 1);
        EXPECT_EQ(countOf(s.log, "child.moved"), cancels ? 1 : 8); // one move below the threshold
    }
}

TEST(GestureArbitration, DelayingTouchesBeganHoldsThemUntilTheRecognizerDecides) {
    OneView s;
    auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
    pan->setDelaysTouchesBegan(true);
    s.child->addGestureRecognizer(pan);
    auto& t = s.script;

    // No pan: the view gets the whole touch once the pan has failed, at the lift.
    t.down(1, {60, 60});
    t.move(1, {62, 60});
    EXPECT_TRUE(s.log.empty());
    t.up(1, {62, 60});
    EXPECT_EQ(s.log, (EventLog{"child.began", "child.ended"}));

    // A pan: the view never hears of the touch.
    s.log.clear();
    t.down(1, {60, 60});
    t.drag(1, {60, 60}, {100, 60}, 300);
    t.up(1, {100, 60});
    EXPECT_EQ(indexIn(s.log, "child.began"), -1);
    EXPECT_EQ(s.log.back(), "pan:ended");
}

TEST(GestureRecognizerLife, DisablingCancelsTheGestureInProgressAndFailsOneNotYetRecognized) {
    OneView s;
    auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
    s.child->addGestureRecognizer(pan);
    auto& t = s.script;
    t.down(1, {60, 60});
    t.drag(1, {60, 60}, {90, 60}, 300);
    pan->setEnabled(false);
    EXPECT_EQ(s.log.back(), "pan:cancelled");
    const std::size_t entries = s.log.size();
    t.drag(1, {90, 60}, {120, 60}, 300);
    t.up(1, {120, 60});
    EXPECT_EQ(s.log.size(), entries);
    EXPECT_EQ(pan->state(), GestureRecognizerStatePossible);

    pan->setEnabled(true);
    t.down(1, {60, 60});
    t.drag(1, {60, 60}, {90, 60}, 300);
    EXPECT_EQ(countOf(s.log, "pan:began"), 2);
    t.up(1, {90, 60});

    // A tap disabled while the finger is down never fires; the view gets its end.
    s.log.clear();
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    s.child->addGestureRecognizer(tap);
    t.down(1, {60, 60});
    tap->setEnabled(false);
    t.up(1, {60, 60});
    EXPECT_EQ(s.log, (EventLog{"child.began", "child.ended"}));
}

TEST(GestureRecognizerLife, DelegateGatesTouchesAndBeginningAndIsNotRetained) {
    OneView s;
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    s.child->addGestureRecognizer(tap);
    auto gate = std::make_shared<Gatekeeper>();
    tap->setDelegate(gate);

    gate->receive = false;
    s.script.tap({60, 60});
    gate->receive = true;
    gate->begin = false;
    s.script.now += 1;
    s.script.tap({60, 60});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 0);
    // Unseen or failed, the view's touches end normally.
    EXPECT_EQ(countOf(s.log, "child.ended"), 2);

    gate.reset();
    EXPECT_EQ(tap->delegate(), nullptr);
    s.script.now += 1;
    s.script.tap({60, 60});
    EXPECT_EQ(countOf(s.log, "tap:ended"), 1);
}

TEST(GestureRecognizerLife, RemovedRecognizersStopAndMoveBetweenViews) {
    OneView s;
    auto pan = PanGestureRecognizer::make(s.recorder, &GestureRecorder::pan);
    s.child->addGestureRecognizer(pan);
    s.script.down(1, {60, 60});
    s.script.drag(1, {60, 60}, {90, 60}, 300);
    s.child->removeGestureRecognizer(pan.get());
    EXPECT_EQ(pan->view(), nullptr);
    s.script.move(1, {100, 60});
    EXPECT_EQ(s.log.back(), "pan:cancelled");
    s.script.up(1, {100, 60});

    // Added elsewhere, it leaves its first view.
    auto other = View::make();
    s.child->addGestureRecognizer(pan);
    other->addGestureRecognizer(pan);
    EXPECT_EQ(pan->view(), other.get());
    EXPECT_TRUE(s.child->gestureRecognizers().empty());

    // A dispatcher that goes away mid-gesture leaves the recognizer ready for the next.
    s.child->addGestureRecognizer(pan);
    {
        TouchScript script(*s.root);
        script.down(1, {60, 60});
        script.drag(1, {60, 60}, {90, 60}, 300);
        EXPECT_EQ(pan->state(), GestureRecognizerStateChanged);
    }
    EXPECT_EQ(pan->state(), GestureRecognizerStatePossible);
    EXPECT_EQ(pan->numberOfTouches(), 0);
}

TEST(TouchDelivery, BadReportsAreIgnoredAndNestedDispatchIsQueued) {
    OneView s;
    auto tap = TapGestureRecognizer::make(s.recorder, &GestureRecorder::tap);
    tap->setCancelsTouchesInView(false);
    s.child->addGestureRecognizer(tap);
    auto& t = s.script;
    const double nan = std::numeric_limits<double>::quiet_NaN();

    t.move(7, {60, 60});                              // never began
    t.send({{1, 9, {60, 60}, t.now}});                // no such phase
    t.send({{1, TouchPhaseBegan, {nan, 60}, t.now}}); // nowhere
    EXPECT_TRUE(s.log.empty());
    EXPECT_TRUE(t.dispatcher.isIdle());

    t.down(1, {60, 60});
    t.send({{1, TouchPhaseMoved, {nan, nan}, nan}}); // keeps its place and time
    t.down(1, {70, 70});                             // began again: the old touch is cancelled
    EXPECT_EQ(s.log, (EventLog{"child.began", "child.moved", "child.began", "child.cancelled"}));
    t.up(1, {70, 70});
    EXPECT_EQ(t.dispatcher.touchCount(), 0u);

    // An action that reports a finger is served after the current event.
    s.log.clear();
    tap->addAction([&](GestureRecognizer&) { t.down(2, {80, 80}); });
    t.now += 1;
    t.tap({60, 60});
    EXPECT_EQ(s.log, (EventLog{"child.began", "tap:ended", "child.ended", "child.began"}));
    EXPECT_EQ(t.dispatcher.touchCount(), 1u);
    t.dispatcher.cancelAllTouches(t.now);
    EXPECT_EQ(s.log.back(), "child.cancelled");
    EXPECT_TRUE(t.dispatcher.isIdle());
}
