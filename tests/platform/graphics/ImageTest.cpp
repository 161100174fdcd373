#include "platform/graphics/Image.h"

#include "platform/graphics/SystemColors.h"

#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace gfx {
namespace {

using test::pixel8;
using test::Pixel8;

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("olm_graphics_") + name)).string();
}

TEST(Image, MakeChecksItsArguments) {
    EXPECT_EQ(Image::make(0, 10), nullptr);
    EXPECT_EQ(Image::make(10, -1), nullptr);
    EXPECT_EQ(Image::make(1 << 20, 1 << 20), nullptr) << "too large for an image surface";
    const auto image = Image::make(30, 20, 3);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size(), (Size{10, 20.0 / 3}));
    EXPECT_GE(image->stride(), 30 * 4);
    EXPECT_EQ(image->pixel(0, 0), RGBA{}) << "new images are transparent";
    EXPECT_EQ(image->pixel(-1, 0), RGBA{});
    EXPECT_EQ(image->pixel(30, 0), RGBA{});
    EXPECT_EQ(Image::make(4, 4, std::numeric_limits<double>::infinity())->scale(), 1);
    EXPECT_EQ(Image::fromSurface(nullptr), nullptr);
}

TEST(Image, PixelsAreReadUnpremultiplied) {
    auto image = Image::make(1, 1);
    // Half-transparent pure red, premultiplied as stored: a = 128, r = 128.
    *reinterpret_cast<std::uint32_t*>(image->mutableData()) = 0x80800000u;
    image->markDirty();
    EXPECT_EQ(pixel8(image, 0, 0), (Pixel8{255, 0, 0, 128}));
}

TEST(Image, PngRoundTripKeepsPixels) {
    const ImageRef original = test::render({4, 2}, 2, [](GraphicsContext& c) {
        c.setFillColor(Color::rgb8(10, 200, 30));
        c.fillRect({0, 0, 2, 2});
        c.setFillColor(Color::rgb8(0, 0, 255, 0.5));
        c.fillRect({2, 0, 2, 2});
    });
    ASSERT_NE(original, nullptr);
    const std::string path = tempPath("roundtrip.png");
    ASSERT_TRUE(original->writePNG(path));
    const ImageRef loaded = Image::readPNG(path);
    std::remove(path.c_str());
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->scale(), 1);
    ASSERT_EQ(loaded->pixelWidth(), 8);
    ASSERT_EQ(loaded->pixelHeight(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(pixel8(loaded, x, y), pixel8(original, x, y)) << x << "," << y;
    EXPECT_EQ(pixel8(loaded, 6, 1), (Pixel8{0, 0, 255, 128}));
}

TEST(Image, ReadingAnythingButAPngGivesNull) {
    EXPECT_EQ(Image::readPNG(tempPath("does-not-exist.png")), nullptr);
    const std::string path = tempPath("garbage.png");
    std::ofstream(path) << "not a png";
    EXPECT_EQ(Image::readPNG(path), nullptr);
    std::remove(path.c_str());
    EXPECT_FALSE(Image::make(2, 2)->writePNG("/nonexistent-dir/x.png"));
}

TEST(Image, CroppingCutsInPointsAtTheImageScale) {
    const ImageRef image = test::render({4, 4}, 2, [](GraphicsContext& c) {
        c.setFillColor(colors::red());
        c.fillRect({2, 2, 2, 2});
    });
    const auto corner = image->cropped({1, 1, 10, 10});
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->size(), (Size{3, 3})) << "clipped to the image";
    EXPECT_EQ(corner->scale(), 2);
    EXPECT_EQ(pixel8(corner, 0, 0).a, 0);
    EXPECT_EQ(pixel8(corner, 2, 2), (Pixel8{255, 0, 0, 255}));
    EXPECT_EQ(image->cropped({5, 5, 1, 1}), nullptr);
    EXPECT_EQ(image->cropped(Rect::null()), nullptr);
}

TEST(Image, PixelsAreTakenOverOnlyFromTheirOnlyHolder) {
    std::shared_ptr<Image> made = Image::make(4, 3, 2);
    made->mutableData()[0] = 0x7f;
    made->markDirty();
    ImageRef image = made;
    made.reset();
    ImageRef other = image;
    EXPECT_EQ(Image::takePixels(image), nullptr); // held twice: untouched
    other.reset();
    const std::uint8_t* pixels = image->data();
    const std::shared_ptr<Image> taken = Image::takePixels(image);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->data(), pixels);
    EXPECT_EQ(taken->data()[0], 0x7f);
    EXPECT_NE(taken->serialNumber(), image->serialNumber());
    EXPECT_EQ(taken->scale(), 2);
    EXPECT_EQ(taken->pixelHeight(), 3);
    EXPECT_EQ(Image::takePixels(nullptr), nullptr);
}

TEST(Image, ALargeImageMadeWhereAnotherWentStartsClear) {
    // Large pixel stores are kept for the next image of their size: it must not show the old one.
    // Past a few megabytes they are mapped from the system instead of allocated; a surface made
    // for drawing into comes from the same stores.
    for (const int side : {600, 1100}) {
        for (int round = 0; round < 3; ++round) {
            std::shared_ptr<Image> image;
            cairo_surface_t* surface = nullptr;
            std::uint8_t* bytes = nullptr;
            if (round < 2) {
                image = Image::make(side, side, 1);
                ASSERT_NE(image, nullptr);
                bytes = image->mutableData();
            } else {
                surface = makePixelSurface(side, side);
                ASSERT_NE(surface, nullptr);
                ASSERT_EQ(cairo_image_surface_get_width(surface), side);
                bytes = cairo_image_surface_get_data(surface);
            }
            const std::size_t count = std::size_t(side) * side;
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(bytes);
            EXPECT_EQ(std::count(pixels, pixels + count, 0u), static_cast<std::ptrdiff_t>(count)) << side << " " << round;
            std::fill_n(bytes, count * 4, std::uint8_t{0xff});
            if (surface) cairo_surface_destroy(surface);
        }
    }
    EXPECT_EQ(makePixelSurface(0, 10), nullptr);
}

} // namespace
} // namespace gfx
