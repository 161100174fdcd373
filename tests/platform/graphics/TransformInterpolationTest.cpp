#include "platform/graphics/TransformInterpolation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace gfx {
namespace {

constexpr double pi = std::numbers::pi;

void expectNear(const Transform3D& actual, const Transform3D& expected, double tolerance) {
    const auto a = actual.rows(), e = expected.rows();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], e[i], tolerance) << "entry m" << (i / 4 + 1) << (i % 4 + 1);
}

Transform3D perspective(double m34) {
    Transform3D t;
    t.m34 = m34;
    return t;
}

// The angle of a unit quaternion's rotation, in 0…π.
double rotationAngle(const Transform3D& t) {
    const auto d = decompose(t);
    EXPECT_TRUE(d.has_value());
    return d ? 2 * std::acos(std::min(1.0, std::abs(d->quaternion[3]))) : NAN;
}

TEST(TransformDecomposition, RecomposesRandomTransforms) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> unit(-1, 1);
    for (int i = 0; i < 300; ++i) {
        Transform3D shear;
        shear.m21 = unit(rng), shear.m31 = unit(rng) * 0.5, shear.m32 = unit(rng) * 0.5;
        Transform3D t = Transform3D::makeScale(1 + 0.9 * unit(rng), 1 + 0.9 * unit(rng), 1 + 0.9 * unit(rng));
        if (i % 3 == 0) t = scale(t, -1, 1, 1); // mirrored
        t = concat(t, shear);
        t = concat(t, Transform3D::makeRotation(4 * unit(rng), unit(rng), unit(rng), unit(rng)));
        t = concat(t, Transform3D::makeTranslation(100 * unit(rng), 100 * unit(rng), 50 * unit(rng)));
        Transform3D p;
        p.m14 = 0.001 * unit(rng), p.m24 = 0.001 * unit(rng), p.m34 = -0.002 * std::abs(unit(rng));
        t = concat(t, p);

        const auto d = decompose(t);
        ASSERT_TRUE(d.has_value()) << "case " << i;
        const double q = std::hypot(std::hypot(d->quaternion[0], d->quaternion[1]),
                                    std::hypot(d->quaternion[2], d->quaternion[3]));
        EXPECT_NEAR(q, 1, 1e-12);
        // decompose() divides by m44, so compare against the normalised matrix.
        auto rows = t.rows();
        for (double& v : rows)
            v /= t.m44;
        expectNear(recompose(*d), Transform3D::fromRows(rows), 1e-9);
    }
}

TEST(TransformDecomposition, SplitsIntoTheExpectedParts) {
    const Transform3D t =
        concat(concat(Transform3D::makeScale(2, 3, 4), Transform3D::makeRotation(pi / 3, 0, 0, 1)),
               Transform3D::makeTranslation(5, 6, 7));
    const auto d = decompose(t);
    ASSERT_TRUE(d.has_value());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(d->scale[i], 2.0 + i, 1e-12);
        EXPECT_NEAR(d->translation[i], 5.0 + i, 1e-12);
        EXPECT_NEAR(d->skew[i], 0, 1e-12);
    }
    EXPECT_NEAR(d->quaternion[2], std::sin(pi / 6), 1e-12);
    EXPECT_NEAR(d->quaternion[3], std::cos(pi / 6), 1e-12);

    // A page turned under a perspective: the perspective comes out whole, the turn as a
    // rotation about y.
    const auto page = decompose(rotate(perspective(-1.0 / 500), 0.8, 0, 1, 0));
    ASSERT_TRUE(page.has_value());
    EXPECT_NEAR(page->perspective[2], -1.0 / 500, 1e-15);
    EXPECT_NEAR(page->perspective[3], 1, 1e-15);
    EXPECT_NEAR(page->quaternion[1], std::sin(0.4), 1e-12);

    // Half turns keep the axis's sign pattern (w is zero there, so it cannot carry it).
    const Transform3D half = Transform3D::makeRotation(pi, 1, -1, 0.5);
    const auto h = decompose(half);
    ASSERT_TRUE(h.has_value());
    expectNear(recompose(*h), half, 1e-12);
}

TEST(TransformDecomposition, RefusesSingularAndBrokenTransforms) {
    EXPECT_FALSE(decompose(Transform3D::makeScale(1, 0, 1)).has_value());
    Transform3D noW;
    noW.m44 = 0;
    EXPECT_FALSE(decompose(noW).has_value());
    Transform3D nan;
    nan.m12 = NAN;
    EXPECT_FALSE(decompose(nan).has_value());
    Transform3D overflowing = Transform3D::makeScale(1e10, 1, 1);
    overflowing.m44 = 1e-300;
    EXPECT_FALSE(decompose(overflowing).has_value());
}

