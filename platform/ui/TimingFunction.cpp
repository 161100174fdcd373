#include "platform/ui/TimingFunction.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

// One coordinate of the Bézier with end points 0 and 1 and inner points p1, p2, in
// polynomial form a s³ + b s² + c s.
struct Cubic {
    double a, b, c;

    Cubic(double p1, double p2) : c(3 * p1) {
        b = 3 * (p2 - p1) - c;
        a = 1 - c - b;
    }
    double at(double s) const { return ((a * s + b) * s + c) * s; }
    double slope(double s) const { return (3 * a * s + 2 * b) * s + c; }
};

// Solved far below the promised 1e-6 on the output: where the curve's x is flat (at an
// end point) a small error in x becomes a much larger one in the parameter.
constexpr double kTolerance = 1e-14;

} // namespace

TimingFunction::TimingFunction(double c1x, double c1y, double c2x, double c2y) {
    if (!std::isfinite(c1x) || !std::isfinite(c1y) || !std::isfinite(c2x) || !std::isfinite(c2y)) return;
    _c1x = std::clamp(c1x, 0.0, 1.0);
    _c1y = c1y;
    _c2x = std::clamp(c2x, 0.0, 1.0);
    _c2y = c2y;
}

TimingFunction TimingFunction::functionWithName(std::string_view name) {
    if (name == "easeIn") return easeIn();
    if (name == "easeOut") return easeOut();
    if (name == "easeInEaseOut") return easeInEaseOut();
    if (name == "default") return defaultCurve();
    return linear();
}

gfx::Point TimingFunction::controlPointAtIndex(long index) const {
    switch (index) {
    case 1:
        return {_c1x, _c1y};
    case 2:
        return {_c2x, _c2y};
    case 3:
        return {1, 1};
    default:
        return {0, 0};
    }
}

double TimingFunction::evaluate(double t) const {
    if (!(t > 0)) return 0;
    if (t >= 1) return 1;
    // Control points on the diagonal make x and y the same polynomial.
    if (_c1x == _c1y && _c2x == _c2y) return t;

    const Cubic x(_c1x, _c2x), y(_c1y, _c2y);
    // With both inner x in 0…1 the curve's x rises monotonically from 0 to 1, so the
    // parameter is bracketed by [lo, hi]; Newton steps that leave the bracket (or stall on
    // a flat spot) are replaced by bisection.
    double lo = 0, hi = 1, s = t;
    for (int i = 0; i < 100; ++i) {
        const double err = x.at(s) - t;
        if (std::abs(err) <= kTolerance || hi - lo <= kTolerance) break;
        if (err < 0)
            lo = s;
        else
            hi = s;
        const double d = x.slope(s);
        const double next = d != 0 ? s - err / d : lo;
        s = (next > lo && next < hi) ? next : (lo + hi) / 2;
    }
    return y.at(s);
}

} // namespace ui
