#pragma once

// What the presenter benchmarks share: dates of the default calendar and per-frame timing.

#include "platform/foundation/Calendar.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace bench {

// 00:00 of a day in the default calendar and time zone.
inline fnd::Date at(long year, long month, long day) {
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    return *fnd::Calendar::make()->dateFromComponents(c);
}

// Times each iteration's body and reports the slowest frame (`worst_ms`).
template <class Body> void timeFrames(benchmark::State& state, Body&& body) {
    using Clock = std::chrono::steady_clock;
    double worst = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        body();
        worst = std::max(worst, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    state.counters["worst_ms"] = worst;
}

// Composites the frame of the driver's last turn (the window composites on demand) into the
// frame buffer, without copying the buffer out as an image.
inline void compositeFrame(const ui::TestDriver& driver) {
    benchmark::DoNotOptimize(driver.window()->compositor().statistics().damagedPixels);
}

} // namespace bench
