#include "platform/ui/LayerRenderer.h"

#include "platform/ui/Compositor.h"

namespace ui {

// Snapshots are one-off drawings: a compositor of their own supplies the scratch images.
void renderLayerTree(Layer& layer, gfx::GraphicsContext& context, const RenderOptions& options) {
    Compositor().drawLayerTree(layer, context, options);
}

} // namespace ui
