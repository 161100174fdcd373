#include "platform/graphics/Font.h"

#include <gtest/gtest.h>

#include <limits>

namespace gfx {
namespace {

TEST(Font, ToolkitNamesMapOntoInstalledFamiliesWithTheirWeights) {
    const FontRef light = Font::named("HelveticaNeue-Light", 25);
    EXPECT_EQ(light->fontName(), "HelveticaNeue-Light");
    EXPECT_EQ(light->familyName(), "Liberation Sans");
    EXPECT_EQ(light->weightClass(), 300);
    EXPECT_EQ(light->pointSize(), 25);
    EXPECT_EQ(Font::named("HelveticaNeue-Medium", 8)->weightClass(), 500);
    EXPECT_EQ(Font::named("Helvetica-BoldOblique", 8)->weightClass(), 700);
    EXPECT_TRUE(Font::named("Helvetica-BoldOblique", 8)->isItalic());
    EXPECT_EQ(Font::named("DejaVuSans-Bold", 10)->familyName(), "DejaVu Sans");
    EXPECT_EQ(Font::named("Courier", 10)->familyName(), "Liberation Mono");

    EXPECT_EQ(Font::systemFont(12, FontWeight::medium)->weightClass(), 500);
    EXPECT_EQ(Font::systemFont(12, 0.1)->weightClass(), 400) << "weights snap to the nearest step";
    EXPECT_EQ(Font::boldSystemFont(19)->fontName(), "System-Bold");
}

TEST(Font, BadNamesAndSizesStillGiveAUsableFont) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const FontRef& font : {Font::named("NoSuchFamily-Bold", 10), Font::named("", 10),
                                Font::named("\xff\xfe-", 10), Font::systemFont(nan, nan),
                                Font::systemFont(-3), Font::systemFont(0), Font::named("Helvetica", 1e12)}) {
        ASSERT_NE(font, nullptr);
        EXPECT_GT(font->pointSize(), 0);
        EXPECT_LE(font->pointSize(), 4096);
        EXPECT_GT(font->lineHeight(), 0);
    }
    EXPECT_EQ(Font::named("NoSuchFamily-Bold", 10)->familyName(), "Liberation Sans");
    EXPECT_EQ(Font::named("NoSuchFamily-Bold", 10)->weightClass(), 700)
        << "the fallback keeps the asked weight";
    EXPECT_EQ(Font::systemFont(-3)->pointSize(), 12);
}

TEST(Font, MetricsScaleWithSizeAndFontsAreShared) {
    const FontRef small = Font::systemFont(10);
    const FontRef large = small->withSize(20);
    EXPECT_GT(small->ascender(), 0);
    EXPECT_LT(small->descender(), 0) << "the descender lies below the baseline";
    EXPECT_DOUBLE_EQ(small->lineHeight(), small->ascender() - small->descender());
    EXPECT_NEAR(large->lineHeight(), 2 * small->lineHeight(), 0.05);
    EXPECT_EQ(large->fontName(), small->fontName());
    EXPECT_EQ(Font::systemFont(10), small) << "equal requests share one font";
    EXPECT_EQ(Font::named("HelveticaNeue-Light", 14)->withSize(25), Font::named("HelveticaNeue-Light", 25));
}

} // namespace
} // namespace gfx
