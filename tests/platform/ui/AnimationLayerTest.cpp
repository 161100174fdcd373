#include "AnimationTestSupport.h"

#include "platform/ui/TimingFunction.h"

#include <cmath>
#include <numbers>

namespace ui {
namespace {

using test::AnimationFixture;
using test::fade;
using test::LoggingDelegate;

using LayerAnimation = AnimationFixture;

TEST_F(LayerAnimation, PresentationFollowsTheAnimationAndReturnsToTheModel) {
    auto layer = Layer::make();
    layer->setOpacity(0); // the model is set to the end, the animation comes from the old value
    layer->addAnimation(fade(1, 0, 0.5), "fade");
    auto move = BasicAnimation::make("position");
    move->setFromValue(gfx::Point{0, 0});
    move->setToValue(gfx::Point{100, 40});
    move->setDuration(0.5);
    move->setTimingFunction(TimingFunction::easeInEaseOut());
    layer->setPosition({100, 40});
    layer->addAnimation(move, "move");

    EXPECT_EQ(opacityOnScreen(*layer), 1);
    frame(0.125);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.75, 1e-12);
    const double eased = TimingFunction::easeInEaseOut().evaluate(0.25);
    EXPECT_NEAR(layer->presentationState().position.x, 100 * eased, 1e-9);
    EXPECT_NEAR(layer->presentationState().position.y, 40 * eased, 1e-9);
    frame(0.125);
    EXPECT_NEAR(layer->presentationState().position.x, 50, 1e-9);
    frame(0.125);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.25, 1e-12);
    // The model never moved while the animation ran.
    EXPECT_EQ(layer->opacity(), 0);

    frame(0.125);
    EXPECT_TRUE(layer->animationKeys().empty());
    EXPECT_EQ(opacityOnScreen(*layer), 0);
    EXPECT_EQ(layer->presentationState().position, (gfx::Point{100, 40}));
    EXPECT_FALSE(AnimationEngine::hasRunningAnimations());

    // Without a fill, an animation that ends away from the model snaps back to it.
    auto away = fade(0.3, 0.6, 0.2);
    layer->addAnimation(away, "away");
    frame(0.25);
    EXPECT_EQ(opacityOnScreen(*layer), 0);
}

TEST_F(LayerAnimation, FutureBeginTimeShowsTheModelUntilItStarts) {
    auto layer = Layer::make();
    auto delegate = std::make_shared<LoggingDelegate>();
    // A shadow that fades in during the second half and is left at its model value 0.
    auto late = fade(0, 1, 0.25);
    late->setBeginTime(currentMediaTime() + 0.25);
    late->setDelegate(delegate);
    layer->setOpacity(0);
    layer->addAnimation(late, "late");

    frame(0.125);
    EXPECT_EQ(opacityOnScreen(*layer), 0);
    EXPECT_TRUE(delegate->log.empty());
    frame(0.25);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.5, 1e-12);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start"}));
    frame(0.125);
    EXPECT_EQ(opacityOnScreen(*layer), 0);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "stop:YES"}));

    // Filled backwards, the start value shows before the begin; filled forwards and kept,
    // the end value stays after the end.
    auto held = fade(0.2, 0.8, 0.2);
    held->setBeginTime(currentMediaTime() + 0.125);
    held->setFillMode(FillMode::both);
    held->setRemovedOnCompletion(false);
    layer->addAnimation(held, "held");
    EXPECT_NEAR(opacityOnScreen(*layer), 0.2, 1e-12);
    frame(0.5);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.8, 1e-12);
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string>{"held"}));
    EXPECT_FALSE(AnimationEngine::hasRunningAnimations());
    layer->removeAnimationForKey("held");
    EXPECT_EQ(opacityOnScreen(*layer), 0);
}

