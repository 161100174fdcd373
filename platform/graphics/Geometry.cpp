#include "platform/graphics/Geometry.h"

#include <algorithm>

namespace gfx {

Rect Rect::standardized() const {
    if (isNull()) return *this;
    return {minX(), minY(), width(), height()};
}

bool Rect::contains(Point p) const {
    if (isNull()) return false;
    return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(const Rect& r) const {
    if (isNull() || r.isNull()) return false;
    return r.minX() >= minX() && r.maxX() <= maxX() && r.minY() >= minY() && r.maxY() <= maxY();
}

bool Rect::intersects(const Rect& r) const {
    if (isEmpty() || r.isEmpty()) return false;
    return !intersection(r).isNull();
}

Rect Rect::intersection(const Rect& r) const {
    if (isNull() || r.isNull()) return null();
    const Float x0 = std::max(minX(), r.minX());
    const Float y0 = std::max(minY(), r.minY());
    const Float x1 = std::min(maxX(), r.maxX());
    const Float y1 = std::min(maxY(), r.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::unionWith(const Rect& r) const {
    if (isNull()) return r.standardized();
    if (r.isNull()) return standardized();
    const Float x0 = std::min(minX(), r.minX());
    const Float y0 = std::min(minY(), r.minY());
    const Float x1 = std::max(maxX(), r.maxX());
    const Float y1 = std::max(maxY(), r.maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect Rect::insetBy(Float dx, Float dy) const {
    if (isNull()) return *this;
    const Rect s = standardized();
    const Rect out{s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy};
    if (out.size.width < 0 || out.size.height < 0) return null();
    return out;
}

Rect Rect::offsetBy(Float dx, Float dy) const {
    if (isNull()) return *this;
    return {origin.x + dx, origin.y + dy, size.width, size.height};
}

Rect Rect::integral() const {
    if (isNull()) return *this;
    const Float x0 = std::floor(minX()), y0 = std::floor(minY());
    const Float x1 = std::ceil(maxX()), y1 = std::ceil(maxY());
    return {x0, y0, x1 - x0, y1 - y0};
}

Rect insetRect(const Rect& r, const EdgeInsets& insets) {
    return {r.origin.x + insets.left, r.origin.y + insets.top, r.size.width - insets.left - insets.right,
            r.size.height - insets.top - insets.bottom};
}

AffineTransform AffineTransform::makeRotation(Float angle) {
    const Float c = std::cos(angle), s = std::sin(angle);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concat(const AffineTransform& t) const {
    return {a * t.a + b * t.c,         a * t.b + b * t.d,         c * t.a + d * t.c,
            c * t.b + d * t.d,         tx * t.a + ty * t.c + t.tx, tx * t.b + ty * t.d + t.ty};
}

AffineTransform AffineTransform::inverted() const {
    const Float det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) return *this;
    const Float ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

Rect AffineTransform::apply(const Rect& r) const {
    if (r.isNull()) return r;
    const Point p[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                        apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
    Float x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) {
        x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace gfx
