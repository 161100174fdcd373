#include "platform/graphics/GraphicsContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <unordered_map>

namespace gfx {
namespace {
bool finite(Float v) {
    return std::isfinite(v);
}
bool finite(Point p) {
    return finite(p.x) && finite(p.y);
}
bool drawableRect(const Rect& r) {
    return !r.isNull() && finite(r.origin) && finite(r.size.width) && finite(r.size.height);
}
bool finite(const AffineTransform& t) {
    return finite(t.a) && finite(t.b) && finite(t.c) && finite(t.d) && finite(t.tx) && finite(t.ty);
}
bool invertible(const AffineTransform& t) {
    const Float det = t.a * t.d - t.b * t.c;
    return finite(det) && det != 0;
}
cairo_matrix_t toCairo(const AffineTransform& t) {
    return {t.a, t.b, t.c, t.d, t.tx, t.ty};
}
double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Small filled ellipses (day-cell shapes, event dots) are drawn very often, and scan
// converting a curved outline costs far more than compositing its coverage. Their coverage
// masks are therefore rendered once per device size and quarter-pixel offset and reused.
class EllipseMasks {
public:
    static constexpr double kMaxSide = 160; // device pixels

    ~EllipseMasks() { clear(); }

    // The mask of an ellipse of `w4` x `h4` quarter pixels whose box starts `x4`, `y4`
    // quarter pixels into the mask's first pixel.
    cairo_surface_t* get(int w4, int h4, int x4, int y4) {
        const std::uint64_t key = (std::uint64_t(w4) << 32) | (std::uint64_t(h4) << 16) | (x4 << 8) | y4;
        if (const auto it = _masks.find(key); it != _masks.end()) return it->second;
        if (_masks.size() >= 512) clear();
        const int w = static_cast<int>(std::ceil((x4 + w4) / 4.0));
        const int h = static_cast<int>(std::ceil((y4 + h4) / 4.0));
        cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, std::max(w, 1), std::max(h, 1));
        cairo_t* cr = cairo_create(mask);
        cairo_translate(cr, (x4 + w4 / 2.0) / 4, (y4 + h4 / 2.0) / 4);
        cairo_scale(cr, w4 / 8.0, h4 / 8.0);
        cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
        cairo_fill(cr);
        cairo_destroy(cr);
        _masks.emplace(key, mask);
        return mask;
    }

private:
    void clear() {
        for (auto& [key, mask] : _masks)
            cairo_surface_destroy(mask);
        _masks.clear();
    }
    std::unordered_map<std::uint64_t, cairo_surface_t*> _masks;
};

EllipseMasks& ellipseMasks() {
    thread_local EllipseMasks masks;
    return masks;
}
} // namespace

GraphicsContext::GraphicsContext(cairo_t* cr) : _cr(cairo_reference(cr)) {
    cairo_matrix_t m;
    cairo_get_matrix(_cr, &m);
    _state.ctm = {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
    _state.drawable = cairo_status(_cr) == CAIRO_STATUS_SUCCESS && invertible(_state.ctm);
}

GraphicsContext::~GraphicsContext() {
    // Leave the Cairo context as it was handed over.
    while (!_saved.empty())
        restoreGState();
    cairo_destroy(_cr);
}

void GraphicsContext::saveGState() {
    cairo_save(_cr);
    _saved.push_back(_state);
}

void GraphicsContext::restoreGState() {
    if (_saved.empty()) return;
    cairo_restore(_cr);
    _state = _saved.back();
    _saved.pop_back();
}

void GraphicsContext::applyTransform(const AffineTransform& t) {
    if (!_state.drawable) return;
    const AffineTransform next = t.concat(_state.ctm);
    _state.ctm = next;
    // A singular or non-finite CTM would put Cairo into a permanent error state: mirror it
    // here and stop drawing until the state is restored instead.
    if (!finite(next) || !invertible(next)) {
        _state.drawable = false;
        return;
    }
    const cairo_matrix_t m = toCairo(next);
    cairo_set_matrix(_cr, &m);
}

void GraphicsContext::translateCTM(Float tx, Float ty) {
    applyTransform(AffineTransform::makeTranslation(tx, ty));
}
void GraphicsContext::scaleCTM(Float sx, Float sy) {
    applyTransform(AffineTransform::makeScale(sx, sy));
}
void GraphicsContext::rotateCTM(Float angle) {
    applyTransform(AffineTransform::makeRotation(angle));
}
void GraphicsContext::concatCTM(const AffineTransform& t) {
    applyTransform(t);
}

// --- What has been drawn.

cairo_t* GraphicsContext::cairoDrawingIn(const Rect& area) {
    if (drawableRect(area)) {
        const Rect r = area.standardized();
        noteDrawn(r.minX(), r.minY(), r.maxX(), r.maxY());
    }
    return _cr;
}

// The device box of a user-space box (null when not finite).
static Rect deviceBox(cairo_t* cr, double x0, double y0, double x1, double y1) {
    double dx0 = INFINITY, dy0 = INFINITY, dx1 = -INFINITY, dy1 = -INFINITY;
    for (const Point corner : {Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}}) {
        double x = corner.x, y = corner.y;
        cairo_user_to_device(cr, &x, &y);
        dx0 = std::min(dx0, x), dy0 = std::min(dy0, y);
        dx1 = std::max(dx1, x), dy1 = std::max(dy1, y);
    }
    if (!finite(dx0) || !finite(dy0) || !finite(dx1) || !finite(dy1)) return Rect::null();
    return {dx0, dy0, dx1 - dx0, dy1 - dy0};
}