TEST_F(LayerAnimation, ReplacingOrRemovingStopsWithFinishedNoFromTheMainQueue) {
    auto layer = Layer::make();
    auto first = std::make_shared<LoggingDelegate>();
    auto second = std::make_shared<LoggingDelegate>();
    auto third = std::make_shared<LoggingDelegate>();
    auto a = fade(1, 0, 1);
    a->setDelegate(first);
    layer->addAnimation(a, "a1");
    frame(0.1);
    auto b = fade(0, 1, 1);
    b->setDelegate(second);
    layer->addAnimation(b, "a1");
    // Stops are never delivered synchronously.
    EXPECT_EQ(first->log, (std::vector<std::string>{"start"}));
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string>{"a1"}));
    fnd::mainQueue().drain();
    EXPECT_EQ(first->log, (std::vector<std::string>{"start", "stop:NO"}));

    auto c = fade(0, 1, 1);
    c->setDelegate(third);
    layer->addAnimation(c, "a2");
    layer->addAnimation(fade(0, 1, 1), ""); // no key: never replaced, not listed
    EXPECT_EQ(layer->animationKeys(), (std::vector<std::string>{"a1", "a2"}));
    layer->removeAnimationForKey("a2");
    layer->removeAnimationForKey("missing");
    frame(0.5);
    EXPECT_EQ(third->log, (std::vector<std::string>{"stop:NO"})); // removed before it started
    EXPECT_EQ(second->log, (std::vector<std::string>{"start"}));
    layer->removeAllAnimations();
    EXPECT_TRUE(layer->animationKeys().empty());
    frame(2);
    EXPECT_EQ(second->log, (std::vector<std::string>{"start", "stop:NO"}));
    EXPECT_EQ(first->log.size(), 2u);
}

TEST_F(LayerAnimation, LaterAnimationsOverrideEarlierOnesAndMissingValuesComeFromBelow) {
    auto layer = Layer::make();
    layer->setOpacity(0.5);
    layer->addAnimation(fade(0, 1, 1), "under");
    auto over = fade(1, 0, 1);
    over->setDuration(0.5);
    layer->addAnimation(over, "over");
    frame(0.25);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.5, 1e-12); // "over" at half-way wins
    frame(0.5);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.75, 1e-12); // "over" is gone; "under" shows again

    // Only a toValue: from what the layer would show without it.
    auto layer2 = Layer::make();
    layer2->setPosition({10, 0});
    auto to = BasicAnimation::make("position.x");
    to->setToValue(30);
    to->setDuration(1);
    layer2->addAnimation(to, "to");
    auto by = BasicAnimation::make("position.y");
    by->setByValue(8.0);
    by->setDuration(1);
    layer2->addAnimation(by, "by");
    auto fromBy = BasicAnimation::make("bounds.size");
    fromBy->setFromValue(gfx::Size{10, 10});
    fromBy->setByValue(gfx::Size{10, 30});
    fromBy->setDuration(1);
    layer2->addAnimation(fromBy, "fromBy");
    frame(0.5);
    const LayerState s = layer2->presentationState();
    EXPECT_EQ(s.position, (gfx::Point{20, 4}));
    EXPECT_EQ(s.bounds.size, (gfx::Size{15, 25}));
    EXPECT_EQ(layer2->presentationValueForKey("position.x"), LayerValue(20.0));

    // An unknown key path or a value of the wrong kind animates nothing, but still runs.
    auto nowhere = BasicAnimation::make("cornerRadius");
    nowhere->setToValue(4);
    auto wrongKind = BasicAnimation::make("opacity");
    wrongKind->setToValue(gfx::Point{1, 1});
    auto delegate = std::make_shared<LoggingDelegate>();
    nowhere->setDelegate(delegate);
    auto plain = Layer::make();
    plain->addAnimation(nowhere, "n");
    plain->addAnimation(wrongKind, "w");
    frame(0.1);
    EXPECT_EQ(plain->presentationState().opacity, 1);
    frame(0.2); // duration 0 means 0.25 s
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "stop:YES"}));
}

TEST_F(LayerAnimation, TheLayerRunsACopyAndItsDelegateIsReleasedAfterTheStop) {
    auto layer = Layer::make();
    auto delegate = std::make_shared<LoggingDelegate>();
    std::weak_ptr<LoggingDelegate> weakDelegate = delegate;
    auto animation = fade(0, 1, 0.5);
    animation->setDelegate(delegate);
    delegate.reset();
    layer->addAnimation(animation, "fade");
    animation->setDelegate(nullptr); // the copy keeps its own reference
    animation->setToValue(0.0);      // and its own values
    animation.reset();

    const std::shared_ptr<const Animation> running = layer->animationForKey("fade");
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(running->beginTime(), kStart); // resolved when added
    frame(0.25);
    EXPECT_NEAR(opacityOnScreen(*layer), 0.5, 1e-12);
    ASSERT_FALSE(weakDelegate.expired());
    frame(0.25);
    EXPECT_TRUE(weakDelegate.expired());
    EXPECT_EQ(running->delegate(), nullptr);
}

