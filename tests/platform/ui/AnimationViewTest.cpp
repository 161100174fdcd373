#include "AnimationTestSupport.h"

#include "platform/ui/TimingFunction.h"
#include "platform/ui/View.h"

#include <cmath>
#include <numbers>

namespace ui {
namespace {

using test::AnimationFixture;

using ViewAnimationBlock = AnimationFixture;

// Counts its completions and remembers the last `finished`.
struct Completions {
    int count = 0;
    std::vector<bool> finished;
    ViewAnimationCompletion callback() {
        return [this](bool f) {
            ++count;
            finished.push_back(f);
        };
    }
};

gfx::Rect presentationFrame(const View& view) {
    const LayerState s = view.layer()->presentationState();
    return {s.position.x - s.anchorPoint.x * s.bounds.size.width,
            s.position.y - s.anchorPoint.y * s.bounds.size.height, s.bounds.size.width, s.bounds.size.height};
}

TEST_F(ViewAnimationBlock, ModelChangesAtOncePresentationFollowsTheCurve) {
    auto view = View::make({0, 0, 100, 100});
    Completions done;
    View::animateWithDuration(
        0.5,
        [&] {
            view->setFrame({100, 50, 200, 100});
            view->setAlpha(0);
        },
        done.callback());
    EXPECT_EQ(view->frame(), (gfx::Rect{100, 50, 200, 100}));
    EXPECT_EQ(view->alpha(), 0);
    EXPECT_EQ(presentationFrame(*view), (gfx::Rect{0, 0, 100, 100}));

    frame(0.125);
    const double p = TimingFunction::easeInEaseOut().evaluate(0.25);
    EXPECT_NEAR(view->layer()->presentationState().opacity, 1 - p, 1e-9);
    const gfx::Rect f = presentationFrame(*view);
    EXPECT_NEAR(f.origin.x, 100 * p, 1e-9);
    EXPECT_NEAR(f.size.width, 100 + 100 * p, 1e-9);
    frame(0.25);
    EXPECT_EQ(done.count, 0);
    frame(0.125);
    EXPECT_EQ(done.finished, (std::vector<bool>{true}));
    EXPECT_EQ(presentationFrame(*view), view->frame());
    frame(1);
    EXPECT_EQ(done.count, 1);

    // Outside a block a view's changes take effect at once, and the curve bits choose the
    // pace.
    view->setAlpha(1);
    EXPECT_TRUE(view->layer()->animationKeys().empty());
    View::animateWithDuration(
        1, 0, ViewAnimationOptionCurveEaseIn,
        [&] {
            view->setCenter({0, 0});
        },
        nullptr);
    frame(0.5);
    const double q = TimingFunction::easeIn().evaluate(0.5);
    EXPECT_NEAR(view->layer()->presentationState().position.x, 200 * (1 - q), 1e-9);
}

TEST_F(ViewAnimationBlock, TransformsAndTheBackingLayersOwnPropertiesAnimateToo) {
    auto view = View::make({0, 0, 100, 50});
    View::animateWithDuration(
        1, 0, ViewAnimationOptionCurveLinear,
        [&] {
            view->setTransform(gfx::AffineTransform::makeRotation(std::numbers::pi / 2));
            view->layer()->setBounds({0, 0, 200, 50});
            view->layer()->setOpacity(0.5);
            view->setHidden(true); // does not blend: shown at once
        },
        nullptr);
    EXPECT_EQ(view->layer()->animationKeys(), (std::vector<std::string>{"transform", "bounds", "opacity"}));

    MediaClock::setTime(kStart + 0.5);
    const LayerState s = view->layer()->presentationState();
    // Half-way through a quarter turn the view stands at 45° at its full size (a blend of
    // the two matrices would shrink it to 0.71 of it).
    EXPECT_NEAR(s.transform.m11, std::cos(std::numbers::pi / 4), 1e-9);
    EXPECT_NEAR(s.transform.m12, std::sin(std::numbers::pi / 4), 1e-9);
    EXPECT_NEAR(s.bounds.size.width, 150, 1e-9);
    EXPECT_NEAR(s.opacity, 0.75, 1e-9);
    EXPECT_TRUE(s.hidden);
}

TEST_F(ViewAnimationBlock, CompletionRunsOnceWhateverHappens) {
    auto view = View::make({0, 0, 10, 10});
    Completions nothing, replaced, replacing, removed, instant;

    // Nothing changed (or set back to where it was): at the next tick, finished.
    View::animateWithDuration(
        1,
        [&] {
            view->setAlpha(0.5);
            view->setAlpha(1);
        },
        nothing.callback());
    fnd::mainQueue().drain();
    EXPECT_EQ(nothing.count, 0);
    frame();
    EXPECT_EQ(nothing.finished, (std::vector<bool>{true}));

    // A later block animating the same property replaces the animation: finished NO.
    View::animateWithDuration(
        1, [&] { view->setAlpha(0); }, replaced.callback());
    frame(0.25);
    View::animateWithDuration(
        1, [&] { view->setAlpha(1); }, replacing.callback());
    frame();
    EXPECT_EQ(replaced.finished, (std::vector<bool>{false}));
    EXPECT_EQ(replacing.count, 0);
    frame(1);
    EXPECT_EQ(replacing.finished, (std::vector<bool>{true}));

    // Removed: NO, once, although the block animated two properties.
    View::animateWithDuration(
        1,
        [&] {
            view->setCenter({50, 50});
            view->setBackgroundColor(gfx::Color::rgba(1, 0, 0));
        },
        removed.callback());
    EXPECT_EQ(view->layer()->animationKeys(), (std::vector<std::string>{"position", "backgroundColor"}));
    view->layer()->removeAllAnimations();
    frame(2);
    EXPECT_EQ(removed.finished, (std::vector<bool>{false}));

    // No duration: no animation, completion at the next tick.
    View::animateWithDuration(
        0, [&] { view->setAlpha(0.3); }, instant.callback());
    EXPECT_TRUE(view->layer()->animationKeys().empty());
    EXPECT_EQ(view->layer()->presentationState().opacity, 0.3);
    frame();
    EXPECT_EQ(instant.finished, (std::vector<bool>{true}));
    EXPECT_FALSE(AnimationEngine::hasRunningAnimations());
}

TEST_F(ViewAnimationBlock, NestedBlocksInheritDurationAndKeepTheirOwnCompletions) {
    auto outerView = View::make({0, 0, 10, 10});
    auto innerView = View::make({0, 0, 10, 10});
    Completions outer, inner, overriding;
    View::animateWithDuration(
        1, 0, ViewAnimationOptionCurveLinear,
        [&] {
            outerView->setAlpha(0);
            View::animateWithDuration(
                0.25, [&] { innerView->setAlpha(0); }, inner.callback());
            View::animateWithDuration(
                0.25, 0, ViewAnimationOptionOverrideInheritedDuration,
                [&] {
                    innerView->setCenter({40, 0});
                },
                overriding.callback());
        },
        outer.callback());
    frame(0.5);
    // Inherited: 1 s and the outer block's linear curve.
    EXPECT_NEAR(innerView->layer()->presentationState().opacity, 0.5, 1e-12);
    EXPECT_NEAR(outerView->layer()->presentationState().opacity, 0.5, 1e-12);
    EXPECT_EQ(overriding.finished, (std::vector<bool>{true}));
    EXPECT_EQ(inner.count + outer.count, 0);
    frame(0.5);
    EXPECT_EQ(inner.finished, (std::vector<bool>{true}));
    EXPECT_EQ(outer.finished, (std::vector<bool>{true}));
}

TEST_F(ViewAnimationBlock, DelayHoldsTheOldValueAndCurrentStateStartsFromTheScreen) {
    auto view = View::make({0, 0, 10, 10});
    View::animateWithDuration(
        0.5, 0.25, 0, [&] { view->setAlpha(0); }, nullptr);
    frame(0.125);
    EXPECT_EQ(view->layer()->presentationState().opacity, 1);
    frame(0.375);
    EXPECT_NEAR(view->layer()->presentationState().opacity, 0.5, 1e-12);

    // Mid-flight, a block that begins from the current state starts where the screen is; one
    // that does not starts from the old model value.
    View::animateWithDuration(
        1, 0, ViewAnimationOptionBeginFromCurrentState | ViewAnimationOptionCurveLinear,
        [&] { view->setAlpha(1); }, nullptr);
    EXPECT_NEAR(view->layer()->presentationState().opacity, 0.5, 1e-12);
    frame(0.5);
    EXPECT_NEAR(view->layer()->presentationState().opacity, 0.75, 1e-12);
    View::animateWithDuration(
        1, 0, ViewAnimationOptionCurveLinear, [&] { view->setAlpha(0); }, nullptr);
    EXPECT_EQ(view->layer()->presentationState().opacity, 1);
}

TEST_F(ViewAnimationBlock, SpringSettlesAtItsDurationWithAlphaClamped) {
    auto view = View::make({0, 0, 10, 10});
    view->setAlpha(0);
    Completions done;
    View::animateWithDuration(
        0.5, 0, 0.3, 2, 0,
        [&] {
            view->setAlpha(1);
            view->setCenter({105, 5});
        },
        done.callback());
    double peak = 0;
    for (int i = 1; i < 50; ++i) {
        MediaClock::setTime(kStart + i * 0.01);
        const LayerState s = view->layer()->presentationState();
        EXPECT_LE(s.opacity, 1);
        EXPECT_GE(s.opacity, 0);
        peak = std::max(peak, s.position.x);
    }
    EXPECT_GT(peak, 110);
    EXPECT_EQ(done.count, 0);
    MediaClock::setTime(kStart + 0.5);
    frame();
    EXPECT_EQ(done.finished, (std::vector<bool>{true}));
    EXPECT_EQ(view->layer()->presentationState().position.x, 105);
}

TEST_F(ViewAnimationBlock, KeyframesRunTheirWindowsAndLaterOverlapsTakeOver) {
    auto view = View::make({0, 0, 10, 10}); // center (5, 5)
    Completions done;
    View::animateKeyframesWithDuration(
        1, 0, ViewAnimationOptionCurveLinear,
        [&] {
            View::addKeyframeWithRelativeStartTime(0, 0.5, [&] { view->setCenter({105, 5}); });
            View::addKeyframeWithRelativeStartTime(0.25, 0.5, [&] { view->setCenter({5, 5}); });
            View::addKeyframeWithRelativeStartTime(0.5, 0.25, [&] { view->setAlpha(0); });
        },
        done.callback());
    EXPECT_EQ(view->center(), (gfx::Point{5, 5}));
    EXPECT_EQ(view->alpha(), 0);
    // The second keyframe takes the centre over at 0.25 from where the first had got (55).
    const auto xAt = [&](double t) {
        MediaClock::setTime(kStart + t);
        return view->layer()->presentationState().position.x;
    };
    EXPECT_NEAR(xAt(0.125), 30, 1e-9);
    EXPECT_NEAR(xAt(0.25), 55, 1e-9);
    EXPECT_NEAR(xAt(0.5), 30, 1e-9);
    EXPECT_NEAR(xAt(0.9), 5, 1e-9);
    MediaClock::setTime(kStart + 0.5);
    EXPECT_EQ(view->layer()->presentationState().opacity, 1);
    MediaClock::setTime(kStart + 0.625);
    EXPECT_NEAR(view->layer()->presentationState().opacity, 0.5, 1e-9);
    frame(0.375);
    EXPECT_EQ(done.finished, (std::vector<bool>{true}));

    // Cubic calculation, the card transition's phases: each window still ends on its value
    // and a property holds between its windows.
    auto card = View::make({0, 0, 10, 10});
    const double start = currentMediaTime();
    View::animateKeyframesWithDuration(
        1, 0, ViewKeyframeAnimationOptionCalculationModeCubic | ViewAnimationOptionCurveLinear,
        [&] {
            View::addKeyframeWithRelativeStartTime(0, 0.33, [&] { card->setAlpha(0.6); });
            View::addKeyframeWithRelativeStartTime(0.6, 0.33, [&] { card->setAlpha(0); });
        },
        nullptr);
    const auto alphaAt = [&](double t) {
        MediaClock::setTime(start + t);
        return card->layer()->presentationState().opacity;
    };
    EXPECT_NEAR(alphaAt(0.33), 0.6, 1e-9);
    EXPECT_NEAR(alphaAt(0.45), 0.6, 1e-9);
    EXPECT_NEAR(alphaAt(0.93), 0, 1e-9);
    EXPECT_GT(alphaAt(0.2), 0.6);
    EXPECT_LT(alphaAt(0.2), 1);
}

class LayingOutView : public View {
public:
    OLM_DECLARE_CLASS(LayingOutView)
    static std::shared_ptr<LayingOutView> make(gfx::Rect frame) { return rt::create<LayingOutView>(frame); }
    std::shared_ptr<View> child = View::make();
    void layoutSubviews() override { child->setFrame(bounds()); }

protected:
    LayingOutView() = default;
    void init(gfx::Rect frame) {
        View::init(frame);
        addSubview(child);
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(LayingOutView, View)

TEST_F(ViewAnimationBlock, LayoutSubviewsOptionAnimatesTheLayoutAndNoAnimationOptOuts) {
    auto parent = LayingOutView::make({0, 0, 100, 100});
    parent->layoutIfNeeded();
    View::animateWithDuration(
        1, 0, ViewAnimationOptionLayoutSubviews | ViewAnimationOptionCurveLinear,
        [&] {
            parent->setBounds({0, 0, 200, 100});
        },
        nullptr);
    EXPECT_EQ(parent->child->frame(), (gfx::Rect{0, 0, 200, 100}));
    MediaClock::setTime(kStart + 0.5);
    EXPECT_NEAR(parent->child->layer()->presentationState().bounds.size.width, 150, 1e-9);

    // Without the option the layout happens later, outside the block: not animated.
    frame(1);
    ASSERT_EQ(parent->child->layer()->animationForKey("bounds"), nullptr);
    View::animateWithDuration(1, [&] { parent->setBounds({0, 0, 50, 100}); });
    parent->layoutIfNeeded();
    EXPECT_NE(parent->layer()->animationForKey("bounds"), nullptr);
    EXPECT_EQ(parent->child->layer()->animationForKey("bounds"), nullptr);

    std::shared_ptr<View> made;
    View::animateWithDuration(1, [&] {
        View::performWithoutAnimation([&] { parent->setAlpha(0.5); });
        EXPECT_TRUE(View::areAnimationsEnabled());
        made = View::make({10, 10, 20, 20}); // starts at its frame
    });
    EXPECT_EQ(parent->layer()->animationForKey("opacity"), nullptr);
    EXPECT_TRUE(made->layer()->animationKeys().empty());
}

// A layout inside the block changes views that had not changed before it; they join the
// block's list while it is walked, and their own layouts run inside the block too.
class RowsView : public View {
public:
    OLM_DECLARE_CLASS(RowsView)
    static std::shared_ptr<RowsView> make(gfx::Rect frame) { return rt::create<RowsView>(frame); }
    std::vector<std::shared_ptr<LayingOutView>> rows;
    void layoutSubviews() override {
        for (std::size_t i = 0; i < rows.size(); ++i)
            rows[i]->setFrame({0, 10.0 * static_cast<double>(i), bounds().size.width, 10});
    }

protected:
    RowsView() = default;
    void init(gfx::Rect frame) {
        View::init(frame);
        for (int i = 0; i < 64; ++i) {
            rows.push_back(LayingOutView::make({}));
            addSubview(rows.back());
        }
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(RowsView, View)

TEST_F(ViewAnimationBlock, LayoutsInsideTheBlockReachTheViewsTheyChange) {
    auto parent = RowsView::make({0, 0, 100, 640});
    parent->layoutIfNeeded();
    View::animateWithDuration(1, 0, ViewAnimationOptionLayoutSubviews | ViewAnimationOptionCurveLinear,
                              [&] { parent->setBounds({0, 0, 200, 640}); }, nullptr);
    MediaClock::setTime(kStart + 0.5);
    for (const auto& row : parent->rows)
        EXPECT_NEAR(row->child->layer()->presentationState().bounds.size.width, 150, 1e-9);
}

TEST_F(ViewAnimationBlock, AViewGoneMidAnimationCompletesWithNo) {
    auto view = View::make({0, 0, 10, 10});
    std::weak_ptr<View> weak = view;
    Completions done;
    View::animateWithDuration(
        1, [&] { view->setAlpha(0); }, done.callback());
    frame(0.25);
    view.reset();
    EXPECT_TRUE(weak.expired());
    frame(0.25);
    EXPECT_EQ(done.finished, (std::vector<bool>{false}));
    frame(1);
    EXPECT_EQ(done.count, 1);
}

} // namespace
} // namespace ui
