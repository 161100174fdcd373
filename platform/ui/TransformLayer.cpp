#include "platform/ui/TransformLayer.h"

namespace ui {

OLM_DEFINE_CLASS(TransformLayer, Layer)

void TransformLayer::drawOwnContent(gfx::GraphicsContext&, const LayerState&) const {}

} // namespace ui