TEST(TransformInterpolation, RotationsTakeTheShorterArc) {
    const Transform3D id = Transform3D::identity();
    expectNear(interpolate(id, Transform3D::makeRotation(pi / 2, 0, 0, 1), 0.5),
               Transform3D::makeRotation(pi / 4, 0, 0, 1), 1e-12);
    expectNear(interpolate(id, Transform3D::makeRotation(pi / 2, 0, 0, 1), 0.25),
               Transform3D::makeRotation(pi / 8, 0, 0, 1), 1e-12);
    // Three quarters of a turn one way is a quarter the other way.
    expectNear(interpolate(id, Transform3D::makeRotation(3 * pi / 2, 0, 0, 1), 0.5),
               Transform3D::makeRotation(-pi / 4, 0, 0, 1), 1e-12);
}

TEST(TransformInterpolation, PageTurnStandsEdgeOnHalfWay) {
    const Transform3D p = perspective(-1.0 / 500);
    const Transform3D from = rotate(p, 0.001 * pi, 0, 1, 0);
    const Transform3D to = rotate(p, 0.996 * pi, 0, 1, 0);
    for (double progress : {0.25, 0.5, 0.75}) {
        const double angle = (0.001 + 0.995 * progress) * pi;
        expectNear(interpolate(from, to, progress), rotate(p, angle, 0, 1, 0), 1e-12);
    }
    EXPECT_NEAR(rotationAngle(interpolate(from, to, 0.5)), pi / 2, 0.01);

    // What a naive blend of the entries would give instead: a page squashed to a sliver
    // whose edge barely leaves the spine, which the decomposition must not produce.
    const Point edge = projectPoint(interpolate(from, to, 0.5), {200, 0});
    EXPECT_NEAR(edge.x, 0, 2);
    const double depth = transformPoint4(interpolate(from, to, 0.5), 200, 0, 0).z;
    EXPECT_NEAR(std::abs(depth), 200, 2);
}

TEST(TransformInterpolation, ScaleTranslationAndPerspectiveBlendLinearly) {
    const Transform3D from = concat(Transform3D::makeScale(1, 2, 1), Transform3D::makeTranslation(0, 10, 0));
    const Transform3D to = concat(Transform3D::makeScale(3, 1, 1), Transform3D::makeTranslation(40, -10, 8));
    expectNear(interpolate(from, to, 0.25),
               concat(Transform3D::makeScale(1.5, 1.75, 1), Transform3D::makeTranslation(10, 5, 2)), 1e-12);
    expectNear(interpolate(perspective(-1.0 / 500), perspective(-1.0 / 250), 0.5), perspective(-1.5 / 500),
               1e-15);
}

TEST(TransformInterpolation, ExtrapolatesBeyondTheEnds) {
    const Transform3D id = Transform3D::identity();
    expectNear(interpolate(id, Transform3D::makeTranslation(10, 0, 0), 1.5),
               Transform3D::makeTranslation(15, 0, 0), 1e-12);
    expectNear(interpolate(id, Transform3D::makeRotation(pi / 2, 0, 1, 0), 1.2),
               Transform3D::makeRotation(0.6 * pi, 0, 1, 0), 1e-12);
    expectNear(interpolate(id, Transform3D::makeScale(2, 2, 1), -0.5), Transform3D::makeScale(0.5, 0.5, 1),
               1e-12);
}

TEST(TransformInterpolation, EndsAreExactAndUndecomposableEndsJumpHalfWay) {
    const Transform3D a = rotate(perspective(-0.002), 0.3, 1, 0, 0);
    const Transform3D b = translate(Transform3D::makeScale(2, 2, 1), 5, 5, 0);
    EXPECT_EQ(interpolate(a, b, 0), a);
    EXPECT_EQ(interpolate(a, b, 1), b);
    EXPECT_EQ(interpolate(a, b, NAN), a);

    const Transform3D flat = Transform3D::makeScale(1, 0, 1);
    EXPECT_EQ(interpolate(flat, b, 0.49), flat);
    EXPECT_EQ(interpolate(flat, b, 0.5), b);
    EXPECT_EQ(interpolate(b, flat, 0.3), b);
    EXPECT_EQ(interpolate(b, flat, 0.7), flat);
}

} // namespace
} // namespace gfx
