#pragma once

// Arithmetic on animated values: blending two values, adding and taking away (an
// animation's byValue), and flattening values to lists of numbers for the cubic keyframe
// curve. The rules are those Animation.h states.

#include "platform/graphics/TransformInterpolation.h"
#include "platform/ui/Layer.h"

#include <optional>
#include <vector>

namespace ui::detail {

// `from` at 0, `to` at 1; progress outside 0…1 extrapolates where the kind allows.
LayerValue interpolate(const LayerValue& from, const LayerValue& to, double progress);

// Two transforms decomposed once, for animations that blend the same pair every frame.
struct TransformPair {
    gfx::Transform3D from, to;
    gfx::DecomposedTransform decomposedFrom, decomposedTo;

    // Null when either end cannot be decomposed.
    static std::shared_ptr<const TransformPair> make(const gfx::Transform3D& from,
                                                     const gfx::Transform3D& to);
    gfx::Transform3D at(double progress) const;
};

// a + b and a - b for numbers, points, sizes, rectangles and colours (component by
// component) and transforms (b applied after a; a - b undoes that). std::monostate when the
// kinds differ or do not add up.
LayerValue add(const LayerValue& a, const LayerValue& b);
LayerValue subtract(const LayerValue& a, const LayerValue& b);

// The numbers a value is made of (a transform's decomposed parts), or nullopt for kinds
// that are not made of numbers and transforms that do not decompose; and back, with `kind`
// a value of the kind to make.
std::optional<std::vector<double>> components(const LayerValue& value);
LayerValue fromComponents(const LayerValue& kind, const std::vector<double>& numbers);

} // namespace ui::detail
