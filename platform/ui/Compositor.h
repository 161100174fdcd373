#pragma once

// The compositor: draws a layer tree into a frame buffer, as the screen shows it.
//
// What it draws, for each visible layer back to front (sublayers by zPosition, then in
// insertion order): the background colour, the contents image stretched over the bounds (a
// view's backing store, drawn once by the display pass and re-composited every frame), a
// subclass's own content (a gradient), then the sublayers; clipped to the bounds when the
// layer masks, faded as one group when its opacity is below 1.
//
// Layers are placed by position, anchor point, transform and the superlayer's
// sublayerTransform. On screen, a layer placed by a translation alone is moved to whole device
// pixels (as screens show layers: its backing store is then copied, not filtered); snapshots
// draw everything where it is. A layer whose transform to the frame is affine is drawn through
// Cairo, except its contents image, which the pixel mapper (gfx::drawImageProjected) draws
// straight into the frame: copied by rows, filtered in two passes when only scaled, mapped
// pixel by pixel when turned. One under a perspective transform is mapped through gfx::drawImageProjected
// (bilinear, clipped at the near plane, culled when it is single-sided and faces away): a layer that shows
// only its contents image or only its background is mapped directly; any other is first flattened (its
// content and sublayers drawn into an image in its own plane). The sublayers of a transform layer are not
// flattened: each is placed by the product of the transforms down to the nearest flattening ancestor, so they
// share one 3-D scene (painted in sibling order; there is no depth sort).
//
// Work is skipped where it cannot show: hidden and fully transparent subtrees, layers
// outside the clip (whole subtrees when the layer masks to its bounds), single-sided layers
// facing away, and on screen whatever upright layers drawn later paint over with opaque
// colour or opaque images (the background under a full-screen page, the clearing of the frame
// under a background). Scratch images (groups, flattened layers) come from a pool that lives as long
// as the compositor, so steady frames allocate no pixel buffers.
//
// The screen is composited from presentation values (animations in flight); snapshots
// (`Layer::renderInContext`, `renderLayerTree`) draw the model. Main thread only.

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ProjectiveMapper.h"
#include "platform/ui/Layer.h"
#include "platform/ui/LayerRenderer.h"

#include <memory>

namespace gfx {
class GraphicsContext;
}

namespace ui {

namespace detail {
class SurfacePool;
class ContentsCache;
class Occlusion;
} // namespace detail

// What the last frame did: for tests of the culling and for profiling.
struct CompositorStatistics {
    long layersDrawn = 0;    // layers whose own content (background, contents) was painted
    long layersCulled = 0;   // layers (with their subtrees) skipped as invisible
    long layersOccluded = 0; // layers whose own drawing was skipped as painted over by later ones
    long groups = 0;         // layers faded as a group through a scratch image
    long flattened = 0;      // layers drawn into an image before being mapped in perspective
    long projected = 0;      // images mapped through a perspective transform
};

class Compositor {
public:
    Compositor();
    ~Compositor();
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // Composites `root` with its presentation values into the frame buffer: `size` points at
    // `scale` pixels per point (a scale that is not finite or not above zero is 1; the
    // buffer is at most 16384 pixels on a side). The root is placed in the frame as it is in
    // its superlayer's space (a window's layer: its frame). Pending layout and display are
    // not run here (the run loop does that first). The buffer is kept and reused while the
    // pixel size stays the same.
    void renderFrame(Layer& root, gfx::Size size, double scale);

    // The frame last rendered (empty before the first one).
    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const { return _scale; }
    gfx::Size size() const { return _size; }
    gfx::ConstPixelBuffer pixels() const;
    // A copy of the frame as an image at the frame's scale; made once per frame, on request.
    // Null before the first frame.
    gfx::ImageRef image() const;
    // The unpremultiplied colour of a pixel of the frame; transparent outside it.
    gfx::RGBA pixel(int x, int y) const;

    const CompositorStatistics& statistics() const { return _statistics; }

    // Draws `layer` and its subtree into `context` in the layer's own coordinate space (its
    // bounds), as renderLayerTree does, with this compositor's scratch images.
    void drawLayerTree(Layer& layer, gfx::GraphicsContext& context, const RenderOptions& options);

private:
    cairo_surface_t* _surface = nullptr;
    gfx::Size _size;
    double _scale = 1;
    std::unique_ptr<detail::SurfacePool> _pool;
    std::unique_ptr<detail::ContentsCache> _contents;
    std::unique_ptr<detail::Occlusion> _occlusion;
    CompositorStatistics _statistics;
    mutable gfx::ImageRef _image;
};

} // namespace ui
