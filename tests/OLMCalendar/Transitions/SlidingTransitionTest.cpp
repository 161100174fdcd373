#include "TransitionTestSupport.h"

#include "OLMCalendar/Transitions/XQViewTransitionFlow.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/Compositor.h"

using namespace transitions::test;

namespace {

constexpr gfx::Rect kFrame{0, 0, 320, 480};

gfx::Point origin(const std::shared_ptr<ui::View>& page) {
    return page->frame().origin;
}

// Where the page is on screen now (its animations applied).
gfx::Point shownOrigin(const std::shared_ptr<ui::View>& page) {
    const ui::LayerState s = page->layer()->presentationState();
    return {s.position.x - s.bounds.size.width * s.anchorPoint.x,
            s.position.y - s.bounds.size.height * s.anchorPoint.y};
}

void expectOrigin(gfx::Point actual, gfx::Point expected, double eps = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
}

class SlidingTransition : public TransitionClockTest {
protected:
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
    gfx::ImageRef from = solidImage({320, 480}, kRed);
    gfx::ImageRef to = solidImage({320, 480}, kBlue);

    template <class T>
    std::shared_ptr<T> make(XQViewTransitionOrientation orientation = XQViewTransitionOrientationHorizontal) {
        auto t = T::make(kFrame);
        t->setOrientation(orientation);
        t->setDelegate(delegate);
        return t;
    }
};

} // namespace

TEST_F(SlidingTransition, ScrollForwardHorizontalPosesAndFinish) {
    auto t = make<XQViewTransitionScroll>();
    EXPECT_TRUE(t->clipsToBounds());
    ASSERT_EQ(t->subviews().size(), 2u);
    EXPECT_EQ(t->subviews()[1], t->second()) << "second lies above first";

    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_EQ(t->first()->layer()->contents(), from);
    EXPECT_EQ(t->second()->layer()->contents(), to);
    EXPECT_EQ(t->first()->frame(), kFrame);
    EXPECT_EQ(t->second()->frame(), (gfx::Rect{320, 0, 320, 480}));

    t->updateTransition(0.25);
    expectOrigin(origin(t->first()), {-80, 0});
    expectOrigin(origin(t->second()), {240, 0});
    EXPECT_EQ(t->second()->frame().size, kFrame.size);

    t->finishTransition();
    // The model is at the end pose at once; the screen gets there over half the duration,
    // on the ease-in-ease-out curve (half way in time is half way in distance).
    expectOrigin(origin(t->first()), {-320, 0});
    expectOrigin(origin(t->second()), {0, 0});
    expectOrigin(shownOrigin(t->first()), {-80, 0}, 1e-6);
    step(0.1);
    expectOrigin(shownOrigin(t->first()), {-200, 0}, 0.5);
    expectOrigin(shownOrigin(t->second()), {120, 0}, 0.5);
    expectReportAfter(*delegate, 0.1, false);
    EXPECT_EQ(delegate->reports[0].transition, t.get());
    expectOrigin(shownOrigin(t->first()), {-320, 0}, 1e-9);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(SlidingTransition, ScrollBackwardVerticalSwapsRolesAndCancelsBack) {
    auto t = make<XQViewTransitionScroll>(XQViewTransitionOrientationVertical);
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionBackward);
    // Going backward the leading page shows the to image and comes down from above.
    EXPECT_EQ(t->first()->layer()->contents(), to);
    EXPECT_EQ(t->second()->layer()->contents(), from);
    expectOrigin(origin(t->first()), {0, -480});
    expectOrigin(origin(t->second()), {0, 0});

    t->updateTransition(0.5);
    expectOrigin(origin(t->first()), {0, -240});
    expectOrigin(origin(t->second()), {0, 240});

    t->cancelTransition();
    expectOrigin(origin(t->first()), {0, -480});
    expectOrigin(origin(t->second()), {0, 0});
    expectReportAfter(*delegate, 0.2, true);
}

