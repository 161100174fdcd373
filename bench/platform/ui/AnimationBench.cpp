// What animations cost per frame: the compositor reads every layer's presentation state
// each frame, and the engine's tick runs once per frame. Measured for a screen's worth of
// layers (100), each turning in perspective and fading, as during a page turn.

#include "platform/foundation/Dispatch.h"
#include "platform/ui/Animation.h"
#include "platform/ui/MediaClock.h"

#include <benchmark/benchmark.h>

#include <numbers>
#include <vector>

namespace {

std::vector<std::shared_ptr<ui::Layer>> animatedLayers(int count) {
    gfx::Transform3D perspective;
    perspective.m34 = -0.002;
    std::vector<std::shared_ptr<ui::Layer>> layers;
    for (int i = 0; i < count; ++i) {
        auto layer = ui::Layer::make();
        auto turn = ui::BasicAnimation::make("transform");
        turn->setFromValue(gfx::rotate(perspective, -std::numbers::pi * 0.001, 0, 1, 0));
        turn->setToValue(gfx::rotate(perspective, -std::numbers::pi * 0.996, 0, 1, 0));
        turn->setDuration(1e6);
        layer->addAnimation(turn, "a1");
        auto fade = ui::BasicAnimation::make("opacity");
        fade->setFromValue(0.0);
        fade->setToValue(1.0);
        fade->setDuration(1e6);
        layer->addAnimation(fade, "a3");
        layers.push_back(std::move(layer));
    }
    return layers;
}

// Runs `frameWork` once per iteration, a 60 Hz frame later each time.
template <class F> void everyFrame(benchmark::State& state, F frameWork) {
    ui::MediaClock::setTime(0);
    const auto layers = animatedLayers(100);
    double t = 0;
    for (auto _ : state) {
        ui::MediaClock::setTime(t += 1.0 / 60);
        frameWork(layers);
    }
}

void BM_PresentationOf100TurningLayers(benchmark::State& state) {
    everyFrame(state, [](const auto& layers) {
        for (const auto& layer : layers)
            benchmark::DoNotOptimize(layer->presentationState());
    });
}
BENCHMARK(BM_PresentationOf100TurningLayers);

void BM_TickWith100AnimatedLayers(benchmark::State& state) {
    everyFrame(state, [](const auto&) {
        ui::advanceAnimations();
        fnd::mainQueue().drain();
    });
}
BENCHMARK(BM_TickWith100AnimatedLayers);

} // namespace
