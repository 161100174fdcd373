#include "platform/graphics/ProjectiveMapper.h"

#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <random>
#include <tuple>
#include <vector>

namespace gfx {
namespace {

constexpr double pi = std::numbers::pi;
constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

struct Bitmap {
    int width, height;
    std::vector<std::uint32_t> pixels;

    Bitmap(int w, int h, std::uint32_t fill = 0) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    PixelBuffer buffer() { return {pixels.data(), width, height, width * 4}; }
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
    std::uint32_t get(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    Rect bounds() const { return {0, 0, double(width), double(height)}; }
};

int channel(std::uint32_t p, int shift) {
    return int((p >> shift) & 0xFF);
}

int maxChannelDifference(std::uint32_t a, std::uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 32; shift += 8)
        d = std::max(d, std::abs(channel(a, shift) - channel(b, shift)));
    return d;
}

// Premultiplied pixels with detail everywhere, some of them translucent.
Bitmap pattern(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = (x + y) % 3 == 0 ? 0x80 : 0xFF;
            auto c = [&](std::uint32_t v) { return (v & 0xFF) * a / 255; };
            b.at(x, y) = a << 24 | c(x * 37) << 16 | c(y * 53) << 8 | c(x * y * 11);
        }
    return b;
}

// Four solid quadrants: red, green over blue, white.
Bitmap quadrants(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.at(x, y) = y < h / 2 ? (x < w / 2 ? kRed : kGreen) : (x < w / 2 ? kBlue : kWhite);
    return b;
}

// Turns a w × h plane by `angle` about the axis through its centre, seen from `eye` pixels
// away, and centres it at (cx, cy).
Transform3D turned(double angle, double ax, double ay, double az, double w, double h, double eye, double cx,
                   double cy) {
    Transform3D perspective;
    perspective.m34 = -1 / eye;
    Transform3D t =
        concat(Transform3D::makeTranslation(-w / 2, -h / 2, 0), Transform3D::makeRotation(angle, ax, ay, az));
    return concat(concat(t, perspective), Transform3D::makeTranslation(cx, cy, 0));
}

// Straightforward per-pixel mapping in double precision: what every target pixel should be.
// Returns false for pixels too close to the quad's outline (or the eye) to call.
bool referencePixel(const Bitmap& src, const Transform3D& t, int X, int Y, std::uint32_t& out) {
    const double h[9] = {t.m11, t.m12, t.m14, t.m21, t.m22, t.m24, t.m41, t.m42, t.m44};
    const double a[9] = {h[4] * h[8] - h[5] * h[7], h[2] * h[7] - h[1] * h[8], h[1] * h[5] - h[2] * h[4],
                         h[5] * h[6] - h[3] * h[8], h[0] * h[8] - h[2] * h[6], h[2] * h[3] - h[0] * h[5],
                         h[3] * h[7] - h[4] * h[6], h[1] * h[6] - h[0] * h[7], h[0] * h[4] - h[1] * h[3]};
    const double xc = X + 0.5, yc = Y + 0.5;
    const double w = xc * a[2] + yc * a[5] + a[8];
    const double x = (xc * a[0] + yc * a[3] + a[6]) / w, y = (xc * a[1] + yc * a[4] + a[7]) / w;
    const double forwardW = x * h[2] + y * h[5] + h[8];
    const double margin = 0.02;
    if (std::abs(x) < margin || std::abs(x - src.width) < margin || std::abs(y) < margin ||
        std::abs(y - src.height) < margin || std::abs(forwardW) < 1e-3)
        return false;
    out = 0;
    if (forwardW < 0 || x < 0 || y < 0 || x >= src.width || y >= src.height) return true;
    const double u = std::clamp(x - 0.5, 0.0, src.width - 1.0),
                 v = std::clamp(y - 0.5, 0.0, src.height - 1.0);
    const int x0 = int(u), y0 = int(v), x1 = std::min(x0 + 1, src.width - 1),
              y1 = std::min(y0 + 1, src.height - 1);
    const double fx = u - x0, fy = v - y0;
    for (int shift = 0; shift < 32; shift += 8) {
        auto tap = [&](int x, int y) { return channel(src.get(x, y), shift); };
        const double c = (1 - fy) * ((1 - fx) * tap(x0, y0) + fx * tap(x1, y0)) +
                         fy * ((1 - fx) * tap(x0, y1) + fx * tap(x1, y1));
        out |= std::uint32_t(std::lround(c)) << shift;
    }
    return true;
}

// Rows of the leftmost and rightmost drawn columns: how tall the quad's two sides come out.
std::pair<int, int> sideHeights(Bitmap& b) {
    int left = b.width, right = -1;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            if (b.at(x, y)) left = std::min(left, x), right = std::max(right, x);
    int hl = 0, hr = 0;
    for (int y = 0; y < b.height; ++y)
        hl += b.at(left, y) != 0, hr += b.at(right, y) != 0;
    return {hl, hr};
}

TEST(ProjectiveMapper, IdentityAndWholeTranslationsCopyPixelsExactly) {
    Bitmap src = pattern(23, 17);
    Bitmap dst(23, 17);
    ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), src.buffer(), src.bounds(), Transform3D{}, 1));
    EXPECT_EQ(dst.pixels, src.pixels); // edges included: taps are clamped to the source

    Bitmap moved(30, 30, kBlue);
    ASSERT_TRUE(drawImageProjected(moved.buffer(), moved.bounds(), src.buffer(), src.bounds(),
                                   Transform3D::makeTranslation(5, 7, 0), 1, {SamplingFilter::Nearest}));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 5 && x < 28 && y >= 7 && y < 24;
            const std::uint32_t s = inside ? src.at(x - 5, y - 7) : 0;
            // Translucent source pixels blend over the blue background.
            const std::uint32_t expected = !inside ? kBlue : (s >> 24) == 0xFF ? s : s + 0x7F00007F;
            ASSERT_LE(maxChannelDifference(moved.at(x, y), expected), 1) << x << "," << y;
        }
}

