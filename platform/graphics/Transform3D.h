#pragma once

// 3-D layer transforms in the toolkit's row-vector convention: a point is the row
// (x, y, z, 1) multiplied by the matrix on its right, so m41, m42, m43 hold the
// translation and m14, m24, m34 the perspective terms (a layer viewed from a distance d
// has m34 = -1/d). Concatenation therefore reads left to right: concat(a, b) applies a,
// then b. The operations taking a transform (`translate`, `scale`, `rotate`) put the new
// operation BEFORE it, so `rotate(p, angle, 0, 1, 0)` turns the layer and then applies
// the perspective of `p`.
//
// Rotations follow the right-hand rule in the matrix's own axes; with y pointing down
// on screen, a positive rotation about z turns the x axis towards +y (clockwise as seen),
// exactly as AffineTransform::makeRotation does.

#include "platform/graphics/Geometry.h"

#include <array>

namespace gfx {

// A homogeneous point: what the matrix makes of (x, y, z, 1) before the perspective divide.
struct Vector4 {
    Float x = 0;
    Float y = 0;
    Float z = 0;
    Float w = 1;

    friend constexpr bool operator==(const Vector4&, const Vector4&) = default;
};

struct Transform3D {
    Float m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    Float m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    Float m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    Float m41 = 0, m42 = 0, m43 = 0, m44 = 1;

    static constexpr Transform3D identity() { return {}; }
    static Transform3D makeTranslation(Float tx, Float ty, Float tz);
    static Transform3D makeScale(Float sx, Float sy, Float sz);
    // Rotation by `angle` radians about the axis (x, y, z), which need not be unit length.
    // A zero or non-finite axis, or a non-finite angle, gives the identity.
    static Transform3D makeRotation(Float angle, Float x, Float y, Float z);
    // The 2-D transform embedded in the x/y plane (z passes through unchanged).
    static Transform3D makeAffineTransform(const AffineTransform& t);

    // Row-major copy (m11, m12, m13, m14, m21, …, m44) for code that wants indices, and back.
    std::array<Float, 16> rows() const;
    static Transform3D fromRows(const std::array<Float, 16>& r);

    friend constexpr bool operator==(const Transform3D&, const Transform3D&) = default;
};

bool isIdentity(const Transform3D& t);
// False when any entry is NaN or infinite.
bool isFinite(const Transform3D& t);

// a, then b (the matrix product a × b).
Transform3D concat(const Transform3D& a, const Transform3D& b);

// The operation first, then t: concat(make…(…), t).
Transform3D translate(const Transform3D& t, Float tx, Float ty, Float tz);
Transform3D scale(const Transform3D& t, Float sx, Float sy, Float sz);
Transform3D rotate(const Transform3D& t, Float angle, Float x, Float y, Float z);

// The inverse; a singular (or non-finite) transform comes back unchanged.
Transform3D invert(const Transform3D& t);

// True when the transform maps the x/y plane onto itself without perspective, so that
// affineTransform(t) loses nothing.
bool isAffine(const Transform3D& t);
// The x/y part (m11, m12, m21, m22, m41, m42); the rest is dropped.
AffineTransform affineTransform(const Transform3D& t);

// (x, y, z, 1) × t, before the divide. Geometry with w at or below a small positive epsilon
// lies at or behind the eye and has to be clipped before it is projected.
Vector4 transformPoint4(const Transform3D& t, Float x, Float y, Float z = 0);
// The point after the perspective divide. Where w is (nearly) zero the point has no
// finite projection; it is then returned undivided rather than as infinities.
Point projectPoint(const Transform3D& t, Point p, Float z = 0);

} // namespace gfx
