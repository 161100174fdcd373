#include "platform/graphics/ProjectiveMapper.h"

#include "platform/graphics/Image.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

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
// this many rows at a time.
constexpr double kSlantedRows = 1.0 / 16;
constexpr int kStripWidth = 128;
constexpr int kBandHeight = 16;
// Pixel coverage and opacity as a fraction of 256.
constexpr int kFullAlpha = 256;

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

// First pixel whose centre is at or past `x` (a pixel's centre is at index + 0.5), kept
// within [lo, hi]. NaN gives lo.
int firstPixelFrom(double x, int lo, int hi) {
    const double v = x - 0.5;
    if (!(v > lo)) return lo;
    if (!(v < hi)) return hi;
    return int(std::ceil(v));
}

// ---- Lanes: four pixels (32-bit values) or their channels (16-bit values) at a time ----
//
// With GCC and Clang these are the compilers' generic vector types, which become whatever the
// target has (SSE2, NEON, or plain registers); elsewhere a small struct does the same lane by
// lane.

#if defined(__GNUC__) && !defined(OLM_PORTABLE_LANES)
typedef float F32x4 __attribute__((vector_size(16)));
typedef std::int32_t I32x4 __attribute__((vector_size(16)));
typedef std::uint32_t U32x4 __attribute__((vector_size(16)));
typedef std::uint16_t U16x8 __attribute__((vector_size(16)));

// Every lane set to `value` (of the lane type).
template <class V, class T> inline V splat(T value) {
    return V{} + value;
}
template <class V, class M> inline V select(M mask, V a, V b) {
    return mask ? a : b;
}
inline I32x4 truncateToInt(F32x4 v) {
    return __builtin_convertvector(v, I32x4);
}
inline U32x4 evenLanes(U32x4 a, U32x4 b) {
    return __builtin_shufflevector(a, b, 0, 2, 4, 6);
}
inline U32x4 oddLanes(U32x4 a, U32x4 b) {
    return __builtin_shufflevector(a, b, 1, 3, 5, 7);
}
#else
template <class T, int N> struct Lanes { T lane[N]; };
using F32x4 = Lanes<float, 4>;
using I32x4 = Lanes<std::int32_t, 4>;
using U32x4 = Lanes<std::uint32_t, 4>;
using U16x8 = Lanes<std::uint16_t, 8>;

// Narrow unsigned lanes wrap as the vector types do, instead of being promoted to int.
template <class T> using Wide = std::conditional_t<std::is_unsigned_v<T>, unsigned, T>;

template <class T, int N, class F> inline auto lanewise(const Lanes<T, N>& a, const Lanes<T, N>& b, F f) {
    Lanes<decltype(f(a.lane[0], b.lane[0])), N> r;
    for (int i = 0; i < N; ++i)
        r.lane[i] = f(a.lane[i], b.lane[i]);
    return r;
}
#define OLM_LANE_OPERATOR(op)                                                                                \
    template <class T, int N> inline Lanes<T, N> operator op(const Lanes<T, N>& a, const Lanes<T, N>& b) {   \
        return lanewise(a, b, [](T x, T y) { return T(Wide<T>(x) op Wide<T>(y)); });                         \
    }                                                                                                        \
    template <class T, int N> inline Lanes<T, N> operator op(const Lanes<T, N>& a, int b) {                  \
        return lanewise(a, a, [b](T x, T) { return T(Wide<T>(x) op Wide<T>(b)); });                          \
    }
OLM_LANE_OPERATOR(+)
OLM_LANE_OPERATOR(-)
OLM_LANE_OPERATOR(*)
OLM_LANE_OPERATOR(/)
OLM_LANE_OPERATOR(&)
OLM_LANE_OPERATOR(|)
OLM_LANE_OPERATOR(<<)
OLM_LANE_OPERATOR(>>)
#undef OLM_LANE_OPERATOR
#define OLM_LANE_COMPARISON(op)                                                                              \
    template <class T, int N>                                                                                \
    inline Lanes<bool, N> operator op(const Lanes<T, N>& a, const Lanes<T, N>& b) {                          \
        return lanewise(a, b, [](T x, T y) { return x op y; });                                              \
    }
OLM_LANE_COMPARISON(==)
OLM_LANE_COMPARISON(<)
OLM_LANE_COMPARISON(<=)
OLM_LANE_COMPARISON(>=)
#undef OLM_LANE_COMPARISON

