#pragma once

// Animatable key paths of a layer, resolved once into a property and an optional component,
// and read or written on a LayerState. Shared by the animations (which write presentation
// states) and the layer (which answers presentation values by key).

#include "platform/ui/Layer.h"

#include <optional>
#include <string_view>

namespace ui::detail {

enum class Property {
    bounds,
    position,
    anchorPoint,
    zPosition,
    transform,
    sublayerTransform,
    opacity,
    backgroundColor,
    hidden,
    contents
};

enum class Component {
    whole,
    // Of a point.
    x,
    y,
    // Of a rectangle.
    origin,
    size,
    originX,
    originY,
    width,
    height,
    // Of a transform: parts applied before it.
    rotationX,
    rotationY,
    rotationZ,
    scale,
    scaleX,
    scaleY,
    scaleZ,
    translation,
    translationX,
    translationY,
    translationZ
};

struct KeyPath {
    Property property = Property::opacity;
    Component component = Component::whole;
    friend bool operator==(const KeyPath&, const KeyPath&) = default;
};

// Nullopt for a path that names nothing animatable.
std::optional<KeyPath> parseKeyPath(std::string_view path);

// The value at the path; a transform part reads as its neutral value (0, or 1 for scales),
// a nil background colour as std::monostate.
LayerValue valueAt(const LayerState& state, const KeyPath& path);
// Whether the value is of the kind the path holds (a colour for the background colour, an
// image for the contents).
bool fits(const KeyPath& path, const LayerValue& value);
// Whether changes of the property blend over time (the hidden flag and the contents do not).
bool blends(const KeyPath& path);
// Writes the value at the path; a value of the wrong kind is ignored. A transform part is
// applied before the state's transform; opacity is clamped to 0…1.
void setValueAt(LayerState& state, const KeyPath& path, const LayerValue& value);

} // namespace ui::detail
