#pragma once

// Per-frame timing for frame benchmarks: each iteration's body is timed on its own, and the
// slowest frame is reported (`worst_ms`), and on request the 99th percentile (`p99_ms`).
// The two clock reads per frame (some tens of nanoseconds) are part of the figures.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace bench {

enum class Percentile { none, p99 };

template <class Body>
void timeFrames(benchmark::State& state, Body&& body, Percentile percentile = Percentile::none) {
    using Clock = std::chrono::steady_clock;
    double worst = 0;
    std::vector<double> all;
    for (auto _ : state) {
        const auto start = Clock::now();
        body();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        worst = std::max(worst, ms);
        if (percentile == Percentile::p99) all.push_back(ms);
    }
    state.counters["worst_ms"] = worst;
    if (all.empty()) return;
    std::sort(all.begin(), all.end());
    state.counters["p99_ms"] = all[all.size() * 99 / 100];
}

} // namespace bench
