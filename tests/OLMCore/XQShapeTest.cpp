#include "OLMCore/XQShape.h"
#include "OLMCore/ImageEffects.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

const gfx::Color red = gfx::Color::rgba(1, 0, 0);
const gfx::Color blue = gfx::Color::rgba(0, 0, 1);

// Draws into a transparent 20 x 20 image at scale 1 and returns it.
gfx::ImageRef render(const std::function<void(gfx::GraphicsContext*)>& draw) {
    gfx::beginImageContext({20, 20}, false, 1);
    draw(gfx::currentContext());
    gfx::ImageRef image = gfx::imageFromCurrentImageContext();
    gfx::endImageContext();
    return image;
}

// Compares a pixel's colour with an opaque colour, or checks that it is transparent.
::testing::AssertionResult pixelIs(const gfx::ImageRef& image, int x, int y,
                                   std::optional<gfx::Color> expected) {
    const gfx::RGBA p = image->pixel(x, y);
    const bool ok =
        expected ? (p.a > 0.95 && std::abs(p.r - expected->light().r) < 0.05 &&
                    std::abs(p.g - expected->light().g) < 0.05 && std::abs(p.b - expected->light().b) < 0.05)
                 : p.a < 0.05;
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is rgba " << p.r << " " << p.g << " " << p.b << " " << p.a;
}

bool isBlank(const gfx::ImageRef& image) {
    for (int y = 0; y < image->pixelHeight(); ++y)
        for (int x = 0; x < image->pixelWidth(); ++x)
            if (image->pixel(x, y).a != 0) return false;
    return true;
}

} // namespace

TEST(XQShape, TypeTwoIsAFilledDiscCentredOnThePoint) {
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {10, 10});
    auto image = render([&](gfx::GraphicsContext* c) {
        shape->drawInContext(c, {10, 10}, {XQSolidFill::solidFillWithColor(red)});
    });
    EXPECT_TRUE(pixelIs(image, 10, 10, red));
    EXPECT_TRUE(pixelIs(image, 6, 9, red));  // inside the left edge
    EXPECT_TRUE(pixelIs(image, 5, 5, {}));   // the corner of its square is outside the circle
    EXPECT_TRUE(pixelIs(image, 16, 10, {})); // beyond the right edge
    EXPECT_EQ(shape->size(), (gfx::Size{10, 10}));
}

TEST(XQShape, DrawingsPaintInOrderAndStrokesStayInsideTheSize) {
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeRectangle, {12, 12});
    auto image = render([&](gfx::GraphicsContext* c) {
        shape->drawInContext(
            c, {10, 10}, {XQSolidFill::solidFillWithColor(red), nullptr, XQStroke::strokeWithColor(blue, 2)});
    });
    EXPECT_TRUE(pixelIs(image, 10, 10, red)); // the fill inside
    EXPECT_TRUE(pixelIs(image, 4, 10, blue)); // the stroke over the fill's edge...
    EXPECT_TRUE(pixelIs(image, 15, 15, blue));
    EXPECT_TRUE(pixelIs(image, 3, 10, {})); // ...and not outside the 12 x 12 square
    EXPECT_TRUE(pixelIs(image, 16, 10, {}));
}

TEST(XQShape, AShapeReachingIntoTheClipFromOutsideIsDrawn) {
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeRectangle, {12, 12});
    auto image = render([&](gfx::GraphicsContext* c) {
        c->clipToRect({0, 0, 10, 20});
        shape->drawInContext(c, {13, 10}, {XQSolidFill::solidFillWithColor(red)}); // 3 points inside
    });
    EXPECT_TRUE(pixelIs(image, 8, 10, red));
    EXPECT_TRUE(pixelIs(image, 9, 4, red));
    EXPECT_TRUE(pixelIs(image, 10, 10, {})); // the clip holds
}

TEST(XQShape, ScaleEnlargesTheWholeShapeAboutTheCentre) {
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {4, 4});
    auto fill = XQSolidFill::solidFillWithColor(red);
    auto image = render([&](gfx::GraphicsContext* c) { shape->drawInContext(c, {10, 10}, {fill}, 4); });
    EXPECT_TRUE(pixelIs(image, 3, 10, red)); // radius 8 instead of 2
    EXPECT_TRUE(pixelIs(image, 16, 10, red));
    EXPECT_TRUE(pixelIs(image, 10, 3, red));
    EXPECT_TRUE(pixelIs(image, 19, 10, {}));
}

TEST(XQShape, OtherTypesHaveTheirOwnOutlinesOrNone) {
    auto fill = XQSolidFill::solidFillWithColor(red);
    auto draw = [&](XQPredefinedShapeType type) {
        auto shape = XQPredefinedShape::shapeWithType(type, {16, 16});
        return render([&](gfx::GraphicsContext* c) { shape->drawInContext(c, {10, 10}, {fill}); });
    };
    auto rect = draw(XQPredefinedShapeTypeRectangle);
    EXPECT_TRUE(pixelIs(rect, 2, 2, red));
    auto rounded = draw(XQPredefinedShapeTypeRoundedRectangle);
    EXPECT_TRUE(pixelIs(rounded, 2, 2, {}));
    EXPECT_TRUE(pixelIs(rounded, 2, 10, red));
    EXPECT_TRUE(pixelIs(rounded, 4, 3, red)); // inside the corner's quarter circle
    auto diamond = draw(XQPredefinedShapeTypeDiamond);
    EXPECT_TRUE(pixelIs(diamond, 4, 4, {}));
    EXPECT_TRUE(pixelIs(diamond, 3, 10, red));
    EXPECT_TRUE(isBlank(draw(7)));
    EXPECT_TRUE(isBlank(draw(-1)));
}