TEST(ProjectiveMapper, MatchesAPerPixelReferenceUnderTurnsTiltsAndZooms) {
    Bitmap src = pattern(40, 30);
    std::mt19937 random(7);
    auto uniform = [&](double lo, double hi) { return lo + (hi - lo) * (random() / 4294967296.0); };
    for (int round = 0; round < 24; ++round) {
        const double angle = uniform(-1.4, 1.4), eye = uniform(40, 400), zoom = uniform(0.6, 1.8);
        const double axes[4][3] = {
            {0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)}};
        const double* axis = axes[round % 4];
        const Transform3D t = concat(turned(angle, axis[0], axis[1], axis[2], 40, 30, eye, 32, 32),
                                     Transform3D::makeScale(zoom, zoom, 1));
        Bitmap dst(64, 64);
        drawImageProjected(dst.buffer(), dst.bounds(), src.buffer(), src.bounds(), t, 1);
        int compared = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                std::uint32_t expected;
                if (!referencePixel(src, t, x, y, expected)) continue;
                ++compared;
                ASSERT_LE(maxChannelDifference(dst.at(x, y), expected), 3)
                    << "round " << round << " pixel " << x << "," << y << " got " << std::hex << dst.at(x, y)
                    << " expected " << expected;
            }
        EXPECT_GT(compared, 3000);
    }
}

TEST(ProjectiveMapper, PageTurnKeepsQuadrantsInPlaceAndTheNearSideTaller) {
    Bitmap src = quadrants(80, 120);
    Bitmap dst(160, 200);
    const Transform3D t = turned(pi / 4, 0, 1, 0, 80, 120, 150, 80, 100);
    ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), src.buffer(), src.bounds(), t, 1));
    const auto [left, right] = sideHeights(dst);
    EXPECT_GT(std::max(left, right), std::min(left, right) * 1.3);
    // Each quadrant's centre lands where the quadrant's colour is.
    for (auto [sx, sy, colour] :
         {std::tuple{20.0, 30.0, kRed}, {60.0, 30.0, kGreen}, {20.0, 90.0, kBlue}, {60.0, 90.0, kWhite}}) {
        const Point p = projectPoint(t, {sx, sy});
        EXPECT_EQ(dst.at(int(p.x), int(p.y)), colour) << sx << "," << sy;
    }
}

TEST(ProjectiveMapper, TurnedPastNinetyDegreesIsCulledOrShowsItsMirroredBack) {
    Bitmap src = quadrants(80, 120);
    const Transform3D t = turned(2 * pi / 3, 0, 1, 0, 80, 120, 300, 80, 100);
    Bitmap culled(160, 200, kBlue);
    EXPECT_FALSE(drawImageProjected(culled.buffer(), culled.bounds(), src.buffer(), src.bounds(), t, 1,
                                    {SamplingFilter::Bilinear, false, false}));
    EXPECT_TRUE(std::all_of(culled.pixels.begin(), culled.pixels.end(), [](auto p) { return p == kBlue; }));

    Bitmap back(160, 200);
    ASSERT_TRUE(drawImageProjected(back.buffer(), back.bounds(), src.buffer(), src.bounds(), t, 1));
    // Seen from behind, the left (red) half shows on the right.
    EXPECT_EQ(back.at(90, 70), kRed);
    EXPECT_EQ(back.at(70, 70), kGreen);
}

TEST(ProjectiveMapper, PlaneCrossingTheEyeDrawsOnlyItsFrontPartAndStaysInTheClip) {
    Bitmap src = quadrants(80, 120);
    // Turned about its left edge towards an eye closer than its right edge swings.
    Transform3D perspective;
    perspective.m34 = -1.0 / 50;
    const Transform3D t = concat(concat(Transform3D::makeRotation(-1.2, 0, 1, 0), perspective),
                                 Transform3D::makeTranslation(40, 40, 0));
    ASSERT_GT(transformPoint4(t, 0, 0).w, 0);
    ASSERT_LT(transformPoint4(t, 80, 0).w, 0);
    const Rect bounds = projectedBounds(src.bounds(), t.rows());
    EXPECT_TRUE(std::isfinite(bounds.maxX()) && bounds.minX() == 40);
    Bitmap dst(200, 200, kBlue);
    const Rect clip(10, 20, 150, 120);
    ASSERT_TRUE(drawImageProjected(dst.buffer(), clip, src.buffer(), src.bounds(), t, 1));
    int compared = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            if (!clip.contains({x + 0.5, y + 0.5})) {
                ASSERT_EQ(dst.at(x, y), kBlue) << x << "," << y;
                continue;
            }
            std::uint32_t expected;
            if (!referencePixel(src, t, x, y, expected)) continue;
            ++compared;
            ASSERT_LE(maxChannelDifference(dst.at(x, y), expected ? expected : kBlue), 3) << x << "," << y;
        }
    EXPECT_GT(compared, 10000);
}

