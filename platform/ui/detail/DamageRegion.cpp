#include "platform/ui/detail/DamageRegion.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui::detail {

namespace {

double areaOf(const gfx::Rect& r) {
    return r.width() * r.height();
}

// What joining `a` and `b` into their bounding box adds to the pixels the two cover.
double wasteOf(const gfx::Rect& a, const gfx::Rect& b) {
    const gfx::Rect overlap = a.intersection(b);
    const double covered = areaOf(a) + areaOf(b) - (overlap.isEmpty() ? 0 : areaOf(overlap));
    return areaOf(a.unionWith(b)) - covered;
}

// A join is cheap when it adds at most an eighth of what the two cover, or a sliver (the
// pixels of a short row or column).
bool cheapJoin(const gfx::Rect& a, const gfx::Rect& b) {
    const double waste = wasteOf(a, b);
    return waste <= (areaOf(a) + areaOf(b)) / 8 || waste <= 256;
}

} // namespace

void DamageRegion::reset(int width, int height) {
    _width = std::max(0, width);
    _height = std::max(0, height);
    _rects.clear();
}

void DamageRegion::add(const gfx::Rect& rect) {
    if (rect.isEmpty() || !std::isfinite(rect.minX()) || !std::isfinite(rect.minY()) ||
        !std::isfinite(rect.maxX()) || !std::isfinite(rect.maxY()))
        return;
    const double x0 = std::max(0.0, std::floor(rect.minX())), y0 = std::max(0.0, std::floor(rect.minY()));
    const double x1 = std::min(double(_width), std::ceil(rect.maxX()));
    const double y1 = std::min(double(_height), std::ceil(rect.maxY()));
    if (!(x1 > x0 && y1 > y0)) return;
    gfx::Rect added{x0, y0, x1 - x0, y1 - y0};
    for (const gfx::Rect& r : _rects)
        if (r.contains(added)) return;
    _rects.push_back(added);
    merge();
}

void DamageRegion::merge() {
    // The newest rectangle joins the others it joins cheaply (each join may enable another).
    gfx::Rect newest = _rects.back();
    _rects.pop_back();
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < _rects.size(); ++i) {
            if (!cheapJoin(_rects[i], newest)) continue;
            newest = newest.unionWith(_rects[i]);
            _rects.erase(_rects.begin() + static_cast<std::ptrdiff_t>(i));
            joined = true;
            break;
        }
    }
    _rects.push_back(newest);
    while (_rects.size() > kMaxRects) {
        std::size_t bestI = 0, bestJ = 1;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < _rects.size(); ++i)
            for (std::size_t j = i + 1; j < _rects.size(); ++j)
                if (const double w = wasteOf(_rects[i], _rects[j]); w < best) {
                    best = w;
                    bestI = i;
                    bestJ = j;
                }
        _rects[bestI] = _rects[bestI].unionWith(_rects[bestJ]);
        _rects.erase(_rects.begin() + static_cast<std::ptrdiff_t>(bestJ));
    }
}

double DamageRegion::area() const {
    double total = 0;
    for (const gfx::Rect& r : _rects)
        total += areaOf(r);
    return total;
}

gfx::Rect DamageRegion::bounds() const {
    gfx::Rect box = gfx::Rect::null();
    for (const gfx::Rect& r : _rects)
        box = box.isNull() ? r : box.unionWith(r);
    return box;
}

void clipToDeviceRects(cairo_t* cr, const std::vector<gfx::Rect>& rects) {
    cairo_matrix_t userToDevice;
    cairo_get_matrix(cr, &userToDevice);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle_list_t* current = cairo_copy_clip_rectangle_list(cr);
    if (current->status == CAIRO_STATUS_SUCCESS) {
        std::vector<gfx::Rect> both;
        for (int i = 0; i < current->num_rectangles; ++i) {
            const cairo_rectangle_t& c = current->rectangles[i];
            for (const gfx::Rect& r : rects) {
                const gfx::Rect part = r.intersection({c.x, c.y, c.width, c.height});
                if (!part.isNull() && !part.isEmpty()) both.push_back(part);
            }
        }
        cairo_reset_clip(cr);
        for (const gfx::Rect& r : both)
            cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
        // Nothing in common: an empty clip.
        if (both.empty()) cairo_rectangle(cr, 0, 0, 0, 0);
    } else {
        for (const gfx::Rect& r : rects)
            cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
    }
    cairo_rectangle_list_destroy(current);
    cairo_clip(cr);
    cairo_set_matrix(cr, &userToDevice);
}

} // namespace ui::detail
