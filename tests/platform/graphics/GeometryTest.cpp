#include "platform/graphics/Geometry.h"

#include <gtest/gtest.h>

#include <numbers>

namespace gfx {
namespace {

TEST(Geometry, NegativeSizesAreStandardisedWhenRead) {
    const Rect r{10, 20, -4, -6};
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxX(), 10);
    EXPECT_EQ(r.minY(), 14);
    EXPECT_EQ(r.maxY(), 20);
    EXPECT_EQ(r.width(), 4);
    EXPECT_EQ(r.standardized(), (Rect{6, 14, 4, 6}));
    EXPECT_TRUE(r.contains(Point{7, 15}));
}

TEST(Geometry, ContainsTakesMinimumEdgesInsideAndMaximumEdgesOutside) {
    const Rect r{0, 0, 10, 10};
    EXPECT_TRUE(r.contains(Point{0, 0}));
    EXPECT_TRUE(r.contains(Point{9.999, 9.999}));
    EXPECT_FALSE(r.contains(Point{10, 5}));
    EXPECT_FALSE(r.contains(Point{5, 10}));
    EXPECT_FALSE(Rect::null().contains(Point{0, 0}));
    EXPECT_TRUE(r.contains(Rect{0, 0, 10, 10}));
    EXPECT_FALSE(r.contains(Rect{1, 1, 10, 1}));
}

TEST(Geometry, IntersectionAndUnionHandleEmptyAndNullRectangles) {
    const Rect a{0, 0, 10, 10};
    EXPECT_FALSE(a.intersects(Rect{5, 5, 0, 4})) << "an empty rectangle intersects nothing";
    EXPECT_FALSE(a.intersects(Rect::null()));
    EXPECT_TRUE(a.intersects(Rect{9, 9, 5, 5}));
    EXPECT_TRUE(a.intersection(Rect{20, 20, 1, 1}).isNull());
    EXPECT_EQ(a.intersection(Rect{5, -5, 10, 10}), (Rect{5, 0, 5, 5}));
    // Touching edges give an empty but not null intersection.
    EXPECT_FALSE(a.intersection(Rect{10, 0, 5, 5}).isNull());
    EXPECT_TRUE(a.intersection(Rect{10, 0, 5, 5}).isEmpty());

    EXPECT_EQ(Rect::null().unionWith(Rect{1, 2, -1, 3}), (Rect{0, 2, 1, 3}));
    EXPECT_EQ(a.unionWith(Rect::null()), a);
    EXPECT_EQ(a.unionWith(Rect{20, -5, 1, 1}), (Rect{0, -5, 21, 15}));
}

TEST(Geometry, InsetsShrinkAndOverflow) {
    const Rect r{0, 0, 10, 20};
    EXPECT_EQ(r.insetBy(2, 3), (Rect{2, 3, 6, 14}));
    EXPECT_EQ(r.insetBy(-1, -1), (Rect{-1, -1, 12, 22}));
    EXPECT_TRUE(r.insetBy(6, 0).isNull()) << "insetting past the middle gives the null rectangle";
    EXPECT_EQ(insetRect(r, EdgeInsets{1, 2, 3, 4}), (Rect{2, 1, 4, 16}));
    // Edge insets larger than the rectangle leave a negative size, as the toolkit does.
    EXPECT_EQ(insetRect(r, EdgeInsets{0, 8, 0, 8}).size.width, -6);
    EXPECT_EQ(r.offsetBy(5, -5), (Rect{5, -5, 10, 20}));
    EXPECT_EQ((Rect{0.5, 0.2, 1, 1}).integral(), (Rect{0, 0, 2, 2}));
}

TEST(Geometry, AffineConcatenationAppliesTheReceiverFirst) {
    const AffineTransform t = AffineTransform::makeTranslation(10, 0);
    const AffineTransform s = AffineTransform::makeScale(2, 2);
    EXPECT_EQ(t.concat(s).apply(Point{1, 1}), (Point{22, 2})) << "translate, then scale";
    EXPECT_EQ(s.concat(t).apply(Point{1, 1}), (Point{12, 2})) << "scale, then translate";
    // translate/scale/rotate prepend the new step, as the toolkit's functions do.
    EXPECT_EQ(s.translate(10, 0).apply(Point{1, 1}), (Point{22, 2}));

    const AffineTransform r = AffineTransform::makeRotation(std::numbers::pi / 2);
    const Point p = r.apply(Point{1, 0});
    EXPECT_NEAR(p.x, 0, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);

    const AffineTransform m = t.concat(s).rotate(0.3);
    const Point back = m.inverted().apply(m.apply(Point{3, -7}));
    EXPECT_NEAR(back.x, 3, 1e-9);
    EXPECT_NEAR(back.y, -7, 1e-9);
    const AffineTransform singular = AffineTransform::makeScale(0, 1);
    EXPECT_EQ(singular.inverted(), singular);

    EXPECT_EQ(s.apply(Rect{1, 1, 2, -2}), (Rect{2, -2, 4, 4}));
}

} // namespace
} // namespace gfx
