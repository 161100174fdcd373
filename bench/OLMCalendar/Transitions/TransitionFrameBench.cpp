// One frame of a running full-screen transition at the size of a phone screen (390 x 844
// points at scale 3, 1170 x 2532 pixels): the compositor draws the snapshot pages at their
// (presentation) poses. Transitions never redraw while they run, so the frame is pure
// compositing of images: slid (scroll), scaled and faded (float), turned and faded (rotate,
// card), or turned in perspective with shading (flip, fold).

#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"

#include "../../PixelKernelCap.h"
#include "bench/FrameTiming.h"

#include <benchmark/benchmark.h>

namespace {

constexpr gfx::Size kScreen{390, 844};
constexpr double kScale = 3;

// A full-screen snapshot: a striped page, so that the pages are real images at full size.
gfx::ImageRef page(const gfx::Color& tint) {
    gfx::beginImageContext(kScreen, true, kScale);
    gfx::ImageRef image;
    if (gfx::GraphicsContext* c = gfx::currentContext()) {
        c->setFillColor(gfx::Color::white(1));
        c->fillRect({{0, 0}, kScreen});
        c->setFillColor(tint);
        for (double y = 0; y < kScreen.height; y += 40)
            c->fillRect({0, y, kScreen.width, 20});
        image = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    return image;
}

// Composites `root` once per iteration, after `nextFrame` and a sixtieth of a second have moved
// things on, and reports what the last frame drew. The compositor has drawn the screen before
// the transition began, as a window's has: its frame buffer is not new to the first frame.
template <class NextFrame>
void compositeFrames(benchmark::State& state, ui::Compositor& compositor, ui::View& root, NextFrame&& nextFrame) {
    bench::timeFrames(state, [&] {
        nextFrame();
        ui::MediaClock::advance(1.0 / 60);
        ui::advanceAnimations();
        compositor.renderFrame(*root.layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    });
    const ui::CompositorStatistics& stats = compositor.statistics();
    state.counters["damaged"] = stats.damagedPixels;
    state.counters["layers"] = static_cast<double>(stats.layersDrawn);
    state.counters["groups"] = static_cast<double>(stats.groups);
    state.counters["flattened"] = static_cast<double>(stats.flattened);
    state.counters["projected"] = static_cast<double>(stats.projected);
}

// Plays `transition` over a screen-sized root and composites frames while it runs. The
// transition is made long enough never to end; the clock steps back and forth by what a
// sixtieth of a second is in a transition of 0.35 s, so every frame shows a new pose. The
// argument "avx2" caps the pixel loops at AVX2 (1) or not (0).
void compositeRunningTransition(benchmark::State& state,
                                const std::shared_ptr<XQViewTransition>& transition) {
    const PixelKernelCap cap(state.range(0) != 0);
    ui::MediaClock::setTime(1000);
    auto root = ui::View::make({{0, 0}, kScreen});
    root->addSubview(transition);
    transition->setTransitionDuration(1e6);
    root->layoutIfNeeded();
    ui::advanceAnimations();
    ui::Compositor compositor;
    compositor.renderFrame(*root->layer(), kScreen, kScale);
    transition->beginTransitionFrom(page(gfx::Color::rgba(0.2, 0.4, 0.9)),
                                    page(gfx::Color::rgba(0.9, 0.5, 0.1)), XQViewTransitionDirectionForward);
    transition->transitionWithAnimation();
    ui::MediaClock::advance(3e5); // about a third of the way
    ui::advanceAnimations();
    const double third = ui::currentMediaTime(), step = 1e6 / 0.35 / 60;
    bool odd = false;
    compositeFrames(state, compositor, *root, [&] {
        ui::MediaClock::setTime(third + (odd ? step : 0));
        odd = !odd;
    });
    root.reset();
    fnd::mainQueue().drain();
}

void BM_ScrollTransitionFrame(benchmark::State& state) {
    compositeRunningTransition(state, XQViewTransitionScroll::make({{0, 0}, kScreen}));
}
BENCHMARK(BM_ScrollTransitionFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

void BM_FloatTransitionFrame(benchmark::State& state) {
    compositeRunningTransition(state, XQViewTransitionFloat::make({{0, 0}, kScreen}));
}
BENCHMARK(BM_FloatTransitionFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// One frame of a transition held at `progress` as a swipe holds it: reached by updates in
// steps of 0.05 from 0 (the fold's first update is its zero), then, frame after frame, the
// finger moves by a hair and the compositor draws the pose. Updates here take effect at once
// (the flip's would otherwise trail behind as implicit animations). The argument "avx2" of
// each benchmark caps the pixel loops at AVX2 (1) or not (0).
void compositeDrivenTransition(benchmark::State& state, const std::shared_ptr<XQViewTransition>& transition,
                               XQViewTransitionOrientation orientation, double progress, bool avx2) {
    const PixelKernelCap cap(avx2);
    ui::MediaClock::setTime(1000);
    auto root = ui::View::make({{0, 0}, kScreen});
    root->setBackgroundColor(gfx::Color::white(1));
    transition->setOrientation(orientation);
    root->addSubview(transition);
    root->layoutIfNeeded();
    ui::advanceAnimations();
    ui::Compositor compositor;
    compositor.renderFrame(*root->layer(), kScreen, kScale);
    transition->beginTransitionFrom(page(gfx::Color::rgba(0.2, 0.4, 0.9)),
                                    page(gfx::Color::rgba(0.9, 0.5, 0.1)), XQViewTransitionDirectionForward);
    auto update = [&](double p) {
        ui::Transaction::begin();
        ui::Transaction::setDisableActions(true);
        transition->updateTransition(p);
        ui::Transaction::commit();
    };
    for (int step = 0; step * 0.05 < progress - 1e-9; ++step)
        update(step * 0.05);
    bool odd = false;
    compositeFrames(state, compositor, *root, [&] {
        update(progress + (odd ? 0.001 : 0));
        odd = !odd;
    });
    root.reset();
    fnd::mainQueue().drain();
}

const gfx::Rect kScreenFrame{{0, 0}, kScreen};

void BM_RotateTransitionFrame(benchmark::State& state) {
    compositeDrivenTransition(state, XQViewTransitionRotate::make(kScreenFrame), 0, 0.5, state.range(0) != 0);
}
BENCHMARK(BM_RotateTransitionFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

void BM_CardTransitionFrame(benchmark::State& state) {
    compositeDrivenTransition(state, XQViewTransitionCard::make(kScreenFrame), 0, 0.5, state.range(0) != 0);
}
BENCHMARK(BM_CardTransitionFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// Arguments: orientation (0 horizontal, 1 vertical), progress in percent.
void BM_FlipTransitionFrame(benchmark::State& state) {
    compositeDrivenTransition(state, XQViewTransitionFlip::make(kScreenFrame), state.range(0),
                              static_cast<double>(state.range(1)) / 100, state.range(2) != 0);
}
BENCHMARK(BM_FlipTransitionFrame)
    ->ArgsProduct({{0, 1}, {25, 50, 75}, {0, 1}})
    ->ArgNames({"vertical", "percent", "avx2"})
    ->Unit(benchmark::kMillisecond);

void BM_FoldTransitionFrame(benchmark::State& state) {
    compositeDrivenTransition(state, XQViewTransitionFold::make(kScreenFrame), state.range(0), 0.5,
                              state.range(1) != 0);
}
BENCHMARK(BM_FoldTransitionFrame)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"vertical", "avx2"})
    ->Unit(benchmark::kMillisecond);

} // namespace