TEST(ProjectiveMapper, OpacityAndTranslucencyBlendPremultiplied) {
    Bitmap src(4, 4, kRed);
    src.at(0, 0) = 0x80800000; // half-transparent red
    Bitmap dst(4, 4, kBlue);
    ASSERT_TRUE(
        drawImageProjected(dst.buffer(), dst.bounds(), src.buffer(), src.bounds(), Transform3D{}, 0.5));
    EXPECT_LE(maxChannelDifference(dst.at(2, 2), 0xFF80007F), 1);
    EXPECT_LE(maxChannelDifference(dst.at(0, 0), 0xFF4000BF), 1);

    Bitmap clear(4, 4);
    ASSERT_TRUE(
        drawImageProjected(clear.buffer(), clear.bounds(), src.buffer(), src.bounds(), Transform3D{}, 0.5));
    EXPECT_LE(maxChannelDifference(clear.at(2, 2), 0x80800000), 1);
    EXPECT_FALSE(
        drawImageProjected(clear.buffer(), clear.bounds(), src.buffer(), src.bounds(), Transform3D{}, 0));
}

TEST(ProjectiveMapper, SourceRectLimitsTheQuadAndItsTaps) {
    // A green 4 × 4 centre inside a red border: magnified, no red may bleed in.
    Bitmap src(6, 6, kRed);
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 5; ++x)
            src.at(x, y) = kGreen;
    Bitmap dst(40, 40);
    const Transform3D t = Transform3D::makeScale(3.3, 3.3, 1);
    ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), src.buffer(), Rect(1, 1, 4, 4), t, 1));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = (x + 0.5) >= 3.3 && (x + 0.5) < 16.5 && (y + 0.5) >= 3.3 && (y + 0.5) < 16.5;
            ASSERT_EQ(dst.at(x, y), inside ? kGreen : 0u) << x << "," << y;
        }
}

TEST(ProjectiveMapper, NarrowSourcesAndNearestSampling) {
    // One pixel wide and high sources stretch to a flat colour.
    Bitmap dot(1, 1, kGreen), column(1, 3, kRed);
    column.at(0, 1) = kBlue;
    Bitmap dst(10, 12);
    ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), dot.buffer(), dot.bounds(),
                                   Transform3D::makeScale(10, 12, 1), 1));
    EXPECT_TRUE(std::all_of(dst.pixels.begin(), dst.pixels.end(), [](auto p) { return p == kGreen; }));
    ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), column.buffer(), column.bounds(),
                                   Transform3D::makeScale(10, 4, 1), 1, {SamplingFilter::Nearest}));
    for (int y = 0; y < 12; ++y)
        EXPECT_EQ(dst.at(9, y), y < 4 ? kRed : y < 8 ? kBlue : kRed) << y;
}

TEST(ProjectiveMapper, EdgeAntialiasingCoversHalfPixelsPartly) {
    Bitmap src(4, 4, kWhite);
    const Transform3D t = Transform3D::makeTranslation(2.5, 2, 0);
    Bitmap hard(8, 8), soft(8, 8);
    ASSERT_TRUE(drawImageProjected(hard.buffer(), hard.bounds(), src.buffer(), src.bounds(), t, 1));
    ASSERT_TRUE(drawImageProjected(soft.buffer(), soft.bounds(), src.buffer(), src.bounds(), t, 1,
                                   {SamplingFilter::Bilinear, true, true}));
    for (int x : {2, 6}) {
        EXPECT_TRUE(hard.at(x, 4) == 0 || hard.at(x, 4) == kWhite) << x;
        EXPECT_LE(maxChannelDifference(soft.at(x, 4), 0x80808080), 1) << x;
    }
    EXPECT_EQ(soft.at(4, 4), kWhite);
    EXPECT_EQ(soft.at(4, 1), 0u);
    // Half a pixel down: the rows along the top and bottom edges are half covered as well.
    Bitmap lowered(8, 8);
    ASSERT_TRUE(drawImageProjected(lowered.buffer(), lowered.bounds(), src.buffer(), src.bounds(),
                                   Transform3D::makeTranslation(2.5, 2.5, 0), 1,
                                   {SamplingFilter::Bilinear, true, true}));
    for (int y : {2, 6})
        EXPECT_LE(maxChannelDifference(lowered.at(4, y), 0x80808080), 1) << y;

    // Turned, softened edges leave the inside alone and stay near the outline.
    Bitmap page = pattern(60, 90), sharp(120, 120), smooth(120, 120);
    const Transform3D turn = turned(1.0, 0, 1, 0, 60, 90, 100, 60, 60);
    ASSERT_TRUE(drawImageProjected(sharp.buffer(), sharp.bounds(), page.buffer(), page.bounds(), turn, 1));
    ASSERT_TRUE(drawImageProjected(smooth.buffer(), smooth.bounds(), page.buffer(), page.bounds(), turn, 1,
                                   {SamplingFilter::Bilinear, true, true}));
    for (int y = 1; y < 119; ++y)
        for (int x = 1; x < 119; ++x) {
            int covered = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    covered += sharp.at(x + dx, y + dy) != 0;
            // Runs start elsewhere with antialiasing, which may round a weight the other way.
            if (covered == 9) {
                ASSERT_LE(maxChannelDifference(smooth.at(x, y), sharp.at(x, y)), 1) << x << "," << y;
            }
            if (covered == 0) {
                ASSERT_EQ(smooth.at(x, y), 0u) << x << "," << y;
            }
        }
}

