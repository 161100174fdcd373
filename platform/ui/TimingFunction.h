#pragma once

// The pacing of an animation: a cubic Bézier from (0, 0) to (1, 1) whose x axis is the
// elapsed fraction of the duration and whose y axis is the fraction of the change shown.
// The named curves are the toolkit's: "linear", "easeIn", "easeOut", "easeInEaseOut" and
// "default" (the one implicit layer animations use).

#include "platform/graphics/Geometry.h"

#include <string_view>

namespace ui {

class TimingFunction {
public:
    // Linear.
    constexpr TimingFunction() = default;
    // Control points x are clamped to 0…1 so that the curve stays a function of time;
    // y is free (a curve may overshoot). A non-finite control point gives the linear curve.
    TimingFunction(double c1x, double c1y, double c2x, double c2y);

    static TimingFunction linear() { return {}; }
    static TimingFunction easeIn() { return {0.42, 0, 1, 1}; }
    static TimingFunction easeOut() { return {0, 0, 0.58, 1}; }
    static TimingFunction easeInEaseOut() { return {0.42, 0, 0.58, 1}; }
    static TimingFunction defaultCurve() { return {0.25, 0.1, 0.25, 1}; }
    // By the toolkit's names ("linear", "easeIn", "easeOut", "easeInEaseOut", "default");
    // an unknown name is linear.
    static TimingFunction functionWithName(std::string_view name);

    // Index 0 is (0, 0), 1 and 2 the control points, 3 is (1, 1); other indices give (0, 0).
    gfx::Point controlPointAtIndex(long index) const;

    // The shown fraction at elapsed fraction t, which is clamped to 0…1 (NaN counts as 0).
    // Exactly 0 at 0 and 1 at 1; within 1e-6 of the curve in between.
    double evaluate(double t) const;

    friend bool operator==(const TimingFunction&, const TimingFunction&) = default;

private:
    double _c1x = 0, _c1y = 0, _c2x = 1, _c2y = 1;
};

} // namespace ui
