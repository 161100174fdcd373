#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "platform/graphics/Transform3D.h"
#include "platform/ui/Compositor.h"

using namespace transitions::test;

namespace {

constexpr gfx::Rect kFrame{0, 0, 320, 480};

// The uniform scale of a transform that only scales (m11); checks that it is uniform.
double scaleOf(const gfx::Transform3D& t) {
    EXPECT_NEAR(t.m11, t.m22, 1e-9);
    EXPECT_NEAR(t.m33, 1, 1e-9);
    return t.m11;
}

struct Shown {
    double scale;
    double opacity;
};

Shown model(const std::shared_ptr<ui::Layer>& layer) {
    return {scaleOf(layer->transform()), layer->opacity()};
}

Shown shown(const std::shared_ptr<ui::Layer>& layer) {
    const ui::LayerState s = layer->presentationState();
    return {scaleOf(s.transform), s.opacity};
}

void expectPose(Shown actual, double scale, double opacity, double eps = 1e-9) {
    EXPECT_NEAR(actual.scale, scale, eps);
    EXPECT_NEAR(actual.opacity, opacity, eps);
}

class FloatTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    std::shared_ptr<XQViewTransitionFloat> make(XQViewTransitionDirection direction) {
        auto t = XQViewTransitionFloat::make(kFrame);
        t->setDelegate(delegate);
        t->layoutIfNeeded();
        // Standalone layers animate implicitly only once they have lived through a frame:
        // run one, so that the tests see whether a change would animate.
        step(0.001);
        t->beginTransitionFrom(from, to, direction);
        return t;
    }
};

} // namespace

TEST_F(FloatTransition, LayersFollowLayoutWithTheToLayerBelow) {
    auto t = XQViewTransitionFloat::make(gfx::Rect{});
    EXPECT_TRUE(t->clipsToBounds());
    ASSERT_EQ(t->layer()->sublayers().size(), 2u);
    EXPECT_EQ(t->layer()->sublayers()[0], t->bottom());
    EXPECT_EQ(t->layer()->sublayers()[1], t->top());

    // Made with no size and sized later, it still fills its view once laid out.
    t->setFrame({10, 20, 200, 100});
    t->layoutIfNeeded();
    for (const auto& layer : {t->top(), t->bottom()}) {
        EXPECT_EQ(layer->bounds(), (gfx::Rect{0, 0, 200, 100}));
        EXPECT_EQ(layer->position(), (gfx::Point{100, 50}));
        EXPECT_TRUE(layer->animationKeys().empty());
    }
}

TEST_F(FloatTransition, BeginAndUpdatePosesWithoutImplicitAnimation) {
    auto forward = make(XQViewTransitionDirectionForward);
    EXPECT_EQ(forward->top()->contents(), from);
    EXPECT_EQ(forward->bottom()->contents(), to);
    expectPose(model(forward->top()), 1, 1);
    expectPose(model(forward->bottom()), 0.6, 0);
    EXPECT_TRUE(forward->backgroundColor().has_value());
    forward->updateTransition(0.5);
    expectPose(model(forward->top()), 1.4, 0.5);
    expectPose(model(forward->bottom()), 0.8, 0.5);
    // Shown at once: no implicit animation trails behind the pinch.
    expectPose(shown(forward->top()), 1.4, 0.5);
    EXPECT_TRUE(forward->top()->animationKeys().empty());
    EXPECT_TRUE(forward->bottom()->animationKeys().empty());

    auto backward = make(XQViewTransitionDirectionBackward);
    expectPose(model(backward->top()), 1, 1);
    expectPose(model(backward->bottom()), 1.8, 0);
    backward->updateTransition(0.5);
    expectPose(model(backward->top()), 0.8, 0.5);
    expectPose(model(backward->bottom()), 1.4, 0.5);
    // Not clamped.
    backward->updateTransition(1.5);
    expectPose(model(backward->top()), 0.4, -0.5);
    expectPose(model(backward->bottom()), 0.6, 1.5);
    EXPECT_TRUE(backward->top()->animationKeys().empty());
}

