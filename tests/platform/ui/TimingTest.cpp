#include "platform/ui/SpringCurve.h"
#include "platform/ui/TimingFunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ui {
namespace {

struct Sample {
    double t;
    double expected;
};

// Reference values from an independent high-precision bisection of each Bézier.
TEST(TimingFunction, NamedCurvesMatchReferenceValues) {
    const struct {
        TimingFunction function;
        std::vector<Sample> samples;
    } cases[] = {
        {TimingFunction::easeIn(),
         {{0.1, 0.017026609651562943}, {0.5, 0.31535681257253931}, {0.9, 0.83942784576246653}}},
        {TimingFunction::easeOut(),
         {{0.1, 0.16057215423753348}, {0.5, 0.68464318742746071}, {0.9, 0.98297339034843706}}},
        {TimingFunction::easeInEaseOut(), {{0.25, 0.12916193104731982}, {0.75, 0.87083806895268021}}},
        {TimingFunction::defaultCurve(), {{0.25, 0.40851059135539587}, {0.5, 0.80240338758485699}}},
        // Overshooting y, and x flat at both ends (slow convergence for plain Newton).
        {TimingFunction(0.3, -0.5, 0.7, 1.5), {{0.1, -0.080791609824601948}, {0.9, 1.0807916098246019}}},
        {TimingFunction(0, 1, 1, 0), {{0.000001, 0.0017303843013761195}, {0.1, 0.38740031697727515}}},
    };
    for (const auto& c : cases)
        for (const Sample& s : c.samples)
            EXPECT_NEAR(c.function.evaluate(s.t), s.expected, 1e-7) << "at " << s.t;
}

TEST(TimingFunction, EndsAreExactAndInputIsClamped) {
    for (const TimingFunction& f : {TimingFunction::linear(), TimingFunction::easeIn(),
                                    TimingFunction::defaultCurve(), TimingFunction(0.3, -0.5, 0.7, 1.5)}) {
        EXPECT_EQ(f.evaluate(0), 0);
        EXPECT_EQ(f.evaluate(1), 1);
        EXPECT_EQ(f.evaluate(-3), 0);
        EXPECT_EQ(f.evaluate(7), 1);
        EXPECT_EQ(f.evaluate(NAN), 0);
    }
    EXPECT_EQ(TimingFunction::linear().evaluate(0.37), 0.37);
}

TEST(TimingFunction, StandardCurvesAreMonotoneAndEaseInOutIsSymmetric) {
    const TimingFunction eio = TimingFunction::easeInEaseOut();
    EXPECT_NEAR(eio.evaluate(0.5), 0.5, 1e-12);
    for (const TimingFunction& f :
         {TimingFunction::easeIn(), TimingFunction::easeOut(), eio, TimingFunction::defaultCurve()}) {
        double previous = 0;
        for (int i = 1; i <= 1000; ++i) {
            const double v = f.evaluate(i / 1000.0);
            EXPECT_GE(v, previous) << "at " << i / 1000.0;
            previous = v;
        }
    }
    for (int i = 0; i <= 100; ++i) {
        const double t = i / 100.0;
        EXPECT_NEAR(eio.evaluate(t) + eio.evaluate(1 - t), 1, 1e-9);
    }
}

TEST(TimingFunction, BadControlPoints) {
    // x outside 0…1 would make the curve fold back in time: clamped.
    EXPECT_EQ(TimingFunction(-1, 0.2, 3, 0.8), TimingFunction(0, 0.2, 1, 0.8));
    EXPECT_EQ(TimingFunction(NAN, 0, 1, 1), TimingFunction::linear());
    EXPECT_EQ(TimingFunction(0.5, INFINITY, 1, 1), TimingFunction::linear());
}

TEST(SpringCurve, StartsAtZeroAndSnapsToOneAtTheDuration) {
    for (double damping : {0.2, 0.5, 0.8, 1.0}) {
        for (double velocity : {0.0, 0.5, 3.0, -1.0}) {
            const SpringCurve s(damping, velocity, 0.3);
            EXPECT_EQ(s.progressAt(0), 0);
            EXPECT_EQ(s.progressAt(-1), 0);
            EXPECT_EQ(s.progressAt(0.3), 1);
            EXPECT_EQ(s.progressAt(5), 1);
            // Settled just before the snap, so the snap does not show.
            EXPECT_LE(std::abs(s.progressAt(0.3 * (1 - 1e-9)) - 1), 1.000001e-3)
                << damping << " " << velocity;
            EXPECT_NEAR(s.progressAt(0.29), 1, 2e-3) << damping << " " << velocity;
        }
    }
}

TEST(SpringCurve, FollowsTheDampedSpringEquation) {
    const SpringCurve s(0.5, 0.3, 0.3);
    const double w = s.angularFrequency(), z = s.dampingRatio(), h = 1e-5;
    for (double t : {0.02, 0.07, 0.15}) {
        const double p0 = s.progressAt(t - h), p1 = s.progressAt(t), p2 = s.progressAt(t + h);
        const double acceleration = (p2 - 2 * p1 + p0) / (h * h), velocity = (p2 - p0) / (2 * h);
        EXPECT_NEAR(acceleration + 2 * z * w * velocity + w * w * (p1 - 1), 0, 1e-3 * w * w) << t;
    }
    // It leaves with the initial velocity (fractions of the change per second).
    const double dt = 1e-7;
    EXPECT_NEAR(SpringCurve(0.8, 0.5, 0.3).progressAt(dt) / dt, 0.5, 1e-2);
    EXPECT_NEAR(SpringCurve(0.8, 0, 0.3).progressAt(dt) / dt, 0, 1e-2);
}

TEST(SpringCurve, OvershootsOnlyBelowCriticalDamping) {
    auto peak = [](const SpringCurve& s) {
        double m = 0;
        for (int i = 0; i <= 3000; ++i)
            m = std::max(m, s.progressAt(i * s.duration() / 3000));
        return m;
    };
    EXPECT_GT(peak(SpringCurve(0.5, 0, 0.3)), 1.1);
    EXPECT_GT(peak(SpringCurve(0.5, 0, 0.3)), peak(SpringCurve(0.8, 0, 0.3)));
    EXPECT_LE(peak(SpringCurve(1, 0, 0.3)), 1);
    // Over-damped input is treated as critical, not as something slower.
    EXPECT_EQ(SpringCurve(3, 0, 0.3).dampingRatio(), 1);
    EXPECT_LE(peak(SpringCurve(3, 0, 0.3)), 1);
    // Almost critical behaves almost the same as critical.
    EXPECT_NEAR(SpringCurve(0.9999, 0, 0.3).progressAt(0.1), SpringCurve(1, 0, 0.3).progressAt(0.1), 1e-3);
}

TEST(SpringCurve, InitialVelocityPushesEarlyProgress) {
    const double early = 0.005;
    EXPECT_GT(SpringCurve(1, 5, 0.5).progressAt(early), SpringCurve(1, 0, 0.5).progressAt(early));
    EXPECT_LT(SpringCurve(1, -2, 0.5).progressAt(early), 0);
}

TEST(SpringCurve, UnusableParametersStillGiveACurveThatSettles) {
    for (const SpringCurve& s : {SpringCurve(0, 0, 0.3), SpringCurve(-1, 0, 0.3), SpringCurve(NAN, NAN, 0.3),
                                 SpringCurve(0.5, 1e300, 0.3)}) {
        for (int i = 0; i <= 100; ++i)
            EXPECT_TRUE(std::isfinite(s.progressAt(i * 0.003)));
        EXPECT_NEAR(s.progressAt(0.2999), 1, 2e-3);
    }
    const SpringCurve instant(0.5, 0, -1);
    EXPECT_EQ(instant.duration(), 0);
    EXPECT_EQ(instant.progressAt(0), 1);
    EXPECT_EQ(SpringCurve(0.5, 0, NAN).progressAt(0), 1);
    // The fraction form matches the time form.
    const SpringCurve s(0.6, 0.2, 0.4);
    EXPECT_EQ(s.evaluate(0.25), s.progressAt(0.1));
    EXPECT_EQ(s.evaluate(1), 1);
}

} // namespace
} // namespace ui
