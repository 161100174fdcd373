#pragma once

// Points, sizes, rectangles, edge insets and 2-D affine transforms, with the rectangle
// rules of the toolkit the calendar was written for: a rectangle may have a negative size
// (its min/max edges are standardised when read), the null rectangle is the result of an
// empty intersection, and a point on a rectangle's maximum edge is outside it.

#include <cmath>
#include <limits>

namespace gfx {

using Float = double;

struct Point {
    Float x = 0;
    Float y = 0;

    static constexpr Point zero() { return {}; }
    friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Size {
    Float width = 0;
    Float height = 0;

    static constexpr Size zero() { return {}; }
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct EdgeInsets {
    Float top = 0;
    Float left = 0;
    Float bottom = 0;
    Float right = 0;

    static constexpr EdgeInsets zero() { return {}; }
    friend constexpr bool operator==(const EdgeInsets&, const EdgeInsets&) = default;
};

struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr Rect(Float x, Float y, Float w, Float h) : origin{x, y}, size{w, h} {}

    static constexpr Rect zero() { return {}; }
    // The rectangle with no position at all: what an empty intersection gives.
    static constexpr Rect null() {
        return {std::numeric_limits<Float>::infinity(), std::numeric_limits<Float>::infinity(), 0, 0};
    }

    bool isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
    // Null, or zero (or NaN) width or height.
    bool isEmpty() const { return isNull() || !(size.width != 0) || !(size.height != 0); }

    Float minX() const { return size.width < 0 ? origin.x + size.width : origin.x; }
    Float minY() const { return size.height < 0 ? origin.y + size.height : origin.y; }
    Float maxX() const { return size.width < 0 ? origin.x : origin.x + size.width; }
    Float maxY() const { return size.height < 0 ? origin.y : origin.y + size.height; }
    Float midX() const { return (minX() + maxX()) / 2; }
    Float midY() const { return (minY() + maxY()) / 2; }
    Float width() const { return std::abs(size.width); }
    Float height() const { return std::abs(size.height); }
    Point center() const { return {midX(), midY()}; }

    // Same rectangle with a non-negative size.
    Rect standardized() const;
    // min edges inside, max edges outside.
    bool contains(Point p) const;
    bool contains(const Rect& r) const;
    // False when either rectangle is empty.
    bool intersects(const Rect& r) const;
    // Null when the two do not overlap.
    Rect intersection(const Rect& r) const;
    // The null rectangle is the identity of union.
    Rect unionWith(const Rect& r) const;
    // Moves every edge inwards by dx, dy; null when the result would have a negative size.
    Rect insetBy(Float dx, Float dy) const;
    Rect offsetBy(Float dx, Float dy) const;
    // Smallest rectangle of whole numbers containing this one.
    Rect integral() const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// Insets a rectangle by edge insets (the toolkit's UIEdgeInsetsInsetRect): the result may
// have a negative size when the insets exceed it, as there.
Rect insetRect(const Rect& r, const EdgeInsets& insets);

// A 2-D affine transform in the row-vector convention: a point (x, y) maps to
// (a x + c y + tx, b x + d y + ty).
struct AffineTransform {
    Float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static constexpr AffineTransform identity() { return {}; }
    static AffineTransform makeTranslation(Float x, Float y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform makeScale(Float sx, Float sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform makeRotation(Float angle);

    bool isIdentity() const { return *this == identity(); }
    // `this` first, then `t` (the toolkit's Concat(this, t)).
    AffineTransform concat(const AffineTransform& t) const;
    // The new operation is applied before `this`, as the toolkit's Translate/Scale/Rotate do.
    AffineTransform translate(Float x, Float y) const { return makeTranslation(x, y).concat(*this); }
    AffineTransform scale(Float sx, Float sy) const { return makeScale(sx, sy).concat(*this); }
    AffineTransform rotate(Float angle) const { return makeRotation(angle).concat(*this); }
    // The identity's inverse is itself; a singular transform is returned unchanged.
    AffineTransform inverted() const;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    Size apply(Size s) const { return {a * s.width + c * s.height, b * s.width + d * s.height}; }
    // Bounding box of the transformed rectangle.
    Rect apply(const Rect& r) const;

    friend constexpr bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

} // namespace gfx