TEST(ProjectiveMapper, BadInputDrawsNothing) {
    Bitmap src = pattern(8, 8);
    Bitmap dst(8, 8, kBlue);
    const Rect all = dst.bounds();
    const double nan = std::numeric_limits<double>::quiet_NaN(),
                 inf = std::numeric_limits<double>::infinity();
    Transform3D nanMatrix, infMatrix, edgeOn = turned(pi / 2, 0, 1, 0, 8, 8, 1e9, 4, 4);
    nanMatrix.m22 = nan;
    infMatrix.m41 = inf;
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), all, nanMatrix, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), all, infMatrix, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), all, edgeOn, 1));
    EXPECT_FALSE(
        drawImageProjected(dst.buffer(), all, src.buffer(), all, Transform3D::makeScale(0, 1, 1), 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), all, Transform3D{}, nan));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), Rect(nan, 0, 8, 8), src.buffer(), all, Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), Rect::null(), src.buffer(), all, Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), Rect(2, 2, 0, 3), Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), Rect(9, 0, 4, 4), Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), Rect(0, 0, inf, 4), Transform3D{}, 1));
    PixelBuffer badStride = src.buffer();
    badStride.strideBytes = 6;
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, badStride, all, Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, ConstPixelBuffer{}, all, Transform3D{}, 1));
    EXPECT_FALSE(drawImageProjected(PixelBuffer{dst.pixels.data(), 0, 8, 32}, all, src.buffer(), all,
                                    Transform3D{}, 1));
    // Wholly behind the eye.
    Transform3D behind;
    behind.m44 = -1;
    EXPECT_FALSE(drawImageProjected(dst.buffer(), all, src.buffer(), all, behind, 1));
    EXPECT_TRUE(projectedBounds(all, behind.rows()).isNull());
    EXPECT_TRUE(std::all_of(dst.pixels.begin(), dst.pixels.end(), [](auto p) { return p == kBlue; }));
}

TEST(ProjectiveMapper, DrawsImagesIntoCairoSurfaces) {
    auto image = Image::make(4, 4);
    ASSERT_TRUE(image);
    std::fill_n(reinterpret_cast<std::uint32_t*>(image->mutableData()), 16, kGreen);
    image->markDirty();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    EXPECT_TRUE(drawImageProjected(surface, Rect(0, 0, 8, 8), *image, Rect(0, 0, 4, 4),
                                   Transform3D::makeScale(2, 2, 1), 1));
    const PixelBuffer pixels = pixelsOf(surface);
    EXPECT_EQ(pixels.pixels[pixels.strideBytes / 4 * 7 + 7], kGreen);
    cairo_surface_destroy(surface);

    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, 8, 8);
    EXPECT_EQ(pixelsOf(mask).pixels, nullptr);
    EXPECT_FALSE(drawImageProjected(mask, Rect(0, 0, 8, 8), *image, Rect(0, 0, 4, 4), Transform3D{}, 1));
    cairo_surface_destroy(mask);
}

// ---- The faster paths, against the general mapping ----

// The same mapping turned by a billionth of a radian first: too little to move a pixel, enough
// to leave the faster paths to the general mapping.
Transform3D viaGeneralMapping(const Transform3D& t) {
    return concat(Transform3D::makeRotation(1e-9, 0, 0, 1), t);
}

// Opaque pixels with detail everywhere.
Bitmap opaquePattern(int w, int h) {
    Bitmap b = pattern(w, h);
    for (std::uint32_t& p : b.pixels)
        p |= 0xFF000000u;
    return b;
}

// Whether the centre of pixel (x, y) lies within a hair of the outline of `sourceRect` under
// `t`, where which side it falls on is a matter of rounding.
bool onOutline(const Transform3D& t, const Rect& sourceRect, int x, int y) {
    const Rect r = sourceRect;
    const Point corners[4] = {
        {r.minX(), r.minY()}, {r.maxX(), r.minY()}, {r.maxX(), r.maxY()}, {r.minX(), r.maxY()}};
    Point q[4];
    for (int i = 0; i < 4; ++i) {
        const auto p = transformPoint4(t, corners[i].x, corners[i].y);
        if (!(p.w > 0)) return true;
        q[i] = {p.x / p.w, p.y / p.w};
    }
    const Point c{x + 0.5, y + 0.5};
    for (int i = 0; i < 4; ++i) {
        const Point a = q[i], b = q[(i + 1) % 4];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length > 0 && std::abs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)) / length < 0.01)
            return true;
    }
    return false;
}