TEST_F(FloatTransition, PlayAnimatesLinearlyFromTheModelAndReportsAfterTheDuration) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    // The model is at the end pose at once.
    expectPose(model(t->top()), 1.8, 0);
    expectPose(model(t->bottom()), 1, 1);
    EXPECT_TRUE(gfx::isIdentity(t->bottom()->transform()));

    const auto a1 = t->top()->animationForKey("a1");
    const auto a2 = t->top()->animationForKey("a2");
    const auto a3 = t->bottom()->animationForKey("a3");
    const auto a4 = t->bottom()->animationForKey("a4");
    ASSERT_TRUE(a1 && a2 && a3 && a4);
    // Only the bottom layer's transform animation carries the report.
    EXPECT_EQ(a1->delegate(), nullptr);
    EXPECT_EQ(a2->delegate(), nullptr);
    EXPECT_EQ(a3->delegate(), nullptr);
    EXPECT_NE(a4->delegate(), nullptr);
    EXPECT_DOUBLE_EQ(a4->duration(), 0.4);
    EXPECT_FALSE(a4->timingFunction().has_value());
    const auto* fade = dynamic_cast<const ui::BasicAnimation*>(a2.get());
    ASSERT_NE(fade, nullptr);
    EXPECT_EQ(fade->fromValue(), ui::LayerValue(1.0));
    EXPECT_EQ(fade->toValue(), ui::LayerValue(0.0));

    step(0.1);
    expectPose(shown(t->top()), 1.2, 0.75, 1e-6);
    expectPose(shown(t->bottom()), 0.7, 0.25, 1e-6);
    step(0.1);
    expectPose(shown(t->top()), 1.4, 0.5, 1e-6);
    expectPose(shown(t->bottom()), 0.8, 0.5, 1e-6);
    expectReportAfter(*delegate, 0.2, false);
    EXPECT_EQ(delegate->reports[0].transition, t.get());
    expectPose(shown(t->top()), 1.8, 0);
}

TEST_F(FloatTransition, FinishStartsFromTheInteractivePose) {
    auto t = make(XQViewTransitionDirectionBackward);
    t->updateTransition(0.5);
    t->finishTransition();
    const auto* grow = dynamic_cast<const ui::BasicAnimation*>(t->top()->animationForKey("a1").get());
    ASSERT_NE(grow, nullptr);
    ASSERT_TRUE(std::holds_alternative<gfx::Transform3D>(grow->fromValue()));
    EXPECT_NEAR(scaleOf(std::get<gfx::Transform3D>(grow->fromValue())), 0.8, 1e-12);
    step(0.1);
    expectPose(shown(t->top()), 0.7, 0.25, 1e-6);
    expectPose(shown(t->bottom()), 1.2, 0.75, 1e-6);
    step(0.101);
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_FALSE(delegate->reports[0].canceled);
}

TEST_F(FloatTransition, CancelReturnsToTheStartAndReportsCanceled) {
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.3);
    t->updateTransition(0.6);
    t->cancelTransition();
    EXPECT_TRUE(t->isCanceled());
    expectPose(model(t->top()), 1, 1);
    expectPose(model(t->bottom()), 0.6, 0);
    EXPECT_NE(t->bottom()->animationForKey("a4")->delegate(), nullptr);
    // Back from the pose shown (scale 1.48, opacity 0.4), linearly over half the duration.
    step(0.1);
    expectPose(shown(t->top()), 1.24, 0.7, 1e-6);
    expectPose(shown(t->bottom()), 0.72, 0.3, 1e-6);
    expectReportAfter(*delegate, 0.1, true);

    // Begin clears the flag: the next play reports NO.
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_FALSE(t->isCanceled());
    t->transitionWithAnimation();
    expectReportAfter(*delegate, 0.4, false);
}