void GraphicsContext::noteDrawn(double x0, double y0, double x1, double y1) {
    if (_drawnEverywhere || !_state.drawable) return;
    double cx0, cy0, cx1, cy1;
    cairo_clip_extents(_cr, &cx0, &cy0, &cx1, &cy1);
    x0 = std::max(x0, cx0), y0 = std::max(y0, cy0);
    x1 = std::min(x1, cx1), y1 = std::min(y1, cy1);
    if (!(x1 > x0 && y1 > y0)) return;
    const Rect device = deviceBox(_cr, x0, y0, x1, y1);
    if (device.isNull()) {
        _drawnEverywhere = true;
        return;
    }
    // Antialiasing reaches into the pixels around the shape.
    const Rect touched = device.insetBy(-1, -1);
    _drawn = _drawn.isNull() ? touched : _drawn.unionWith(touched);
}

void GraphicsContext::noteDrawnPath(double reach) {
    double x0, y0, x1, y1;
    cairo_path_extents(_cr, &x0, &y0, &x1, &y1);
    if (reach <= 0 && !(x1 > x0 && y1 > y0)) return;
    noteDrawn(x0 - reach, y0 - reach, x1 + reach, y1 + reach);
}

void GraphicsContext::noteStroke() {
    // Joins and square caps reach beyond half the line width: a miter up to the miter limit.
    const double join = cairo_get_line_join(_cr) == CAIRO_LINE_JOIN_MITER ? cairo_get_miter_limit(_cr) : 1;
    const double reach = cairo_get_line_width(_cr) / 2 * std::max(join, std::numbers::sqrt2);
    if (reach > 0) noteDrawnPath(reach);
}

Rect GraphicsContext::drawnPixels() const {
    Rect drawn = _drawn;
    if (_drawnEverywhere) {
        double x0, y0, x1, y1;
        cairo_clip_extents(_cr, &x0, &y0, &x1, &y1);
        drawn = deviceBox(_cr, x0, y0, x1, y1);
        if (!drawn.isNull()) drawn = drawn.insetBy(-1, -1);
    }
    if (drawn.isNull() || drawn.isEmpty()) return Rect::null();
    const double x0 = std::floor(drawn.minX()), y0 = std::floor(drawn.minY());
    return {x0, y0, std::ceil(drawn.maxX()) - x0, std::ceil(drawn.maxY()) - y0};
}

Rect GraphicsContext::clipBoundingBox() const {
    double x0, y0, x1, y1;
    cairo_clip_extents(_cr, &x0, &y0, &x1, &y1);
    return {x0, y0, x1 - x0, y1 - y0};
}

void GraphicsContext::setAlpha(Float alpha) {
    if (finite(alpha)) _state.alpha = clamp01(alpha);
}

void GraphicsContext::setLineWidth(Float width) {
    if (finite(width) && width >= 0) cairo_set_line_width(_cr, width);
}

Float GraphicsContext::lineWidth() const {
    return cairo_get_line_width(_cr);
}

// Our cap and join values are Cairo's.
static_assert(CAIRO_LINE_CAP_BUTT == 0 && CAIRO_LINE_CAP_ROUND == 1 && CAIRO_LINE_CAP_SQUARE == 2);
static_assert(CAIRO_LINE_JOIN_MITER == 0 && CAIRO_LINE_JOIN_ROUND == 1 && CAIRO_LINE_JOIN_BEVEL == 2);