// The largest channel difference between two drawings of `sourceRect` under `t`, pixels on
// its outline aside.
int largestDifference(const Bitmap& a, const Bitmap& b, const Transform3D& t, const Rect& sourceRect) {
    int most = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!onOutline(t, sourceRect, x, y))
                most = std::max(most, maxChannelDifference(a.get(x, y), b.get(x, y)));
    return most;
}

struct Case {
    Transform3D transform;
    Float opacity = 1;
    ProjectionOptions options = {};
    Rect clip = Rect(0, 0, 128, 128);
    Rect sourceRect = Rect(0, 0, 61, 47);
    const ProjectionOverlay* overlay = nullptr;
};

// Draws `source` under the case into a fresh target over a dark background, the usual way and
// by the general mapping; both must agree on whether anything was drawn.
std::pair<Bitmap, Bitmap> drawBothWays(const Bitmap& source, const Case& c) {
    Bitmap fast(128, 128, 0xFF203040), general(128, 128, 0xFF203040);
    Bitmap src = source;
    const bool drewFast = drawImageProjected(fast.buffer(), c.clip, src.buffer(), c.sourceRect, c.transform,
                                             c.opacity, c.options, c.overlay);
    const bool drewGeneral = drawImageProjected(general.buffer(), c.clip, src.buffer(), c.sourceRect,
                                                viaGeneralMapping(c.transform), c.opacity, c.options, c.overlay);
    EXPECT_EQ(drewFast, drewGeneral);
    return {fast, general};
}

Transform3D upright(double sx, double sy, double tx, double ty) {
    return Transform3D::makeAffineTransform(AffineTransform{sx, 0, 0, sy, tx, ty});
}

std::vector<Case> uprightCases() {
    const ProjectionOptions nearest{SamplingFilter::Nearest}, soft{SamplingFilter::Bilinear, true, true};
    return {
        {upright(1.25, 1.25, 3.5, -2.25)},                          // magnified
        {upright(0.75, 0.5, 10.25, 4.5), 0.7},                      // shrunk, faded
        {upright(-1.5, 1, 100.5, 2), 0.3},                          // mirrored
        {upright(1.4, -1.3, 2.5, 110.25), 0.6},                     // upside down: rows read upwards
        {upright(1, 1, 7.375, 3.125)},                              // moved by a fraction of a pixel
        {upright(2, 3, -20, -30), 1, nearest},                      // nearest, partly off the target
        {upright(1.75, 1.5, 2.25, 6.5), 1, {}, {20.5, 10, 60, 50}}, // clipped
        {upright(0.26, 0.3, 5, 5)},                                 // near the smallest two-pass scale
        {upright(2.5, 2.5, 1.5, 3.25), 0.5, {}, Rect(0, 0, 128, 128), {3, 2, 17.5, 20}}, // part of it
        {upright(1.25, 0.8, 4.3, 7.6), 0.8, soft},                                       // soft edges
    };
}

TEST(ProjectiveMapper, UprightImagesMatchTheGeneralMappingToOneStep) {
    // Scaled and moved images are filtered in two passes; opaque ones must come out as the
    // general mapping draws them, to within one step of a channel.
    const Bitmap source = opaquePattern(61, 47);
    for (const Case& c : uprightCases()) {
        const auto [fast, general] = drawBothWays(source, c);
        EXPECT_LE(largestDifference(fast, general, c.transform, c.sourceRect), 1)
            << "scale " << c.transform.m11 << " x " << c.transform.m22;
    }
}

TEST(ProjectiveMapper, UprightImagesWiderThanAFilterChunkMatchTheGeneralMapping) {
    // Rows wider than the columns filtered at a time are drawn chunk by chunk, each reading its
    // own source rows afresh (here every chunk draws the one row of the clip).
    Bitmap source = opaquePattern(1900, 7);
    const Transform3D t = upright(1.3, 1.25, -0.5, 0.25);
    Bitmap fast(2600, 9, 0xFF203040), general(2600, 9, 0xFF203040);
    for (auto [target, transform] : {std::pair{&fast, t}, std::pair{&general, viaGeneralMapping(t)}})
        ASSERT_TRUE(drawImageProjected(target->buffer(), Rect(0, 4, 2600, 1), source.buffer(),
                                       source.bounds(), transform, 0.6));
    EXPECT_LE(largestDifference(fast, general, t, source.bounds()), 1);
}