TEST_F(FloatTransition, TheLastEndingAnimationStartedDecidesTheReportedOutcome) {
    // Cancelled, then finished before the cancel ended: it comes to rest on the end pose and
    // says so, once.
    auto t = make(XQViewTransitionDirectionForward);
    t->updateTransition(0.5);
    t->cancelTransition();
    step(0.05);
    t->finishTransition();
    EXPECT_FALSE(t->isCanceled());
    expectReportAfter(*delegate, 0.2, false);
    expectPose(model(t->bottom()), 1, 1);
    expectPose(model(t->top()), 1.8, 0);

    // And the other way round.
    delegate->reports.clear();
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->finishTransition();
    step(0.05);
    t->cancelTransition();
    expectReportAfter(*delegate, 0.2, true);
    expectPose(model(t->top()), 1, 1);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(FloatTransition, ReplacedAnimationsDoNotReportEarlyOrTwice) {
    auto t = make(XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    step(0.1);
    // The calendar may finish a transition that already plays, twice: each "a4" replaces
    // the last and stops it, but only the last one's end is the end of the transition.
    t->finishTransition();
    t->finishTransition();
    expectReportAfter(*delegate, 0.2, false);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(FloatTransition, EmptyImagesAndZeroSizeStillAnimateAndReport) {
    auto t = XQViewTransitionFloat::make(gfx::Rect{});
    t->setDelegate(delegate);
    t->beginTransitionFrom(nullptr, solidImage({0, 0}, kRed), XQViewTransitionDirectionBackward);
    EXPECT_EQ(t->top()->contents(), nullptr);
    EXPECT_EQ(t->bottom()->contents(), nullptr);
    t->transitionWithAnimation();
    step(0.41);
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_FALSE(delegate->reports[0].canceled);
}

TEST_F(FloatTransition, NeitherTheAnimationNorTheReportKeepsAnythingAlive) {
    std::weak_ptr<XQViewTransitionFloat> weakPlayed, weakDropped;
    {
        auto played = make(XQViewTransitionDirectionForward);
        weakPlayed = played;
        played->transitionWithAnimation();
        step(0.41);
        ASSERT_EQ(delegate->reports.size(), 1u);
        EXPECT_EQ(delegate.use_count(), 1) << "the transition let go of its delegate";

        // Dropped while its animations run: freed at once, and it never reports.
        auto dropped = make(XQViewTransitionDirectionBackward);
        weakDropped = dropped;
        dropped->transitionWithAnimation();
        step(0.1);
    }
    EXPECT_TRUE(weakPlayed.expired());
    EXPECT_TRUE(weakDropped.expired());
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(FloatTransition, CompositedFramesCrossFadeTheScaledPages) {
    auto root = ui::View::make(kFrame);
    auto t = make(XQViewTransitionDirectionForward);
    root->addSubview(t);
    t->updateTransition(0.5);
    ui::Compositor compositor;
    compositor.renderFrame(*root->layer(), kFrame.size, 1);
    auto at = [&](int x, int y) { return pixel8(compositor.image(), x, y); };
    // In the middle both pages show at half opacity over the white background; near the
    // corner only the grown from page does (the to page is at 0.8 of the size).
    EXPECT_TRUE(near(at(160, 240), (Pixel8{191, 64, 128, 255}), 3)) << at(160, 240);
    EXPECT_TRUE(near(at(4, 4), (Pixel8{255, 128, 128, 255}), 3)) << at(4, 4);

    // Mid-play the screen shows the presentation, not the model's end pose.
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    step(0.2);
    compositor.renderFrame(*root->layer(), kFrame.size, 1);
    EXPECT_TRUE(near(at(160, 240), (Pixel8{191, 64, 128, 255}), 3)) << at(160, 240);
    EXPECT_TRUE(near(at(4, 4), (Pixel8{255, 128, 128, 255}), 3)) << at(4, 4);
}
