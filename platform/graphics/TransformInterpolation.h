#pragma once

// Animating a 3-D transform. Blending two matrices entry by entry is wrong as soon as a
// rotation is involved: a page turning about y from almost 0 to almost π would collapse to
// a sliver half-way instead of standing edge-on. Each end is therefore split into
// perspective, translation, scale, skew and a rotation quaternion; those parts are blended
// (the quaternion along the shorter great arc) and multiplied back together. This is the
// decomposition the web platform uses for matrix3d() animations, so transforms animate
// here as they do in browsers and in the toolkit the calendar comes from.
//
// In the row-vector convention of Transform3D a decomposed transform recomposes as
//     scale · skew · rotation · translation · perspective
// i.e. a point is scaled first, then sheared, rotated, moved and finally projected.

#include "platform/graphics/Transform3D.h"

#include <array>
#include <optional>

namespace gfx {

struct DecomposedTransform {
    // The last column of the matrix after the translation and linear parts are taken out:
    // (0, 0, -1/d, 1) for a viewer at distance d, (0, 0, 0, 1) without perspective.
    std::array<Float, 4> perspective{0, 0, 0, 1};
    std::array<Float, 3> translation{0, 0, 0};
    // Negative in all three axes when the transform mirrors space.
    std::array<Float, 3> scale{1, 1, 1};
    // Shear factors xy, xz, yz.
    std::array<Float, 3> skew{0, 0, 0};
    // Unit quaternion (x, y, z, w) of the rotation: angle θ about unit axis a is
    // (a sin θ/2, cos θ/2).
    std::array<Float, 4> quaternion{0, 0, 0, 1};

    friend bool operator==(const DecomposedTransform&, const DecomposedTransform&) = default;
};

// Fails for a transform whose m44 is zero, whose linear part is singular (a zero scale
// in some axis) or which holds non-finite entries.
std::optional<DecomposedTransform> decompose(const Transform3D& t);

// Inverse of decompose(), up to the overall factor m44 that decompose() divides out.
Transform3D recompose(const DecomposedTransform& d);

// Blends the parts: linearly, and the rotation by spherical interpolation along the
// shorter arc. Progress outside 0…1 extrapolates (an overshooting spring).
DecomposedTransform interpolate(const DecomposedTransform& from, const DecomposedTransform& to,
                                double progress);

// `from` at 0, `to` at 1. When either end cannot be decomposed the result jumps from one
// end to the other at progress 0.5 (from below it, to at and above it).
Transform3D interpolate(const Transform3D& from, const Transform3D& to, double progress);

} // namespace gfx
