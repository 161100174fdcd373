#include "platform/graphics/ProjectiveMapper.h"

#include "platform/graphics/Image.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

// With SSE2 a few steps that the compilers' generic vectors cannot say use its instructions. On
// x86-64 with GCC the pixel loops are built three times, for 128-, 256- and 512-bit vectors, and
// each call runs the widest the processor has.
#if defined(__GNUC__) && defined(__SSE2__) && !defined(OLM_PORTABLE_LANES)
#define OLM_SSE2_LANES 1
#include <immintrin.h>
#if !defined(__clang__) && defined(__x86_64__)
#define OLM_X86_KERNELS 1
#endif
#endif

namespace gfx {
namespace {

// Homogeneous w below this, relative to the largest w of the quad's corners, is at or behind
// the eye: the quad is cut there before anything is divided by w.
constexpr double kNearEpsilon = 1e-6;
// A projected quad with less area than this (in target pixels²) is edge-on.
constexpr double kMinArea = 1e-6;
// Sources up to Cairo's largest image: their coordinates in 1/256 pixel are exact in a float.
constexpr int kMaxSourceSize = 32767;
// Pixels are mapped, sampled and composited this many at a time.
constexpr int kChunk = 64;
// Rows that cross more than this many source rows per pixel are drawn in strips this wide,
// this many rows at a time: wide and tall enough that each source row is read in runs of
// several cache lines, few enough source rows that those a row reads are still cached for the
// next.
constexpr double kSlantedRows = 1.0 / 16;
constexpr int kStripWidth = 256;
constexpr int kBandHeight = 32;
// Rows that cross more source rows than this are drawn reading the source ahead (see Footprint).
constexpr double kRowsReadInTurn = 2;
// A turn that keeps vertical lines vertical is drawn in tiles this wide and high: the source
// rows such a tile reads stay in the caches from one of its rows to the next, and are fetched
// while the tile before it is drawn (wide tiles read long runs of each row).
constexpr int kColumnStripWidth = 256;
constexpr int kColumnBandHeight = 64;
constexpr int kMaxStripWidth = 256;
constexpr int kMaxBandHeight = 64;
// Pixel coverage and opacity as a fraction of 256.
constexpr int kFullAlpha = 256;
// Room past the end of per-pixel tables for the widest vector's lanes.
constexpr int kLanePadding = 16;
// Upright images scaled by at least this much (each way) are filtered in two passes, up to this
// many target columns at a time (a phone screen's rows whole).
constexpr double kMinSeparableScale = 0.25;
constexpr int kScaledChunk = 2048;

struct Vec3 {
    double x, y, w;
};

// 3 × 3 projective matrix in the row-vector convention: (x, y, 1) × M, element [3 r + c].
using Mat3 = std::array<double, 9>;

Vec3 apply(const Mat3& m, double x, double y) {
    return {x * m[0] + y * m[3] + m[6], x * m[1] + y * m[4] + m[7], x * m[2] + y * m[5] + m[8]};
}

// The 4 × 4 matrix restricted to the plane z = 0, keeping x, y and w: the plane's homography.
Mat3 planeHomography(const Matrix4x4& m) {
    return {m[0], m[1], m[3], m[4], m[5], m[7], m[12], m[13], m[15]};
}

// The adjugate: the inverse up to a scale factor, which a homography does not care about.
Mat3 adjugate(const Mat3& m) {
    return {m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
            m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
            m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
}

bool allFinite(const double* v, std::size_t n) {
    return std::all_of(v, v + n, [](double d) { return std::isfinite(d); });
}

// A convex polygon in target space: the quad after near-plane clipping (a plane cuts off at
// most one corner's worth, so four corners become at most five).
struct Polygon {
    std::array<Point, 8> points;
    int count = 0;

    double signedArea() const {
        double twice = 0;
        for (int i = 0; i < count; ++i) {
            const Point& a = points[i];
            const Point& b = points[(i + 1) % count];
            twice += a.x * b.y - b.x * a.y;
        }
        return twice / 2;
    }

    Rect bounds() const {
        double x0 = points[0].x, x1 = x0, y0 = points[0].y, y1 = y0;
        for (int i = 1; i < count; ++i) {
            x0 = std::min(x0, points[i].x);
            x1 = std::max(x1, points[i].x);
            y0 = std::min(y0, points[i].y);
            y1 = std::max(y1, points[i].y);
        }
        return {x0, y0, x1 - x0, y1 - y0};
    }
};

// Projects the rectangle (standardised, finite) through `h`, cutting it at the near plane
// first. False when nothing of it lies in front of the eye or the result is not finite.
bool projectQuad(const Rect& r, const Mat3& h, Polygon& out) {
    const std::array<Vec3, 4> corners = {apply(h, r.minX(), r.minY()), apply(h, r.maxX(), r.minY()),
                                         apply(h, r.maxX(), r.maxY()), apply(h, r.minX(), r.maxY())};
    double maxW = -1;
    for (const Vec3& c : corners) {
        if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.w)) return false;
        maxW = std::max(maxW, c.w);
    }
    if (!(maxW > 0)) return false;
    // The epsilon is relative, so that scaling the whole matrix (which does not change the
    // mapping) does not change the clipping either.
    const double nearW = kNearEpsilon * maxW;
    std::array<Vec3, 8> clipped;
    int n = 0;
    for (int i = 0; i < 4; ++i) {
        const Vec3& a = corners[i];
        const Vec3& b = corners[(i + 1) % 4];
        const bool aIn = a.w >= nearW;
        const bool bIn = b.w >= nearW;
        if (aIn) clipped[n++] = a;
        if (aIn != bIn) {
            const double t = (nearW - a.w) / (b.w - a.w);
            clipped[n++] = {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), nearW};
        }
    }
    if (n < 3) return false;
    out.count = n;
    for (int i = 0; i < n; ++i) {
        out.points[i] = {clipped[i].x / clipped[i].w, clipped[i].y / clipped[i].w};
        if (!std::isfinite(out.points[i].x) || !std::isfinite(out.points[i].y)) return false;
    }
    return true;
}

