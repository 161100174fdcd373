#pragma once

// Per-frame timing for frame benchmarks: each iteration's body is timed on its own, and the
// slowest frame is reported (`worst_ms`), and on request the 99th percentile (`p99_ms`) and the
// median (`median_ms`). A body that returns a bool marks the frames it returns true for (the
// first frame of each step, say): their median is reported under the name the options give.
// `setUp`, when given, runs before each frame outside the frame's time (pause the benchmark's
// timing in it for work that is not a frame's).
// The two clock reads per frame (some tens of nanoseconds) are part of the figures.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace bench {

enum class Percentile { none, p99 };

struct FrameReport {
    bool p99 = false;
    bool median = false;
    // The counter for the median of the marked frames.
    std::string marked = "marked_ms";
};

namespace detail {
inline double medianOf(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
    return v[v.size() / 2];
}
} // namespace detail

template <class SetUp, class Body>
void timeFrames(benchmark::State& state, SetUp&& setUp, Body&& body, const FrameReport& report) {
    using Clock = std::chrono::steady_clock;
    constexpr bool marks = std::is_same_v<std::invoke_result_t<Body&>, bool>;
    double worst = 0;
    std::vector<double> all, marked;
    for (auto _ : state) {
        setUp();
        const auto start = Clock::now();
        bool mark = false;
        if constexpr (marks)
            mark = body();
        else
            body();
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        worst = std::max(worst, ms);
        if (report.p99 || report.median) all.push_back(ms);
        if (mark) marked.push_back(ms);
    }
    state.counters["worst_ms"] = worst;
    if (marks) state.counters[report.marked] = detail::medianOf(marked);
    if (report.median) state.counters["median_ms"] = detail::medianOf(all);
    if (!report.p99 || all.empty()) return;
    std::sort(all.begin(), all.end());
    state.counters["p99_ms"] = all[all.size() * 99 / 100];
}

template <class Body> void timeFrames(benchmark::State& state, Body&& body, const FrameReport& report) {
    timeFrames(state, [] {}, std::forward<Body>(body), report);
}

template <class Body>
void timeFrames(benchmark::State& state, Body&& body, Percentile percentile = Percentile::none) {
    timeFrames(state, [] {}, std::forward<Body>(body), FrameReport{.p99 = percentile == Percentile::p99});
}

} // namespace bench