// A view that animates one of its own sublayers with itself as the delegate, as the page
// turn does: the two keep each other alive only until the animation stops.
class SelfAnimatingOwner : public rt::Object, public AnimationDelegate {
public:
    static std::shared_ptr<SelfAnimatingOwner> make() { return rt::create<SelfAnimatingOwner>(); }
    std::shared_ptr<Layer> page = Layer::make();
    int stops = 0;
    bool lastFinished = true;

    void start() {
        auto turn = BasicAnimation::make("transform.rotation.y");
        turn->setFromValue(0.0);
        turn->setToValue(std::numbers::pi);
        turn->setDelegate(std::dynamic_pointer_cast<AnimationDelegate>(shared_from_this()));
        page->addAnimation(turn, "a1");
    }
    void animationDidStop(Animation*, bool finished) override {
        ++stops;
        lastFinished = finished;
    }

protected:
    SelfAnimatingOwner() = default;
    friend class rt::Access;
};

TEST_F(LayerAnimation, OwnersHeldByTheirAnimationsAreFreedWhenItStops) {
    auto owner = SelfAnimatingOwner::make();
    std::weak_ptr<SelfAnimatingOwner> weak = owner;
    owner->start();
    owner.reset();
    frame(0.1);
    ASSERT_FALSE(weak.expired()); // kept alive by its own running animation
    EXPECT_EQ(weak.lock()->stops, 0);
    frame(0.2);
    EXPECT_TRUE(weak.expired());

    // A layer destroyed mid-animation stops it with finished NO, after it is gone.
    auto layer = Layer::make();
    auto delegate = std::make_shared<LoggingDelegate>();
    auto animation = fade(0, 1, 1);
    animation->setDelegate(delegate);
    layer->addAnimation(animation, "fade");
    frame(0.1);
    layer.reset();
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start"}));
    frame(0.1);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "stop:NO"}));
    EXPECT_EQ(delegate.use_count(), 2); // here and in the test's animation object only
    EXPECT_FALSE(AnimationEngine::hasRunningAnimations());
}

TEST_F(LayerAnimation, PageTurnPassesEdgeOnHalfWay) {
    gfx::Transform3D perspective;
    perspective.m34 = -0.002;
    const double a0 = -std::numbers::pi * 0.001, a1 = -std::numbers::pi * 0.996;
    auto layer = Layer::make();
    const gfx::Transform3D end = gfx::rotate(perspective, a1, 0, 1, 0);
    layer->setTransform(end);
    auto turn = BasicAnimation::make("transform");
    turn->setFromValue(gfx::rotate(perspective, a0, 0, 1, 0));
    turn->setToValue(end);
    turn->setDuration(0.4);
    layer->addAnimation(turn, "a1");

    for (int step = 1; step < 4; ++step) {
        frame(0.1);
        const gfx::Transform3D t = layer->presentationState().transform;
        const double angle = a0 + (a1 - a0) * step / 4.0;
        // The page keeps its width (a rotation, not a blend of two matrices that collapses
        // it) and turns by the expected angle; the perspective stays.
        EXPECT_NEAR(std::hypot(t.m11, t.m13), 1, 1e-9) << "step " << step;
        EXPECT_NEAR(t.m11, std::cos(angle), 1e-9) << "step " << step;
        EXPECT_NEAR(t.m34 / t.m44, -0.002 * std::cos(angle), 1e-9) << "step " << step;
    }
    // Half-way it stands edge-on.
    MediaClock::setTime(kStart + 0.2);
    EXPECT_NEAR(layer->presentationState().transform.m11, std::cos(-std::numbers::pi * 0.4985), 1e-9);
    EXPECT_NEAR(std::abs(layer->presentationState().transform.m13), 1, 1e-4);

    // A transform part applies before the model transform.
    auto spin = Layer::make();
    spin->setTransform(gfx::Transform3D::makeTranslation(10, 0, 0));
    auto part = BasicAnimation::make("transform.rotation");
    part->setFromValue(0.0);
    part->setToValue(std::numbers::pi / 2);
    part->setDuration(1);
    spin->addAnimation(part, "spin");
    MediaClock::setTime(kStart + 0.7);
    const gfx::Transform3D expected =
        gfx::concat(gfx::Transform3D::makeRotation(std::numbers::pi / 4, 0, 0, 1), spin->transform());
    const gfx::Transform3D shown = spin->presentationState().transform;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(shown.rows()[i], expected.rows()[i], 1e-9);
}

