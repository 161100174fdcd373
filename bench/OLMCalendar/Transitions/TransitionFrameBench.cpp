// One frame of a running full-screen transition at the size of a phone screen (390 x 844
// points at scale 3, 1170 x 2532 pixels): the compositor draws the two snapshot pages at
// their animated (presentation) poses. Transitions never redraw while they run, so the
// frame is pure compositing of two images: slid (scroll), or scaled and faded (float).

#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/MediaClock.h"

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

// Plays `transition` over a screen-sized root and composites frames while it runs; each
// frame moves the clock on a little (the transition is made long enough never to end).
void compositeRunningTransition(benchmark::State& state,
                                const std::shared_ptr<XQViewTransition>& transition) {
    ui::MediaClock::setTime(1000);
    auto root = ui::View::make({{0, 0}, kScreen});
    root->addSubview(transition);
    transition->setTransitionDuration(1e6);
    root->layoutIfNeeded();
    ui::advanceAnimations();
    transition->beginTransitionFrom(page(gfx::Color::rgba(0.2, 0.4, 0.9)),
                                    page(gfx::Color::rgba(0.9, 0.5, 0.1)), XQViewTransitionDirectionForward);
    transition->transitionWithAnimation();
    ui::MediaClock::advance(3e5); // about a third of the way
    ui::advanceAnimations();
    ui::Compositor compositor;
    for (auto _ : state) {
        ui::MediaClock::advance(1.0 / 60);
        ui::advanceAnimations();
        compositor.renderFrame(*root->layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }
    const ui::CompositorStatistics& stats = compositor.statistics();
    state.counters["layers"] = static_cast<double>(stats.layersDrawn);
    state.counters["groups"] = static_cast<double>(stats.groups);
    state.counters["projected"] = static_cast<double>(stats.projected);
    root.reset();
    fnd::mainQueue().drain();
}

void BM_ScrollTransitionFrame(benchmark::State& state) {
    compositeRunningTransition(state, XQViewTransitionScroll::make({{0, 0}, kScreen}));
}
BENCHMARK(BM_ScrollTransitionFrame)->Unit(benchmark::kMillisecond);

void BM_FloatTransitionFrame(benchmark::State& state) {
    compositeRunningTransition(state, XQViewTransitionFloat::make({{0, 0}, kScreen}));
}
BENCHMARK(BM_FloatTransitionFrame)->Unit(benchmark::kMillisecond);

} // namespace
