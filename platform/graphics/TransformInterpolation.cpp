#include "platform/graphics/TransformInterpolation.h"

#include <algorithm>
#include <cmath>

namespace gfx {

namespace {

using Vec3 = std::array<Float, 3>;
using Quat = std::array<Float, 4>;

Float dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// a + k b
Vec3 combine(const Vec3& a, const Vec3& b, Float k) {
    return {a[0] + k * b[0], a[1] + k * b[1], a[2] + k * b[2]};
}

Vec3 scaled(const Vec3& a, Float k) {
    return {a[0] * k, a[1] * k, a[2] * k};
}

template <std::size_t N>
std::array<Float, N> lerp(const std::array<Float, N>& a, const std::array<Float, N>& b, Float p) {
    std::array<Float, N> r;
    for (std::size_t i = 0; i < N; ++i)
        r[i] = a[i] + (b[i] - a[i]) * p;
    return r;
}

template <std::size_t N> bool allFinite(const std::array<Float, N>& a) {
    for (Float v : a)
        if (!std::isfinite(v)) return false;
    return true;
}

// Unit quaternion of an orthonormal, right-handed 3×3 matrix given by its rows in the
// row-vector convention (the transpose of the usual column-vector rotation C). Shepperd's
// method: divide by the largest of the four candidates so that no sign information is
// lost, including at half turns where w vanishes.
Quat quaternionFromRows(const Vec3 (&r)[3]) {
    // C[i][j] = r[j][i]
    const Float c00 = r[0][0], c11 = r[1][1], c22 = r[2][2];
    const Float c01 = r[1][0], c10 = r[0][1], c02 = r[2][0], c20 = r[0][2], c12 = r[2][1], c21 = r[1][2];
    const Float trace = c00 + c11 + c22;
    Quat q;
    if (trace > 0) {
        const Float s = 2 * std::sqrt(trace + 1);
        q = {(c21 - c12) / s, (c02 - c20) / s, (c10 - c01) / s, s / 4};
    } else if (c00 >= c11 && c00 >= c22) {
        const Float s = 2 * std::sqrt(std::max(1 + c00 - c11 - c22, Float(0)));
        q = {s / 4, (c01 + c10) / s, (c02 + c20) / s, (c21 - c12) / s};
    } else if (c11 >= c22) {
        const Float s = 2 * std::sqrt(std::max(1 + c11 - c00 - c22, Float(0)));
        q = {(c01 + c10) / s, s / 4, (c12 + c21) / s, (c02 - c20) / s};
    } else {
        const Float s = 2 * std::sqrt(std::max(1 + c22 - c00 - c11, Float(0)));
        q = {(c02 + c20) / s, (c12 + c21) / s, s / 4, (c10 - c01) / s};
    }
    const Float n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (Float& v : q)
        v /= n;
    return q;
}

Quat slerp(const Quat& a, Quat b, Float p) {
    Float cosTheta = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
    // q and -q are the same rotation; take the one on the shorter arc.
    if (cosTheta < 0) {
        for (Float& v : b)
            v = -v;
        cosTheta = -cosTheta;
    }
    Float wa, wb;
    if (cosTheta > 1 - 1e-12) {
        // Nearly the same rotation: sin θ would vanish, and a straight blend is exact enough.
        wa = 1 - p, wb = p;
    } else {
        const Float theta = std::acos(cosTheta);
        const Float sinTheta = std::sqrt(1 - cosTheta * cosTheta);
        wa = std::sin((1 - p) * theta) / sinTheta;
        wb = std::sin(p * theta) / sinTheta;
    }
    Quat q;
    Float n = 0;
    for (int i = 0; i < 4; ++i) {
        q[i] = wa * a[i] + wb * b[i];
        n += q[i] * q[i];
    }
    if (!(n > 0)) return a;
    n = std::sqrt(n);
    for (Float& v : q)
        v /= n;
    return q;
}

// NaN stays at the start; infinities are taken as the nearer end.
double sanitizedProgress(double p) {
    return std::isfinite(p) ? p : (p > 0 ? 1 : 0);
}

} // namespace

std::optional<DecomposedTransform> decompose(const Transform3D& t) {
    if (!isFinite(t) || t.m44 == 0) return std::nullopt;
    auto m = t.rows();
    const Float norm = m[15];
    for (Float& v : m)
        v /= norm;

    Vec3 row[3] = {{m[0], m[1], m[2]}, {m[4], m[5], m[6]}, {m[8], m[9], m[10]}};
    const Vec3 translation{m[12], m[13], m[14]};

    // The linear part must be invertible: it also solves for the perspective below.
    const Vec3 c12 = cross(row[1], row[2]);
    const Float det = dot(row[0], c12);
    if (det == 0 || !std::isfinite(det)) return std::nullopt;

    DecomposedTransform d;
    d.translation = translation;
    if (m[3] != 0 || m[7] != 0 || m[11] != 0) {
        // The matrix is N × P with N the affine part (same rows, last column 0, 0, 0, 1) and
        // P the identity with last column q; so A q.xyz = (m14, m24, m34) and
        // translation · q.xyz + q.w = m44 = 1. Solve with A's adjugate.
        const Vec3 rhs{m[3], m[7], m[11]};
        const Vec3 c20 = cross(row[2], row[0]), c01 = cross(row[0], row[1]);
        // Columns of A⁻¹ are the cross products of A's rows divided by the determinant.
        const Vec3 q{(c12[0] * rhs[0] + c20[0] * rhs[1] + c01[0] * rhs[2]) / det,
                     (c12[1] * rhs[0] + c20[1] * rhs[1] + c01[1] * rhs[2]) / det,
                     (c12[2] * rhs[0] + c20[2] * rhs[1] + c01[2] * rhs[2]) / det};
        d.perspective = {q[0], q[1], q[2], 1 - dot(translation, q)};
    }

    // Gram-Schmidt on the rows: A = diag(scale) · K · R with K unit lower triangular
    // (the skews) and R orthonormal.
    d.scale[0] = std::sqrt(dot(row[0], row[0]));
    row[0] = scaled(row[0], 1 / d.scale[0]);

    d.skew[0] = dot(row[0], row[1]);
    row[1] = combine(row[1], row[0], -d.skew[0]);
    d.scale[1] = std::sqrt(dot(row[1], row[1]));
    row[1] = scaled(row[1], 1 / d.scale[1]);
    d.skew[0] /= d.scale[1];

    d.skew[1] = dot(row[0], row[2]);
    row[2] = combine(row[2], row[0], -d.skew[1]);
    d.skew[2] = dot(row[1], row[2]);
    row[2] = combine(row[2], row[1], -d.skew[2]);
    d.scale[2] = std::sqrt(dot(row[2], row[2]));
    row[2] = scaled(row[2], 1 / d.scale[2]);
    d.skew[1] /= d.scale[2];
    d.skew[2] /= d.scale[2];

    // A mirror: fold it into the scales so that R is a proper rotation.
    if (det < 0) {
        for (int i = 0; i < 3; ++i) {
            d.scale[i] = -d.scale[i];
            row[i] = scaled(row[i], -1);
        }
    }
    d.quaternion = quaternionFromRows(row);

    // Extreme but finite entries can still overflow or underflow on the way.
    if (!allFinite(d.perspective) || !allFinite(d.translation) || !allFinite(d.scale) || !allFinite(d.skew) ||
        !allFinite(d.quaternion) || d.scale[0] == 0 || d.scale[1] == 0 || d.scale[2] == 0)
        return std::nullopt;
    return d;
}

Transform3D recompose(const DecomposedTransform& d) {
    const auto [x, y, z, w] = d.quaternion;
    // Rows of the rotation in the row-vector convention (the transposed column form).
    const Vec3 r0{1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w)};
    const Vec3 r1{2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w)};
    const Vec3 r2{2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y)};

    const Vec3 a0 = scaled(r0, d.scale[0]);
    const Vec3 a1 = scaled(combine(r1, r0, d.skew[0]), d.scale[1]);
    const Vec3 a2 = scaled(combine(combine(r2, r0, d.skew[1]), r1, d.skew[2]), d.scale[2]);

    const Vec3 p{d.perspective[0], d.perspective[1], d.perspective[2]};
    const Vec3& t = d.translation;
    return {a0[0], a0[1], a0[2], dot(a0, p), a1[0], a1[1], a1[2], dot(a1, p),
            a2[0], a2[1], a2[2], dot(a2, p), t[0],  t[1],  t[2],  dot(t, p) + d.perspective[3]};
}

DecomposedTransform interpolate(const DecomposedTransform& from, const DecomposedTransform& to,
                                double progress) {
    progress = sanitizedProgress(progress);
    DecomposedTransform d;
    d.perspective = lerp(from.perspective, to.perspective, progress);
    d.translation = lerp(from.translation, to.translation, progress);
    d.scale = lerp(from.scale, to.scale, progress);
    d.skew = lerp(from.skew, to.skew, progress);
    d.quaternion = slerp(from.quaternion, to.quaternion, progress);
    return d;
}

Transform3D interpolate(const Transform3D& from, const Transform3D& to, double progress) {
    progress = sanitizedProgress(progress);
    if (progress == 0 || from == to) return from;
    if (progress == 1) return to;
    const auto a = decompose(from);
    const auto b = decompose(to);
    if (!a || !b) return progress < 0.5 ? from : to;
    return recompose(interpolate(*a, *b, progress));
}

} // namespace gfx
