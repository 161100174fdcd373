// A full-screen image (390 × 844 points at scale 3) drawn full-screen under a page-turn
// perspective, on one thread: the projective mapper against pixman's projective path, and
// under an affine transform against Cairo; and upright but scaled, as the float transition
// shows its pages.

#include "platform/graphics/ProjectiveMapper.h"

#include "../../PixelKernelCap.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 1170;
constexpr int kHeight = 2532;
// The eye distance of the transitions (500 points) in pixels.
constexpr double kEyeDistance = 1500;

struct Bitmap {
    std::vector<std::uint32_t> pixels;
    gfx::PixelBuffer buffer;

    Bitmap(int w, int h) : pixels(std::size_t(w) * std::size_t(h)) { buffer = {pixels.data(), w, h, w * 4}; }
};

// An opaque image with detail everywhere, so that every tap of the filter matters.
Bitmap makeSource() {
    Bitmap b(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            b.pixels[std::size_t(y) * kWidth + std::size_t(x)] =
                0xFF000000u | (std::uint32_t((x * 7) ^ (y * 3)) & 0xFF) << 16 |
                (std::uint32_t(x + y) & 0xFF) << 8 | (std::uint32_t(x * y) & 0xFF);
    return b;
}

// A turn of `degrees` about the vertical axis through the image's centre, seen from the eye
// distance: source pixels to target pixels.
gfx::Transform3D pageTurn(double degrees) {
    gfx::Transform3D perspective;
    perspective.m34 = -1 / kEyeDistance;
    const gfx::Transform3D toCentre = gfx::Transform3D::makeTranslation(-kWidth / 2.0, -kHeight / 2.0, 0);
    const gfx::Transform3D back = gfx::Transform3D::makeTranslation(kWidth / 2.0, kHeight / 2.0, 0);
    const gfx::Transform3D turn = gfx::Transform3D::makeRotation(degrees * M_PI / 180, 0, 1, 0);
    return gfx::concat(gfx::concat(gfx::concat(toCentre, turn), perspective), back);
}

// A slight rotation and zoom about the centre, as an affine transition shows.
gfx::AffineTransform tilt() {
    return gfx::AffineTransform::makeTranslation(-kWidth / 2.0, -kHeight / 2.0)
        .concat(gfx::AffineTransform::makeRotation(0.1))
        .concat(gfx::AffineTransform::makeScale(0.9, 0.9))
        .concat(gfx::AffineTransform::makeTranslation(kWidth / 2.0, kHeight / 2.0));
}

// Scaled by `scale` about the image's centre, upright: a page of the float transition.
gfx::Transform3D zoom(double scale) {
    return gfx::Transform3D::makeAffineTransform(
        gfx::AffineTransform::makeTranslation(-kWidth / 2.0, -kHeight / 2.0)
            .concat(gfx::AffineTransform::makeScale(scale, scale))
            .concat(gfx::AffineTransform::makeTranslation(kWidth / 2.0, kHeight / 2.0)));
}

void drawProjected(benchmark::State& state, const gfx::Transform3D& transform, double opacity,
                   gfx::SamplingFilter filter, bool opaque = false) {
    const Bitmap source = makeSource();
    Bitmap target(kWidth, kHeight);
    const gfx::Rect all(0, 0, kWidth, kHeight);
    gfx::ConstPixelBuffer pixels = source.buffer;
    pixels.opaque = opaque;
    for (auto _ : state) {
        const bool drew = gfx::drawImageProjected(target.buffer, all, pixels, all, transform, opacity,
                                                  {filter, true, false});
        benchmark::DoNotOptimize(drew);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_ProjectivePageTurn(benchmark::State& state) {
    drawProjected(state, pageTurn(double(state.range(0))), 1, gfx::SamplingFilter::Bilinear);
}
BENCHMARK(BM_ProjectivePageTurn)->Arg(30)->Arg(45)->Arg(60)->Unit(benchmark::kMillisecond);

void BM_ProjectivePageTurnHalfOpacity(benchmark::State& state) {
    drawProjected(state, pageTurn(45), 0.5, gfx::SamplingFilter::Bilinear);
}
BENCHMARK(BM_ProjectivePageTurnHalfOpacity)->Unit(benchmark::kMillisecond);

void BM_ProjectivePageTurnNearest(benchmark::State& state) {
    drawProjected(state, pageTurn(45), 1, gfx::SamplingFilter::Nearest);
}
BENCHMARK(BM_ProjectivePageTurnNearest)->Unit(benchmark::kMillisecond);

// The same page turn on each instruction set the pixel loops are built for (0: 128-bit
// vectors, 1: AVX2, 2: AVX-512); a set the processor lacks is skipped.
void BM_ProjectivePageTurnKernels(benchmark::State& state) {
    const auto wanted = gfx::PixelKernels(state.range(0));
    if (gfx::usePixelKernels(wanted) != wanted) {
        state.SkipWithError("not on this processor");
    } else {
        drawProjected(state, pageTurn(45), 1, gfx::SamplingFilter::Bilinear);
    }
    gfx::usePixelKernels(gfx::PixelKernels::Avx512);
}
BENCHMARK(BM_ProjectivePageTurnKernels)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// An opaque full-screen page scaled upright about its centre, faded: the two pages of the float
// transition a third of the way through (1.24 at 0.7, 0.72 at 0.3), drawn in two passes. The
// argument "avx2" caps the pixel loops at AVX2 (1) or not (0).
void BM_ProjectiveUpright(benchmark::State& state) {
    const PixelKernelCap cap(state.range(1) != 0);
    const double scale = double(state.range(0)) / 100;
    drawProjected(state, zoom(scale), scale > 1 ? 0.7 : 0.3, gfx::SamplingFilter::Bilinear, true);
}
BENCHMARK(BM_ProjectiveUpright)
    ->ArgsProduct({{124, 72}, {0, 1}})
    ->ArgNames({"scale", "avx2"})
    ->Unit(benchmark::kMillisecond);

void BM_ProjectiveAffine(benchmark::State& state) {
    drawProjected(state, gfx::Transform3D::makeAffineTransform(tilt()), 1, gfx::SamplingFilter::Bilinear);
}
BENCHMARK(BM_ProjectiveAffine)->Unit(benchmark::kMillisecond);

// A page turned in its plane by `degrees` about its top-right corner at half opacity, as the
// rotate transition shows its pages; the argument "avx2" caps the pixel loops at AVX2.
void BM_ProjectiveRotated(benchmark::State& state) {
    const PixelKernelCap cap(state.range(1) != 0);
    const gfx::AffineTransform turn =
        gfx::AffineTransform::makeTranslation(-kWidth, 0)
            .concat(gfx::AffineTransform::makeRotation(double(state.range(0)) * M_PI / 180))
            .concat(gfx::AffineTransform::makeTranslation(kWidth, 0));
    drawProjected(state, gfx::Transform3D::makeAffineTransform(turn), 0.5, gfx::SamplingFilter::Bilinear,
                  true);
}
BENCHMARK(BM_ProjectiveRotated)
    ->ArgsProduct({{-22, -5, -1}, {0, 1}})
    ->ArgNames({"degrees", "avx2"})
    ->Unit(benchmark::kMillisecond);

// The same affine drawing through Cairo (bilinear, source over).
void BM_CairoAffine(benchmark::State& state) {
    Bitmap source = makeSource();
    Bitmap target(kWidth, kHeight);
    cairo_surface_t* src =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(source.pixels.data()),
                                            CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
    cairo_surface_t* dst =
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(target.pixels.data()),
                                            CAIRO_FORMAT_ARGB32, kWidth, kHeight, kWidth * 4);
    cairo_t* cr = cairo_create(dst);
    const gfx::AffineTransform t = tilt();
    const cairo_matrix_t m{t.a, t.b, t.c, t.d, t.tx, t.ty};
    cairo_set_matrix(cr, &m);
    cairo_set_source_surface(cr, src, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    for (auto _ : state) {
        cairo_paint(cr);
        cairo_surface_flush(dst);
        benchmark::ClobberMemory();
    }
    cairo_destroy(cr);
    cairo_surface_destroy(dst);
    cairo_surface_destroy(src);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_CairoAffine)->Unit(benchmark::kMillisecond);

// pixman's projective path on the same page turn: the reference to beat.
void BM_PixmanPageTurn(benchmark::State& state) {
    Bitmap source = makeSource();
    Bitmap target(kWidth, kHeight);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, source.pixels.data(), kWidth * 4);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, target.pixels.data(), kWidth * 4);
    // pixman maps destination to source with column vectors: the plane's homography (x, y
    // and w of the 4 × 4 matrix), transposed and inverted, scaled to w = 1 at the origin.
    const gfx::Transform3D m = pageTurn(45);
    pixman_f_transform forward{};
    const double rows[3][3] = {{m.m11, m.m12, m.m14}, {m.m21, m.m22, m.m24}, {m.m41, m.m42, m.m44}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            forward.m[r][c] = rows[c][r];
    pixman_f_transform f;
    pixman_f_transform_invert(&f, &forward);
    const double scale = f.m[2][2];
    for (auto& row : f.m)
        for (double& v : row)
            v /= scale;
    pixman_transform t;
    pixman_transform_from_pixman_f_transform(&t, &f);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(dst);
    pixman_image_unref(src);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PixmanPageTurn)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