TEST(ProjectiveMapper, UprightTranslucentImagesMatchTheExactFilter) {
    // Filtered exactly (the general mapping rounds its weights, which can differ by two steps
    // where neighbours differ most): to within one step of a per-pixel reference.
    Bitmap source = pattern(61, 47);
    for (const Case& c : uprightCases()) {
        if (c.opacity < 1 || c.options.filter == SamplingFilter::Nearest || c.options.edgeAntialiasing)
            continue;
        Bitmap dst(128, 128);
        drawImageProjected(dst.buffer(), c.clip, source.buffer(), c.sourceRect, c.transform, 1);
        int compared = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                std::uint32_t expected;
                if (!c.clip.contains({x + 0.5, y + 0.5}) || c.sourceRect != source.bounds() ||
                    !referencePixel(source, c.transform, x, y, expected))
                    continue;
                ++compared;
                ASSERT_LE(maxChannelDifference(dst.at(x, y), expected), 1) << x << "," << y;
            }
        EXPECT_GT(compared, 0);
    }
}

TEST(ProjectiveMapper, ImagesPlacedByWholePixelsAreCopied) {
    // Translucent pixels at an opacity over a background: each one exactly as source-over of
    // the faded pixel gives it; outside the image and the clip, and under clear stretches of
    // it (whole rows, a run of a row), the background stays.
    Bitmap src = pattern(23, 17);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 23; ++x)
            if (y < 3 || (y == 8 && x < 19)) src.at(x, y) = 0;
    const std::uint32_t background = 0xFF336699;
    for (double opacity : {1.0, 0.6}) {
        Bitmap dst(40, 30, background);
        const Rect clip(0, 0, 30, 30);
        ASSERT_TRUE(
            drawImageProjected(dst.buffer(), clip, src.buffer(), src.bounds(), upright(1, 1, 9, 5), opacity));
        const unsigned alpha = opacity >= 1 ? 256 : unsigned(opacity * 256 + 0.5);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                std::uint32_t expected = background;
                if (x >= 9 && x < 30 && y >= 5 && y < 22) {
                    const std::uint32_t s = src.at(x - 9, y - 5);
                    auto faded = [&](int shift) {
                        return alpha == 256 ? unsigned(channel(s, shift))
                                            : (channel(s, shift) * alpha + 128) >> 8;
                    };
                    const unsigned a = faded(24);
                    expected = 0;
                    for (int shift = 0; shift < 32; shift += 8) {
                        unsigned t = channel(background, shift) * (255 - a) + 128;
                        t = (t + (t >> 8)) >> 8;
                        expected |= (faded(shift) + t) << shift;
                    }
                }
                ASSERT_EQ(dst.at(x, y), expected) << x << "," << y << " at " << opacity;
            }
    }
}

TEST(ProjectiveMapper, TurnsAboutTheVerticalAxisMatchTheGeneralMapping) {
    // Vertical lines stay vertical: each target column is drawn from one source column.
    const Bitmap source = opaquePattern(61, 47);
    const Rect all(0, 0, 61, 47);
    const ProjectionOptions nearest{SamplingFilter::Nearest}, soft{SamplingFilter::Bilinear, false, true};
    // A face's darkening gradient, as a flip's leaf carries it.
    const ProjectionOverlay shade{Color::white(0, 0.5), 1, -1.0 / 61, 0, 0, 1};
    const Case cases[] = {
        {turned(0.5, 0, 1, 0, 61, 47, 150, 64, 64)},
        {turned(-0.8, 0, 1, 0, 61, 47, 90, 64, 64), 0.8, soft, Rect(0, 0, 128, 128), all, &shade},
        {turned(1.2, 0, 1, 0, 61, 47, 60, 64, 64), 1, soft}, // soft edges, the far side thin
        {turned(-1.1, 0, 1, 0, 61, 47, 80, 64, 64), 0.6},
        {turned(2.4, 0, 1, 0, 61, 47, 120, 64, 64)}, // its back, mirrored
        {turned(1.3, 0, 1, 0, 61, 47, 40, 64, 64)},  // partly behind the eye
        {turned(0.9, 0, 1, 0, 61, 47, 100, 64, 64), 1, nearest, {10, 30, 70, 60}, all},
        {concat(turned(0.7, 0, 1, 0, 61, 47, 100, 64, 64), Transform3D::makeScale(1.6, 2.2, 1)),
         1,
         {},
         Rect(0, 0, 128, 128),
         {5, 4, 40, 30}},
    };
    for (const Case& c : cases) {
        const auto [fast, general] = drawBothWays(source, c);
        EXPECT_LE(largestDifference(fast, general, c.transform, c.sourceRect), 1);
    }
}

// ---- Overlays ----

// `source` with the overlay painted on it pixel by pixel: what mapping in one pass must match.
Bitmap paintedOver(const Bitmap& source, const ProjectionOverlay& o) {
    Bitmap b = source;
    const RGBA c = o.color.resolved();
    const double colour[4] = {c.b, c.g, c.r, 1};
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const double cover = std::clamp(o.a0 + o.ax * (x + 0.5) + o.ay * (y + 0.5), o.min, o.max) * c.a;
            std::uint32_t p = 0;
            for (int i = 0; i < 4; ++i) {
                const double v = channel(b.get(x, y), 8 * i) * (1 - cover) + 255 * colour[i] * cover;
                p |= std::uint32_t(std::lround(v)) << (8 * i);
            }
            b.at(x, y) = p;
        }
    return b;
}

