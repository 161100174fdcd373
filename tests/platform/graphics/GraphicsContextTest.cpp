#include "platform/graphics/GraphicsContext.h"

#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

namespace gfx {
namespace {

using test::pixel8;
using test::Pixel8;

constexpr Pixel8 kRed{255, 0, 0, 255};
constexpr Pixel8 kBlue{0, 0, 255, 255};
constexpr Pixel8 kClear{0, 0, 0, 0};

TEST(GraphicsContext, DrawsInPointsAtTheContextScale) {
    const ImageRef image = test::render({10, 10}, 3, [](GraphicsContext& c) {
        EXPECT_EQ(c.ctm(), AffineTransform::makeScale(3, 3));
        c.setFillColor(colors::red());
        c.fillRect({1, 1, 2, 2});
    });
    EXPECT_EQ(image->pixelWidth(), 30);
    EXPECT_EQ(pixel8(image, 3, 3), kRed);
    EXPECT_EQ(pixel8(image, 8, 8), kRed);
    EXPECT_EQ(pixel8(image, 9, 9), kClear);
    EXPECT_EQ(pixel8(image, 2, 3), kClear);
}

TEST(GraphicsContext, CtmStepsApplyBeforeTheCurrentTransform) {
    const ImageRef image = test::render({20, 20}, 1, [](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.scaleCTM(2, 2);
        c.translateCTM(5, 0); // in the scaled space: 10 device pixels
        c.fillRect({0, 0, 1, 1});
        EXPECT_EQ(c.ctm().apply(Point{0, 0}), (Point{10, 0}));
        c.concatCTM(AffineTransform::makeRotation(std::numbers::pi / 2));
        const Point p = c.ctm().apply(Point{1, 0});
        EXPECT_NEAR(p.x, 10, 1e-9);
        EXPECT_NEAR(p.y, 2, 1e-9);
    });
    EXPECT_EQ(pixel8(image, 10, 0), kRed);
    EXPECT_EQ(pixel8(image, 11, 1), kRed);
    EXPECT_EQ(pixel8(image, 12, 0), kClear);
}

TEST(GraphicsContext, SaveAndRestoreCoverColoursAlphaCtmAndClip) {
    const ImageRef image = test::render({4, 1}, 1, [](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.saveGState();
        c.setFillColor(colors::blue());
        c.setAlpha(0.5);
        c.translateCTM(100, 0);
        c.clipToRect({0, 0, 0, 0});
        c.fillRect({-100, 0, 4, 1}); // clipped away
        c.restoreGState();
        c.restoreGState(); // unmatched: ignored
        EXPECT_EQ(c.fillColor(), colors::red());
        EXPECT_EQ(c.alpha(), 1);
        c.fillRect({0, 0, 1, 1});
        c.clipToRect({2, 0, 2, 1});
        c.fillRect({0, 0, 4, 1});
    });
    EXPECT_EQ(pixel8(image, 0, 0), kRed);
    EXPECT_EQ(pixel8(image, 1, 0), kClear) << "the clip only admits x >= 2";
    EXPECT_EQ(pixel8(image, 3, 0), kRed);
}

TEST(GraphicsContext, SingularCtmAndNonFiniteInputDrawNothingAndDoNotBreakTheContext) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ImageRef image = test::render({4, 1}, 1, [&](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.saveGState();
        c.scaleCTM(0, 1);
        EXPECT_FALSE(c.canDraw());
        c.fillRect({0, 0, 4, 1});
        c.drawLinearGradient({colors::red(), colors::blue()}, {}, {0, 0}, {4, 0});
        c.restoreGState();
        EXPECT_TRUE(c.canDraw());
        c.fillRect({nan, 0, 4, 1});
        c.fillEllipseInRect({0, 0, 0, 1});
        c.moveToPoint({nan, 0});
        c.addLineToPoint({std::numeric_limits<double>::infinity(), 1});
        c.addArc({1, 1}, -1, 0, 1, true);
        c.fillPath();
        c.setLineWidth(nan);
        c.setAlpha(nan);
        EXPECT_EQ(c.alpha(), 1);
        c.drawImage(nullptr, {0, 0, 4, 1});
        c.fillRect({3, 0, 1, 1}); // the context still works
    });
    EXPECT_EQ(pixel8(image, 0, 0), kClear);
    EXPECT_EQ(pixel8(image, 3, 0), kRed);
}

TEST(GraphicsContext, ShapesPathsAndClear) {
    const ImageRef image = test::render({40, 20}, 1, [](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.fillEllipseInRect({0, 0, 20, 20});
        c.clearRect({8, 8, 4, 4});
        c.setStrokeColor(colors::blue());
        c.setLineWidth(2);
        c.beginPath();
        c.moveToPoint({24, 10});
        c.addLineToPoint({40, 10});
        c.strokePath();
        EXPECT_TRUE(c.isPathEmpty()) << "stroking consumes the path";
        c.fillPath(); // nothing left to fill
    });
    EXPECT_EQ(pixel8(image, 4, 10), kRed) << "inside the ellipse";
    EXPECT_EQ(pixel8(image, 1, 1), kClear) << "outside the ellipse, inside its rectangle";
    EXPECT_EQ(pixel8(image, 10, 10), kClear) << "cleared";
    EXPECT_EQ(pixel8(image, 30, 9), kBlue);
    EXPECT_EQ(pixel8(image, 30, 12), kClear);
}

TEST(GraphicsContext, FilledEllipsesMatchTheirOutlineAtAnyOffsetAndTransform) {
    // fillEllipseInRect reuses coverage masks for small axis-aligned ellipses; they must
    // land where the general path fill puts the same ellipse.
    for (const Rect& r : {Rect{3.3, 2.6, 9.5, 6.25}, Rect{-2.1, 4.9, 5, 5}, Rect{10, 1, -4.5, 7}}) {
        for (const bool rotated : {false, true}) {
            auto draw = [&](bool viaPath) {
                return test::render({16, 16}, 2, [&](GraphicsContext& c) {
                    if (rotated)
                        c.concatCTM(AffineTransform::makeTranslation(-8, -8).rotate(0.5).translate(8, 8));
                    c.setFillColor(colors::red());
                    if (viaPath) {
                        c.addEllipseInRect(r);
                        c.fillPath();
                    } else {
                        c.fillEllipseInRect(r);
                    }
                });
            };
            const ImageRef fast = draw(false), reference = draw(true);
            int worst = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    worst = std::max(worst, std::abs(pixel8(fast, x, y).a - pixel8(reference, x, y).a));
            EXPECT_LE(worst, 40) << r.origin.x << " rotated " << rotated;
        }
    }
}

TEST(GraphicsContext, DrawImageStretchesUprightWithAlpha) {
    const ImageRef source = test::render({1, 2}, 1, [](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.fillRect({0, 0, 1, 1});
        c.setFillColor(colors::blue());
        c.fillRect({0, 1, 1, 1});
    });
    const ImageRef image = test::render({20, 20}, 1, [&](GraphicsContext& c) {
        c.drawImage(source, {0, 0, 10, 20});
        c.setAlpha(0.5);
        c.drawImage(source, {10, 0, 10, 20});
    });
    EXPECT_EQ(pixel8(image, 5, 1), kRed) << "the top row stays at the top";
    EXPECT_EQ(pixel8(image, 5, 18), kBlue);
    EXPECT_EQ(pixel8(image, 15, 1), (Pixel8{255, 0, 0, 128}));
}

TEST(GraphicsContext, LinearGradientEndsAndOptions) {
    auto draw = [](GradientDrawingOptions options) {
        return test::render({100, 1}, 1, [&](GraphicsContext& c) {
            c.drawLinearGradient({colors::red(), colors::blue()}, {0, 1}, {20, 0}, {80, 0}, options);
        });
    };
    const ImageRef plain = draw(0);
    EXPECT_GE(pixel8(plain, 20, 0).r, 250);
    EXPECT_LE(pixel8(plain, 79, 0).r, 5);
    EXPECT_GE(pixel8(plain, 79, 0).b, 250);
    EXPECT_EQ(pixel8(plain, 10, 0), kClear) << "nothing before the start without the option";
    EXPECT_EQ(pixel8(plain, 90, 0), kClear) << "nothing after the end without the option";
    const ImageRef both = draw(GradientDrawsBeforeStartLocation | GradientDrawsAfterEndLocation);
    EXPECT_EQ(pixel8(both, 0, 0), kRed);
    EXPECT_EQ(pixel8(both, 99, 0), kBlue);
    const ImageRef after = draw(GradientDrawsAfterEndLocation);
    EXPECT_EQ(pixel8(after, 0, 0), kClear);
    EXPECT_EQ(pixel8(after, 99, 0), kBlue);
    // Three colours spread evenly when no locations are given.
    const ImageRef three = test::render({101, 1}, 1, [](GraphicsContext& c) {
        c.drawLinearGradient({colors::red(), colors::green(), colors::blue()}, {}, {0, 0}, {101, 0});
    });
    EXPECT_GT(pixel8(three, 50, 0).g, 250);
}

TEST(GraphicsContext, DrawnPixelsCoverWhatEachOperationTouchedWithinTheClip) {
    test::render({100, 100}, 2, [](GraphicsContext& c) {
        EXPECT_TRUE(c.drawnPixels().isNull());
        c.clearRect({0, 0, 0, 0});
        c.setFillColor(colors::red());
        c.fillRect({10, 10, 5, 5}); // antialiasing may reach a pixel around
        EXPECT_EQ(c.drawnPixels(), (Rect{19, 19, 12, 12}));
        c.saveGState();
        c.clipToRect({0, 0, 50, 30});
        c.setLineWidth(4);
        c.setLineJoin(LineJoin::round);
        c.setStrokeColor(colors::blue());
        c.strokeRect({40, 20, 20, 20}); // reaches 2 * sqrt(2) points out, cut at the clip
        c.restoreGState();
        const Rect drawn = c.drawnPixels();
        EXPECT_EQ(drawn.minX(), 19);
        EXPECT_EQ(drawn.maxX(), 101);
        EXPECT_EQ(drawn.maxY(), 61);
        // Cairo drawn directly is not seen: every pixel counts.
        c.cairo();
        EXPECT_EQ(c.drawnPixels(), (Rect{-1, -1, 202, 202}));
    });
    // Text counts its lines' boxes.
    test::render({100, 100}, 1, [](GraphicsContext& c) {
        pushContext(&c);
        drawAtPoint(AttributedString("Wq", {}), {30, 40});
        popContext();
        const Rect drawn = c.drawnPixels();
        EXPECT_LE(drawn.minX(), 30);
        EXPECT_LE(drawn.minY(), 40);
        EXPECT_GT(drawn.maxX(), 40);
        EXPECT_LT(drawn.maxX(), 80);
    });
}

} // namespace
} // namespace gfx
