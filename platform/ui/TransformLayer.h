#pragma once

// A layer whose sublayers share its 3-D space: they are not flattened into its plane, so a
// perspective set on it (or on its superlayer) applies to each of them as one scene, and a
// sublayer turned away shows its back (or, when it is not double-sided, nothing). It draws
// no content of its own: background, contents and clipping do not apply to it.

#include "platform/ui/Layer.h"

namespace ui {

class TransformLayer : public Layer {
public:
    OLM_DECLARE_CLASS(TransformLayer)
    static std::shared_ptr<TransformLayer> make() { return rt::create<TransformLayer>(); }

    bool flattensSublayers() const override { return false; }
    void drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const override;
    int ownContentDrawingCount(const LayerState&) const override { return 0; }

protected:
    TransformLayer() = default;
    friend class rt::Access;
};

} // namespace ui
