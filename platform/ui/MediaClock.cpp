#include "platform/ui/MediaClock.h"

#include <chrono>
#include <cmath>

namespace ui {

namespace {

struct ClockState {
    bool manual = false;
    double time = 0;
};

ClockState& clock() {
    static ClockState state;
    return state;
}

double realTime() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since).count();
}

} // namespace

double currentMediaTime() {
    const ClockState& c = clock();
    return c.manual ? c.time : realTime();
}

bool MediaClock::isManual() {
    return clock().manual;
}

void MediaClock::setManual(bool manual) {
    ClockState& c = clock();
    if (manual == c.manual) return;
    if (manual) c.time = realTime();
    c.manual = manual;
}

void MediaClock::setTime(double seconds) {
    if (!std::isfinite(seconds)) return;
    setManual(true);
    clock().time = seconds;
}

void MediaClock::advance(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return;
    setManual(true);
    clock().time += seconds;
}

} // namespace ui