// The rectangle with a non-negative size, or null when it is null or not finite.
Rect finiteRect(const Rect& rect) {
    if (rect.isNull()) return Rect::null();
    const Rect r = rect.standardized();
    const double edges[] = {r.minX(), r.minY(), r.maxX(), r.maxY()};
    return allFinite(edges, 4) ? r : Rect::null();
}

template <class Buffer> bool usable(const Buffer& b) {
    return b.pixels && b.width > 0 && b.height > 0 && b.strideBytes % 4 == 0 &&
           std::int64_t(b.strideBytes) >= std::int64_t(b.width) * 4;
}

// a mod m in [0, m): where a pixel lies in its run or band, also left of or above the origin.
inline int floorMod(int a, int m) {
    const int r = a % m;
    return r < 0 ? r + m : r;
}

// First pixel whose centre is at or past `x` (a pixel's centre is at index + 0.5), kept
// within [lo, hi]. NaN gives lo.
int firstPixelFrom(double x, int lo, int hi) {
    const double v = x - 0.5;
    if (!(v > lo)) return lo;
    if (!(v < hi)) return hi;
    return int(std::ceil(v));
}

// ---- The general mapping ----

struct Edge {
    // Signed distance of (X, Y) from the edge, positive inside: a X + b Y + c.
    double a, b, c;
};

// How a run of pixels is covered: wholly at full opacity, wholly at a lower opacity, or
// partly (pixels along the quad's edges, with antialiasing).
enum class Coverage { Full, Uniform, Partial };

struct Job {
    // (X, Y, 1) × inverse = (u, v, w) for the target point (X, Y), where u / w and v / w are
    // the source coordinates in 1/256 pixel, measured from the first source pixel's centre
    // and offset by a half for rounding.
    Mat3 inverse;
    std::array<Edge, 8> edges;
    int edgeCount;
    int alpha;
    bool bilinear;
    bool antialias;
    int clipX0, clipX1;
    // Width of the strips rows are drawn in (0 for whole rows), and how many rows at a time.
    int stripWidth;
    int bandHeight;
    // The source column and its weight depend on the target column alone (the inverse has no
    // Y term in u and w): they are worked out once per column of a strip (see Columns).
    bool columnMapping;
    // The source pixels of each tile (strip by band, or row) are fetched while the one before
    // is drawn (see Footprint).
    bool readsAhead;

    std::uint32_t* target;
    std::ptrdiff_t targetRowWords;

    const std::uint32_t* source;
    std::int32_t sourceRowWords;
    // Coordinates (as the inverse gives them) are clamped to these, which keeps every tap on
    // the source rectangle's pixels.
    float uMin, uMax, vMin, vMax;
    // Largest index of the first (left, upper) bilinear tap, and the distances to the others:
    // zero for a source one pixel wide or high.
    std::int32_t xMax, yMax;
    std::int32_t xTap, yTap;
    // Set for sources whose alpha bytes carry nothing.
    std::uint32_t alphaBits;
    // The overlay laid over each sample before it is composited: its colour (premultiplied,
    // opaque) with coverage (in 1/256) clamp(overlayA + overlayU u + overlayV v, overlayMin,
    // overlayMax) at source coordinates (u, v) as the inverse gives them.
    bool overlay;
    std::uint32_t overlayColor;
    float overlayA, overlayU, overlayV, overlayMin, overlayMax;
};

// Scratch for one run of pixels; lanes past the run's end hold stale values that are never
// stored.
struct Chunk {
    alignas(64) std::int32_t offset[kChunk];
    // Bilinear weights (0 to 256) of the right and lower taps, in both halves of each value
    // so that they weight two channels at once.
    alignas(64) std::uint32_t weightX[kChunk];
    alignas(64) std::uint32_t weightY[kChunk];
    // The upper and lower pairs of taps, left then right, as they lie in memory, in the order
    // the pixel loops split them in (see pairSlot).
    alignas(64) std::uint64_t upper[kChunk];
    alignas(64) std::uint64_t lower[kChunk];
    alignas(64) std::uint32_t color[kChunk];
    alignas(64) std::uint32_t alpha[kChunk];
    // The overlay's coverage of each sample (0 to 256).
    alignas(64) std::uint32_t cover[kChunk + kLanePadding];
};

// One target row: the source coordinates along it, and per-edge distances for coverage.
struct Row {
    // Homogeneous source coordinates at the centre of pixel x are (u0, v0, w0) + x (du, dv, dw).
    double u0, v0, w0, du, dv, dw;
    std::array<double, 8> edgeOffset; // b Y + c of each edge at the row's centre
    double uncovered;                 // from edges parallel to the row (antialiasing only)
    // Pixels covered at all are [outer0, outer1); those covered wholly are [inner0, inner1).
    int outer0, outer1, inner0, inner1;
};

// The columns [x0, x0 + count) of a strip under a column mapping, for the band of rows from y0:
// source coordinates in 1/256 pixel as Job::inverse gives them.
struct Columns {
    int x0, y0;
    // The source column (clamped, for the overlay), the source row at y0 and its step per
    // target row.
    alignas(64) float u[kMaxStripWidth + kLanePadding];
    alignas(64) float v[kMaxStripWidth + kLanePadding];
    alignas(64) float dv[kMaxStripWidth + kLanePadding];
    // The first tap's column, clamped, and the right tap's weight in both halves.
    alignas(64) std::int32_t column[kMaxStripWidth + kLanePadding];
    alignas(64) std::uint32_t weightX[kMaxStripWidth + kLanePadding];
};

// Edge antialiasing: every edge closer than half a pixel to the pixel's centre uncovers the
// part of the pixel beyond it. Summing the uncovered parts is exact along a single edge and
// for slivers between two edges, and errs towards less coverage at corners.
std::uint32_t partialAlpha(const Job& job, const Row& row, int x) {
    double uncovered = row.uncovered;
    const double xc = x + 0.5;
    for (int i = 0; i < job.edgeCount; ++i) {
        // An edge parallel to the row uncovers the same for every pixel: counted in the row's.
        if (job.edges[i].a == 0) continue;
        const double d = job.edges[i].a * xc + row.edgeOffset[i];
        if (d < 0.5) uncovered += std::min(1.0, 0.5 - d);
    }
    if (!(uncovered < 1)) return 0;
    return std::uint32_t(job.alpha * (1 - uncovered) + 0.5);
}

