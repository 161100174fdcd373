#include "platform/ui/detail/Interpolation.h"

#include <cmath>

namespace ui::detail {

namespace {

double lerp(double a, double b, double p) {
    return a + (b - a) * p;
}

gfx::RGBA lerp(const gfx::RGBA& a, const gfx::RGBA& b, double p) {
    return {lerp(a.r, b.r, p), lerp(a.g, b.g, p), lerp(a.b, b.b, p), lerp(a.a, b.a, p)};
}

// Applies `op` to the numbers of two values of the same numeric kind.
template <class Op> LayerValue combine(const LayerValue& a, const LayerValue& b, Op op) {
    if (a.index() != b.index()) return {};
    if (const auto* x = std::get_if<double>(&a)) return op(*x, std::get<double>(b));
    if (const auto* x = std::get_if<gfx::Point>(&a)) {
        const auto& y = std::get<gfx::Point>(b);
        return gfx::Point{op(x->x, y.x), op(x->y, y.y)};
    }
    if (const auto* x = std::get_if<gfx::Size>(&a)) {
        const auto& y = std::get<gfx::Size>(b);
        return gfx::Size{op(x->width, y.width), op(x->height, y.height)};
    }
    if (const auto* x = std::get_if<gfx::Rect>(&a)) {
        const auto& y = std::get<gfx::Rect>(b);
        return gfx::Rect{op(x->origin.x, y.origin.x), op(x->origin.y, y.origin.y),
                         op(x->size.width, y.size.width), op(x->size.height, y.size.height)};
    }
    if (const auto* x = std::get_if<gfx::Color>(&a)) {
        const auto& y = std::get<gfx::Color>(b);
        auto rgba = [&](const gfx::RGBA& u, const gfx::RGBA& v) {
            return gfx::RGBA{op(u.r, v.r), op(u.g, v.g), op(u.b, v.b), op(u.a, v.a)};
        };
        // Light first: callers that walk the numbers rely on the order.
        const gfx::RGBA light = rgba(x->light(), y.light());
        return gfx::Color::dynamic(light, rgba(x->dark(), y.dark()));
    }
    return {};
}

// A nil colour blends as the other end's colour made transparent, so that a colour fades in
// or out instead of passing through black.
LayerValue transparentLike(const LayerValue& v) {
    if (const auto* c = std::get_if<gfx::Color>(&v)) return c->withAlpha(0);
    return {};
}

} // namespace

LayerValue interpolate(const LayerValue& from, const LayerValue& to, double p) {
    if (std::holds_alternative<gfx::Color>(from) && std::holds_alternative<std::monostate>(to))
        return interpolate(from, transparentLike(from), p);
    if (std::holds_alternative<std::monostate>(from) && std::holds_alternative<gfx::Color>(to))
        return interpolate(transparentLike(to), to, p);
    if (const auto* a = std::get_if<gfx::Transform3D>(&from))
        if (const auto* b = std::get_if<gfx::Transform3D>(&to)) return gfx::interpolate(*a, *b, p);
    if (const auto* a = std::get_if<gfx::Color>(&from)) {
        if (const auto* b = std::get_if<gfx::Color>(&to)) {
            // A fixed colour stays fixed; a dynamic end keeps both appearances blending.
            if (!a->isDynamic() && !b->isDynamic()) return gfx::Color(lerp(a->light(), b->light(), p));
            return gfx::Color::dynamic(lerp(a->light(), b->light(), p), lerp(a->dark(), b->dark(), p));
        }
    }
    LayerValue blended = combine(from, to, [p](double a, double b) { return lerp(a, b, p); });
    if (!std::holds_alternative<std::monostate>(blended)) return blended;
    // Kinds that do not blend switch half-way.
    return p < 0.5 ? from : to;
}

std::shared_ptr<const TransformPair> TransformPair::make(const gfx::Transform3D& from,
                                                         const gfx::Transform3D& to) {
    std::optional<gfx::DecomposedTransform> a = gfx::decompose(from);
    std::optional<gfx::DecomposedTransform> b = gfx::decompose(to);
    if (!a || !b) return nullptr;
    return std::make_shared<const TransformPair>(TransformPair{from, to, *a, *b});
}

gfx::Transform3D TransformPair::at(double progress) const {
    return gfx::recompose(gfx::interpolate(decomposedFrom, decomposedTo, progress));
}

LayerValue add(const LayerValue& a, const LayerValue& b) {
    if (const auto* x = std::get_if<gfx::Transform3D>(&a))
        if (const auto* y = std::get_if<gfx::Transform3D>(&b)) return gfx::concat(*x, *y);
    return combine(a, b, [](double u, double v) { return u + v; });
}

LayerValue subtract(const LayerValue& a, const LayerValue& b) {
    if (const auto* x = std::get_if<gfx::Transform3D>(&a))
        if (const auto* y = std::get_if<gfx::Transform3D>(&b)) return gfx::concat(*x, gfx::invert(*y));
    return combine(a, b, [](double u, double v) { return u - v; });
}

std::optional<std::vector<double>> components(const LayerValue& v) {
    if (const auto* t = std::get_if<gfx::Transform3D>(&v)) {
        std::optional<gfx::DecomposedTransform> d = gfx::decompose(*t);
        if (!d) return std::nullopt;
        std::vector<double> n;
        n.reserve(17);
        n.insert(n.end(), d->perspective.begin(), d->perspective.end());
        n.insert(n.end(), d->translation.begin(), d->translation.end());
        n.insert(n.end(), d->scale.begin(), d->scale.end());
        n.insert(n.end(), d->skew.begin(), d->skew.end());
        n.insert(n.end(), d->quaternion.begin(), d->quaternion.end());
        return n;
    }
    std::vector<double> n;
    // Adding zero to a value lists its numbers through the same walk as the arithmetic.
    const LayerValue same = combine(v, v, [&n](double a, double) {
        n.push_back(a);
        return a;
    });
    if (std::holds_alternative<std::monostate>(same)) return std::nullopt;
    return n;
}

LayerValue fromComponents(const LayerValue& kind, const std::vector<double>& n) {
    if (std::holds_alternative<gfx::Transform3D>(kind)) {
        if (n.size() != 17) return kind;
        gfx::DecomposedTransform d;
        std::size_t i = 0;
        for (auto& x : d.perspective)
            x = n[i++];
        for (auto& x : d.translation)
            x = n[i++];
        for (auto& x : d.scale)
            x = n[i++];
        for (auto& x : d.skew)
            x = n[i++];
        double norm = 0;
        for (auto& x : d.quaternion) {
            x = n[i++];
            norm += x * x;
        }
        norm = std::sqrt(norm);
        if (norm > 1e-12) {
            for (auto& x : d.quaternion)
                x /= norm;
        } else {
            d.quaternion = {0, 0, 0, 1};
        }
        return gfx::recompose(d);
    }
    std::size_t i = 0;
    return combine(kind, kind, [&](double a, double) { return i < n.size() ? n[i++] : a; });
}

} // namespace ui::detail
