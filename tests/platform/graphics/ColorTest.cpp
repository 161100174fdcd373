#include "platform/graphics/SystemColors.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace gfx {
namespace {

using test::pixel8;
using test::Pixel8;

TEST(Color, SystemColorsResolveByAppearance) {
    test::ScopedGraphicsSettings restore;
    setCurrentAppearance(Appearance::light);
    EXPECT_EQ(systemColors::label().resolved(), (RGBA{0, 0, 0, 1}));
    EXPECT_EQ(systemColors::systemBackground().resolved(), (RGBA{1, 1, 1, 1}));
    setCurrentAppearance(Appearance::dark);
    EXPECT_EQ(systemColors::label().resolved(), (RGBA{1, 1, 1, 1}));
    EXPECT_EQ(systemColors::systemBackground().resolved(), (RGBA{0, 0, 0, 1}));
    EXPECT_EQ(systemColors::secondarySystemBackground().resolved(), Color::rgb8(28, 28, 30).resolved());
    EXPECT_EQ(systemColors::systemGray4().resolved(), Color::rgb8(58, 58, 60).resolved());

    // Fixed colours ignore the appearance; withAlpha keeps both sides dynamic.
    EXPECT_FALSE(colors::lightGray().isDynamic());
    EXPECT_EQ(colors::lightGray().resolved(Appearance::dark),
              colors::lightGray().resolved(Appearance::light));
    const Color faded = systemColors::label().withAlpha(0.5);
    EXPECT_EQ(faded.resolved(Appearance::light), (RGBA{0, 0, 0, 0.5}));
    EXPECT_EQ(faded.resolved(Appearance::dark), (RGBA{1, 1, 1, 0.5}));
}

TEST(Color, SystemColorOrPicksTheBranchOfTheOsSwitch) {
    test::ScopedGraphicsSettings restore;
    const Color fallback = Color::rgb8(3, 3, 3);
    setSystemColorsAvailable(true);
    EXPECT_EQ(systemColorOr(systemColors::label(), fallback), systemColors::label());
    setSystemColorsAvailable(false);
    EXPECT_EQ(systemColorOr(systemColors::label(), fallback), fallback);
    setCurrentAppearance(Appearance::dark);
    EXPECT_EQ(systemColorOr(systemColors::label(), fallback).resolved(), fallback.resolved())
        << "the older branch's fixed colours do not follow the appearance";
}

TEST(Color, DrawingResolvesAgainstTheAppearanceAtDrawTime) {
    test::ScopedGraphicsSettings restore;
    setCurrentAppearance(Appearance::light);
    const ImageRef image = test::render({2, 1}, 1, [](GraphicsContext& c) {
        c.setFillColor(systemColors::label()); // chosen while light...
        c.fillRect({0, 0, 1, 1});
        setCurrentAppearance(Appearance::dark); // ...drawn again while dark
        c.fillRect({1, 0, 1, 1});
    });
    EXPECT_EQ(pixel8(image, 0, 0), (Pixel8{0, 0, 0, 255}));
    EXPECT_EQ(pixel8(image, 1, 0), (Pixel8{255, 255, 255, 255}));
}

TEST(Color, EightBitComponentsAndClamping) {
    EXPECT_DOUBLE_EQ(Color::rgb8(3, 121, 255).resolved().g, 121 / 255.0);
    // Out-of-range components draw clamped.
    const ImageRef image = test::render({1, 1}, 1, [](GraphicsContext& c) {
        c.setFillColor(Color::rgba(2, -1, 0.5, 7));
        c.fillRect({0, 0, 1, 1});
    });
    EXPECT_EQ(pixel8(image, 0, 0), (Pixel8{255, 0, 128, 255}));
}

} // namespace
} // namespace gfx
