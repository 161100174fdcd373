#include "platform/graphics/Text.h"

#include "platform/graphics/SystemColors.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace gfx {
namespace {

using test::pixel8;

constexpr const char* kLong = "The quick brown fox jumps over the lazy dog";

TextAttributes withStyle(TextAlignment alignment, LineBreakMode mode, FontRef font = Font::systemFont(12)) {
    return {std::move(font), std::nullopt, ParagraphStyle{alignment, mode}};
}

// Bounds of the pixels that received ink, in pixels; empty when nothing was drawn.
Rect inkBounds(const ImageRef& image) {
    Rect ink = Rect::null();
    for (int y = 0; y < image->pixelHeight(); ++y)
        for (int x = 0; x < image->pixelWidth(); ++x)
            if (image->pixel(x, y).a > 0.2) ink = ink.unionWith(Rect{double(x), double(y), 1, 1});
    return ink;
}

TEST(Text, SingleLineSizeFollowsTheFont) {
    const FontRef font = Font::systemFont(12);
    const Size abc = sizeWithAttributes("ABC", {font, {}, {}});
    EXPECT_DOUBLE_EQ(abc.height, font->lineHeight()) << "one line is one line height";
    EXPECT_GT(abc.width, 10);
    EXPECT_GT(sizeWithAttributes("ABCABC", {font, {}, {}}).width, abc.width * 1.9);
    EXPECT_EQ(sizeWithAttributes("ABC"), sizeWithAttributes("ABC", {font, {}, {}})) << "default: system 12";
    EXPECT_EQ(sizeWithAttributes("", {font, {}, {}}), (Size{0, 0}));
    EXPECT_NEAR(sizeWithAttributes("A\nB", {font, {}, {}}).height, 2 * font->lineHeight(), 0.01);
    // Truncating styles do not shorten an unbounded line.
    EXPECT_EQ(sizeWithAttributes(kLong, withStyle(TextAlignment::left, LineBreakMode::truncatingTail)),
              sizeWithAttributes(kLong, {font, {}, {}}));
}

TEST(Text, BoundingRectWrapsWithinTheWidth) {
    const TextAttributes attrs{Font::systemFont(12), {}, {}};
    const double line = attrs.font->lineHeight();
    const Rect wrapped = boundingRectWithSize(kLong, {100, 0}, StringDrawingUsesLineFragmentOrigin, attrs);
    EXPECT_EQ(wrapped.origin, Point::zero());
    EXPECT_LE(wrapped.size.width, 100);
    EXPECT_NEAR(wrapped.size.height, 3 * line, 0.01);
    // A height limit keeps only whole lines (but always the first).
    EXPECT_NEAR(boundingRectWithSize(kLong, {100, 2.5 * line}, 1, attrs).size.height, 2 * line, 0.01);
    EXPECT_NEAR(boundingRectWithSize(kLong, {100, 1}, 1, attrs).size.height, line, 0.01);
    // A word longer than the width breaks inside the word.
    EXPECT_LE(boundingRectWithSize("Mmmmmmmmmmmmmmmmmmmmmm", {40, 0}, 1, attrs).size.width, 40);
    // Without the line-fragment option: one line, origin on the baseline.
    const Rect baseline = boundingRectWithSize(kLong, {100, 0}, 0, attrs);
    EXPECT_DOUBLE_EQ(baseline.origin.y, -attrs.font->ascender());
    EXPECT_GT(baseline.size.width, 100);
}

TEST(Text, TailTruncationDrawsOneLineEndingInAnEllipsis) {
    const AttributedString text(kLong, withStyle(TextAlignment::left, LineBreakMode::truncatingTail));
    EXPECT_EQ(lineCount(text, {100, 100}), 1);
    EXPECT_TRUE(isTruncated(text, {100, 100}));
    EXPECT_FALSE(isTruncated(AttributedString("Fox", text.runs()[0].attributes), {100, 100}));
    const Rect measured = text.boundingRectWithSize({100, 100}, StringDrawingUsesLineFragmentOrigin);
    EXPECT_LE(measured.size.width, 100);
    EXPECT_DOUBLE_EQ(measured.size.height, Font::systemFont(12)->lineHeight());

    // By pixels: all ink inside the box's width and within the first line.
    const ImageRef image = test::render({120, 100}, 1, [&](GraphicsContext&) {
        text.drawInRect({0, 0, 100, 100});
    });
    const Rect ink = inkBounds(image);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.maxX(), 100);
    EXPECT_GT(ink.maxX(), 80) << "the line fills the width up to the ellipsis";
    EXPECT_LE(ink.maxY(), Font::systemFont(12)->lineHeight() + 1);