template <class V, class T> inline V splat(T value) {
    V v;
    std::fill(std::begin(v.lane), std::end(v.lane), value);
    return v;
}
template <class T, int N>
inline Lanes<T, N> select(const Lanes<bool, N>& mask, Lanes<T, N> a, const Lanes<T, N>& b) {
    for (int i = 0; i < N; ++i)
        if (!mask.lane[i]) a.lane[i] = b.lane[i];
    return a;
}
inline I32x4 truncateToInt(const F32x4& v) {
    I32x4 r;
    for (int i = 0; i < 4; ++i)
        r.lane[i] = std::int32_t(v.lane[i]);
    return r;
}
inline U32x4 evenLanes(const U32x4& a, const U32x4& b) {
    return {{a.lane[0], a.lane[2], b.lane[0], b.lane[2]}};
}
inline U32x4 oddLanes(const U32x4& a, const U32x4& b) {
    return {{a.lane[1], a.lane[3], b.lane[1], b.lane[3]}};
}
#endif

template <class V, class T> inline V load(const T* p) {
    V v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class V, class T> inline void store(T* p, const V& v) {
    std::memcpy(p, &v, sizeof v);
}
template <class V> inline U16x8 as16(const V& v) {
    return std::bit_cast<U16x8>(v);
}
inline U32x4 as32(const U16x8& v) {
    return std::bit_cast<U32x4>(v);
}

// The same 16-bit value in both halves of each 32-bit lane, to weight two channels at once.
inline U16x8 doubled(const U32x4& v) {
    return as16(v | (v << 16));
}

const U32x4 kRedBlue = splat<U32x4>(0x00FF00FFu);
const U32x4 kAlphaGreen = splat<U32x4>(0xFF00FF00u);
const U16x8 kHalf16 = splat<U16x8>(std::uint16_t(128));

// Channels × a / 256, rounded; `a` is in [0, 256] per pixel.
inline U32x4 scaled(const U32x4& p, const U32x4& a) {
    const U16x8 w = doubled(a);
    const U16x8 rb = (as16(p & kRedBlue) * w + kHalf16) >> 8;
    const U16x8 ag = (as16(p) >> 8) * w + kHalf16;
    return as32(rb) | (as32(ag) & kAlphaGreen);
}

// Source over on premultiplied pixels: s + d × (255 − αs) / 255, rounded.
inline U32x4 over(const U32x4& d, const U32x4& s) {
    const U16x8 w = doubled(splat<U32x4>(255u) - (s >> 24));
    U16x8 rb = as16(d & kRedBlue) * w + kHalf16;
    rb = (rb + (rb >> 8)) >> 8;
    U16x8 ag = (as16(d) >> 8) * w + kHalf16;
    ag = ag + (ag >> 8);
    return s + (as32(rb) | (as32(ag) & kAlphaGreen));
}

// Whether all four pixels are opaque.
inline bool allOpaque(const U32x4& s) {
    const U32x4 pairs = evenLanes(s, s) & oddLanes(s, s);
    const std::uint64_t q = std::bit_cast<std::array<std::uint64_t, 2>>(pairs)[0];
    return std::uint32_t(q & (q >> 32)) >= 0xFF000000u;
}

// ---- Scanlines ----

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
    // Width of the strips rows are drawn in, or 0 for whole rows.
    int stripWidth;

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
};

