#pragma once

// Recent values of a moving quantity (a pan's translation, a pinch's scale) with their
// times, for a velocity measured over the last tenth of a second: long enough to smooth the
// steps of the input, short enough that a finger that stopped shows no speed.

#include "platform/graphics/Geometry.h"

#include <cmath>
#include <deque>
#include <utility>

namespace ui::detail {

class MotionSamples {
public:
    static constexpr double window = 0.1;

    void clear() { _samples.clear(); }

    // Times that go backwards count as the last time; a value at the same time replaces it.
    void add(double time, gfx::Point value) {
        if (!std::isfinite(time) || !std::isfinite(value.x) || !std::isfinite(value.y)) return;
        if (!_samples.empty() && time <= _samples.back().first) {
            _samples.back().second = value;
            return;
        }
        _samples.emplace_back(time, value);
        // Keep one sample at or before the start of the window.
        while (_samples.size() > 2 && _samples[1].first <= time - window)
            _samples.pop_front();
    }

    // Moves every sample by (dx, dy): the value was reset, the speed goes on.
    void shift(double dx, double dy) {
        for (auto& [time, value] : _samples) {
            value.x += dx;
            value.y += dy;
        }
    }

    // Units per second from the oldest kept sample to the newest; zero with fewer than two.
    gfx::Point velocity() const {
        if (_samples.size() < 2) return {};
        const auto& [t0, v0] = _samples.front();
        const auto& [t1, v1] = _samples.back();
        const double dt = t1 - t0;
        if (!(dt > 0)) return {};
        return {(v1.x - v0.x) / dt, (v1.y - v0.y) / dt};
    }

private:
    std::deque<std::pair<double, gfx::Point>> _samples;
};

} // namespace ui::detail