// Sets up one target row: its source coordinates and which of its pixels the quad covers.
// False when it covers none.
bool setUpRow(const Job& job, int y, Row& row) {
    const double yc = y + 0.5;
    const Mat3& g = job.inverse;
    row = {0.5 * g[0] + yc * g[3] + g[6],
           0.5 * g[1] + yc * g[4] + g[7],
           0.5 * g[2] + yc * g[5] + g[8],
           g[0],
           g[1],
           g[2],
           {},
           0,
           job.clipX0,
           job.clipX1,
           job.clipX0,
           job.clipX1};

    // Without antialiasing the pixels covered at all and those covered wholly are both the
    // pixels whose centres are inside.
    const double reach = job.antialias ? 0.5 : 0.0;
    for (int i = 0; i < job.edgeCount; ++i) {
        const Edge& e = job.edges[i];
        const double offset = e.b * yc + e.c;
        row.edgeOffset[i] = offset;
        if (e.a == 0) {
            // Parallel to the row: it covers the whole row or none of it.
            if (!job.antialias) {
                if (!(offset > 0 || (offset == 0 && e.b > 0))) return false;
            } else {
                if (!(offset > -0.5)) return false;
                if (offset < 0.5) {
                    row.uncovered += 0.5 - offset;
                    row.inner1 = row.inner0;
                }
            }
            continue;
        }
        // Where the distance a X + offset reaches -reach (outer) and +reach (inner).
        const double outerX = (-reach - offset) / e.a;
        const double innerX = (reach - offset) / e.a;
        if (std::isnan(outerX) || std::isnan(innerX)) return false;
        if (e.a > 0) {
            row.outer0 = std::max(row.outer0, firstPixelFrom(outerX, job.clipX0, job.clipX1));
            row.inner0 = std::max(row.inner0, firstPixelFrom(innerX, job.clipX0, job.clipX1));
        } else {
            row.outer1 = std::min(row.outer1, firstPixelFrom(outerX, job.clipX0, job.clipX1));
            row.inner1 = std::min(row.inner1, firstPixelFrom(innerX, job.clipX0, job.clipX1));
        }
    }
    if (row.outer0 >= row.outer1 || row.uncovered >= 1) return false;
    row.inner0 = std::clamp(row.inner0, row.outer0, row.outer1);
    row.inner1 = std::clamp(row.inner1, row.inner0, row.outer1);
    return true;
}

// Works out the source columns of target columns [x0, x1) for the band of rows from y0.
void setUpColumns(const Job& job, int x0, int x1, int y0, Columns& columns) {
    const Mat3& g = job.inverse;
    columns.x0 = x0;
    columns.y0 = y0;
    const double yc = y0 + 0.5;
    const int count = x1 - x0;
    for (int i = 0; i < count + kLanePadding; ++i) {
        // Past the strip the last column repeats, so that the lanes there stay on the source.
        const double xc = x0 + std::min(i, count - 1) + 0.5;
        const double w = g[2] * xc + g[8];
        double u = (g[0] * xc + g[6]) / w;
        // NaN (w = 0 just outside the quad) ends up in range too.
        u = u >= job.uMin ? (u <= job.uMax ? u : job.uMax) : job.uMin;
        const int iu = int(u);
        const int ix = std::min(iu >> 8, job.xMax);
        const std::uint32_t fx = std::uint32_t(iu - (ix << 8));
        columns.u[i] = float(u);
        columns.v[i] = float((g[1] * xc + g[4] * yc + g[7]) / w);
        columns.dv[i] = float(g[4] / w);
        columns.column[i] = ix;
        columns.weightX[i] = fx | fx << 16;
    }
}

// A tile of a mapping that turns the image in its plane (or tilts it) reads its source along
// slanted lines, crossing a source row every few pixels; one that turns it about the vertical
// axis reads down columns, a source row per pixel. The hardware does not foresee such reads, and
// every row crossed costs a trip to memory. So while a tile is drawn, the source
// pixels the next one reads, and the target pixels it blends over, are fetched ahead, a share of
// them with each row drawn.
constexpr int kMaxFootprintRows = 1024;

// The source pixels a tile reads: columns from[i] to to[i] of source row first + i, each moved
// by (shiftX, shiftY) and kept on the source, for count rows, of which the first `fetched` have
// been fetched ahead.
struct Footprint {
    int first = 0, count = 0, fetched = 0;
    int shiftX = 0, shiftY = 0;
    std::array<std::int32_t, kMaxFootprintRows> from, to;
    // Under an affine mapping every whole tile reads the same shape, moved: worked out once (see
    // findFootprint), with room for the shift's fractions.
    bool shaped = false;
    // The tile's own target pixels, [x0, x1) × [y0, y1), which it reads to blend over: their
    // rows from y0 up to `targetFetched` have been fetched ahead.
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0, targetFetched = 0;
};

// The source column or row that `v` lies in, kept to where a sum of two of them cannot overflow
// (NaN gives the lowest).
int footprintColumn(double v) {
    constexpr double kFar = 1 << 28;
    return int(std::floor(v > -kFar ? (v < kFar ? v : kFar) : -kFar));
}