TEST(ProjectiveMapper, OverlaysMappedInOnePassMatchPaintingThemFirst) {
    const Bitmap opaque = opaquePattern(61, 47), translucent = pattern(61, 47);
    // A face's darkening gradient (none at the right edge, half at the left), a flat shadow,
    // and a strip's shade (a coloured diagonal gradient clamped at its ends).
    const ProjectionOverlay overlays[] = {
        {Color::white(0, 0.5), 1, -1.0 / 61, 0, 0, 1},
        {Color::white(0, 0.3), 1, 0, 0, 0, 1},
        {Color::rgba(0.2, 0.4, 0.9, 0.6), -0.5, 0.03, 0.02, 0.1, 0.8},
    };
    const Case cases[] = {
        {turned(0.6, 0, 1, 0, 61, 47, 150, 64, 64)},
        {turned(-0.9, 1, 0, 0, 61, 47, 90, 64, 64), 0.7, {SamplingFilter::Bilinear, false, true}},
        {turned(0.4, 1, 1, 0.2, 61, 47, 120, 64, 64), 1, {SamplingFilter::Bilinear, true, true}},
        {upright(1.5, 1.25, 3, 5)},
        {upright(1, 1, 7, 4), 0.6}, // placed by whole pixels
        {upright(1, 1, 7, 4), 1, {SamplingFilter::Bilinear, true, true}},
    };
    for (const Bitmap* source : {&opaque, &translucent})
        for (const ProjectionOverlay& overlay : overlays)
            for (const Case& c : cases) {
                Bitmap painted = paintedOver(*source, overlay), src = *source;
                Bitmap flattened(128, 128, 0xFF203040), onePass(128, 128, 0xFF203040);
                EXPECT_TRUE(drawImageProjected(flattened.buffer(), c.clip, painted.buffer(), c.sourceRect,
                                               c.transform, c.opacity, c.options));
                EXPECT_TRUE(drawImageProjected(onePass.buffer(), c.clip, src.buffer(), c.sourceRect, c.transform,
                                               c.opacity, c.options, &overlay));
                EXPECT_LE(largestDifference(onePass, flattened, c.transform, c.sourceRect), 2);
            }
}

TEST(ProjectiveMapper, ASourceMarkedOpaqueDrawsAsItsPixelsMadeOpaque) {
    // A source marked opaque ignores its alpha bytes and lays every pixel over the target with
    // one share showing through: the pixels must be those of the same source made opaque,
    // turned in its plane (slanted tiles, affine) or tilted, faded or not, shaded or not.
    const Bitmap marked = pattern(150, 120), opaque = opaquePattern(150, 120);
    const ProjectionOverlay shade{Color::white(0, 0.5), 1, -1.0 / 150, 0, 0, 1};
    for (const Transform3D& t : {turned(0.7, 0, 0, 1, 150, 120, 300, 100, 100),
                                 turned(0.5, 1, 1, 0.2, 150, 120, 250, 100, 100)})
        for (const Float opacity : {1.0, 0.5})
            for (const ProjectionOverlay* overlay : {static_cast<const ProjectionOverlay*>(nullptr), &shade}) {
                Bitmap a = marked, b = opaque, onA(200, 200, 0x80402010), onB(200, 200, 0x80402010);
                PixelBuffer source = a.buffer();
                source.opaque = true;
                drawImageProjected(onA.buffer(), onA.bounds(), source, a.bounds(), t, opacity, {}, overlay);
                drawImageProjected(onB.buffer(), onB.bounds(), b.buffer(), b.bounds(), t, opacity, {}, overlay);
                ASSERT_EQ(onA.pixels, onB.pixels) << "opacity " << opacity << (overlay ? " shaded" : "");
            }
}