TEST_F(LayerAnimation, SpringOvershootsThenSettlesExactlyAtItsDuration) {
    auto layer = Layer::make();
    auto spring = SpringAnimation::make("position.x", 0.4, 0);
    spring->setFromValue(0.0);
    spring->setToValue(100.0);
    spring->setDuration(0.5);
    layer->setPosition({100, 0});
    auto delegate = std::make_shared<LoggingDelegate>();
    spring->setDelegate(delegate);
    layer->addAnimation(spring, "spring");
    const auto at = [](double t) {
        MediaClock::setTime(kStart + t);
        advanceAnimations();
        fnd::mainQueue().drain();
    };
    double peak = 0;
    for (int i = 1; i < 50; ++i) {
        at(i * 0.01);
        peak = std::max(peak, layer->presentationState().position.x);
    }
    EXPECT_GT(peak, 105); // under-damped: it swings past the end
    EXPECT_NEAR(layer->presentationState().position.x, 100, 0.2);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start"}));
    at(0.5);
    EXPECT_EQ(delegate->log, (std::vector<std::string>{"start", "stop:YES"}));
    EXPECT_EQ(layer->presentationState().position.x, 100);

    // Critically damped: no overshoot; an overshooting opacity is clamped.
    auto calm = SpringAnimation::make("position.x", 1, 0);
    calm->setFromValue(0.0);
    calm->setToValue(100.0);
    layer->addAnimation(calm, "calm");
    auto bouncy = SpringAnimation::make("opacity", 0.2, 3);
    bouncy->setFromValue(0.0);
    bouncy->setToValue(1.0);
    layer->addAnimation(bouncy, "bouncy");
    double last = 0;
    for (int i = 1; i < 25; ++i) {
        at(0.5 + i * 0.01);
        const LayerState s = layer->presentationState();
        EXPECT_GE(s.position.x, last - 1e-9);
        EXPECT_LE(s.position.x, 100 + 1e-9);
        EXPECT_LE(s.opacity, 1);
        EXPECT_GE(s.opacity, 0);
        last = s.position.x;
    }
}

TEST_F(LayerAnimation, KeyframesFollowKeyTimesSegmentsAndCalculationMode) {
    auto layer = Layer::make();
    auto keys = KeyframeAnimation::make("position.x");
    keys->setValues({0.0, 10.0, 10.0, 30.0});
    keys->setKeyTimes({0, 0.25, 0.5, 1});
    keys->setDuration(1);
    const auto restart = [&] {
        MediaClock::setTime(kStart);
        layer->addAnimation(keys, "k");
    };
    restart();
    const auto xAt = [&](double t) {
        MediaClock::setTime(kStart + t);
        return layer->presentationState().position.x;
    };
    EXPECT_NEAR(xAt(0.125), 5, 1e-12);
    EXPECT_NEAR(xAt(0.375), 10, 1e-12);
    EXPECT_NEAR(xAt(0.75), 20, 1e-12);

    keys->setCalculationMode(CalculationMode::discrete);
    restart();
    EXPECT_EQ(xAt(0.2), 0);
    EXPECT_EQ(xAt(0.99), 10);

    // Cubic: through every value, flat over the hold, smooth (no kink) at a knot between
    // rising segments.
    keys->setCalculationMode(CalculationMode::cubic);
    keys->setValues({0.0, 10.0, 10.0, 30.0, 40.0});
    keys->setKeyTimes({0, 0.25, 0.5, 0.75, 1});
    restart();
    EXPECT_NEAR(xAt(0.25), 10, 1e-9);
    EXPECT_NEAR(xAt(0.75), 30, 1e-9);
    for (double t : {0.3, 0.375, 0.45})
        EXPECT_NEAR(xAt(t), 10, 1e-9) << t;
    const double h = 1e-5;
    EXPECT_NEAR((xAt(0.75) - xAt(0.75 - h)) / h, (xAt(0.75 + h) - xAt(0.75)) / h, 1e-2);
    EXPECT_GT(xAt(0.6), 10);
    EXPECT_LT(xAt(0.6), 30);

    // Key times that do not fit the values are spread evenly; per-segment pacing applies.
    keys->setCalculationMode(CalculationMode::linear);
    keys->setValues({0.0, 100.0});
    keys->setKeyTimes({0, 0.9, 1});
    keys->setTimingFunctions({TimingFunction::easeIn()});
    restart();
    EXPECT_NEAR(xAt(0.5), 100 * TimingFunction::easeIn().evaluate(0.5), 1e-9);
}