// The rows [first, last] of the source quad `quad` (in source pixels, the first tap's column and
// row in the integer part), each as wide as the taps of the points the quad has within a row of
// it read; `slack` more on the right and below, for a quad that may yet move by up to that much.
// Stores them from row first on, unclamped.
void findSpans(const std::array<Point, 4>& quad, int first, int last, double slack, Footprint& f) {
    // Row r holds the upper taps of points in [r, r + 1) and the lower ones of [r - 1, r): the
    // part of each edge within [r - 1 - slack, r + 1] widens it. Each edge is walked over the
    // rows it reaches only; u is linear along it, so its ends within that range bound it.
    const int count = last - first + 1;
    std::array<double, kMaxFootprintRows> lo, hi;
    std::fill_n(lo.begin(), count, std::numeric_limits<double>::infinity());
    std::fill_n(hi.begin(), count, -std::numeric_limits<double>::infinity());
    for (int i = 0; i < 4; ++i) {
        Point a = quad[i], b = quad[(i + 1) % 4];
        if (b.y < a.y) std::swap(a, b);
        // A level edge lies wholly in the rows it touches.
        const bool level = !(b.y > a.y);
        const double slope = level ? 0 : (b.x - a.x) / (b.y - a.y);
        auto uAt = [&](double v) { return a.x + slope * (std::clamp(v, a.y, b.y) - a.y); };
        const int r0 = int(std::clamp(std::ceil(a.y - 1), double(first), double(last + 1)));
        const int r1 = int(std::clamp(std::floor(b.y + 1 + slack), double(first - 1), double(last)));
        for (int r = r0; r <= r1; ++r) {
            const double ua = level ? a.x : uAt(r - 1.0 - slack), ub = level ? b.x : uAt(r + 1.0);
            lo[r - first] = std::min(lo[r - first], std::min(ua, ub));
            hi[r - first] = std::max(hi[r - first], std::max(ua, ub));
        }
    }
    f.first = first;
    f.count = count;
    for (int k = 0; k < count; ++k) {
        // Rows are consecutive (the quad is convex): each has a span.
        f.from[k] = footprintColumn(lo[k]);
        f.to[k] = footprintColumn(hi[k] + slack) + 1;
    }
}

// Works out the footprint of target pixels [x0, x1) × [y0, y1): the quad their corners map to
// in the source, each row of it as wide as the taps of the points within a row of it read (under
// an affine mapping, a whole tile's, a little wider). Empty when the tile is empty, crosses the
// eye's plane or reads too many rows to fetch ahead.
void findFootprint(const Job& job, int x0, int x1, int y0, int y1, Footprint& f) {
    f.fetched = 0;
    f.x0 = x0, f.x1 = x1, f.y0 = f.targetFetched = y0, f.y1 = y1;
    if (x0 >= x1 || y0 >= y1) {
        f.count = 0;
        return;
    }
    const Mat3& g = job.inverse;
    // Source point of (X, Y) in source pixels, or false where w is 0 or changes sign.
    double sign = 0;
    auto sourceAt = [&](double X, double Y, Point& p) {
        const double w = g[2] * X + g[5] * Y + g[8];
        if (!(std::abs(w) > 0) || sign * w < 0) return false;
        sign = w;
        p = {(g[0] * X + g[3] * Y + g[6]) / w / 256, (g[1] * X + g[4] * Y + g[7]) / w / 256};
        return std::isfinite(p.x) && std::isfinite(p.y);
    };
    const int lastRow = job.yMax + (job.yTap != 0 ? 1 : 0);
    if (g[2] == 0 && g[5] == 0) {
        // Affine: the tile reads a whole tile's shape from its first corner on, moved by whole
        // pixels (the fractions are in the shape's slack).
        Point corner;
        if (!sourceAt(x0, y0, corner)) {
            f.fetched = f.count; // nothing to fetch for this one
            return;
        }
        if (!f.shaped) {
            f.shaped = true;
            f.count = 0;
            const double width = job.stripWidth > 0 ? job.stripWidth : job.clipX1 - job.clipX0;
            const double height = std::max(job.bandHeight, 1);
            std::array<Point, 4> quad;
            if (!sourceAt(x0 + width, y0, quad[1]) || !sourceAt(x0 + width, y0 + height, quad[2]) ||
                !sourceAt(x0, y0 + height, quad[3]))
                return;
            quad[0] = {0, 0};
            double top = 0, bottom = 0;
            for (int i = 1; i < 4; ++i) {
                Point& p = quad[i];
                p = {p.x - corner.x, p.y - corner.y};
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.y);
            }
            if (!(bottom - top + 4 <= kMaxFootprintRows)) return;
            findSpans(quad, int(std::floor(top)), int(std::floor(bottom)) + 2, 1, f);
        }
        f.shiftX = footprintColumn(corner.x);
        f.shiftY = footprintColumn(corner.y);
        return;
    }
    f.shiftX = f.shiftY = 0;
    f.count = 0;
    std::array<Point, 4> quad;
    const double corners[4][2] = {{double(x0), double(y0)},
                                  {double(x1), double(y0)},
                                  {double(x1), double(y1)},
                                  {double(x0), double(y1)}};
    double top = std::numeric_limits<double>::infinity(), bottom = -top;
    for (int i = 0; i < 4; ++i) {
        if (!sourceAt(corners[i][0], corners[i][1], quad[i])) return;
        top = std::min(top, quad[i].y);
        bottom = std::max(bottom, quad[i].y);
    }
    const int first = int(std::clamp(std::floor(top), 0.0, double(lastRow)));
    const int last = int(std::clamp(std::floor(bottom) + 1, 0.0, double(lastRow)));
    if (last - first + 1 > kMaxFootprintRows) return;
    findSpans(quad, first, last, 0, f);
}

// Fetches the part `done` (of `parts`) of the footprint and of the tile's target pixels ahead.
void fetchFootprint(const Job& job, Footprint& f, int done, int parts) {
#if defined(__GNUC__)
    // Each cache line of pixels [from, to] of the row once.
    auto fetch = [](const std::uint32_t* row, int from, int to, bool forWriting) {
        constexpr std::uintptr_t kLine = 64;
        const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(row + to);
        for (std::uintptr_t a = reinterpret_cast<std::uintptr_t>(row + from) & ~(kLine - 1); a <= end; a += kLine)
            forWriting ? __builtin_prefetch(reinterpret_cast<const void*>(a), 1)
                       : __builtin_prefetch(reinterpret_cast<const void*>(a));
    };
    const int lastRow = job.yMax + (job.yTap != 0 ? 1 : 0), lastColumn = job.xMax + job.xTap;
    for (const int upto = done * f.count / parts; f.fetched < upto; ++f.fetched) {
        const int row = f.first + f.fetched + f.shiftY;
        if (row < 0 || row > lastRow) continue;
        fetch(job.source + std::ptrdiff_t(row) * job.sourceRowWords,
              std::clamp(f.from[f.fetched] + f.shiftX, 0, lastColumn),
              std::clamp(f.to[f.fetched] + f.shiftX, 0, lastColumn), false);
    }
    for (const int upto = f.y0 + done * (f.y1 - f.y0) / parts; f.targetFetched < upto; ++f.targetFetched)
        fetch(job.target + std::ptrdiff_t(f.targetFetched) * job.targetRowWords, f.x0, f.x1 - 1, true);
#else
    (void)job, (void)f, (void)done, (void)parts;
#endif
}

