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
// Frames are made by damage. The compositor keeps its frame buffer (one per pixel size) and
// remembers what each layer drew in the last frame: its device placement, clip, opacity,
// colours, contents image, version and drawing order. A frame compares the tree with that
// record and repaints only the device pixels of what changed (old and new extents), clipped
// to them: layers outside the damage are skipped, and within it the pixels under opaque
// layers are neither cleared nor drawn twice. A layer drawn as a group (faded with its
// subtree, or flattened to be mapped in perspective) damages the group's whole extent. When
// no layer has changed since the last frame (Layer::changeCount) and none is animated, a
// frame does no pixel work at all. A new pixel size, scale or root repaints the whole frame.
//
// The screen is composited from presentation values (animations in flight); snapshots
// (`Layer::renderInContext`, `renderLayerTree`) draw the model. Main thread only.

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ProjectiveMapper.h"
#include "platform/ui/Layer.h"
#include "platform/ui/LayerRenderer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

typedef struct _cairo cairo_t;

namespace gfx {
class GraphicsContext;
}

namespace ui {

namespace detail {
class SurfacePool;
class ContentsCache;
class Occlusion;
class DamageRegion;
struct DrawRecord;
} // namespace detail

// What the last frame did: for tests of the culling and for profiling.
struct CompositorStatistics {
    long layersDrawn = 0;    // layers whose own content (background, contents) was painted
    long layersCulled = 0;   // layers (with their subtrees) skipped as invisible
    long layersOccluded = 0; // layers whose own drawing was skipped as painted over by later ones
    long groups = 0;         // layers faded as a group through a scratch image
    long flattened = 0;      // layers drawn into an image before being mapped in perspective
    long projected = 0;      // images mapped through a perspective transform
    bool wholeFrame = false;                      // the whole frame was repainted
    double damagedPixels = 0;                     // device pixels repainted (0: the frame was left as it was)
    long damageRects = 0;                         // the rectangles they were repainted in
    gfx::Rect damageBounds = gfx::Rect::null();   // the device box around them
};

// How a compositor makes frames: by damage (the default), whole every time, or both and
// compared (a test mode: every frame made by damage must equal the same tree made whole).
enum class FrameMode { damage, whole, verify };

// A frame made by damage that differs from the same tree made whole (FrameMode::verify).
struct FrameMismatch {
    long differingPixels = 0;
    int x = 0, y = 0;                    // the first differing pixel
    std::uint32_t damaged = 0, whole = 0; // its premultiplied ARGB values
    gfx::ImageRef damagedFrame, wholeFrame;
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

    // New compositors take the process's default, which the environment variable
    // OLM_FRAMES sets ("whole", "verify"; anything else: damage).
    FrameMode frameMode() const { return _mode; }
    void setFrameMode(FrameMode mode);
    static FrameMode defaultFrameMode();
    static void setDefaultFrameMode(FrameMode mode);
    // What a verifying compositor does with a mismatch; by default it prints it and aborts.
    using MismatchHandler = std::function<void(const FrameMismatch&)>;
    static void setMismatchHandler(MismatchHandler handler);

    // Draws `layer` and its subtree into `context` in the layer's own coordinate space (its
    // bounds), as renderLayerTree does, with this compositor's scratch images.
    void drawLayerTree(Layer& layer, gfx::GraphicsContext& context, const RenderOptions& options);

private:
    // Decides what the frame repaints into `damage`; false when the frame cannot change.
    bool findDamage(Layer& root, cairo_t* cr, bool whole, detail::DamageRegion& damage);
    void paint(Layer& root, cairo_t* cr, const detail::DamageRegion& damage);
    void verify(Layer& root);
    void forgetFrame();

    cairo_surface_t* _surface = nullptr;
    gfx::Size _size;
    double _scale = 1;
    std::unique_ptr<detail::SurfacePool> _pool;
    std::unique_ptr<detail::ContentsCache> _contents;
    std::unique_ptr<detail::Occlusion> _occlusion;
    std::unique_ptr<detail::DamageRegion> _damage;
    CompositorStatistics _statistics;
    mutable gfx::ImageRef _image;
    FrameMode _mode;
    // What the last frame drew, by layer serial number; valid while `_hasFrame`.
    std::vector<detail::DrawRecord> _records;
    bool _hasFrame = false;
    std::uint64_t _rootSerial = 0;
    std::uint64_t _changeCount = 0;
    gfx::Appearance _appearance = gfx::Appearance::light;
    // The whole-frame compositor a verifying one compares with.
    std::unique_ptr<Compositor> _reference;
};

} // namespace ui