TEST(ProjectiveMapper, AClipOrAPartDrawnApartDoesNotChangeThePixels) {
    // A frame repainted in parts must show what the whole frame shows: whichever rectangle
    // clips the drawing, and also when that part is drawn into an image of its own placed
    // there, the pixels inside it come out the same, to the last step.
    const Bitmap source = pattern(150, 120);
    const ProjectionOverlay shade{Color::white(0, 0.5), 1, -1.0 / 150, 0, 0, 1};
    const Transform3D turns[] = {
        turned(0.8, 0, 1, 0, 150, 120, 300, 100, 100),    // a column mapping, shaded
        turned(0.5, 1, 1, 0.2, 150, 120, 250, 100, 100),  // rows tilted: drawn in strips
        turned(0.3, 1, 0.4, 0.1, 150, 120, 400, 100, 100), // the general mapping, soft edges
        upright(1.15, 1.3, 10.5, 5.25),                     // upright, shaded, soft edges
        upright(1, 1, 20, 30),                              // placed by whole pixels, shaded
    };
    const ProjectionOptions soft{SamplingFilter::Bilinear, true, true};
    for (int t = 0; t < 5; ++t) {
        const ProjectionOverlay* overlay = t == 0 || t >= 3 ? &shade : nullptr;
        const ProjectionOptions options = t == 2 || t == 3 ? soft : ProjectionOptions{};
        Bitmap src = source, whole(200, 200, 0xFF203040);
        drawImageProjected(whole.buffer(), Rect(0, 0, 200, 200), src.buffer(), src.bounds(), turns[t], 0.9, options,
                           overlay);
        for (int i = 0; i < 16; ++i) {
            const Rect clip(11 + i * 23 % 97, 7 + i * 37 % 89, 30 + i * 13 % 71, 20 + i * 17 % 61);
            Bitmap part(200, 200, 0xFF203040), apart(int(clip.width()), int(clip.height()), 0xFF203040);
            drawImageProjected(part.buffer(), clip, src.buffer(), src.bounds(), turns[t], 0.9, options, overlay);
            PixelBuffer placed = apart.buffer();
            placed.originX = int(clip.minX());
            placed.originY = int(clip.minY());
            drawImageProjected(placed, Rect(-1e6, -1e6, 2e6, 2e6), src.buffer(), src.bounds(), turns[t], 0.9, options, overlay);
            for (int y = int(clip.minY()); y < int(clip.maxY()); ++y)
                for (int x = int(clip.minX()); x < int(clip.maxX()); ++x) {
                    ASSERT_EQ(part.get(x, y), whole.get(x, y)) << "turn " << t << " at " << x << "," << y;
                    ASSERT_EQ(apart.get(x - placed.originX, y - placed.originY), whole.get(x, y))
                        << "turn " << t << " apart at " << x << "," << y;
                }
        }
    }
}

// Restores the default instruction sets when a test that capped them ends.
struct KernelCap {
    ~KernelCap() { usePixelKernels(PixelKernels::Avx512); }
};

TEST(ProjectiveMapper, EveryInstructionSetDrawsTheSamePixels) {
    // The pixel loops are built for several vector widths; whichever this processor runs, the
    // pixels (tails of odd-sized rows included) must be the same.
    KernelCap cap;
    const Bitmap opaque = opaquePattern(61, 47), translucent = pattern(61, 47);
    std::vector<Case> cases = uprightCases();
    cases.push_back({upright(1, 1, 3, 9), 0.8});
    cases.push_back({turned(0.8, 0, 1, 0, 61, 47, 90, 64, 64), 0.9});
    cases.push_back({turned(0.6, 1, 1, 0.3, 61, 47, 90, 64, 64), 1, {SamplingFilter::Bilinear, true, true}});
    auto drawAll = [&] {
        std::vector<std::vector<std::uint32_t>> drawings;
        // The last case and the first (upright) again with a shading overlay.
        const ProjectionOverlay shade{Color::white(0, 0.5), 1, -1.0 / 61, 0, 0, 1};
        for (const Bitmap* source : {&opaque, &translucent})
            for (std::size_t i = 0; i <= cases.size() + 1; ++i) {
                const Case& c = i < cases.size() ? cases[i] : i == cases.size() ? cases.back() : cases.front();
                Bitmap src = *source, dst(77, 91, 0x80402010);
                drawImageProjected(dst.buffer(), c.clip, src.buffer(), c.sourceRect, c.transform, c.opacity,
                                   c.options, i >= cases.size() ? &shade : nullptr);
                drawings.push_back(dst.pixels);
            }
        return drawings;
    };
    ASSERT_EQ(usePixelKernels(PixelKernels::Portable), PixelKernels::Portable);
    const auto portable = drawAll();
    for (PixelKernels wider : {PixelKernels::Avx2, PixelKernels::Avx512}) {
        if (usePixelKernels(wider) != wider) continue; // not on this processor
        const auto drawings = drawAll();
        for (std::size_t i = 0; i < drawings.size(); ++i)
            EXPECT_EQ(drawings[i], portable[i]) << "drawing " << i << " with set " << int(wider);
    }
}

TEST(ProjectiveMapper, LargeWholePixelCopiesAreExactOnEverySet) {
    // Copies of a large part of a screen take a path of their own (streamed stores): rows
    // that start off the vectors' alignment, alpha bytes set for an opaque source, the rest
    // of the target untouched.
    KernelCap cap;
    Bitmap src = pattern(1031, 520); // alpha bytes that an opaque source ignores
    const ConstPixelBuffer source(src.pixels.data(), src.width, src.height, src.width * 4, true);
    const std::uint32_t background = 0xFF336699;
    for (PixelKernels set : {PixelKernels::Portable, PixelKernels::Avx2, PixelKernels::Avx512}) {
        if (usePixelKernels(set) != set) continue; // not on this processor
        Bitmap dst(1040, 530, background);
        ASSERT_TRUE(drawImageProjected(dst.buffer(), dst.bounds(), source, src.bounds(), upright(1, 1, 3, 2), 1));
        for (int y = 0; y < 530; ++y)
            for (int x = 0; x < 1040; ++x) {
                const bool inside = x >= 3 && x < 1034 && y >= 2 && y < 522;
                ASSERT_EQ(dst.at(x, y), inside ? src.at(x - 3, y - 2) | 0xFF000000u : background)
                    << x << "," << y << " with set " << int(set);
            }
    }
}

} // namespace
} // namespace gfx