// ---- Upright images, scaled and moved ----

// An upright image under a scale and a translation: drawn in two passes, the horizontal one
// blending neighbouring pixels of each source row a target row needs (once per source row), and
// the vertical one blending two such rows for each target row as it composites them (see
// ProjectiveMapperKernels.inc).
struct ScaledJob {
    std::uint32_t* target;
    std::ptrdiff_t targetRowWords;
    const std::uint32_t* source;
    std::ptrdiff_t sourceRowWords;
    std::uint32_t alphaBits;
    int alpha;
    // Every source pixel is opaque.
    bool opaque;
    // Target pixels drawn: [x0, x1) × [y0, y1).
    int x0, x1, y0, y1;
    // The source point under the centre of target pixel (x, y), in source pixels:
    // (u0 + du (x + 0.5), v0 + dv (y + 0.5)).
    double u0, du, v0, dv;
    // Taps stay within source columns [tx0, tx1] and rows [ty0, ty1].
    int tx0, tx1, ty0, ty1;
    // Placed by whole pixels: target (x, y) shows source (x + columnShift, y + rowShift).
    bool wholePixels = false;
    int columnShift = 0, rowShift = 0;
    // Each target pixel takes the nearest source pixel (the filter's weights are all 0).
    bool nearest;
    // The overlay laid over each sample, as Job's, its coverage clamp(overlayA + overlayX x +
    // overlayY y, overlayMin, overlayMax) at target pixel (x, y).
    bool overlay = false;
    std::uint32_t overlayColor = 0;
    float overlayA = 0, overlayX = 0, overlayY = 0, overlayMin = 0, overlayMax = 0;
};

// The filter's position (in 1/256 source pixel from the first tap's centre) of the source
// point `p`, clamped to the taps [t0, t1]: the first tap and the second one's weight, or the
// nearer tap alone (from half way on, the second).
std::pair<int, std::uint32_t> tapOf(double p, int t0, int t1, bool nearest) {
    const double clamped = std::clamp(p - 0.5, double(t0), double(t1));
    const int q = int(std::floor(clamped * 256 + 0.5));
    if (nearest) return {(q + 128) >> 8, 0};
    return {q >> 8, std::uint32_t(q & 255)};
}

// The source rows blended for target row y: the first, the second (the first again at the
// last row) and the second one's weight.
struct SourceRows {
    int first, second;
    unsigned weight;
};

SourceRows sourceRows(const ScaledJob& job, int y) {
    const auto [row, weight] = tapOf(job.v0 + job.dv * (y + 0.5), job.ty0, job.ty1, job.nearest);
    return {row, std::min(row + 1, job.ty1), weight};
}

// Target columns [x, x + n) of an upright image: the two source columns each blends.
struct ScaledChunk {
    // Each pixel's left and right source column (the right one the left again at the last
    // column), and the right one's weight in both halves of each value.
    alignas(64) std::int32_t left[kScaledChunk + kLanePadding];
    alignas(64) std::int32_t right[kScaledChunk + kLanePadding];
    alignas(64) std::uint32_t weight[kScaledChunk + kLanePadding];
    // With permutes: for each step of `lanes` pixels, the first of the `window` source columns
    // its taps lie in (-1 when they do not, or the window would leave the row), and each pixel's
    // taps from there.
    int window;
    std::int32_t blockBase[kScaledChunk / 4 + kLanePadding];
    alignas(64) std::uint32_t leftIndex[kScaledChunk + kLanePadding];
    alignas(64) std::uint32_t rightIndex[kScaledChunk + kLanePadding];
};

// Sets up target columns [x, x + n) for steps of `lanes` pixels (0 without permutes). Taps of a
// step are picked from one vector of source pixels where they all fit in one, else from two.
void setUpScaledChunk(const ScaledJob& job, int x, int n, int lanes, ScaledChunk& chunk) {
    for (int i = 0; i < n + kLanePadding; ++i) {
        // Past the chunk the last pixel repeats, so that the lanes there stay on the source.
        const int at = x + std::min(i, n - 1);
        const auto [column, weight] = tapOf(job.u0 + job.du * (at + 0.5), job.tx0, job.tx1, job.nearest);
        chunk.left[i] = column;
        chunk.right[i] = std::min(column + 1, job.tx1);
        chunk.weight[i] = weight | weight << 16;
    }
    if (lanes == 0) {
        chunk.window = 0;
        return;
    }
    int widest = 0;
    for (int i = 0; i < n; i += lanes)
        widest = std::max(widest, *std::max_element(chunk.right + i, chunk.right + i + lanes) -
                                      *std::min_element(chunk.left + i, chunk.left + i + lanes) + 1);
    chunk.window = widest <= lanes ? lanes : 2 * lanes;
    for (int i = 0; i < n; i += lanes) {
        const int lo = *std::min_element(chunk.left + i, chunk.left + i + lanes);
        const int hi = *std::max_element(chunk.right + i, chunk.right + i + lanes);
        // Near the source's right edge the window ends there, to read no pixel past its row.
        const int base = std::min(lo, job.tx1 + 1 - chunk.window);
        const bool fits = base >= 0 && hi - base < chunk.window;
        chunk.blockBase[i / lanes] = fits ? base : -1;
        for (int j = 0; j < lanes; ++j) {
            chunk.leftIndex[i + j] = std::uint32_t(chunk.left[i + j] - base);
            chunk.rightIndex[i + j] = std::uint32_t(chunk.right[i + j] - base);
        }
    }
}

// While a target row is drawn, the source rows of the row this far below (those not fetched
// yet) and its own pixels are fetched ahead, a cache line or two with each step: each row
// starts new streams of reads, which the processor would begin to foresee only well into it.
constexpr int kScaledFetchRows = 2;

// What to fetch while a target row is drawn: the target row ahead (at the chunk's first
// column), and up to two source rows (null when fetched already).
struct ScaledAhead {
    std::uint32_t* target = nullptr;
    const std::uint32_t* rows[2] = {nullptr, nullptr};
    // The source rows fetched ahead last: [first, last], empty when first > last.
    int first = 1, last = 0;
};

