#include "platform/graphics/TransformInterpolation.h"

#include <benchmark/benchmark.h>

#include <numbers>

namespace {

gfx::Transform3D pageTurn(double angle) {
    gfx::Transform3D p;
    p.m34 = -1.0 / 500;
    return gfx::rotate(gfx::translate(p, 0.01, 0, 0), angle, 0, 1, 0);
}

// One frame of a page-turn animation: both ends carry perspective and a rotation.
void BM_InterpolatePerspectiveTransforms(benchmark::State& state) {
    const gfx::Transform3D from = pageTurn(0.001 * std::numbers::pi);
    const gfx::Transform3D to = pageTurn(0.996 * std::numbers::pi);
    double progress = 0.1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gfx::interpolate(from, to, progress));
        progress = progress > 0.9 ? 0.1 : progress + 0.013;
    }
}
BENCHMARK(BM_InterpolatePerspectiveTransforms);

void BM_DecomposePerspectiveTransform(benchmark::State& state) {
    const gfx::Transform3D t = pageTurn(0.4);
    for (auto _ : state)
        benchmark::DoNotOptimize(gfx::decompose(t));
}
BENCHMARK(BM_DecomposePerspectiveTransform);

} // namespace