TEST_F(SlidingTransition, ProgressIsNotClampedAndFinishComesBack) {
    auto t = make<XQViewTransitionScroll>();
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->updateTransition(1.2);
    expectOrigin(origin(t->first()), {-384, 0});
    expectOrigin(origin(t->second()), {-64, 0});
    t->updateTransition(-0.5);
    expectOrigin(origin(t->second()), {480, 0});
    t->finishTransition();
    step(0.25);
    expectOrigin(shownOrigin(t->first()), {-320, 0});
    expectOrigin(shownOrigin(t->second()), {0, 0});
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_FALSE(delegate->reports[0].canceled);
}

TEST_F(SlidingTransition, PlayTakesTheWholeDurationAndBackgroundsDiffer) {
    gfx::test::ScopedGraphicsSettings settings;
    for (bool systemColors : {true, false}) {
        gfx::setSystemColorsAvailable(systemColors);
        delegate->reports.clear();
        auto scroll = make<XQViewTransitionScroll>();
        scroll->setTransitionDuration(0.35);
        scroll->beginTransitionFrom(from, to, XQViewTransitionDirectionBackward);
        ASSERT_TRUE(scroll->backgroundColor().has_value());
        EXPECT_EQ(*scroll->backgroundColor(),
                  systemColors ? gfx::systemColors::systemBackground() : gfx::colors::white());
        scroll->transitionWithAnimation();
        expectOrigin(origin(scroll->first()), {0, 0});
        expectOrigin(origin(scroll->second()), {320, 0});
        expectReportAfter(*delegate, 0.35, false);
    }
    auto flow = make<XQViewTransitionFlow>();
    flow->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    EXPECT_FALSE(flow->backgroundColor().has_value());
}

TEST_F(SlidingTransition, FlowSlidesByHeightLessOffsetWithTheIncomingPageInFront) {
    for (XQViewTransitionOrientation orientation : {0L, 1L, 7L}) {
        SCOPED_TRACE(orientation);
        auto full = make<XQViewTransitionFlow>(orientation);
        full->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
        expectOrigin(origin(full->second()), {0, 480});

        auto forward = make<XQViewTransitionFlow>(orientation);
        forward->setOffset(100);
        forward->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
        expectOrigin(origin(forward->first()), {0, 0});
        expectOrigin(origin(forward->second()), {0, 380});
        EXPECT_EQ(forward->subviews().back(), forward->second());
        forward->updateTransition(0.5);
        expectOrigin(origin(forward->first()), {0, -190});
        expectOrigin(origin(forward->second()), {0, 190});

        auto backward = make<XQViewTransitionFlow>(orientation);
        backward->setOffset(100);
        backward->beginTransitionFrom(from, to, XQViewTransitionDirectionBackward);
        EXPECT_EQ(backward->first()->layer()->contents(), to);
        expectOrigin(origin(backward->first()), {0, -380});
        expectOrigin(origin(backward->second()), {0, 0});
        EXPECT_EQ(backward->subviews().back(), backward->first());
        backward->updateTransition(0.25);
        expectOrigin(origin(backward->first()), {0, -285});
        expectOrigin(origin(backward->second()), {0, 95});
        // The end pose is a slide of 380 points.
        backward->transitionWithAnimation();
        expectOrigin(origin(backward->first()), {0, 0});
        expectOrigin(origin(backward->second()), {0, 380});
    }
    step(0.5);
}

TEST_F(SlidingTransition, FlowCancelAndPlayReportTheirFlags) {
    auto t = make<XQViewTransitionFlow>();
    t->setOffset(100);
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->updateTransition(0.6);
    t->cancelTransition();
    expectOrigin(origin(t->second()), {0, 380});
    step(0.21);
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_TRUE(delegate->reports[0].canceled);
}

// --- Report faults: once per begin, whatever the animations do; no cycle with the delegate.