// Plans what to fetch while target row y is drawn, for columns [x, x + n).
void planAhead(const ScaledJob& job, int x, int y, ScaledAhead& ahead) {
    const int next = y + kScaledFetchRows;
    ahead.target = nullptr;
    ahead.rows[0] = ahead.rows[1] = nullptr;
    if (next >= job.y1) return;
    ahead.target = job.target + next * job.targetRowWords + x;
    const SourceRows rows = sourceRows(job, next);
    int k = 0;
    for (int row = rows.first; row <= rows.second; ++row)
        if (row < ahead.first || row > ahead.last) ahead.rows[k++] = job.source + row * job.sourceRowWords;
    ahead.first = rows.first;
    ahead.last = rows.second;
}

// Source rows crossed per target pixel along a target row, at the corners of the quad.
double rowsPerPixel(const Mat3& g, const Polygon& quad) {
    double most = 0;
    for (int i = 0; i < quad.count; ++i) {
        const Vec3 p = apply(g, quad.points[i].x, quad.points[i].y);
        most = std::max(most, std::abs((g[1] * p.w - g[2] * p.y) / (p.w * p.w)) / 256);
    }
    return most;
}

// The first index of the pixels whose centres are in [lo, hi), kept within [first, first +
// count], and the end of that range.
std::pair<int, int> pixelRange(double lo, double hi, int first, int count) {
    return {firstPixelFrom(lo, first, first + count), firstPixelFrom(hi, first, first + count)};
}

} // namespace

// ---- The pixel loops, for each instruction set ----

namespace baseline {
namespace {
#define OLM_LANES 4
#include "platform/graphics/ProjectiveMapperKernels.inc"
#undef OLM_LANES
} // namespace
} // namespace baseline

#ifdef OLM_X86_KERNELS
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
namespace {
#define OLM_LANES 8
#include "platform/graphics/ProjectiveMapperKernels.inc"
#undef OLM_LANES
} // namespace
} // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl,avx512dq")
namespace avx512 {
namespace {
#define OLM_LANES 16
#include "platform/graphics/ProjectiveMapperKernels.inc"
#undef OLM_LANES
} // namespace
} // namespace avx512
#pragma GCC pop_options
#endif

namespace {

struct Kernels {
    bool (*drawRows)(const Job&, int, int);
    void (*drawScaled)(const ScaledJob&);
};

constexpr Kernels kBaseline{baseline::drawRows, baseline::drawScaled};
#ifdef OLM_X86_KERNELS
constexpr Kernels kAvx2{avx2::drawRows, avx2::drawScaled};
constexpr Kernels kAvx512{avx512::drawRows, avx512::drawScaled};
#endif

std::atomic<int> widestAllowed{int(PixelKernels::Avx512)};

PixelKernels supportedKernels() {
#ifdef OLM_X86_KERNELS
    static const PixelKernels supported = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
            __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
            return PixelKernels::Avx512;
        if (__builtin_cpu_supports("avx2")) return PixelKernels::Avx2;
        return PixelKernels::Portable;
    }();
    return supported;
#else
    return PixelKernels::Portable;
#endif
}

PixelKernels kernelsInUse() {
    return PixelKernels(std::min(int(supportedKernels()), widestAllowed.load(std::memory_order_relaxed)));
}

const Kernels& kernels() {
#ifdef OLM_X86_KERNELS
    switch (kernelsInUse()) {
    case PixelKernels::Avx512:
        return kAvx512;
    case PixelKernels::Avx2:
        return kAvx2;
    case PixelKernels::Portable:
        break;
    }
#endif
    return kBaseline;
}

// The source pixels taps may read: columns [x0, x1], rows [y0, y1].
struct Taps {
    int x0, x1, y0, y1;
};

// Whether the plane homography shows the image upright: scaled and moved, but neither turned,
// skewed nor seen in perspective (w is the same everywhere, and in front of the eye).
bool isUpright(const Mat3& h) {
    const double scale = std::abs(h[0]) + std::abs(h[4]);
    return h[8] > 0 && std::abs(h[1]) <= 1e-12 * scale && std::abs(h[3]) <= 1e-12 * scale &&
           std::abs(h[2]) * kMaxSourceSize <= 1e-9 * h[8] && std::abs(h[5]) * kMaxSourceSize <= 1e-9 * h[8];
}

// An overlay's colour (premultiplied, opaque) and its coverage in 1/256, a half added so that
// truncating rounds: clamp(a + ax x + ay y, min, max) at source point (x, y) in source pixels.
struct OverlayCoverage {
    std::uint32_t color;
    double a, ax, ay, min, max;
};

// The coverage of `overlay`; null when it covers nothing, false when it is not finite.
bool coverageOf(const ProjectionOverlay& overlay, std::optional<OverlayCoverage>& coverage) {
    const RGBA c = overlay.color.resolved();
    const double values[] = {c.r, c.g, c.b, c.a, overlay.a0, overlay.ax, overlay.ay, overlay.min, overlay.max};
    if (!allFinite(values, std::size(values))) return false;
    const double alpha = std::clamp(c.a, 0.0, 1.0);
    const double lo = std::clamp(overlay.min, 0.0, 1.0), hi = std::clamp(overlay.max, lo, 1.0);
    coverage.reset();
    if (!(alpha > 0 && hi > 0)) return true;
    auto channel = [](double v) { return std::uint32_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    const double k = 256 * alpha;
    coverage = OverlayCoverage{0xFF000000u | channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b),
                               k * overlay.a0 + 0.5, k * overlay.ax, k * overlay.ay, k * lo + 0.5, k * hi + 0.5};
    return true;
}

// Sets up the overlay of `job` in the job's source coordinates (1/256 pixel from the first
// pixel's centre, plus a half: x = (u - 1/2) / 256 + 1/2).
void setUpOverlay(const OverlayCoverage& c, Job& job) {
    const double shift = 0.5 - 0.5 / 256;
    job.overlay = true;
    job.overlayColor = c.color;
    job.overlayA = float(c.a + (c.ax + c.ay) * shift);
    job.overlayU = float(c.ax / 256);
    job.overlayV = float(c.ay / 256);
    job.overlayMin = float(c.min);
    job.overlayMax = float(c.max);
}