TEST(XQShape, NothingIsDrawnWithoutSizeDrawingsOrAUsableScale) {
    auto fill = XQSolidFill::solidFillWithColor(red);
    auto disc = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {0, 0});
    EXPECT_TRUE(isBlank(render([&](gfx::GraphicsContext* c) { disc->drawInContext(c, {10, 10}, {fill}); })));
    disc->setSize({-6, 6});
    EXPECT_TRUE(isBlank(render([&](gfx::GraphicsContext* c) { disc->drawInContext(c, {10, 10}, {fill}); })));
    disc->setSize({6, 6});
    EXPECT_TRUE(isBlank(render([&](gfx::GraphicsContext* c) { disc->drawInContext(c, {10, 10}, {}); })));
    for (double scale : {0.0, -1.0, double(INFINITY), double(NAN)})
        EXPECT_TRUE(isBlank(render([&](gfx::GraphicsContext* c) {
            disc->drawInContext(c, {10, 10}, {fill}, scale);
        })));
    // A stroke wider than the shape, and a stroke of no width.
    EXPECT_TRUE(isBlank(render([&](gfx::GraphicsContext* c) {
        disc->drawInContext(c, {10, 10},
                            {XQStroke::strokeWithColor(blue, 20), XQStroke::strokeWithColor(blue, NAN)});
    })));
    disc->drawInContext(nullptr, {10, 10}, {fill}); // no context: nothing happens
}

TEST(XQFill, FillsExactlyTheRectangle) {
    auto fill = XQSolidFill::solidFillWithColor(blue);
    EXPECT_EQ(fill->color(), blue);
    auto image = render([&](gfx::GraphicsContext* c) {
        fill->drawInContext(c, {4, 6, 8, 2});
        fill->drawInContext(c, {1, 1, 0, 5}); // empty: nothing
        fill->drawInContext(nullptr, {0, 0, 20, 20});
    });
    EXPECT_TRUE(pixelIs(image, 4, 6, blue));
    EXPECT_TRUE(pixelIs(image, 11, 7, blue));
    EXPECT_TRUE(pixelIs(image, 12, 7, {}));
    EXPECT_TRUE(pixelIs(image, 4, 8, {}));
    EXPECT_TRUE(pixelIs(image, 1, 3, {}));
}

TEST(ImageEffects, ArrowsPointTheWayAskedAtTheScreenScale) {
    const double s = gfx::screenScale();
    auto px = [s](double points) { return static_cast<int>(points * s); };
    auto left = ImageEffects::arrowImageWithSize({16, 24}, {3, 3, 3, 3}, 3, blue, true);
    auto right = ImageEffects::arrowImageWithSize({16, 24}, {3, 3, 3, 3}, 3, blue, false);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(left->scale(), s);
    EXPECT_EQ(left->size(), (gfx::Size{16, 24}));

    // "<": the tip on the left edge of the inset area, the ends on its right corners.
    EXPECT_TRUE(pixelIs(left, px(3.5), px(12), blue));
    EXPECT_TRUE(pixelIs(left, px(12.5), px(3.5), blue));
    EXPECT_TRUE(pixelIs(left, px(12.5), px(20.5), blue));
    EXPECT_TRUE(pixelIs(left, px(12.5), px(12), {}));
    // ">": mirrored.
    EXPECT_TRUE(pixelIs(right, px(12.5), px(12), blue));
    EXPECT_TRUE(pixelIs(right, px(3.5), px(3.5), blue));
    EXPECT_TRUE(pixelIs(right, px(3.5), px(12), {}));
    // Nothing outside the stroke around the inset area.
    EXPECT_TRUE(pixelIs(left, 0, 0, {}));
    EXPECT_TRUE(pixelIs(left, px(15.5), px(23.5), {}));
}

TEST(ImageEffects, DegenerateArrowsGiveNoImageOrABlankOne) {
    EXPECT_EQ(ImageEffects::arrowImageWithSize({0, 24}, {}, 3, blue, true), nullptr);
    EXPECT_EQ(ImageEffects::arrowImageWithSize({-5, -5}, {}, 3, blue, true), nullptr);
    auto noRoom = ImageEffects::arrowImageWithSize({16, 24}, {12, 12, 12, 12}, 3, blue, true);
    ASSERT_NE(noRoom, nullptr);
    EXPECT_TRUE(isBlank(noRoom));
    auto noWidth = ImageEffects::arrowImageWithSize({16, 24}, {3, 3, 3, 3}, NAN, blue, false);
    ASSERT_NE(noWidth, nullptr);
    EXPECT_TRUE(isBlank(noWidth));
    EXPECT_EQ(gfx::contextStackDepth(), 0u); // every image context was closed
}