TEST_F(SlidingTransition, ReportsOnceFromTheLastEndingAnimation) {
    auto t = make<XQViewTransitionScroll>();
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    step(0.1);
    // A second ending (a driver finishing what is already playing) replaces the slide; the
    // replaced one's stop is not the end of the transition.
    t->finishTransition();
    step(0.01);
    EXPECT_TRUE(delegate->reports.empty());
    t->finishTransition();
    expectReportAfter(*delegate, 0.2, false);
    step(1);
    EXPECT_EQ(delegate->reports.size(), 1u);
}

TEST_F(SlidingTransition, ZeroSizedTransitionStillReports) {
    auto t = XQViewTransitionScroll::make(gfx::Rect{});
    t->setDelegate(delegate);
    t->beginTransitionFrom(nullptr, solidImage({0, 0}, kRed), XQViewTransitionDirectionForward);
    EXPECT_EQ(t->first()->layer()->contents(), nullptr);
    t->updateTransition(0.5);
    t->transitionWithAnimation();
    step(0.41);
    ASSERT_EQ(delegate->reports.size(), 1u);
    EXPECT_FALSE(delegate->reports[0].canceled);
}

TEST_F(SlidingTransition, DelegateIsReleasedAfterTheReportAndDroppedTransitionsAreFreed) {
    std::weak_ptr<RecordingDelegate> weakDelegate;
    std::weak_ptr<XQViewTransitionScroll> weakTransition;
    {
        auto owner = ui::View::make(kFrame);
        auto delegate = std::make_shared<RecordingDelegate>();
        weakDelegate = delegate;
        auto t = XQViewTransitionScroll::make(kFrame);
        weakTransition = t;
        t->setDelegate(delegate);
        owner->addSubview(t);
        t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
        t->transitionWithAnimation();
        step(0.41);
        EXPECT_EQ(delegate->reports.size(), 1u);
        // Only the test holds the delegate now: the transition let go of it.
        EXPECT_EQ(delegate.use_count(), 1);

        // A transition dropped in the middle of its slide goes away at once.
        auto dropped = XQViewTransitionScroll::make(kFrame);
        dropped->setDelegate(delegate);
        owner->addSubview(dropped);
        dropped->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
        dropped->transitionWithAnimation();
        step(0.1);
        std::weak_ptr<XQViewTransitionScroll> weakDropped = dropped;
        dropped->removeFromSuperview();
        dropped.reset();
        EXPECT_TRUE(weakDropped.expired());
        step(1);
        EXPECT_EQ(delegate->reports.size(), 1u);
    }
    EXPECT_TRUE(weakDelegate.expired());
    EXPECT_TRUE(weakTransition.expired());
}

TEST_F(SlidingTransition, CompositedFramesShowBothPagesAtTheSlidePosition) {
    auto root = ui::View::make(kFrame);
    auto t = make<XQViewTransitionScroll>();
    root->addSubview(t);
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->updateTransition(0.25);
    ui::Compositor compositor;
    compositor.renderFrame(*root->layer(), kFrame.size, 1);
    auto at = [&](int x, int y) { return pixel8(compositor.image(), x, y); };
    EXPECT_TRUE(near(at(10, 10), kRed));
    EXPECT_TRUE(near(at(238, 470), kRed));
    EXPECT_TRUE(near(at(242, 10), kBlue));
    EXPECT_TRUE(near(at(319, 479), kBlue));

    // Half way through the played slide (ease-in-ease-out: half the distance) the seam is at
    // x 160, although the model already shows the end pose.
    t->beginTransitionFrom(from, to, XQViewTransitionDirectionForward);
    t->transitionWithAnimation();
    step(0.2);
    compositor.renderFrame(*root->layer(), kFrame.size, 1);
    EXPECT_TRUE(near(at(155, 240), kRed));
    EXPECT_TRUE(near(at(165, 240), kBlue));
}