// The same for an upright image, in its target pixels.
void setUpOverlay(const OverlayCoverage& c, ScaledJob& job) {
    job.overlay = true;
    job.overlayColor = c.color;
    job.overlayA = float(c.a + c.ax * (job.u0 + job.du / 2) + c.ay * (job.v0 + job.dv / 2));
    job.overlayX = float(c.ax * job.du);
    job.overlayY = float(c.ay * job.dv);
    job.overlayMin = float(c.min);
    job.overlayMax = float(c.max);
}

// Draws an upright image set up as `job` (rows [y0, y1)) through the two-pass filter. With
// edge antialiasing only the pixels it covers wholly go that way; the ring of partly covered
// ones around them is left to the general mapping, which works out their coverage.
bool drawUpright(const Job& job, const Mat3& h, bool opaque, const Taps& taps, const Rect& quad, int y0,
                 int y1, const Kernels& kernels, const OverlayCoverage* overlay) {
    const double sx = h[0] / h[8], sy = h[4] / h[8];
    ScaledJob s{.target = job.target,
                .targetRowWords = job.targetRowWords,
                .source = job.source,
                .sourceRowWords = job.sourceRowWords,
                .alphaBits = job.alphaBits,
                .alpha = job.alpha,
                .opaque = opaque,
                .x0 = job.clipX0,
                .x1 = job.clipX1,
                .y0 = y0,
                .y1 = y1,
                .u0 = -h[6] / h[8] / sx,
                .du = 1 / sx,
                .v0 = -h[7] / h[8] / sy,
                .dv = 1 / sy,
                .tx0 = taps.x0,
                .tx1 = taps.x1,
                .ty0 = taps.y0,
                .ty1 = taps.y1,
                .nearest = !job.bilinear};
    if (job.antialias) {
        s.x0 = std::max(s.x0, int(std::ceil(quad.minX())));
        s.x1 = std::min(s.x1, int(std::floor(quad.maxX())));
        s.y0 = std::max(s.y0, int(std::ceil(quad.minY())));
        s.y1 = std::min(s.y1, int(std::floor(quad.maxY())));
    }
    // Placed by whole pixels: target x samples source x + shift exactly, within the taps.
    const double columnShift = std::round(s.u0), rowShift = std::round(s.v0);
    s.wholePixels = s.du == 1 && s.dv == 1 && std::abs(s.u0 - columnShift) <= 1e-6 &&
                    std::abs(s.v0 - rowShift) <= 1e-6 && s.x0 + columnShift >= s.tx0 &&
                    s.x1 - 1 + columnShift <= s.tx1 && s.y0 + rowShift >= s.ty0 &&
                    s.y1 - 1 + rowShift <= s.ty1;
    s.columnShift = int(columnShift);
    s.rowShift = int(rowShift);
    if (overlay) setUpOverlay(*overlay, s);
    bool drew = false;
    if (s.x0 < s.x1 && s.y0 < s.y1) {
        kernels.drawScaled(s);
        drew = true;
    } else {
        // Nothing covered wholly: all of it is the ring.
        s.x0 = s.x1 = job.clipX0;
        s.y0 = s.y1 = y0;
    }
    if (!job.antialias) return drew;
    drew = kernels.drawRows(job, y0, s.y0) || drew;
    drew = kernels.drawRows(job, s.y1, y1) || drew;
    Job side = job;
    side.clipX1 = s.x0;
    if (side.clipX0 < side.clipX1) drew = kernels.drawRows(side, s.y0, s.y1) || drew;
    side.clipX0 = s.x1;
    side.clipX1 = job.clipX1;
    if (side.clipX0 < side.clipX1) drew = kernels.drawRows(side, s.y0, s.y1) || drew;
    return drew;
}

} // namespace

bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Matrix4x4& matrix, Float opacity,
                        const ProjectionOptions& options, const ProjectionOverlay* overlay) {
    if (!usable(target) || !usable(source)) return false;
    if (source.width > kMaxSourceSize || source.height > kMaxSourceSize) return false;
    const std::int64_t sourceRowWords = source.strideBytes / 4;
    if ((source.height - 1) * sourceRowWords + source.width > std::numeric_limits<std::int32_t>::max())
        return false;
    // An unbounded clip is no clip, but one with NaN edges clips everything.
    const Rect clipRect = clip.standardized();
    if (clip.isNull() || std::isnan(clipRect.minX()) || std::isnan(clipRect.minY()) ||
        std::isnan(clipRect.maxX()) || std::isnan(clipRect.maxY()))
        return false;
    if (!(opacity > 0) || !allFinite(matrix.data(), matrix.size())) return false;
    const int alpha = opacity >= 1 ? kFullAlpha : int(opacity * kFullAlpha + 0.5);
    if (alpha == 0) return false;

    const Rect src = finiteRect(sourceRect).intersection(Rect(0, 0, source.width, source.height));
    if (src.isEmpty()) return false;

    const Mat3 h = planeHomography(matrix);
    Polygon quad;
    if (!projectQuad(src, h, quad)) return false;
    // The source corners run clockwise on screen (y down), which is a positive area; a
    // negative one is the back of the plane.
    const double area = quad.signedArea();
    if (!(std::abs(area) >= kMinArea)) return false;
    if (!options.doubleSided && area < 0) return false;

    Mat3 inverse = adjugate(h);
    const double scale = std::abs(*std::max_element(
        inverse.begin(), inverse.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
    if (!(scale > 0) || !std::isfinite(scale)) return false;

    Job job{};
    // Source coordinates in 1/256 pixel from the centre of the first pixel, plus a half so that
    // truncating them rounds: 256 (u/w − 1/2) + 1/2.
    for (int r = 0; r < 3; ++r) {
        const double u = inverse[3 * r] / scale, v = inverse[3 * r + 1] / scale,
                     w = inverse[3 * r + 2] / scale;
        job.inverse[3 * r] = 256 * u - 127.5 * w;
        job.inverse[3 * r + 1] = 256 * v - 127.5 * w;
        job.inverse[3 * r + 2] = w;
    }
    job.alpha = alpha;
    job.bilinear = options.filter != SamplingFilter::Nearest;
    job.antialias = options.edgeAntialiasing;
    // Addressed by the pixels' places in the target space: the buffer's first pixel is at its
    // origin (every pixel drawn lies in the buffer).
    job.targetRowWords = target.strideBytes / 4;
    job.target = target.pixels - (std::ptrdiff_t(target.originY) * job.targetRowWords + target.originX);

    // Edges, oriented so that the inside is positive, with unit normals so that the distance
    // is in pixels.
    const double orientation = area > 0 ? 1 : -1;
    for (int i = 0; i < quad.count; ++i) {
        const Point& p = quad.points[i];
        const Point& q = quad.points[(i + 1) % quad.count];
        const double a = p.y - q.y;
        const double b = q.x - p.x;
        const double length = std::hypot(a, b);
        if (!(length > 0) || !std::isfinite(length)) continue;
        const double na = orientation * a / length;
        const double nb = orientation * b / length;
        job.edges[job.edgeCount++] = {na, nb, -(na * p.x + nb * p.y)};
    }

    // Pixels to visit: inside the clip and the target, and near the quad.
    const double margin = job.antialias ? 1 : 0;
    const Rect near = quad.bounds().insetBy(-margin, -margin);
    const auto [clipX0, clipX1] =
        pixelRange(std::max(clipRect.minX(), near.minX()), std::min(clipRect.maxX(), near.maxX()),
                   target.originX, target.width);
    const auto [rowY0, rowY1] =
        pixelRange(std::max(clipRect.minY(), near.minY()), std::min(clipRect.maxY(), near.maxY()),
                   target.originY, target.height);
    if (clipX0 >= clipX1 || rowY0 >= rowY1) return false;
    job.clipX0 = clipX0;
    job.clipX1 = clipX1;

    // Taps stay on the source rectangle's pixels.
    const int tx0 = std::clamp(int(std::floor(src.minX())), 0, source.width - 1);
    const int tx1 = std::clamp(int(std::ceil(src.maxX())) - 1, tx0, source.width - 1);
    const int ty0 = std::clamp(int(std::floor(src.minY())), 0, source.height - 1);
    const int ty1 = std::clamp(int(std::ceil(src.maxY())) - 1, ty0, source.height - 1);
    job.source = source.pixels;
    job.sourceRowWords = std::int32_t(sourceRowWords);
    job.uMin = float(tx0 * 256) + 0.5f;
    job.uMax = float(tx1 * 256) + 0.5f;
    job.vMin = float(ty0 * 256) + 0.5f;
    job.vMax = float(ty1 * 256) + 0.5f;
    job.xMax = std::max(tx0, tx1 - 1);
    job.yMax = std::max(ty0, ty1 - 1);
    job.xTap = tx1 > tx0 ? 1 : 0;
    job.yTap = ty1 > ty0 ? job.sourceRowWords : 0;
    job.alphaBits = source.opaque ? 0xFF000000u : 0;
    std::optional<OverlayCoverage> coverage;
    if (overlay && !coverageOf(*overlay, coverage)) return false;
    if (coverage) setUpOverlay(*coverage, job);

    const Kernels& kernels = gfx::kernels();
    job.bandHeight = 1;
    if (isUpright(h) && std::abs(h[0]) >= kMinSeparableScale * h[8] && std::abs(h[4]) >= kMinSeparableScale * h[8])
        return drawUpright(job, h, source.opaque, {tx0, tx1, ty0, ty1}, quad.bounds(), rowY0, rowY1, kernels,
                           coverage ? &*coverage : nullptr);

    // A turn that keeps vertical lines vertical maps each target column to one source column.
    const double largest =
        std::abs(*std::max_element(job.inverse.begin(), job.inverse.end(),
                                   [](double a, double b) { return std::abs(a) < std::abs(b); }));
    job.columnMapping =
        std::abs(job.inverse[3]) <= 1e-12 * largest && std::abs(job.inverse[5]) <= 1e-12 * largest;
    if (job.columnMapping) {
        job.stripWidth = kColumnStripWidth;
        job.bandHeight = kColumnBandHeight;
        job.readsAhead = true;
    } else {
        const double rows = rowsPerPixel(job.inverse, quad);
        const bool slanted = rows > kSlantedRows;
        job.stripWidth = slanted ? kStripWidth : 0;
        job.bandHeight = slanted ? kBandHeight : 1;
        job.readsAhead = rows * (clipX1 - clipX0) > kRowsReadInTurn;
    }
    return kernels.drawRows(job, rowY0, rowY1);
}

PixelKernels usePixelKernels(PixelKernels widest) {
    widestAllowed.store(int(widest), std::memory_order_relaxed);
    return kernelsInUse();
}

bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Transform3D& transform, Float opacity,
                        const ProjectionOptions& options, const ProjectionOverlay* overlay) {
    return drawImageProjected(target, clip, source, sourceRect, transform.rows(), opacity, options, overlay);
}

bool drawImageProjected(cairo_surface_t* target, const Rect& clip, const Image& source,
                        const Rect& sourceRect, const Transform3D& transform, Float opacity,
                        const ProjectionOptions& options) {
    const PixelBuffer pixels = pixelsOf(target);
    if (!pixels.pixels) return false;
    const bool drew =
        drawImageProjected(pixels, clip, pixelsOf(source), sourceRect, transform, opacity, options);
    if (drew) cairo_surface_mark_dirty(target);
    return drew;
}

ConstPixelBuffer pixelsOf(const Image& image) {
    return {reinterpret_cast<const std::uint32_t*>(image.data()), image.pixelWidth(), image.pixelHeight(),
            image.stride()};
}

PixelBuffer pixelsOf(cairo_surface_t* surface) {
    if (!surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return {};
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return {};
    cairo_surface_flush(surface);
    return {reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface)),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface),
            cairo_image_surface_get_stride(surface), format == CAIRO_FORMAT_RGB24};
}

Rect projectedBounds(const Rect& sourceRect, const Matrix4x4& matrix) {
    if (!allFinite(matrix.data(), matrix.size())) return Rect::null();
    const Rect src = finiteRect(sourceRect);
    Polygon quad;
    if (src.isNull() || !projectQuad(src, planeHomography(matrix), quad)) return Rect::null();
    return quad.bounds();
}

} // namespace gfx