void GraphicsContext::setLineCap(LineCap cap) {
    const auto v = static_cast<int>(cap);
    cairo_set_line_cap(_cr, v >= 0 && v <= 2 ? static_cast<cairo_line_cap_t>(v) : CAIRO_LINE_CAP_BUTT);
}

void GraphicsContext::setLineJoin(LineJoin join) {
    const auto v = static_cast<int>(join);
    cairo_set_line_join(_cr, v >= 0 && v <= 2 ? static_cast<cairo_line_join_t>(v) : CAIRO_LINE_JOIN_MITER);
}

void GraphicsContext::setShouldAntialias(bool antialias) {
    cairo_set_antialias(_cr, antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void GraphicsContext::setSource(const Color& color) {
    const RGBA c = color.resolved();
    cairo_set_source_rgba(_cr, clamp01(c.r), clamp01(c.g), clamp01(c.b), clamp01(c.a) * _state.alpha);
}

void GraphicsContext::fillRect(const Rect& rect) {
    beginPath();
    addRect(rect);
    fillPath();
}

void GraphicsContext::strokeRect(const Rect& rect) {
    beginPath();
    addRect(rect);
    strokePath();
}

void GraphicsContext::clearRect(const Rect& rect) {
    if (!_state.drawable || !drawableRect(rect)) return;
    cairo_save(_cr);
    cairo_set_operator(_cr, CAIRO_OPERATOR_CLEAR);
    cairo_new_path(_cr);
    cairo_rectangle(_cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    // Cleared pixels count as drawn: an opaque store starts black, not clear.
    noteDrawnPath(0);
    cairo_fill(_cr);
    cairo_restore(_cr);
}

bool GraphicsContext::fillSmallEllipse(const Rect& rect) {
    const AffineTransform& m = _state.ctm;
    if (m.b != 0 || m.c != 0 || cairo_get_antialias(_cr) != CAIRO_ANTIALIAS_DEFAULT ||
        cairo_get_operator(_cr) != CAIRO_OPERATOR_OVER)
        return false;
    const Rect r = rect.standardized();
    const Float xa = m.a * r.minX() + m.tx, xb = m.a * r.maxX() + m.tx;
    const Float ya = m.d * r.minY() + m.ty, yb = m.d * r.maxY() + m.ty;
    const Float x0 = std::min(xa, xb), y0 = std::min(ya, yb);
    const Float w = std::abs(xb - xa), h = std::abs(yb - ya);
    if (!(w > 0 && h > 0 && w <= EllipseMasks::kMaxSide && h <= EllipseMasks::kMaxSide) || !finite(x0) ||
        !finite(y0) || std::abs(x0) > 1e6 || std::abs(y0) > 1e6)
        return false;
    // Positions and sizes snap to quarter pixels.
    const long X4 = std::lround(x0 * 4), Y4 = std::lround(y0 * 4);
    const long ix = X4 >= 0 ? X4 / 4 : -((-X4 + 3) / 4), iy = Y4 >= 0 ? Y4 / 4 : -((-Y4 + 3) / 4);
    const int w4 = static_cast<int>(std::max(1L, std::lround(w * 4)));
    const int h4 = static_cast<int>(std::max(1L, std::lround(h * 4)));
    cairo_surface_t* mask =
        ellipseMasks().get(w4, h4, static_cast<int>(X4 - 4 * ix), static_cast<int>(Y4 - 4 * iy));
    noteDrawn(r.minX(), r.minY(), r.maxX(), r.maxY());
    cairo_save(_cr);
    cairo_identity_matrix(_cr);
    setSource(_state.fill);
    cairo_mask_surface(_cr, mask, static_cast<double>(ix), static_cast<double>(iy));
    cairo_restore(_cr);
    return true;
}

void GraphicsContext::fillEllipseInRect(const Rect& rect) {
    if (_state.drawable && drawableRect(rect) && fillSmallEllipse(rect)) {
        cairo_new_path(_cr);
        return;
    }
    beginPath();
    addEllipseInRect(rect);
    fillPath();
}

void GraphicsContext::strokeEllipseInRect(const Rect& rect) {
    beginPath();
    addEllipseInRect(rect);
    strokePath();
}

void GraphicsContext::beginPath() {
    cairo_new_path(_cr);
}

void GraphicsContext::moveToPoint(Point p) {
    if (_state.drawable && finite(p)) cairo_move_to(_cr, p.x, p.y);
}

void GraphicsContext::addLineToPoint(Point p) {
    if (_state.drawable && finite(p)) cairo_line_to(_cr, p.x, p.y);
}

void GraphicsContext::addCurveToPoint(Point c1, Point c2, Point end) {
    if (_state.drawable && finite(c1) && finite(c2) && finite(end))
        cairo_curve_to(_cr, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
}

void GraphicsContext::addQuadCurveToPoint(Point control, Point end) {
    if (!_state.drawable || !finite(control) || !finite(end)) return;
    Point start = control;
    if (cairo_has_current_point(_cr))
        cairo_get_current_point(_cr, &start.x, &start.y);
    else
        cairo_move_to(_cr, control.x, control.y);
    // The cubic with the same curve: control points two thirds of the way to the quad's.
    const Point c1{start.x + 2.0 / 3.0 * (control.x - start.x), start.y + 2.0 / 3.0 * (control.y - start.y)};
    const Point c2{end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)};
    cairo_curve_to(_cr, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
}

void GraphicsContext::addArc(Point center, Float radius, Float startAngle, Float endAngle, bool clockwise) {
    if (!_state.drawable || !finite(center) || !finite(radius) || radius < 0 || !finite(startAngle) ||
        !finite(endAngle))
        return;
    // With y down, increasing angles run clockwise on screen.
    if (clockwise)
        cairo_arc(_cr, center.x, center.y, radius, startAngle, endAngle);
    else
        cairo_arc_negative(_cr, center.x, center.y, radius, startAngle, endAngle);
}

void GraphicsContext::addRect(const Rect& rect) {
    if (_state.drawable && drawableRect(rect))
        cairo_rectangle(_cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

void GraphicsContext::addRoundedRect(const Rect& rect, Float cornerRadius) {
    if (!_state.drawable || !drawableRect(rect)) return;
    const Rect r = rect.standardized();
    const Float radius = finite(cornerRadius) ? std::min({cornerRadius, r.width() / 2, r.height() / 2}) : 0;
    if (radius <= 0) {
        addRect(r);
        return;
    }
    constexpr Float pi = std::numbers::pi;
    cairo_new_sub_path(_cr);
    cairo_arc(_cr, r.maxX() - radius, r.minY() + radius, radius, -pi / 2, 0);
    cairo_arc(_cr, r.maxX() - radius, r.maxY() - radius, radius, 0, pi / 2);
    cairo_arc(_cr, r.minX() + radius, r.maxY() - radius, radius, pi / 2, pi);
    cairo_arc(_cr, r.minX() + radius, r.minY() + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(_cr);
}

void GraphicsContext::addEllipseInRect(const Rect& rect) {
    if (!_state.drawable || !drawableRect(rect)) return;
    const Rect r = rect.standardized();
    if (r.width() == 0 || r.height() == 0) return;
    // A unit circle scaled into the rectangle; the path keeps its shape after the matrix
    // is restored because Cairo stores paths in device space.
    cairo_matrix_t saved;
    cairo_get_matrix(_cr, &saved);
    cairo_new_sub_path(_cr);
    cairo_translate(_cr, r.midX(), r.midY());
    cairo_scale(_cr, r.width() / 2, r.height() / 2);
    cairo_arc(_cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_close_path(_cr);
    cairo_set_matrix(_cr, &saved);
}

void GraphicsContext::closePath() {
    if (_state.drawable && cairo_has_current_point(_cr)) cairo_close_path(_cr);
}

bool GraphicsContext::isPathEmpty() const {
    double x0, y0, x1, y1;
    cairo_path_extents(_cr, &x0, &y0, &x1, &y1);
    return !cairo_has_current_point(_cr) && x0 == x1 && y0 == y1;
}

void GraphicsContext::fillWith(bool evenOdd) {
    if (!_state.drawable) {
        cairo_new_path(_cr);
        return;
    }
    cairo_set_fill_rule(_cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    setSource(_state.fill);
    noteDrawnPath(0);
    cairo_fill(_cr);
}

void GraphicsContext::fillPath() {
    fillWith(false);
}
void GraphicsContext::eoFillPath() {
    fillWith(true);
}

void GraphicsContext::strokePath() {
    if (!_state.drawable) {
        cairo_new_path(_cr);
        return;
    }
    setSource(_state.stroke);
    noteStroke();
    cairo_stroke(_cr);
}

void GraphicsContext::fillAndStrokePath() {
    if (!_state.drawable) {
        cairo_new_path(_cr);
        return;
    }
    cairo_set_fill_rule(_cr, CAIRO_FILL_RULE_WINDING);
    setSource(_state.fill);
    noteDrawnPath(0);
    cairo_fill_preserve(_cr);
    setSource(_state.stroke);
    noteStroke();
    cairo_stroke(_cr);
}

void GraphicsContext::clipToRect(const Rect& rect) {
    if (!_state.drawable) return;
    cairo_new_path(_cr);
    if (drawableRect(rect))
        cairo_rectangle(_cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    // A null or non-finite rectangle clips everything away.
    cairo_clip(_cr);
}

void GraphicsContext::clip() {
    if (!_state.drawable) return;
    cairo_set_fill_rule(_cr, CAIRO_FILL_RULE_WINDING);
    cairo_clip(_cr);
}

void GraphicsContext::drawImage(const ImageRef& image, const Rect& rect) {
    cairo_new_path(_cr);
    if (!_state.drawable || !image || !drawableRect(rect)) return;
    const Rect r = rect.standardized();
    if (r.width() == 0 || r.height() == 0) return;
    cairo_save(_cr);
    cairo_translate(_cr, r.minX(), r.minY());
    cairo_scale(_cr, r.width() / image->pixelWidth(), r.height() / image->pixelHeight());
    cairo_set_source_surface(_cr, image->surface(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(_cr);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
    // Stretching samples past the edge: repeat the edge pixels rather than fade to clear.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_rectangle(_cr, 0, 0, image->pixelWidth(), image->pixelHeight());
    noteDrawnPath(0);
    if (_state.alpha >= 1) {
        cairo_fill(_cr);
    } else {
        cairo_clip(_cr);
        cairo_paint_with_alpha(_cr, _state.alpha);
    }
    cairo_restore(_cr);
}

void GraphicsContext::drawLinearGradient(const std::vector<Color>& colors,
                                         const std::vector<Float>& locations, Point start, Point end,
                                         GradientDrawingOptions options) {
    if (!_state.drawable || colors.empty() || !finite(start) || !finite(end)) return;
    const Point d{end.x - start.x, end.y - start.y};
    const Float len2 = d.x * d.x + d.y * d.y;
    if (!(len2 > 0) || !finite(len2)) return;

    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    const bool paired = locations.size() == colors.size();
    for (std::size_t i = 0; i < colors.size(); ++i) {
        Float at = colors.size() == 1 ? 0 : static_cast<Float>(i) / static_cast<Float>(colors.size() - 1);
        if (paired && finite(locations[i])) at = clamp01(locations[i]);
        const RGBA c = colors[i].resolved();
        cairo_pattern_add_color_stop_rgba(pattern, at, clamp01(c.r), clamp01(c.g), clamp01(c.b),
                                          clamp01(c.a) * _state.alpha);
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);

    // Paint the band of the clip between the locations the options allow: a quadrilateral
    // along the gradient axis, wide enough to cover the whole clip.
    double x0, y0, x1, y1;
    cairo_clip_extents(_cr, &x0, &y0, &x1, &y1);
    Float reach = 0;
    for (const Point corner : {Point{x0, y0}, Point{x1, y0}, Point{x0, y1}, Point{x1, y1}})
        reach = std::max(reach, std::hypot(corner.x - start.x, corner.y - start.y));
    const Float span = reach / std::sqrt(len2) + 1; // in units of the axis length
    const Float t0 = (options & GradientDrawsBeforeStartLocation) ? -span : 0;
    const Float t1 = (options & GradientDrawsAfterEndLocation) ? 1 + span : 1;
    const Point n{-d.y, d.x};
    auto at = [&](Float t, Float s) {
        return Point{start.x + d.x * t + n.x * s, start.y + d.y * t + n.y * s};
    };

    cairo_save(_cr);
    cairo_new_path(_cr);
    const Point band[4] = {at(t0, -span), at(t1, -span), at(t1, span), at(t0, span)};
    cairo_move_to(_cr, band[0].x, band[0].y);
    for (int i = 1; i < 4; ++i)
        cairo_line_to(_cr, band[i].x, band[i].y);
    cairo_close_path(_cr);
    cairo_set_source(_cr, pattern);
    noteDrawnPath(0);
    cairo_fill(_cr);
    cairo_restore(_cr);
    cairo_pattern_destroy(pattern);
}

} // namespace gfx
