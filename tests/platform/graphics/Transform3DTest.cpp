#include "platform/graphics/Transform3D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace gfx {
namespace {

constexpr double pi = std::numbers::pi;

void expectNear(const Transform3D& actual, const Transform3D& expected, double tolerance = 1e-12) {
    const auto a = actual.rows(), e = expected.rows();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], e[i], tolerance) << "entry m" << (i / 4 + 1) << (i % 4 + 1);
}

void expectPoint(Point actual, Point expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

Transform3D perspective(double m34) {
    Transform3D t;
    t.m34 = m34;
    return t;
}

TEST(Transform3D, RotationDirectionsFollowTheRightHandRuleInViewCoordinates) {
    // About z: x turns towards +y, as the 2-D rotation does.
    expectNear(Transform3D::makeRotation(0.3, 0, 0, 1),
               Transform3D::makeAffineTransform(AffineTransform::makeRotation(0.3)));
    expectPoint(projectPoint(Transform3D::makeRotation(pi / 2, 0, 0, 1), {1, 0}), {0, 1});

    // About y: x turns towards -z; about x: y turns towards +z.
    const Vector4 aboutY = transformPoint4(Transform3D::makeRotation(pi / 2, 0, 1, 0), 1, 0, 0);
    EXPECT_NEAR(aboutY.x, 0, 1e-15);
    EXPECT_NEAR(aboutY.z, -1, 1e-15);
    const Vector4 aboutX = transformPoint4(Transform3D::makeRotation(pi / 2, 1, 0, 0), 0, 1, 0);
    EXPECT_NEAR(aboutX.y, 0, 1e-15);
    EXPECT_NEAR(aboutX.z, 1, 1e-15);

    // The axis need not be unit length; a degenerate axis or angle is no rotation.
    expectNear(Transform3D::makeRotation(1, 0, 0, 7), Transform3D::makeRotation(1, 0, 0, 1));
    EXPECT_TRUE(isIdentity(Transform3D::makeRotation(1, 0, 0, 0)));
    EXPECT_TRUE(isIdentity(Transform3D::makeRotation(NAN, 0, 0, 1)));
    EXPECT_TRUE(isIdentity(Transform3D::makeRotation(1, INFINITY, 0, 1)));
}

TEST(Transform3D, OperationsOnATransformApplyBeforeIt) {
    const Transform3D moved = Transform3D::makeTranslation(10, 0, 0);
    // Rotated first, then moved: (1, 0) -> (0, 1) -> (10, 1).
    expectPoint(projectPoint(rotate(moved, pi / 2, 0, 0, 1), {1, 0}), {10, 1});
    // Moved first, then scaled: (1, 0) -> (6, 0) -> (12, 0).
    expectPoint(projectPoint(translate(Transform3D::makeScale(2, 2, 1), 5, 0, 0), {1, 0}), {12, 0});
    // Scaled first, then moved: (1, 0) -> (2, 0) -> (7, 0).
    expectPoint(projectPoint(scale(Transform3D::makeTranslation(5, 0, 0), 2, 2, 1), {1, 0}), {7, 0});

    // The shortcuts agree with concatenation for a transform with every entry in use.
    const Transform3D t =
        Transform3D::fromRows({1, 2, 3, 0.01, -1, 0.5, 2, 0.02, 0.3, -2, 1, -0.002, 7, 8, 9, 1.5});
    expectNear(translate(t, 3, -4, 5), concat(Transform3D::makeTranslation(3, -4, 5), t));
    expectNear(scale(t, 2, -3, 0.5), concat(Transform3D::makeScale(2, -3, 0.5), t));
}

TEST(Transform3D, ConcatAppliesTheFirstThenTheSecond) {
    const Transform3D a = Transform3D::makeScale(2, 3, 1);
    const Transform3D b = Transform3D::makeTranslation(5, 7, 0);
    expectPoint(projectPoint(concat(a, b), {1, 1}), {7, 10});
    expectPoint(projectPoint(concat(b, a), {1, 1}), {12, 24});
    EXPECT_EQ(concat(Transform3D::identity(), a), a);
}

TEST(Transform3D, PerspectiveDividesByTheDistanceFromTheEye) {
    const Transform3D p = perspective(-1.0 / 500);
    // Towards the viewer points grow: at z = 100, w = 1 - 100/500 = 0.8.
    expectPoint(projectPoint(p, {100, 50}, 100), {125, 62.5});
    // A page edge turned 45° about y recedes and shrinks towards the centre.
    const Transform3D turned = rotate(p, pi / 4, 0, 1, 0);
    const double x = 100 * std::cos(pi / 4), w = 1 + 100 * std::sin(pi / 4) / 500;
    expectPoint(projectPoint(turned, {100, 20}), {x / w, 20 / w});

    // At the eye (z = 500) w reaches 0, and behind it w is negative; clipping needs both.
    EXPECT_NEAR(transformPoint4(p, 0, 0, 500).w, 0, 1e-15);
    EXPECT_LT(transformPoint4(p, 0, 0, 600).w, 0);
    const Point atEye = projectPoint(p, {3, 4}, 500);
    EXPECT_TRUE(std::isfinite(atEye.x) && std::isfinite(atEye.y));
}

TEST(Transform3D, InvertRoundTripsAndLeavesSingularTransformsAlone) {
    const Transform3D t =
        translate(rotate(scale(perspective(-0.002), 1.5, 0.5, 2), 0.7, 1, 2, 3), 12, -30, 4);
    expectNear(concat(t, invert(t)), Transform3D::identity(), 1e-12);
    expectNear(invert(invert(t)), t, 1e-9);
    // Back from the projected point, given its depth.
    const Vector4 v = transformPoint4(t, 40, -25, 0);
    expectPoint(projectPoint(invert(t), {v.x / v.w, v.y / v.w}, v.z / v.w), {40, -25});

    const Transform3D flat = Transform3D::makeScale(1, 0, 1);
    EXPECT_EQ(invert(flat), flat);
    Transform3D broken = Transform3D::makeTranslation(1, 2, 3);
    broken.m22 = NAN;
    EXPECT_TRUE(std::isnan(invert(broken).m22));
}

TEST(Transform3D, AffineRoundTripAndDetection) {
    const AffineTransform a = AffineTransform::makeRotation(0.4).scale(2, 3).translate(5, -6);
    const Transform3D t = Transform3D::makeAffineTransform(a);
    EXPECT_TRUE(isAffine(t));
    EXPECT_EQ(affineTransform(t), a);
    expectPoint(projectPoint(t, {3, 4}), a.apply(Point{3, 4}));

    // Anything that leaves the x/y plane or projects is not.
    EXPECT_FALSE(isAffine(perspective(-0.002)));
    EXPECT_FALSE(isAffine(Transform3D::makeRotation(0.1, 0, 1, 0)));
}

} // namespace
} // namespace gfx
