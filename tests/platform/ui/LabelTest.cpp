#include "UITestSupport.h"

#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

using namespace ui;
using namespace ui::test;

namespace {

const char* const kLongText = "The quick brown fox jumps over the lazy dog and keeps on running far away";

// The first and last rows (and columns) of an image with any ink; nullopt when blank.
struct InkBox {
    int top, bottom, left, right;
};
std::optional<InkBox> inkBox(const gfx::ImageRef& image) {
    std::optional<InkBox> box;
    for (int y = 0; y < image->pixelHeight(); ++y)
        for (int x = 0; x < image->pixelWidth(); ++x) {
            if (pixel8(image, x, y).a < 64) continue;
            if (!box) box = InkBox{y, y, x, x};
            box->top = std::min(box->top, y);
            box->bottom = std::max(box->bottom, y);
            box->left = std::min(box->left, x);
            box->right = std::max(box->right, x);
        }
    return box;
}

gfx::ImageRef render(View& view) {
    view.layer()->setContentsScale(1);
    return snapshot(*view.layer(), view.bounds().size);
}

double ceilToPixels(double v) {
    return std::ceil(v * gfx::screenScale() - 1e-9) / gfx::screenScale();
}

} // namespace

TEST(Label, DefaultsAndNoTouches) {
    auto label = Label::make({10, 10, 100, 30});
    EXPECT_EQ(label->font()->pointSize(), 17);
    EXPECT_EQ(label->textColor(), gfx::systemColorOr(gfx::systemColors::label(), gfx::colors::black()));
    EXPECT_EQ(label->numberOfLines(), 1);
    EXPECT_EQ(label->lineBreakMode(), gfx::LineBreakMode::truncatingTail);
    EXPECT_FALSE(label->isUserInteractionEnabled());
    auto root = View::make({0, 0, 200, 200});
    root->addSubview(label);
    EXPECT_EQ(root->hitTest({20, 20}, nullptr), root.get());
    label->setNumberOfLines(-3);
    EXPECT_EQ(label->numberOfLines(), 0);
}

TEST(Label, SizeThatFitsOneLineOrWrappedInTheWidth) {
    auto label = Label::make();
    EXPECT_EQ(label->sizeThatFits({100, 100}), (gfx::Size{0, 0}));

    label->setText(kLongText);
    const gfx::Size natural = gfx::sizeWithAttributes(kLongText, gfx::TextAttributes{label->font(), {}, {}});
    // One line: as long as the text whatever the offered width, rounded up to pixels.
    const gfx::Size one = label->sizeThatFits({50, 5});
    EXPECT_NEAR(one.width, ceilToPixels(natural.width), 1e-9);
    EXPECT_NEAR(one.height, ceilToPixels(label->font()->lineHeight()), 1e-9);

    // Several lines wrap in the offered width; the offered height does not cut them.
    label->setNumberOfLines(0);
    const gfx::Size wrapped = label->sizeThatFits({120, 5});
    EXPECT_LE(wrapped.width, 120);
    EXPECT_GE(wrapped.height, 3 * label->font()->lineHeight() - 1e-6);
    label->setNumberOfLines(2);
    EXPECT_NEAR(label->sizeThatFits({120, 5}).height, ceilToPixels(2 * label->font()->lineHeight()), 0.5);

    // sizeToFit keeps the origin.
    label->setFrame({7, 9, 120, 10});
    label->sizeToFit();
    EXPECT_EQ(label->frame().origin, (gfx::Point{7, 9}));
    EXPECT_EQ(label->frame().size, label->sizeThatFits({120, 10}));
}

TEST(Label, TextIsCentredVerticallyAndAligned) {
    const auto make = [](double height, gfx::TextAlignment alignment) {
        auto label = Label::make({0, 0, 200, height});
        label->setText("Hamburg");
        label->setTextColor(gfx::colors::black());
        label->setTextAlignment(alignment);
        return label;
    };
    auto tall = make(100, gfx::TextAlignment::left);
    const double lineHeight = tall->sizeThatFits({200, 0}).height;
    // The same text drawn in a label just its height, placed where centring puts it.
    auto tight = make(lineHeight, gfx::TextAlignment::left);
    const auto inTall = inkBox(render(*tall));
    const auto inTight = inkBox(render(*tight));
    ASSERT_TRUE(inTall && inTight);
    const double offset = (100 - lineHeight) / 2;
    EXPECT_NEAR(inTall->top, inTight->top + offset, 1.0);
    EXPECT_NEAR(inTall->bottom, inTight->bottom + offset, 1.0);

    const auto right = inkBox(render(*make(100, gfx::TextAlignment::right)));
    const auto centre = inkBox(render(*make(100, gfx::TextAlignment::center)));
    ASSERT_TRUE(right && centre);
    EXPECT_LE(inTall->left, 2);
    EXPECT_GE(right->right, 197);
    EXPECT_NEAR((centre->left + centre->right) / 2.0, 100, 2);
}

