#pragma once

// Draws a layer tree into a graphics context.
//
// The layer is drawn in its own coordinate space (its bounds), with its opacity, background,
// contents and clipping; each sublayer is placed by its position, anchor point, transform
// and zPosition, in drawing order (zPosition, then insertion). Layers whose transform to the
// plane they are drawn in is affine are drawn through Cairo; a layer under a perspective
// transform is first flattened into an image (its own content and sublayers) which is then
// mapped through the projective transform (near-plane clipping, back-face culling when it is
// not double-sided). The sublayers of a transform layer are not flattened into it: each is
// placed by the product of the transforms down to the nearest flattening ancestor.
//
// Pending layout and display are not run here (see Layer::renderInContext).

#include "platform/ui/Layer.h"

namespace ui {

struct RenderOptions {
    // Draw the presentation state (animations in flight) instead of the model.
    bool presentation = false;
};

void renderLayerTree(Layer& layer, gfx::GraphicsContext& context, const RenderOptions& options = {});

} // namespace ui
