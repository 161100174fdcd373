#include "platform/graphics/Transform3D.h"

#include <cmath>
#include <utility>

namespace gfx {

namespace {

// Below this |w| a projected point would be scaled beyond any useful coordinate.
constexpr Float kProjectEpsilon = 1e-12;

} // namespace

std::array<Float, 16> Transform3D::rows() const {
    return {m11, m12, m13, m14, m21, m22, m23, m24, m31, m32, m33, m34, m41, m42, m43, m44};
}

Transform3D Transform3D::fromRows(const std::array<Float, 16>& r) {
    return {r[0], r[1], r[2],  r[3],  r[4],  r[5],  r[6],  r[7],
            r[8], r[9], r[10], r[11], r[12], r[13], r[14], r[15]};
}

Transform3D Transform3D::makeTranslation(Float tx, Float ty, Float tz) {
    Transform3D t;
    t.m41 = tx, t.m42 = ty, t.m43 = tz;
    return t;
}

Transform3D Transform3D::makeScale(Float sx, Float sy, Float sz) {
    Transform3D t;
    t.m11 = sx, t.m22 = sy, t.m33 = sz;
    return t;
}

Transform3D Transform3D::makeRotation(Float angle, Float x, Float y, Float z) {
    const Float len = std::sqrt(x * x + y * y + z * z);
    if (!(len > 0) || !std::isfinite(len) || !std::isfinite(angle)) return identity();
    x /= len, y /= len, z /= len;
    const Float c = std::cos(angle), s = std::sin(angle), k = 1 - c;
    // The transpose of the column-vector (Rodrigues) rotation, since points are rows here.
    Transform3D t;
    t.m11 = c + k * x * x, t.m12 = k * x * y + s * z, t.m13 = k * x * z - s * y;
    t.m21 = k * x * y - s * z, t.m22 = c + k * y * y, t.m23 = k * y * z + s * x;
    t.m31 = k * x * z + s * y, t.m32 = k * y * z - s * x, t.m33 = c + k * z * z;
    return t;
}

Transform3D Transform3D::makeAffineTransform(const AffineTransform& a) {
    Transform3D t;
    t.m11 = a.a, t.m12 = a.b, t.m21 = a.c, t.m22 = a.d, t.m41 = a.tx, t.m42 = a.ty;
    return t;
}

bool isIdentity(const Transform3D& t) {
    return t == Transform3D::identity();
}

bool isFinite(const Transform3D& t) {
    for (Float v : t.rows())
        if (!std::isfinite(v)) return false;
    return true;
}

Transform3D concat(const Transform3D& a, const Transform3D& b) {
    const auto x = a.rows(), y = b.rows();
    std::array<Float, 16> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[i * 4 + j] = x[i * 4] * y[j] + x[i * 4 + 1] * y[4 + j] + x[i * 4 + 2] * y[8 + j] +
                           x[i * 4 + 3] * y[12 + j];
    return Transform3D::fromRows(r);
}

Transform3D translate(const Transform3D& t, Float tx, Float ty, Float tz) {
    // A translation first only adds a combination of t's rows to its last row.
    Transform3D r = t;
    r.m41 += tx * t.m11 + ty * t.m21 + tz * t.m31;
    r.m42 += tx * t.m12 + ty * t.m22 + tz * t.m32;
    r.m43 += tx * t.m13 + ty * t.m23 + tz * t.m33;
    r.m44 += tx * t.m14 + ty * t.m24 + tz * t.m34;
    return r;
}

Transform3D scale(const Transform3D& t, Float sx, Float sy, Float sz) {
    Transform3D r = t;
    r.m11 *= sx, r.m12 *= sx, r.m13 *= sx, r.m14 *= sx;
    r.m21 *= sy, r.m22 *= sy, r.m23 *= sy, r.m24 *= sy;
    r.m31 *= sz, r.m32 *= sz, r.m33 *= sz, r.m34 *= sz;
    return r;
}

Transform3D rotate(const Transform3D& t, Float angle, Float x, Float y, Float z) {
    return concat(Transform3D::makeRotation(angle, x, y, z), t);
}

Transform3D invert(const Transform3D& t) {
    // Gauss-Jordan elimination with partial pivoting, on t and the identity side by side.
    auto a = t.rows();
    auto inv = Transform3D::identity().rows();
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::abs(a[r * 4 + col]) > std::abs(a[pivot * 4 + col])) pivot = r;
        const Float p = a[pivot * 4 + col];
        if (p == 0 || !std::isfinite(p)) return t;
        for (int j = 0; j < 4; ++j) {
            std::swap(a[pivot * 4 + j], a[col * 4 + j]);
            std::swap(inv[pivot * 4 + j], inv[col * 4 + j]);
            a[col * 4 + j] /= p;
            inv[col * 4 + j] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            const Float f = a[r * 4 + col];
            if (r == col || f == 0) continue;
            for (int j = 0; j < 4; ++j) {
                a[r * 4 + j] -= f * a[col * 4 + j];
                inv[r * 4 + j] -= f * inv[col * 4 + j];
            }
        }
    }
    const Transform3D r = Transform3D::fromRows(inv);
    return isFinite(r) ? r : t;
}

bool isAffine(const Transform3D& t) {
    return t.m13 == 0 && t.m14 == 0 && t.m23 == 0 && t.m24 == 0 && t.m31 == 0 && t.m32 == 0 && t.m33 == 1 &&
           t.m34 == 0 && t.m43 == 0 && t.m44 == 1;
}

AffineTransform affineTransform(const Transform3D& t) {
    return {t.m11, t.m12, t.m21, t.m22, t.m41, t.m42};
}

Vector4 transformPoint4(const Transform3D& t, Float x, Float y, Float z) {
    return {x * t.m11 + y * t.m21 + z * t.m31 + t.m41, x * t.m12 + y * t.m22 + z * t.m32 + t.m42,
            x * t.m13 + y * t.m23 + z * t.m33 + t.m43, x * t.m14 + y * t.m24 + z * t.m34 + t.m44};
}

Point projectPoint(const Transform3D& t, Point p, Float z) {
    const Vector4 v = transformPoint4(t, p.x, p.y, z);
    if (!(std::abs(v.w) > kProjectEpsilon)) return {v.x, v.y};
    return {v.x / v.w, v.y / v.w};
}

} // namespace gfx