TEST(Label, LongTextEndsInAnEllipsisOnTheLastLineThatFits) {
    const double lineHeight = Label::make()->font()->lineHeight();
    const auto make = [&](long lines, double height) {
        auto label = Label::make({0, 0, 150, height});
        label->setText(kLongText);
        label->setTextColor(gfx::colors::black());
        label->setNumberOfLines(lines);
        return label;
    };
    // Unlimited lines in a box two and a half lines high draw as two truncated lines.
    auto unlimited = make(0, 2.5 * lineHeight);
    auto two = make(2, 2.5 * lineHeight);
    EXPECT_EQ(gfx::lineCount(two->attributedText(), two->bounds().size, 2), 2);
    EXPECT_TRUE(gfx::isTruncated(two->attributedText(), two->bounds().size, 2));
    const gfx::ImageRef a = render(*unlimited);
    const gfx::ImageRef b = render(*two);
    const auto box = inkBox(a);
    ASSERT_TRUE(box);
    EXPECT_LE(box->bottom - box->top, 2 * lineHeight);
    for (int y = 0; y < a->pixelHeight(); ++y)
        for (int x = 0; x < a->pixelWidth(); x += 3)
            ASSERT_EQ(pixel8(a, x, y), pixel8(b, x, y)) << x << ", " << y;

    // One line truncates on that line.
    auto single = make(1, 40);
    EXPECT_TRUE(gfx::isTruncated(single->attributedText(), single->bounds().size, 1));
}

TEST(ImageView, PlacesItsImageByContentMode) {
    const gfx::Rect bounds{0, 0, 40, 40};
    const gfx::Size image{20, 10};
    EXPECT_EQ(ImageView::placeImage(image, bounds, ViewContentModeScaleToFill), bounds);
    EXPECT_EQ(ImageView::placeImage(image, bounds, ViewContentModeScaleAspectFit),
              (gfx::Rect{0, 10, 40, 20}));
    EXPECT_EQ(ImageView::placeImage(image, bounds, ViewContentModeScaleAspectFill),
              (gfx::Rect{-20, 0, 80, 40}));
    EXPECT_EQ(ImageView::placeImage(image, bounds, ViewContentModeCenter), (gfx::Rect{10, 15, 20, 10}));
    EXPECT_EQ(ImageView::placeImage(image, bounds, ViewContentModeBottomRight), (gfx::Rect{20, 30, 20, 10}));
    EXPECT_EQ(ImageView::placeImage({0, 0}, bounds, ViewContentModeCenter), bounds);

    // initWithImage: sized to the image, not interactive, the image is the layer's contents.
    auto redImage = gfx::Image::make(20, 10, 1);
    std::uint8_t* data = redImage->mutableData();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const std::uint32_t pixel = 0xFFFF0000u;
            std::memcpy(data + y * redImage->stride() + x * 4, &pixel, 4);
        }
    redImage->markDirty();
    auto view = ImageView::make(gfx::ImageRef(redImage));
    EXPECT_EQ(view->frame(), (gfx::Rect{0, 0, 20, 10}));
    EXPECT_EQ(view->sizeThatFits({}), (gfx::Size{20, 10}));
    EXPECT_FALSE(view->isUserInteractionEnabled());
    EXPECT_EQ(view->layer()->contents(), view->image());

    view->setFrame(bounds);
    view->setContentMode(ViewContentModeScaleAspectFit);
    const gfx::ImageRef shot = snapshot(*view->layer(), {40, 40});
    EXPECT_EQ(pixel8(shot, 20, 5), clear);
    EXPECT_EQ(pixel8(shot, 20, 20), red);
    EXPECT_EQ(pixel8(shot, 20, 35), clear);
}
