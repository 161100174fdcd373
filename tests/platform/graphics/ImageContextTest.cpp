#include "platform/graphics/ImageContext.h"

#include "platform/graphics/SystemColors.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace gfx {
namespace {

using test::pixel8;
using test::Pixel8;

TEST(ImageContext, SizesOfNoPixelsPushAContextlessEntryThatStillBalances) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const Size size : {Size{0, 10}, Size{10, -1}, Size{nan, 10}, Size{1e9, 1}, Size{0.0000001, 5}}) {
        const std::size_t depth = contextStackDepth();
        beginImageContext(size, true, 1);
        EXPECT_EQ(currentContext(), nullptr) << size.width << " x " << size.height;
        EXPECT_EQ(imageFromCurrentImageContext(), nullptr);
        endImageContext();
        EXPECT_EQ(contextStackDepth(), depth);
    }
    // Partial pixels count as whole ones.
    beginImageContext({0.3, 0.3}, false, 1);
    ASSERT_NE(imageFromCurrentImageContext(), nullptr);
    EXPECT_EQ(imageFromCurrentImageContext()->pixelWidth(), 1);
    endImageContext();
    endImageContext(); // nothing left: ignored
}

TEST(ImageContext, OpaqueStartsBlackAndTransparentStartsClear) {
    beginImageContext({2, 2}, true, 1);
    EXPECT_EQ(pixel8(imageFromCurrentImageContext(), 1, 1), (Pixel8{0, 0, 0, 255}));
    endImageContext();
    beginImageContext({2, 2}, false, 1);
    EXPECT_EQ(pixel8(imageFromCurrentImageContext(), 1, 1), (Pixel8{0, 0, 0, 0}));
    endImageContext();
}

TEST(ImageContext, ScaleZeroMeansTheScreenScale) {
    test::ScopedGraphicsSettings restore;
    setScreenScale(3);
    beginImageContext({10, 5}, false, 0);
    const ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->scale(), 3);
    EXPECT_EQ(image->pixelWidth(), 30);
    EXPECT_EQ(image->size(), (Size{10, 5}));
    setScreenScale(-1); // ignored
    EXPECT_EQ(screenScale(), 3);
}

TEST(ImageContext, NestedAndPushedContextsAreCurrentInStackOrder) {
    beginImageContext({1, 1}, false, 1);
    GraphicsContext* outer = currentContext();
    currentContext()->setFillColor(colors::red());
    currentContext()->fillRect({0, 0, 1, 1});
    const ImageRef before = imageFromCurrentImageContext();

    beginImageContext({2, 2}, false, 1);
    EXPECT_NE(currentContext(), outer);
    pushContext(outer);
    EXPECT_EQ(currentContext(), outer);
    EXPECT_EQ(imageFromCurrentImageContext(), nullptr) << "a pushed context is not an image context";
    endImageContext(); // the top is a pushed context: ignored
    EXPECT_EQ(currentContext(), outer);
    popContext();
    EXPECT_EQ(imageFromCurrentImageContext()->pixelWidth(), 2);
    popContext(); // the top is an image context: ignored
    endImageContext();
    EXPECT_EQ(currentContext(), outer);

    // An image taken earlier is a snapshot: later drawing does not change it.
    currentContext()->setFillColor(colors::blue());
    currentContext()->fillRect({0, 0, 1, 1});
    EXPECT_EQ(pixel8(before, 0, 0), (Pixel8{255, 0, 0, 255}));
    EXPECT_EQ(pixel8(imageFromCurrentImageContext(), 0, 0), (Pixel8{0, 0, 255, 255}));
    endImageContext();
    EXPECT_EQ(currentContext(), nullptr);
}

TEST(ImageContext, EndingWithTheImageHandsOverWhatWasDrawn) {
    const std::size_t depth = contextStackDepth();
    beginImageContext({2, 1}, false, 1);
    currentContext()->setFillColor(colors::red());
    currentContext()->fillRect({1, 0, 1, 1});
    const ImageRef image = endImageContextWithImage();
    EXPECT_EQ(contextStackDepth(), depth);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(pixel8(image, 0, 0), (Pixel8{0, 0, 0, 0}));
    EXPECT_EQ(pixel8(image, 1, 0), (Pixel8{255, 0, 0, 255}));

    beginImageContext({0, 5}, false, 1); // nothing to draw into: no image, still popped
    EXPECT_EQ(endImageContextWithImage(), nullptr);
    GraphicsContext* outer = nullptr;
    pushContext(outer);
    EXPECT_EQ(endImageContextWithImage(), nullptr) << "a pushed context is not an image context";
    popContext();
    EXPECT_EQ(contextStackDepth(), depth);
}

} // namespace
} // namespace gfx
