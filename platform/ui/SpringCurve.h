#pragma once

// The pacing of a spring animation (a view animation with a damping ratio and an initial
// velocity): the animated value is a unit mass on a damped spring released at the start
// value and coming to rest at the end value.
//
// Model. With e(t) = 1 - progress(t) the remaining fraction of the change,
//     e'' + 2 ζ ω e' + ω² e = 0,   e(0) = 1,   e'(0) = -v
// where ζ is the damping ratio, v the initial velocity (fractions of the whole change per
// second, positive towards the end value) and ω the natural angular frequency
// (the stiffness is ω²). The solution, with ω_d = ω √(1 - ζ²), is
//     e(t) = exp(-ζ ω t) · (cos(ω_d t) + (ζ ω - v) · sin(ω_d t) / ω_d)
// which for ζ = 1 becomes exp(-ω t) · (1 + (ω - v) t). Below ζ = 1 the value overshoots
// the end and swings back.
//
// The caller gives a duration, not a stiffness: ω is chosen as the smallest frequency for
// which a bound on |e| at the duration is at most 0.1% of the change, and the curve
// snaps to exactly 1 from the duration on, so the jump there is invisible.
//
// Out-of-range input: a damping ratio above 1 is taken as 1 (no overshoot) and one below
// 0.01, including zero and negative ratios that would never settle, as 0.01; a NaN ratio
// as 1. A non-finite velocity is 0; a velocity may be negative (the value first moves
// away). A duration that is negative, non-finite or under a nanosecond is 0, which means
// "already finished".

namespace ui {

class SpringCurve {
public:
    SpringCurve(double dampingRatio, double initialVelocity, double duration);

    // 0 at and before the start, exactly 1 at and after the duration (also NaN gives 0).
    double progressAt(double seconds) const;
    // The same against the elapsed fraction of the duration, as TimingFunction::evaluate.
    double evaluate(double fraction) const;

    // The values in use after the corrections above.
    double dampingRatio() const { return _damping; }
    double initialVelocity() const { return _velocity; }
    double duration() const { return _duration; }
    // ω in radians per second; the stiffness of the unit mass is its square.
    double angularFrequency() const { return _omega; }

private:
    double remaining(double t) const;

    double _damping;
    double _velocity;
    double _duration;
    double _omega = 0;
    double _omegaDamped = 0;
};

} // namespace ui
