#include "platform/ui/SpringCurve.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double kMinimumDamping = 0.01;
// The part of the change that may still be missing at the duration.
constexpr double kSettled = 1e-3;
// Shorter durations are finished at once (and would need frequencies beyond any use).
constexpr double kShortestDuration = 1e-9;

double sinc(double x) {
    return x == 0 ? 1 : std::sin(x) / x;
}

// An upper bound on |e(t)| at time t for frequency omega. The oscillating factor
// cos(ω_d t) + c sin(ω_d t) / ω_d (with c = ζ ω - v) is bounded both by its amplitude
// √(1 + (c / ω_d)²) and, since |sin x| ≤ |x|, by 1 + |c| t; the second stays finite as
// ζ approaches 1, where the first grows without limit.
double envelope(double zeta, double v, double omega, double t) {
    const double c = zeta * omega - v;
    const double wd = omega * std::sqrt(1 - zeta * zeta);
    double factor = 1 + std::abs(c) * t;
    if (wd > 0) factor = std::min(factor, std::sqrt(1 + (c / wd) * (c / wd)));
    return std::exp(-zeta * omega * t) * factor;
}

} // namespace

SpringCurve::SpringCurve(double dampingRatio, double initialVelocity, double duration)
    : _damping(std::isnan(dampingRatio) ? 1 : std::clamp(dampingRatio, kMinimumDamping, 1.0)),
      _velocity(std::isfinite(initialVelocity) ? initialVelocity : 0),
      _duration(std::isfinite(duration) && duration >= kShortestDuration ? duration : 0) {
    if (_duration == 0) return;
    // The factor in the envelope is at least 1, so no frequency below lo can settle.
    double lo = std::log(1 / kSettled) / (_damping * _duration);
    double hi = lo;
    for (int i = 0; i < 1100 && envelope(_damping, _velocity, hi, _duration) > kSettled; ++i) {
        lo = hi;
        hi *= 2;
    }
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        if (envelope(_damping, _velocity, mid, _duration) > kSettled)
            lo = mid;
        else
            hi = mid;
    }
    _omega = hi;
    _omegaDamped = _omega * std::sqrt(1 - _damping * _damping);
}

double SpringCurve::remaining(double t) const {
    // sin(ω_d t) / ω_d written as t · sinc(ω_d t), which is also right for ζ = 1.
    return std::exp(-_damping * _omega * t) *
           (std::cos(_omegaDamped * t) + (_damping * _omega - _velocity) * t * sinc(_omegaDamped * t));
}

double SpringCurve::progressAt(double seconds) const {
    if (seconds >= _duration) return 1;
    if (!(seconds > 0)) return 0;
    return 1 - remaining(seconds);
}

double SpringCurve::evaluate(double fraction) const {
    if (fraction >= 1) return 1;
    if (!(fraction > 0)) return 0;
    return progressAt(fraction * _duration);
}

} // namespace ui