// Scratch for one run of pixels; lanes past the run's end hold stale values that are never
// stored.
struct Chunk {
    alignas(16) std::int32_t offset[kChunk];
    // Bilinear weights (0 to 256) of the right and lower taps, in both halves of each value
    // so that they weight two channels at once.
    alignas(16) std::uint32_t weightX[kChunk];
    alignas(16) std::uint32_t weightY[kChunk];
    // The upper and lower pairs of taps, left then right, as they lie in memory.
    alignas(16) std::uint64_t upper[kChunk];
    alignas(16) std::uint64_t lower[kChunk];
    alignas(16) std::uint32_t color[kChunk];
    alignas(16) std::uint32_t alpha[kChunk];
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

// Source coordinates of pixels [x, x + n): the first tap's offset and the bilinear weights.
// One divide per pixel, four pixels at a time. Runs that lie well inside the source skip the
// clamping.
template <bool Clamp> void mapChunk(const Job& job, const Row& row, int x, int n, Chunk& c) {
    const F32x4 u = splat<F32x4>(float(row.u0 + row.du * x));
    const F32x4 v = splat<F32x4>(float(row.v0 + row.dv * x));
    const F32x4 w = splat<F32x4>(float(row.w0 + row.dw * x));
    const F32x4 du = splat<F32x4>(float(row.du));
    const F32x4 dv = splat<F32x4>(float(row.dv));
    const F32x4 dw = splat<F32x4>(float(row.dw));
    const F32x4 uMin = splat<F32x4>(job.uMin), uMax = splat<F32x4>(job.uMax);
    const F32x4 vMin = splat<F32x4>(job.vMin), vMax = splat<F32x4>(job.vMax);
    const I32x4 xMax = splat<I32x4>(job.xMax), yMax = splat<I32x4>(job.yMax);
    const I32x4 rowWords = splat<I32x4>(job.sourceRowWords);
    F32x4 k = std::bit_cast<F32x4>(std::array<float, 4>{0, 1, 2, 3});
    for (int i = 0; i < n; i += 4, k = k + splat<F32x4>(4.0f)) {
        const F32x4 r = splat<F32x4>(1.0f) / (w + dw * k);
        F32x4 su = (u + du * k) * r;
        F32x4 sv = (v + dv * k) * r;
        if constexpr (Clamp) {
            // NaN (from w = 0 just outside the quad) ends up in range too.
            su = select(su >= uMin, su, uMin);
            su = select(su <= uMax, su, uMax);
            sv = select(sv >= vMin, sv, vMin);
            sv = select(sv <= vMax, sv, vMax);
        }
        const I32x4 iu = truncateToInt(su);
        const I32x4 iv = truncateToInt(sv);
        I32x4 ix = iu >> 8;
        I32x4 iy = iv >> 8;
        if constexpr (Clamp) {
            ix = select(ix < xMax, ix, xMax);
            iy = select(iy < yMax, iy, yMax);
        }
        const I32x4 fx = iu - (ix << 8), fy = iv - (iy << 8);
        store(c.offset + i, iy * rowWords + ix);
        store(c.weightX + i, fx | (fx << 16));
        store(c.weightY + i, fy | (fy << 16));
    }
}

void mapChunk(const Job& job, const Row& row, int x, int n, Chunk& c) {
    // Lanes are mapped in fours, the last ones possibly past the run. Between its ends u/w is
    // monotonic as long as w keeps its sign; with w also changing less than twofold, the float
    // lanes stay within a few 1/256 of the exact values, well inside a quarter-pixel margin.
    const int last = x + ((n + 3) & ~3) - 1;
    const double wa = row.w0 + row.dw * x, wb = row.w0 + row.dw * last;
    auto inside = [&](int at, double w) {
        const double u = (row.u0 + row.du * at) / w, v = (row.v0 + row.dv * at) / w;
        return u >= job.uMin + 64 && u <= job.uMax - 64 && v >= job.vMin + 64 && v <= job.vMax - 64;
    };
    if (wa * wb > 0 && std::abs(wa) <= 2 * std::abs(wb) && std::abs(wb) <= 2 * std::abs(wa) &&
        inside(x, wa) && inside(last, wb))
        mapChunk<false>(job, row, x, n, c);
    else
        mapChunk<true>(job, row, x, n, c);
}

// Gathers the taps of each mapped pixel (the upper pair, and the lower pair for bilinear).
void gatherChunk(const Job& job, int n, Chunk& c) {
    const std::uint32_t* pixels = job.source;
    const std::ptrdiff_t xTap = job.xTap, yTap = job.yTap;
    if (!job.bilinear) {
        for (int i = 0; i < n; ++i) {
            // The nearer pixel: weights from 128 (half way) on round up, without a branch.
            const std::uint32_t fx = c.weightX[i] & 0xFFFF, fy = c.weightY[i] & 0xFFFF;
            c.color[i] = pixels[c.offset[i] + ((fx + 128) >> 8) * xTap + ((fy + 128) >> 8) * yTap];
        }
        return;
    }
    // Lanes are filtered in fours, so the taps of the lanes past the run (mapped, and within the
    // source) are read too.
    const std::uint32_t* lowerPixels = pixels + yTap;
    if (xTap == 1) {
        // Both taps of a pair in one read.
        for (int i = 0; i < n; i += 4)
            for (int j = i; j < i + 4; ++j) {
                std::memcpy(&c.upper[j], pixels + c.offset[j], 8);
                std::memcpy(&c.lower[j], lowerPixels + c.offset[j], 8);
            }
    } else {
        // A source one pixel wide: its pixel twice.
        for (int i = 0; i < n; ++i) {
            const std::uint64_t upper = pixels[c.offset[i]], lower = lowerPixels[c.offset[i]];
            c.upper[i] = upper | upper << 32;
            c.lower[i] = lower | lower << 32;
        }
    }
}

// Edge antialiasing: every edge closer than half a pixel to the pixel's centre uncovers the
// part of the pixel beyond it. Summing the uncovered parts is exact along a single edge and
// for slivers between two edges, and errs towards less coverage at corners.
std::uint32_t partialAlpha(const Job& job, const Row& row, int x) {
    double uncovered = row.uncovered;
    const double xc = x + 0.5;
    for (int i = 0; i < job.edgeCount; ++i) {
        const double d = job.edges[i].a * xc + row.edgeOffset[i];
        if (d < 0.5) uncovered += std::min(1.0, 0.5 - d);
    }
    if (!(uncovered < 1)) return 0;
    return std::uint32_t(job.alpha * (1 - uncovered) + 0.5);
}

// Bilinear interpolation of pixels i to i + 3 of a gathered chunk.
inline U32x4 bilinear(const Chunk& c, int i) {
    const U32x4 upperA = load<U32x4>(c.upper + i), upperB = load<U32x4>(c.upper + i + 2);
    const U32x4 lowerA = load<U32x4>(c.lower + i), lowerB = load<U32x4>(c.lower + i + 2);
    const U32x4 t00 = evenLanes(upperA, upperB), t01 = oddLanes(upperA, upperB);
    const U32x4 t10 = evenLanes(lowerA, lowerB), t11 = oddLanes(lowerA, lowerB);
    // Weights of the four taps, summing to 256. The product of two full weights does not fit
    // 16 bits, but then the lower right tap takes it all.
    const U16x8 wx = as16(load<U32x4>(c.weightX + i));
    const U16x8 wy = as16(load<U32x4>(c.weightY + i));
    const U16x8 full = splat<U16x8>(std::uint16_t(256));
    const U16x8 w11 = select(wx == full, wy, (wx * wy + kHalf16) >> 8);
    const U16x8 w01 = wx - w11;
    const U16x8 w10 = wy - w11;
    const U16x8 w00 = full - wx - wy + w11;
    // Every channel sum is at most 255 × 256 + 128: no lane overflows.
    const U16x8 rb = as16(t00 & kRedBlue) * w00 + as16(t01 & kRedBlue) * w01 + as16(t10 & kRedBlue) * w10 +
                     as16(t11 & kRedBlue) * w11 + kHalf16;
    const U16x8 ag = (as16(t00) >> 8) * w00 + (as16(t01) >> 8) * w01 + (as16(t10) >> 8) * w10 +
                     (as16(t11) >> 8) * w11 + kHalf16;
    return as32(rb >> 8) | (as32(ag) & kAlphaGreen);
}

// Filters the gathered taps and composites the colours over `dst`, four pixels at a time; a
// short tail goes through a copy so that nothing past the run is read or written.
template <Coverage C> void composeChunk(const Job& job, std::uint32_t* dst, int n, const Chunk& c) {
    const U32x4 alpha = splat<U32x4>(std::uint32_t(job.alpha));
    const U32x4 alphaBits = splat<U32x4>(job.alphaBits);
    auto compose = [&](int i, std::uint32_t* out) {
        U32x4 s = (job.bilinear ? bilinear(c, i) : load<U32x4>(c.color + i)) | alphaBits;
        if constexpr (C == Coverage::Uniform) s = scaled(s, alpha);
        if constexpr (C == Coverage::Partial) s = scaled(s, load<U32x4>(c.alpha + i));
        // Opaque pixels replace what is there, which is the common case worth a test.
        if (allOpaque(s))
            store(out, s);
        else
            store(out, over(load<U32x4>(out), s));
    };
    const int whole = n & ~3;
    for (int i = 0; i < whole; i += 4)
        compose(i, dst + i);
    if (whole < n) {
        std::uint32_t tail[4] = {};
        for (int i = whole; i < n; ++i)
            tail[i - whole] = dst[i];
        compose(whole, tail);
        for (int i = whole; i < n; ++i)
            dst[i] = tail[i - whole];
    }
}

template <Coverage C>
void drawPiece(const Job& job, const Row& row, std::uint32_t* dstRow, int x0, int x1, Chunk& c) {
    for (int x = x0; x < x1; x += kChunk) {
        const int n = std::min(kChunk, x1 - x);
        mapChunk(job, row, x, n, c);
        gatherChunk(job, n, c);
        if constexpr (C == Coverage::Partial) {
            for (int i = 0; i < n; ++i)
                c.alpha[i] = partialAlpha(job, row, x + i);
        }
        composeChunk<C>(job, dstRow + x, n, c);
    }
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

// Draws the pixels of row y within [x0, x1) that the quad covers: wholly covered ones in the
// middle, and partly covered ones (with antialiasing) at either end.
void drawRow(const Job& job, const Row& row, int y, int x0, int x1, Chunk& chunk) {
    std::uint32_t* dstRow = job.target + std::ptrdiff_t(y) * job.targetRowWords;
    const int outer0 = std::max(row.outer0, x0), outer1 = std::min(row.outer1, x1);
    const int inner0 = std::clamp(row.inner0, outer0, std::max(outer0, outer1));
    const int inner1 = std::clamp(row.inner1, inner0, std::max(inner0, outer1));
    drawPiece<Coverage::Partial>(job, row, dstRow, outer0, inner0, chunk);
    if (job.alpha == kFullAlpha)
        drawPiece<Coverage::Full>(job, row, dstRow, inner0, inner1, chunk);
    else
        drawPiece<Coverage::Uniform>(job, row, dstRow, inner0, inner1, chunk);
    drawPiece<Coverage::Partial>(job, row, dstRow, inner1, outer1, chunk);
}

// Draws rows [y0, y1); true when the quad covers any of their pixels. When the mapping turns
// about the vertical axis or tilts, a row reads from many source rows (each on its own memory
// pages), and the rows are drawn in strips of columns, a band of rows at a time, so that those
// source rows are still at hand for the next row of the band.
bool drawRows(const Job& job, int y0, int y1) {
    Chunk chunk{};
    std::array<Row, kBandHeight> rows;
    const int band = job.stripWidth > 0 ? kBandHeight : 1;
    const int strip = job.stripWidth > 0 ? job.stripWidth : job.clipX1 - job.clipX0;
    bool drew = false;
    for (int top = y0; top < y1; top += band) {
        const int count = std::min(band, y1 - top);
        int left = job.clipX1, right = job.clipX0;
        for (int i = 0; i < count; ++i) {
            Row& row = rows[i];
            if (!setUpRow(job, top + i, row)) {
                row.outer0 = row.outer1 = row.inner0 = row.inner1 = job.clipX0;
                continue;
            }
            left = std::min(left, row.outer0);
            right = std::max(right, row.outer1);
            drew = true;
        }
        for (int x = left; x < right; x += strip)
            for (int i = 0; i < count; ++i)
                drawRow(job, rows[i], top + i, x, std::min(x + strip, right), chunk);
    }
    return drew;
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

// The first index of the pixels whose centres are in [lo, hi), kept within [0, limit], and
// the end of that range.
std::pair<int, int> pixelRange(double lo, double hi, int limit) {
    return {firstPixelFrom(lo, 0, limit), firstPixelFrom(hi, 0, limit)};
}

} // namespace

bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Matrix4x4& matrix, Float opacity,
                        const ProjectionOptions& options) {
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
    job.target = target.pixels;
    job.targetRowWords = target.strideBytes / 4;

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
    const auto [clipX0, clipX1] = pixelRange(std::max(clipRect.minX(), near.minX()),
                                             std::min(clipRect.maxX(), near.maxX()), target.width);
    const auto [rowY0, rowY1] = pixelRange(std::max(clipRect.minY(), near.minY()),
                                           std::min(clipRect.maxY(), near.maxY()), target.height);
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

    job.stripWidth = rowsPerPixel(job.inverse, quad) > kSlantedRows ? kStripWidth : 0;

    return drawRows(job, rowY0, rowY1);
}

bool drawImageProjected(const PixelBuffer& target, const Rect& clip, const ConstPixelBuffer& source,
                        const Rect& sourceRect, const Transform3D& transform, Float opacity,
                        const ProjectionOptions& options) {
    return drawImageProjected(target, clip, source, sourceRect, transform.rows(), opacity, options);
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