    // The same text wrapped takes several lines; a label of two lines truncates the second.
    EXPECT_EQ(lineCount(AttributedString(kLong), {100, 100}), 3);
    EXPECT_EQ(lineCount(text, {100, 100}, 2), 2);
    EXPECT_TRUE(isTruncated(text, {100, 100}, 2));
    EXPECT_EQ(lineCount(AttributedString(kLong, withStyle(TextAlignment::left, LineBreakMode::clipping)),
                        {100, 100}),
              1);
}

TEST(Text, AlignmentPlacesTheLineInTheBox) {
    auto inkFor = [](TextAlignment alignment, const char* text) {
        return inkBounds(test::render({200, 20}, 1, [&](GraphicsContext&) {
            drawInRect(text, {0, 0, 200, 20}, withStyle(alignment, LineBreakMode::truncatingTail));
        }));
    };
    const Rect left = inkFor(TextAlignment::left, "Day");
    const Rect center = inkFor(TextAlignment::center, "Day");
    const Rect right = inkFor(TextAlignment::right, "Day");
    EXPECT_LT(left.minX(), 3);
    EXPECT_NEAR(center.midX(), 100, 3);
    EXPECT_GT(right.maxX(), 196);
    EXPECT_LE(right.maxX(), 200);
    // Natural alignment follows the writing direction; explicit left stays left.
    EXPECT_GT(inkFor(TextAlignment::natural, "مرحبا").maxX(), 196);
    EXPECT_LT(inkFor(TextAlignment::left, "مرحبا").minX(), 3);
    EXPECT_LT(inkFor(static_cast<TextAlignment>(99), "Day").minX(), 3) << "unknown values act as natural";
}

TEST(Text, RunsKeepTheirOwnFontsAndColours) {
    AttributedString text("AB", {Font::systemFont(10), colors::red(), {}});
    text.append(AttributedString("CD", {Font::systemFont(30), colors::blue(), {}}));
    ASSERT_EQ(text.runs().size(), 2u);
    EXPECT_EQ(text.runs()[1].start, 2u);
    EXPECT_NEAR(text.size().height, Font::systemFont(30)->lineHeight(), 0.5);
    EXPECT_GT(text.size().width, sizeWithAttributes("ABCD", {Font::systemFont(10), {}, {}}).width * 2);

    const ImageRef image = test::render({80, 40}, 1, [&](GraphicsContext&) { text.drawAtPoint({0, 0}); });
    bool sawRed = false, sawBlue = false;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 80; ++x) {
            const test::Pixel8 p = pixel8(image, x, y);
            if (p.a < 200) continue;
            sawRed |= p.r > 200 && p.b < 50;
            sawBlue |= p.b > 200 && p.r < 50;
            if (p.r > 200) {
                EXPECT_LT(x, 20) << "red ink only in the first run";
            }
        }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
}

TEST(Text, DrawingHonoursContextAlphaAndNeedsAContext) {
    const ImageRef image = test::render({40, 20}, 1, [](GraphicsContext& c) {
        c.setAlpha(0.5);
        drawAtPoint("████", {0, 0}, {Font::systemFont(16), colors::black(), {}});
    });
    double maxAlpha = 0;
    for (int x = 0; x < 40; ++x)
        maxAlpha = std::max(maxAlpha, image->pixel(x, 10).a);
    EXPECT_NEAR(maxAlpha, 0.5, 0.02);
    // Without a current context nothing happens (and nothing crashes).
    ASSERT_EQ(currentContext(), nullptr);
    drawInRect(kLong, {0, 0, 10, 10});
    drawAtPoint(kLong, {0, 0});
}

TEST(Text, InvalidInputIsDefined) {
    // Invalid UTF-8 and NUL bytes measure as replacement characters instead of vanishing.
    const std::string broken("a\xff\xc3"
                             "b\0c",
                             6);
    EXPECT_GT(sizeWithAttributes(broken).width, sizeWithAttributes("abc").width);
    AttributedString split("é"); // a run boundary inside a character
    split.append(AttributedString(std::string("\xa9"), {}));
    EXPECT_GT(split.size().width, 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_GT(boundingRectWithSize(kLong, {nan, -5}, 1, {}).size.width, 100)
        << "unusable widths are unlimited";
    const ImageRef image = test::render({10, 10}, 1, [&](GraphicsContext&) {
        drawInRect(kLong, {nan, 0, 10, 10});
        drawInRect(kLong, {0, 0, 0, 10});
        drawAtPoint(kLong, {nan, nan});
    });
    EXPECT_TRUE(inkBounds(image).isNull());
}

} // namespace
} // namespace gfx