TEST_F(LayerAnimation, StandaloneLayersAnimateImplicitlyButViewLayersAndDisabledActionsDoNot) {
    auto standalone = Layer::make();
    // A layer made in this frame is being built: its changes take effect at once.
    standalone->setOpacity(0.5);
    EXPECT_TRUE(standalone->animationKeys().empty());
    frame();

    standalone->setOpacity(0);
    ASSERT_EQ(standalone->animationKeys(), (std::vector<std::string>{"opacity"}));
    EXPECT_EQ(standalone->animationForKey("opacity")->effectiveDuration(), 0.25);
    frame(0.125);
    const double p = TimingFunction::defaultCurve().evaluate(0.5);
    EXPECT_NEAR(opacityOnScreen(*standalone), 0.5 * (1 - p), 1e-9);
    // Changed again mid-flight: the new animation starts from what is on screen.
    standalone->setOpacity(1);
    EXPECT_NEAR(opacityOnScreen(*standalone), 0.5 * (1 - p), 1e-9);
    frame(0.25);
    EXPECT_EQ(opacityOnScreen(*standalone), 1);

    Transaction::begin();
    Transaction::setDisableActions(true);
    standalone->setPosition({5, 5});
    standalone->setBackgroundColor(gfx::Color::rgba(1, 0, 0));
    Transaction::commit();
    EXPECT_TRUE(standalone->animationKeys().empty());

    // The transaction's duration and completion block reach implicit animations; a colour
    // that appears fades in from transparent.
    int completions = 0;
    Transaction::setDisableActions(true);
    standalone->setBackgroundColor(std::nullopt);
    Transaction::flush();
    Transaction::begin();
    Transaction::setAnimationDuration(1);
    Transaction::setCompletionBlock([&] { ++completions; });
    standalone->setBackgroundColor(gfx::Color::rgba(0, 0, 1));
    Transaction::commit();
    EXPECT_EQ(standalone->animationForKey("backgroundColor")->effectiveDuration(), 1);
    MediaClock::setTime(currentMediaTime() + 0.5);
    const gfx::RGBA shown = standalone->presentationState().backgroundColor->resolved();
    EXPECT_EQ(shown.b, 1);
    EXPECT_NEAR(shown.a, TimingFunction::defaultCurve().evaluate(0.5), 1e-9);
    frame(0.4);
    EXPECT_EQ(completions, 0);
    frame(0.2);
    EXPECT_EQ(completions, 1);

    struct Delegate : LayerDelegate {
    } viewLike;
    auto backed = Layer::make();
    frame();
    // A delegate that answers no action (a view outside an animation block) wins.
    struct NoActions : LayerDelegate {
        std::optional<LayerActionRef> actionForLayerForKey(Layer&, std::string_view) override {
            return LayerActionRef{};
        }
    } view;
    backed->setDelegate(&view);
    backed->setOpacity(0.2);
    EXPECT_TRUE(backed->animationKeys().empty());
    // A delegate that does not decide leaves it to the implicit action.
    backed->setDelegate(&viewLike);
    backed->setOpacity(0.4);
    EXPECT_EQ(backed->animationKeys(), (std::vector<std::string>{"opacity"}));
    backed->setDelegate(nullptr);
}

} // namespace
} // namespace ui
