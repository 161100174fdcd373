#include "platform/ui/detail/KeyPath.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

namespace ui::detail {

namespace {

struct Name {
    std::string_view text;
    Property property;
};

constexpr std::array<Name, 10> kProperties{{
    {"bounds", Property::bounds},
    {"position", Property::position},
    {"anchorPoint", Property::anchorPoint},
    {"zPosition", Property::zPosition},
    {"transform", Property::transform},
    {"sublayerTransform", Property::sublayerTransform},
    {"opacity", Property::opacity},
    {"backgroundColor", Property::backgroundColor},
    {"hidden", Property::hidden},
    {"contents", Property::contents},
}};

struct ComponentName {
    std::string_view text;
    Component component;
};

constexpr std::array<ComponentName, 2> kPointComponents{{{"x", Component::x}, {"y", Component::y}}};

constexpr std::array<ComponentName, 6> kRectComponents{{
    {"origin", Component::origin},
    {"size", Component::size},
    {"origin.x", Component::originX},
    {"origin.y", Component::originY},
    {"size.width", Component::width},
    {"size.height", Component::height},
}};

constexpr std::array<ComponentName, 12> kTransformComponents{{
    {"rotation", Component::rotationZ},
    {"rotation.x", Component::rotationX},
    {"rotation.y", Component::rotationY},
    {"rotation.z", Component::rotationZ},
    {"scale", Component::scale},
    {"scale.x", Component::scaleX},
    {"scale.y", Component::scaleY},
    {"scale.z", Component::scaleZ},
    {"translation", Component::translation},
    {"translation.x", Component::translationX},
    {"translation.y", Component::translationY},
    {"translation.z", Component::translationZ},
}};

template <std::size_t N>
std::optional<Component> findComponent(const std::array<ComponentName, N>& names, std::string_view text) {
    for (const auto& n : names)
        if (n.text == text) return n.component;
    return std::nullopt;
}

bool isScale(Component c) {
    return c == Component::scale || c == Component::scaleX || c == Component::scaleY ||
           c == Component::scaleZ;
}

// The transform a part stands for, with `v` its value.
std::optional<gfx::Transform3D> partTransform(Component c, const LayerValue& v) {
    if (c == Component::translation) {
        const auto* s = std::get_if<gfx::Size>(&v);
        if (s == nullptr) return std::nullopt;
        return gfx::Transform3D::makeTranslation(s->width, s->height, 0);
    }
    const auto* d = std::get_if<double>(&v);
    if (d == nullptr || !std::isfinite(*d)) return std::nullopt;
    switch (c) {
    case Component::rotationX:
        return gfx::Transform3D::makeRotation(*d, 1, 0, 0);
    case Component::rotationY:
        return gfx::Transform3D::makeRotation(*d, 0, 1, 0);
    case Component::rotationZ:
        return gfx::Transform3D::makeRotation(*d, 0, 0, 1);
    case Component::scale:
        return gfx::Transform3D::makeScale(*d, *d, *d);
    case Component::scaleX:
        return gfx::Transform3D::makeScale(*d, 1, 1);
    case Component::scaleY:
        return gfx::Transform3D::makeScale(1, *d, 1);
    case Component::scaleZ:
        return gfx::Transform3D::makeScale(1, 1, *d);
    case Component::translationX:
        return gfx::Transform3D::makeTranslation(*d, 0, 0);
    case Component::translationY:
        return gfx::Transform3D::makeTranslation(0, *d, 0);
    case Component::translationZ:
        return gfx::Transform3D::makeTranslation(0, 0, *d);
    default:
        return std::nullopt;
    }
}

LayerValue pointPart(gfx::Point p, Component c) {
    switch (c) {
    case Component::x:
        return p.x;
    case Component::y:
        return p.y;
    default:
        return p;
    }
}

void setPointPart(gfx::Point& p, Component c, const LayerValue& v) {
    if (c == Component::whole) {
        if (const auto* q = std::get_if<gfx::Point>(&v)) p = *q;
        return;
    }
    const auto* d = std::get_if<double>(&v);
    if (d == nullptr) return;
    (c == Component::x ? p.x : p.y) = *d;
}

LayerValue rectPart(const gfx::Rect& r, Component c) {
    switch (c) {
    case Component::origin:
        return r.origin;
    case Component::size:
        return r.size;
    case Component::originX:
        return r.origin.x;
    case Component::originY:
        return r.origin.y;
    case Component::width:
        return r.size.width;
    case Component::height:
        return r.size.height;
    default:
        return r;
    }
}

void setRectPart(gfx::Rect& r, Component c, const LayerValue& v) {
    switch (c) {
    case Component::whole:
        if (const auto* q = std::get_if<gfx::Rect>(&v)) r = *q;
        return;
    case Component::origin:
        if (const auto* q = std::get_if<gfx::Point>(&v)) r.origin = *q;
        return;
    case Component::size:
        if (const auto* q = std::get_if<gfx::Size>(&v)) r.size = *q;
        return;
    default:
        break;
    }
    const auto* d = std::get_if<double>(&v);
    if (d == nullptr) return;
    if (c == Component::originX) r.origin.x = *d;
    if (c == Component::originY) r.origin.y = *d;
    if (c == Component::width) r.size.width = *d;
    if (c == Component::height) r.size.height = *d;
}

template <class T> void setWhole(T& member, const LayerValue& v) {
    if (const auto* q = std::get_if<T>(&v)) member = *q;
}

bool finite(gfx::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Whether every number of the value is finite (values without numbers are).
bool finite(const LayerValue& v) {
    if (const auto* d = std::get_if<double>(&v)) return std::isfinite(*d);
    if (const auto* p = std::get_if<gfx::Point>(&v)) return finite(*p);
    if (const auto* s = std::get_if<gfx::Size>(&v)) return finite(gfx::Point{s->width, s->height});
    if (const auto* r = std::get_if<gfx::Rect>(&v))
        return finite(r->origin) && finite(gfx::Point{r->size.width, r->size.height});
    if (const auto* t = std::get_if<gfx::Transform3D>(&v)) return gfx::isFinite(*t);
    if (const auto* c = std::get_if<gfx::Color>(&v)) {
        for (const gfx::RGBA& x : {c->light(), c->dark()})
            if (!std::isfinite(x.r + x.g + x.b + x.a)) return false;
    }
    return true;
}

} // namespace

std::optional<KeyPath> parseKeyPath(std::string_view path) {
    const std::size_t dot = path.find('.');
    const std::string_view head = path.substr(0, dot);
    const std::string_view tail = dot == std::string_view::npos ? std::string_view{} : path.substr(dot + 1);
    auto it =
        std::find_if(kProperties.begin(), kProperties.end(), [&](const Name& n) { return n.text == head; });
    if (it == kProperties.end()) return std::nullopt;
    KeyPath kp{it->property, Component::whole};
    if (dot == std::string_view::npos) return kp;
    std::optional<Component> c;
    switch (kp.property) {
    case Property::position:
    case Property::anchorPoint:
        c = findComponent(kPointComponents, tail);
        break;
    case Property::bounds:
        c = findComponent(kRectComponents, tail);
        break;
    case Property::transform:
        c = findComponent(kTransformComponents, tail);
        break;
    default:
        break;
    }
    if (!c) return std::nullopt;
    kp.component = *c;
    return kp;
}

LayerValue valueAt(const LayerState& s, const KeyPath& path) {
    switch (path.property) {
    case Property::bounds:
        return rectPart(s.bounds, path.component);
    case Property::position:
        return pointPart(s.position, path.component);
    case Property::anchorPoint:
        return pointPart(s.anchorPoint, path.component);
    case Property::zPosition:
        return s.zPosition;
    case Property::transform:
        if (path.component == Component::whole) return s.transform;
        if (path.component == Component::translation) return gfx::Size{};
        return isScale(path.component) ? 1.0 : 0.0;
    case Property::sublayerTransform:
        return s.sublayerTransform;
    case Property::opacity:
        return s.opacity;
    case Property::backgroundColor:
        return s.backgroundColor ? LayerValue(*s.backgroundColor) : LayerValue();
    case Property::hidden:
        return s.hidden;
    case Property::contents:
        return s.contents;
    }
    return {};
}

bool fits(const KeyPath& path, const LayerValue& value) {
    if (path.property == Property::backgroundColor) return std::holds_alternative<gfx::Color>(value);
    if (path.property == Property::contents) return std::holds_alternative<gfx::ImageRef>(value);
    return valueAt(LayerState{}, path).index() == value.index();
}

bool blends(const KeyPath& path) {
    return path.property != Property::hidden && path.property != Property::contents;
}

void setValueAt(LayerState& s, const KeyPath& path, const LayerValue& v) {
    if (!finite(v)) return;
    switch (path.property) {
    case Property::bounds:
        setRectPart(s.bounds, path.component, v);
        return;
    case Property::position:
        setPointPart(s.position, path.component, v);
        return;
    case Property::anchorPoint:
        setPointPart(s.anchorPoint, path.component, v);
        return;
    case Property::zPosition:
        setWhole(s.zPosition, v);
        return;
    case Property::transform:
        if (path.component == Component::whole)
            setWhole(s.transform, v);
        else if (std::optional<gfx::Transform3D> part = partTransform(path.component, v))
            s.transform = gfx::concat(*part, s.transform);
        return;
    case Property::sublayerTransform:
        setWhole(s.sublayerTransform, v);
        return;
    case Property::opacity:
        if (const auto* d = std::get_if<double>(&v)) s.opacity = std::clamp(*d, 0.0, 1.0);
        return;
    case Property::backgroundColor:
        if (const auto* c = std::get_if<gfx::Color>(&v)) s.backgroundColor = *c;
        if (std::holds_alternative<std::monostate>(v)) s.backgroundColor.reset();
        return;
    case Property::hidden:
        setWhole(s.hidden, v);
        return;
    case Property::contents: {
        const gfx::ImageRef before = s.contents;
        setWhole(s.contents, v);
        if (std::holds_alternative<std::monostate>(v)) s.contents = nullptr;
        // Another image than the layer's own store covers the bounds.
        if (s.contents != before) s.contentsFrame = gfx::Rect::null();
        return;
    }
    }
}

} // namespace ui::detail
