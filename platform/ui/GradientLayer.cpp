#include "platform/ui/GradientLayer.h"

#include "platform/graphics/GraphicsContext.h"

#include <cmath>
#include <utility>

namespace ui {

OLM_DEFINE_CLASS(GradientLayer, Layer)

namespace {

bool finite(gfx::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

void GradientLayer::setColors(std::vector<gfx::Color> colors) {
    changeValue(_colors, std::move(colors), "colors");
}

void GradientLayer::setLocations(std::optional<std::vector<double>> locations) {
    LayerValue old;
    if (_locations) old = std::move(*_locations);
    _locations = std::move(locations);
    didChangeValue("locations", std::move(old));
}

void GradientLayer::setStartPoint(gfx::Point p) {
    if (!finite(p)) return;
    changeValue(_startPoint, p, "startPoint");
}

void GradientLayer::setEndPoint(gfx::Point p) {
    if (!finite(p)) return;
    changeValue(_endPoint, p, "endPoint");
}

LayerValue GradientLayer::valueForKey(std::string_view key) const {
    if (key == "colors") return _colors;
    if (key == "locations") return _locations ? LayerValue(*_locations) : LayerValue();
    if (key == "startPoint") return _startPoint;
    if (key == "endPoint") return _endPoint;
    return Layer::valueForKey(key);
}

bool GradientLayer::setValueForKey(std::string_view key, const LayerValue& value) {
    if (key == "colors") {
        if (const auto* v = std::get_if<std::vector<gfx::Color>>(&value)) return setColors(*v), true;
        return false;
    }
    if (key == "locations") {
        if (const auto* v = std::get_if<std::vector<double>>(&value)) return setLocations(*v), true;
        if (std::holds_alternative<std::monostate>(value)) return setLocations(std::nullopt), true;
        return false;
    }
    if (key == "startPoint" || key == "endPoint") {
        const auto* v = std::get_if<gfx::Point>(&value);
        if (v == nullptr) return false;
        key == "startPoint" ? setStartPoint(*v) : setEndPoint(*v);
        return true;
    }
    return Layer::setValueForKey(key, value);
}

std::vector<double> GradientLayer::effectiveLocations() const {
    if (_locations && _locations->size() == _colors.size()) return *_locations;
    std::vector<double> even(_colors.size(), 0.0);
    for (std::size_t i = 0; even.size() > 1 && i < even.size(); ++i)
        even[i] = static_cast<double>(i) / static_cast<double>(even.size() - 1);
    return even;
}

void GradientLayer::drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const {
    Layer::drawOwnContent(context, state);
    if (_colors.empty()) return;
    const gfx::Rect& b = state.bounds;
    context.saveGState();
    context.clipToRect(b);
    if (_colors.size() == 1) {
        context.setFillColor(_colors.front());
        context.fillRect(b);
    } else {
        const gfx::Point start{b.origin.x + _startPoint.x * b.size.width,
                               b.origin.y + _startPoint.y * b.size.height};
        const gfx::Point end{b.origin.x + _endPoint.x * b.size.width,
                             b.origin.y + _endPoint.y * b.size.height};
        context.drawLinearGradient(_colors, effectiveLocations(), start, end,
                                   gfx::GradientDrawsBeforeStartLocation |
                                       gfx::GradientDrawsAfterEndLocation);
    }
    context.restoreGState();
}

} // namespace ui
