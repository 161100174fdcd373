#include "platform/ui/Compositor.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Animation.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/detail/DamageRegion.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui {

namespace {

// The largest flattened layer, per side in pixels: a bound on what a malformed tree can make
// the compositor allocate.
constexpr double kMaxFlattenedPixels = 8192;
// The largest frame buffer, per side in pixels.
constexpr double kMaxFramePixels = 16384;
// Scratch images not used for this many frames in a row are given back.
constexpr int kIdleFramesKept = 2;

// NaN counts as 0.
double clamp01(double v) {
    return v > 0 ? (v < 1 ? v : 1) : 0;
}

bool visible(const gfx::Rect& r) {
    return !r.isEmpty();
}

// A transform of the layer plane (z = 0) that keeps w at 1 is an affine map of x and y:
// whatever it does to z is dropped by the flattening.
bool isPlanarAffine(const gfx::Transform3D& t) {
    constexpr double eps = 1e-12;
    return std::abs(t.m14) < eps && std::abs(t.m24) < eps && std::abs(t.m44 - 1) < eps;
}

// The bounding box of a rectangle of the layer plane under `t`, cut at the near plane.
gfx::Rect mapExtent(const gfx::Rect& r, const gfx::Transform3D& t) {
    if (r.isNull()) return r;
    if (isPlanarAffine(t)) return gfx::affineTransform(t).apply(r);
    return gfx::projectedBounds(r, t.rows());
}

// The determinant of the plane's homography (x, y, 1) -> (x', y', w'). Where w' > 0 its sign
// is the sign of the projected area: negative when the layer shows its back.
double planeOrientation(const gfx::Transform3D& t) {
    return t.m11 * (t.m22 * t.m44 - t.m24 * t.m42) - t.m12 * (t.m21 * t.m44 - t.m24 * t.m41) +
           t.m14 * (t.m21 * t.m42 - t.m22 * t.m41);
}

std::uint32_t premultipliedPixel(const gfx::Color& color) {
    const gfx::RGBA c = color.resolved();
    const double a = clamp01(c.a);
    const auto q = [&](double v) { return static_cast<std::uint32_t>(std::lround(clamp01(v) * a * 255)); };
    return static_cast<std::uint32_t>(std::lround(a * 255)) << 24 | q(c.r) << 16 | q(c.g) << 8 | q(c.b);
}

// The clip of `cr` as a box in device space.
gfx::Rect deviceClipExtents(cairo_t* cr) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    double x0, y0, x1, y1;
    cairo_clip_extents(cr, &x0, &y0, &x1, &y1);
    cairo_restore(cr);
    return {x0, y0, x1 - x0, y1 - y0};
}

gfx::PixelBuffer regionOf(cairo_surface_t* surface, int width, int height) {
    gfx::PixelBuffer pixels = gfx::pixelsOf(surface);
    pixels.width = std::min(pixels.width, width);
    pixels.height = std::min(pixels.height, height);
    return pixels;
}

} // namespace

namespace detail {

// Scratch ARGB32 images, reused from frame to frame: a lease hands out the top-left
// `width` × `height` pixels of a free image at least that large, cleared.
class SurfacePool {
public:
    SurfacePool() = default;
    SurfacePool(const SurfacePool&) = delete;
    SurfacePool& operator=(const SurfacePool&) = delete;
    ~SurfacePool() {
        for (const auto& e : _entries)
            cairo_surface_destroy(e->surface);
    }

    struct Entry {
        cairo_surface_t* surface = nullptr;
        int width = 0;
        int height = 0;
        bool inUse = false;
        bool usedThisFrame = false;
        int idleFrames = 0;
    };

    class Lease {
    public:
        Lease() = default;
        Lease(Entry* entry, int width, int height) : _entry(entry), _width(width), _height(height) {}
        Lease(Lease&& other) noexcept
            : _entry(std::exchange(other._entry, nullptr)), _width(other._width), _height(other._height) {}
        Lease& operator=(Lease&&) = delete;
        ~Lease() {
            if (_entry != nullptr) _entry->inUse = false;
        }
        explicit operator bool() const { return _entry != nullptr; }
        cairo_surface_t* surface() const { return _entry->surface; }
        int width() const { return _width; }
        int height() const { return _height; }
        gfx::PixelBuffer pixels() const { return regionOf(_entry->surface, _width, _height); }

    private:
        Entry* _entry = nullptr;
        int _width = 0;
        int _height = 0;
    };

    Lease take(int width, int height) {
        if (width <= 0 || height <= 0) return {};
        Entry* best = nullptr;
        for (const auto& e : _entries) {
            if (e->inUse || e->width < width || e->height < height) continue;
            if (best == nullptr || double(e->width) * e->height < double(best->width) * best->height)
                best = e.get();
        }
        if (best == nullptr) {
            cairo_surface_t* s = gfx::makePixelSurface(width, height);
            if (s == nullptr) return {};
            auto entry = std::make_unique<Entry>();
            entry->surface = s;
            entry->width = width;
            entry->height = height;
            best = entry.get();
            _entries.push_back(std::move(entry));
        } else {
            const gfx::PixelBuffer p = regionOf(best->surface, width, height);
            auto* bytes = reinterpret_cast<unsigned char*>(p.pixels);
            for (int y = 0; y < height; ++y)
                std::memset(bytes + static_cast<std::size_t>(y) * p.strideBytes, 0,
                            static_cast<std::size_t>(width) * 4);
            cairo_surface_mark_dirty_rectangle(best->surface, 0, 0, width, height);
        }
        best->inUse = true;
        best->usedThisFrame = true;
        return Lease(best, width, height);
    }

    // Gives back the images that have not been used for a few frames.
    void endFrame() {
        std::erase_if(_entries, [](const std::unique_ptr<Entry>& e) {
            if (e->inUse) return false;
            e->idleFrames = e->usedThisFrame ? 0 : e->idleFrames + 1;
            e->usedThisFrame = false;
            if (e->idleFrames <= kIdleFramesKept) return false;
            cairo_surface_destroy(e->surface);
            return true;
        });
    }

private:
    std::vector<std::unique_ptr<Entry>> _entries;
};

// What the compositor learns once about each contents image (images are immutable once
// shared): where its visible pixels lie, so that the transparent margins of a backing store
// (the space around a label's text, a cell's dot) are not sampled and blended every frame;
// and whether every pixel is opaque, so that the image replaces what lies under it (which
// then need not be drawn at all). An entry lives as long as its image.
class ContentsCache {
public:
    struct Info {
        // The pixel rectangle outside which every pixel is transparent, grown by one pixel
        // (so bilinear samples at its edge still blend toward clear); empty when the whole
        // image is transparent.
        gfx::Rect bounds;
        bool opaque = false;
    };

    const Info& infoOf(const gfx::ImageRef& image) {
        const auto it = _entries.find(image.get());
        if (it != _entries.end() && !it->second.image.owner_before(image) &&
            !image.owner_before(it->second.image))
            return it->second.info;
        Entry& entry = _entries[image.get()];
        entry = {image, scan(*image)};
        return entry.info;
    }

    // Forgets the images that have gone away.
    void purge() {
        std::erase_if(_entries, [](const auto& entry) { return entry.second.image.expired(); });
    }

private:
    static const std::uint32_t* rowOf(const gfx::Image& image, int y) {
        return reinterpret_cast<const std::uint32_t*>(image.data() +
                                                      static_cast<std::size_t>(y) * image.stride());
    }

    static Info scan(const gfx::Image& image) {
        const int w = image.pixelWidth(), h = image.pixelHeight();
        // Where its maker knows what it drew (a backing store), that box is taken as it is,
        // unless it is the whole image, which may be opaque.
        if (const gfx::Rect ink = image.inkBounds(); !ink.isNull()) {
            const gfx::Rect whole{0, 0, double(w), double(h)};
            const gfx::Rect known = ink.isEmpty() ? gfx::Rect::null() : ink.intersection(whole);
            if (known.isNull() || known.isEmpty()) return {gfx::Rect::zero(), false};
            if (!(known == whole)) return {known.insetBy(-1, -1).intersection(whole), false};
        }
        int x0 = w, x1 = -1, y0 = h, y1 = -1;
        for (int y = 0; y < h; ++y) {
            const std::uint32_t* row = rowOf(image, y);
            int first = 0;
            while (first < w && row[first] == 0)
                ++first;
            if (first == w) continue;
            int last = w - 1;
            while (row[last] == 0)
                --last;
            x0 = std::min(x0, first);
            x1 = std::max(x1, last);
            y0 = std::min(y0, y);
            y1 = y;
        }
        if (x1 < 0) return {gfx::Rect::zero(), false};
        // An image with a transparent margin is not opaque; only one without is read whole.
        const bool opaque = x0 == 0 && y0 == 0 && x1 == w - 1 && y1 == h - 1 && allOpaque(image);
        x0 = std::max(0, x0 - 1);
        y0 = std::max(0, y0 - 1);
        x1 = std::min(w, x1 + 2);
        y1 = std::min(h, y1 + 2);
        return {{double(x0), double(y0), double(x1 - x0), double(y1 - y0)}, opaque};
    }

    static bool allOpaque(const gfx::Image& image) {
        for (int y = 0; y < image.pixelHeight(); ++y) {
            const std::uint32_t* row = rowOf(image, y);
            std::uint32_t all = 0xFFFFFFFFu;
            for (int x = 0; x < image.pixelWidth(); ++x)
                all &= row[x];
            if ((all >> 24) != 0xFF) return false;
        }
        return true;
    }

    struct Entry {
        std::weak_ptr<const gfx::Image> image;
        Info info;
    };
    std::unordered_map<const gfx::Image*, Entry> _entries;
};

// Whole device pixels: those a rectangle touches, and those it covers entirely. A hair of
// slack absorbs the rounding of positions snapped to whole pixels.
constexpr double kPixelSlack = 1e-6;

gfx::Rect touchedPixels(const gfx::Rect& r) {
    if (r.isEmpty()) return gfx::Rect::null();
    const double x0 = std::floor(r.minX() + kPixelSlack), y0 = std::floor(r.minY() + kPixelSlack);
    return {x0, y0, std::ceil(r.maxX() - kPixelSlack) - x0, std::ceil(r.maxY() - kPixelSlack) - y0};
}

gfx::Rect coveredPixels(const gfx::Rect& r) {
    if (r.isEmpty()) return gfx::Rect::null();
    const double x0 = std::ceil(r.minX() - kPixelSlack), y0 = std::ceil(r.minY() - kPixelSlack);
    const double x1 = std::floor(r.maxX() + kPixelSlack), y1 = std::floor(r.maxY() + kPixelSlack);
    if (!(x1 > x0 && y1 > y0)) return gfx::Rect::null();
    return {x0, y0, x1 - x0, y1 - y0};
}

// What layers drawn later paint over with opaque colour, so that what they hide is not drawn
// at all: the background under a full-screen page, the frame's clearing under a background.
// Filled before a frame is painted with every flattening layer in drawing order, each with
// the device pixels its own drawing (background, contents) covers opaquely, if any.
class Occlusion {
public:
    void clear() {
        _order.clear();
        _opaque.clear();
    }

    void add(const Layer* layer, const gfx::Rect& opaquePixels) {
        const std::size_t index = _order.size();
        _order.emplace(layer, index);
        if (!opaquePixels.isEmpty()) _opaque.push_back({index, opaquePixels});
    }

    // Whether every pixel `rect` (device space) touches is painted over opaquely by the layers
    // drawn after `layer` (by any layer when it is null). False for a layer not recorded.
    bool hides(const Layer* layer, const gfx::Rect& rect) const {
        std::size_t first = 0;
        if (layer != nullptr) {
            const auto it = _order.find(layer);
            if (it == _order.end()) return false;
            first = it->second + 1;
        }
        return cut(first, rect) && _pieces.empty();
    }

    // The whole pixels of `rect` not painted over opaquely by the layers drawn after `layer`
    // (by any layer when it is null): a few rectangles, or all the pixels `rect` touches
    // when `layer` is not recorded or the cover is too ragged to be worth cutting out.
    const std::vector<gfx::Rect>& uncovered(const Layer* layer, const gfx::Rect& rect) const {
        std::size_t first = 0;
        if (layer != nullptr) {
            const auto it = _order.find(layer);
            if (it == _order.end()) return _pieces.assign(1, touchedPixels(rect)), _pieces;
            first = it->second + 1;
        }
        if (!cut(first, rect)) _pieces.assign(1, touchedPixels(rect));
        return _pieces;
    }

private:
    static constexpr std::size_t kMaxPieces = 64;

    // Leaves in `_pieces` what of `rect` the opaque drawings from the `first` on do not
    // cover; false when it gave up (many ragged pieces left: rather call them visible than
    // spend more on finding out).
    bool cut(std::size_t first, const gfx::Rect& rect) const {
        _pieces.assign(1, touchedPixels(rect));
        if (_pieces[0].isEmpty()) {
            _pieces.clear();
            return true;
        }
        for (const auto& [index, cover] : _opaque) {
            if (index < first) continue;
            _next.clear();
            for (const gfx::Rect& piece : _pieces)
                subtract(piece, cover, _next);
            _pieces.swap(_next);
            if (_pieces.empty()) return true;
            if (_pieces.size() > kMaxPieces) return false;
        }
        return true;
    }

    // Appends what of `a` lies outside `b`: up to four rectangles.
    static void subtract(const gfx::Rect& a, const gfx::Rect& b, std::vector<gfx::Rect>& out) {
        const gfx::Rect overlap = a.intersection(b);
        if (overlap.isEmpty()) {
            out.push_back(a);
            return;
        }
        const auto push = [&](double x0, double y0, double x1, double y1) {
            if (x1 > x0 && y1 > y0) out.push_back({x0, y0, x1 - x0, y1 - y0});
        };
        push(a.minX(), a.minY(), a.maxX(), overlap.minY());
        push(a.minX(), overlap.maxY(), a.maxX(), a.maxY());
        push(a.minX(), overlap.minY(), overlap.minX(), overlap.maxY());
        push(overlap.maxX(), overlap.minY(), a.maxX(), overlap.maxY());
    }

    std::unordered_map<const Layer*, std::size_t> _order;
    std::vector<std::pair<std::size_t, gfx::Rect>> _opaque;
    mutable std::vector<gfx::Rect> _pieces, _next;
};

// What one layer drew in a frame: what tells whether it would draw the same in the next.
struct DrawRecord {
    std::uint64_t serial = 0;   // Layer::serialNumber
    std::uint64_t order = 0;    // its place in the drawing order (a hash of the path from the root)
    std::uint64_t version = 0;  // Layer::changeVersion
    std::uint64_t contents = 0; // the contents image's serial number; 0 for none
    // The layer drawn as one image with this one (a faded group, a flattened layer under
    // perspective; the group's own record names itself); 0 for none.
    std::uint64_t group = 0;
    gfx::Transform3D transform; // to the device; inside a group, to the group's plane
    gfx::Rect bounds;
    gfx::Rect contentsFrame;
    gfx::Rect clip;
    double opacity = 1;
    bool hasBackground = false;
    bool antialiased = false;
    gfx::RGBA background;
    // The device pixels its drawing may touch (inside a group, the group's).
    gfx::Rect damage;
    // How the contents came from earlier ones where only parts were redrawn: the layer's own
    // record, read only while the frame that made this record is made.
    const Layer::ContentsUpdate* contentsUpdate = nullptr;
};

namespace {

bool drawsSameExceptContents(const DrawRecord& a, const DrawRecord& b) {
    return a.order == b.order && a.version == b.version && a.group == b.group && a.transform == b.transform &&
           a.bounds == b.bounds && a.contentsFrame == b.contentsFrame && a.clip == b.clip && a.opacity == b.opacity &&
           a.hasBackground == b.hasBackground && a.antialiased == b.antialiased &&
           (!a.hasBackground || a.background == b.background) && a.damage == b.damage;
}

// The place of a sublayer in the drawing order, from its superlayer's, its index and its
// zPosition: two layers change their order only if one of them changes its place.
std::uint64_t orderKey(std::uint64_t parent, std::size_t index, double zPosition = 0) {
    std::uint64_t z = 0;
    std::memcpy(&z, &zPosition, sizeof z);
    std::uint64_t x = (parent ^ z) * 0x9E3779B97F4A7C15ull + index + 1;
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

namespace {

// The device pixels a drawing of `rect` placed by `m` may touch within `clip`: those it
// touches while it stays upright, one more all round when it is turned (antialiased edges).
gfx::Rect deviceDamage(const gfx::Rect& rect, const gfx::AffineTransform& m, const gfx::Rect& clip) {
    gfx::Rect box = touchedPixels(m.apply(rect.standardized()));
    if (box.isEmpty()) return gfx::Rect::null();
    if (m.b != 0 || m.c != 0) box = box.insetBy(-1, -1);
    return box.intersection(clip);
}

} // namespace

// What painters share while they draw one frame or one snapshot.
struct PaintResources {
    SurfacePool& pool;
    CompositorStatistics& stats;
    // Null: contents images are drawn whole and taken to be translucent.
    ContentsCache* contents;
    // Layers placed at this scale by a translation alone are moved to whole device pixels, as
    // a screen shows them; 0 draws everything where it is (snapshots).
    double snapScale;
};

namespace {

// A sublayer about to be drawn, with the state it is drawn in.
struct Child {
    Layer* layer;
    LayerState state;
    double opacity;    // its own, times what a transform layer above passes down
    std::size_t index; // among the superlayer's sublayers
};

// Draws layers into one graphics context. Scratch drawing (groups, flattened layers) is done
// by further painters over pooled images.
class Painter {
public:
    // `occlusion`, for the painter of a frame: what later layers hide is not drawn.
    // `damage`, for the painter of a frame made by damage: the device rectangles to repaint
    // (the context is clipped to them); what lies outside them all is skipped.
    Painter(gfx::GraphicsContext& context, bool presentation, PaintResources& resources,
            const Occlusion* occlusion = nullptr, const std::vector<gfx::Rect>* damage = nullptr)
        : _ctx(context), _presentation(presentation), _resources(resources), _stats(resources.stats),
          _occlusion(occlusion), _damage(damage), _clip(deviceClipExtents(context.cairo())) {}

    // The layer in its own coordinate space (its bounds), as a snapshot draws it.
    void paintInOwnSpace(Layer& root) {
        const LayerState state = stateOf(root);
        const double opacity = clamp01(state.opacity);
        if (state.hidden || opacity <= 0 || !_ctx.canDraw()) return;
        if (!root.flattensSublayers())
            drawSublayers(root, state, gfx::Transform3D::identity(), opacity);
        else
            drawBody(root, state, opacity);
    }

    // The layer placed by its position, anchor point and transform, as a screen shows a window.
    void paintPlaced(Layer& root) {
        const LayerState state = stateOf(root);
        const double opacity = clamp01(state.opacity);
        if (state.hidden || opacity <= 0 || !_ctx.canDraw()) return;
        drawLayer(root, state, Layer::transformToSuperlayer(state, nullptr), opacity);
    }

    // Records into `occlusion`, in the order paintPlaced draws them, the flattening layers of
    // the tree and the device pixels each one's own drawing covers opaquely; and into
    // `records`, when not null, what each layer draws (see DrawRecord).
    void survey(Layer& root, Occlusion& occlusion, std::vector<DrawRecord>* records) const {
        const LayerState state = stateOf(root);
        const double opacity = clamp01(state.opacity);
        if (state.hidden || opacity <= 0 || !_ctx.canDraw()) return;
        Survey survey{occlusion, records};
        collect(root, state, Layer::transformToSuperlayer(state, nullptr), _ctx.ctm(), opacity, _clip, true,
                orderKey(0, 0), survey);
    }

private:
    struct Survey {
        Occlusion& occlusion;
        std::vector<DrawRecord>* records;
    };

    // Mirrors drawLayer and drawBody. `ctm` maps the current user space to the device; `clip`
    // is the device clip, exact when `exactClip` (no turned layer masks above); `order` is
    // the layer's place in the drawing order.
    void collect(Layer& layer, const LayerState& state, const gfx::Transform3D& toUser,
                 const gfx::AffineTransform& ctm, double opacity, const gfx::Rect& clip, bool exactClip,
                 std::uint64_t order, Survey& survey) const {
        if (!layer.flattensSublayers()) {
            for (const Child& c : visibleSublayers(layer, opacity))
                collect(*c.layer, c.state, gfx::concat(Layer::transformToSuperlayer(c.state, &state), toUser),
                        ctm, c.opacity, clip, exactClip, orderKey(order, c.index, c.state.zPosition), survey);
            return;
        }
        if (!isPlanarAffine(toUser)) {
            // Mapped through a perspective: its own pixels are not known here.
            survey.occlusion.add(&layer, gfx::Rect::null());
            if (survey.records != nullptr) {
                const gfx::Transform3D toDevice = gfx::concat(toUser, gfx::Transform3D::makeAffineTransform(ctm));
                const gfx::Rect quad = gfx::projectedBounds(extentOf(layer, state), toDevice.rows());
                const gfx::Rect damage =
                    quad.isEmpty() ? gfx::Rect::null() : touchedPixels(quad).insetBy(-1, -1).intersection(clip);
                recordGroup(layer, state, toDevice, clip, opacity, order, damage, *survey.records);
            }
            return;
        }
        const gfx::AffineTransform t = gfx::affineTransform(toUser);
        if (!layer.isDoubleSided() && t.a * t.d - t.b * t.c < 0) return; // culled, as drawAffine does
        const gfx::AffineTransform m = snapped(t.concat(ctm));
        const gfx::Rect bounds = state.bounds.standardized();
        const bool upright = m.b == 0 && m.c == 0;
        gfx::Rect inside = clip;
        if (layer.masksToBounds()) {
            inside = clip.intersection(m.apply(bounds));
            exactClip = exactClip && upright;
        }
        const std::vector<Child> children = visibleSublayers(layer, 1);
        const bool rounded = roundedClipRadius(layer, bounds) > 0;
        const bool opaque = !rounded && opacity >= 1 && upright && exactClip && ownDrawingIsOpaque(layer, state);
        survey.occlusion.add(&layer,
                             opaque ? coveredPixels(m.apply(bounds).intersection(inside)) : gfx::Rect::null());
        // A faded group draws its sublayers into an image of its own.
        const int ownDrawings = ownDrawingCount(layer, state);
        const std::size_t parts = static_cast<std::size_t>(ownDrawings) + children.size();
        if ((opacity < 1 && parts > 1) || (rounded && parts > 0)) {
            if (survey.records != nullptr)
                recordGroup(layer, state, gfx::Transform3D::makeAffineTransform(m), clip, opacity, order,
                            deviceDamage(extentOf(layer, state), m, clip), *survey.records);
            return;
        }
        if (survey.records != nullptr && ownDrawings > 0)
            survey.records->push_back(recordOf(layer, state, gfx::Transform3D::makeAffineTransform(m), clip,
                                               opacity, order, 0, deviceDamage(bounds, m, clip)));
        for (const Child& c : children)
            collect(*c.layer, c.state, Layer::transformToSuperlayer(c.state, &state), m, opacity * c.opacity,
                    inside, exactClip, orderKey(order, c.index, c.state.zPosition), survey);
    }

    DrawRecord recordOf(const Layer& layer, const LayerState& state, const gfx::Transform3D& transform,
                        const gfx::Rect& clip, double opacity, std::uint64_t order, std::uint64_t group,
                        const gfx::Rect& damage) const {
        DrawRecord r;
        r.serial = layer.serialNumber();
        r.order = order;
        r.version = layer.changeVersion();
        r.contents = state.contents ? state.contents->serialNumber() : 0;
        r.group = group;
        r.transform = transform;
        r.bounds = state.bounds;
        r.contentsFrame = state.contentsFrame;
        r.clip = clip;
        r.opacity = opacity;
        r.hasBackground = state.backgroundColor.has_value();
        if (r.hasBackground) r.background = state.backgroundColor->resolved();
        r.antialiased = layer.allowsEdgeAntialiasing();
        r.damage = damage;
        r.contentsUpdate = &layer.lastContentsUpdate();
        return r;
    }

    // A layer drawn as one image with its subtree: a change anywhere in it damages `damage`,
    // the device extent of the whole. Its own record places it on the device; its members'
    // place them in its plane.
    void recordGroup(const Layer& layer, const LayerState& state, const gfx::Transform3D& toDevice,
                     const gfx::Rect& clip, double opacity, std::uint64_t order, const gfx::Rect& damage,
                     std::vector<DrawRecord>& records) const {
        const std::uint64_t group = layer.serialNumber();
        records.push_back(recordOf(layer, state, toDevice, clip, opacity, order, group, damage));
        recordMembers(layer, state, gfx::Transform3D::identity(), 1, order, group, damage, records);
    }

    void recordMembers(const Layer& layer, const LayerState& state, const gfx::Transform3D& toGroup,
                       double opacity, std::uint64_t order, std::uint64_t group, const gfx::Rect& damage,
                       std::vector<DrawRecord>& records) const {
        for (const Child& c : visibleSublayers(layer, opacity)) {
            const gfx::Transform3D t = gfx::concat(Layer::transformToSuperlayer(c.state, &state), toGroup);
            const std::uint64_t key = orderKey(order, c.index, c.state.zPosition);
            records.push_back(recordOf(*c.layer, c.state, t, gfx::Rect::null(), c.opacity, key, group, damage));
            recordMembers(*c.layer, c.state, t, c.opacity, key, group, damage, records);
        }
    }

    // Whether the layer's background or contents paint every pixel of its bounds opaquely.
    bool ownDrawingIsOpaque(const Layer& layer, const LayerState& state) const {
        if (state.backgroundColor && state.backgroundColor->resolved().a >= 1) return true;
        return state.contents && state.contentsFrame.isNull() && layer.isMemberOf(Layer::staticClass()) &&
               _resources.contents != nullptr &&
               _resources.contents->infoOf(state.contents).opaque;
    }

    // A user-to-device transform that places at the snapping scale by translation alone,
    // moved to whole device pixels.
    gfx::AffineTransform snapped(gfx::AffineTransform m) const {
        const double s = _resources.snapScale;
        if (s > 0 && m.b == 0 && m.c == 0 && std::abs(m.a - s) <= 1e-9 * s && std::abs(m.d - s) <= 1e-9 * s) {
            m.tx = std::round(m.tx);
            m.ty = std::round(m.ty);
        }
        return m;
    }

    // Whether what `layer` draws within `deviceRect` is painted over by opaque layers drawn
    // after it.
    bool hidden(const Layer& layer, const gfx::Rect& deviceRect) {
        if (_occlusion == nullptr) return false;
        const gfx::Rect visiblePart = deviceRect.intersection(_clip);
        if (_damage == nullptr) {
            if (!_occlusion->hides(&layer, visiblePart)) return false;
        } else {
            for (const gfx::Rect& r : *_damage)
                if (!_occlusion->hides(&layer, visiblePart.intersection(r))) return false;
        }
        ++_stats.layersOccluded;
        return true;
    }

    // Whether the own drawing of `layer` over `deviceRect` shows: somewhere in the clip (and
    // the damage, when painting by it) where no opaque layer drawn later paints over it. When
    // such layers hide part of it, `_shown` holds the whole-pixel rectangles where it shows;
    // otherwise it is empty.
    bool shows(const Layer& layer, const gfx::Rect& deviceRect) {
        _shown.clear();
        const gfx::Rect inClip = deviceRect.intersection(_clip);
        if (!visible(inClip) || !touches(deviceRect)) return false;
        if (_occlusion == nullptr) return true;
        bool cut = false;
        const auto add = [&](const gfx::Rect& part) {
            if (!visible(part)) return;
            const std::vector<gfx::Rect>& pieces = _occlusion->uncovered(&layer, part);
            cut = cut || pieces.size() != 1 || !(pieces[0] == touchedPixels(part));
            _shown.insert(_shown.end(), pieces.begin(), pieces.end());
        };
        if (_damage == nullptr) {
            add(inClip);
        } else {
            for (const gfx::Rect& r : *_damage)
                add(inClip.intersection(r));
        }
        if (_shown.empty()) {
            ++_stats.layersOccluded;
            return false;
        }
        if (!cut) _shown.clear();
        return true;
    }

    // Saves the graphics state, then clips to the union of whole device pixel rectangles.
    void clipToDevicePixels(const std::vector<gfx::Rect>& rects) {
        _ctx.saveGState();
        detail::clipToDeviceRects(_ctx.cairo(), rects);
    }

    // Whether any of `deviceRect` lies in the clip (and in the damage, when painting by it).
    bool touches(const gfx::Rect& deviceRect) const {
        if (!visible(deviceRect.intersection(_clip))) return false;
        if (_damage == nullptr) return true;
        return std::any_of(_damage->begin(), _damage->end(),
                           [&](const gfx::Rect& r) { return visible(deviceRect.intersection(r)); });
    }

    LayerState stateOf(const Layer& layer) const {
        return _presentation ? layer.presentationState() : layer.modelState();
    }

    // The sublayers that show, in drawing order (zPosition, then insertion).
    std::vector<Child> visibleSublayers(const Layer& layer, double inheritedOpacity) const {
        std::vector<Child> children;
        children.reserve(layer.sublayers().size());
        bool ordered = true;
        const auto& sublayers = layer.sublayers();
        for (std::size_t i = 0; i < sublayers.size(); ++i) {
            LayerState s = stateOf(*sublayers[i]);
            const double opacity = clamp01(s.opacity) * inheritedOpacity;
            if (s.hidden || opacity <= 0) continue;
            if (!children.empty() && s.zPosition < children.back().state.zPosition) ordered = false;
            children.push_back({sublayers[i].get(), std::move(s), opacity, i});
        }
        if (!ordered)
            std::stable_sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
                return a.state.zPosition < b.state.zPosition;
            });
        return children;
    }

    // `toUser` maps the layer's space into the current user space.
    void drawLayer(Layer& layer, const LayerState& state, const gfx::Transform3D& toUser, double opacity) {
        if (!layer.flattensSublayers())
            drawSublayers(layer, state, toUser, opacity);
        else if (isPlanarAffine(toUser))
            drawAffine(layer, state, gfx::affineTransform(toUser), opacity);
        else
            drawProjected(layer, state, toUser, opacity);
    }

    // The sublayers of `layer`, whose space `layerToUser` maps into the current user space
    // (the identity below a flattening layer; the accumulated transform below a transform
    // layer, whose opacity is passed down to each sublayer).
    void drawSublayers(Layer& layer, const LayerState& state, const gfx::Transform3D& layerToUser,
                       double inheritedOpacity) {
        std::vector<Child> children = visibleSublayers(layer, inheritedOpacity);
        if (!layer.flattensSublayers()) dropCoveredFaces(children, state, layerToUser);
        drawChildren(children, state, layerToUser);
    }

    // Sublayers of a transform layer share its space without being flattened, so one may lie
    // on another, as the two faces of a turning leaf do: a sublayer that the next one covers
    // (the same rectangle in the same place, to within half a device pixel, showing an opaque
    // image at full opacity and facing the viewer or double-sided) cannot show but along the
    // soft edge of the one above, and is left out.
    void dropCoveredFaces(std::vector<Child>& children, const LayerState& parentState,
                          const gfx::Transform3D& parentToUser) {
        const gfx::Transform3D parentToDevice =
            gfx::concat(parentToUser, gfx::Transform3D::makeAffineTransform(_ctx.ctm()));
        for (std::size_t i = 0; i + 1 < children.size();) {
            if (covers(children[i + 1], children[i], parentState, parentToDevice)) {
                ++_stats.layersOccluded;
                children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    }

    bool covers(const Child& top, const Child& under, const LayerState& parentState,
                const gfx::Transform3D& parentToDevice) const {
        const LayerState& t = top.state;
        const gfx::Rect rect = t.bounds.standardized();
        if (top.opacity < 1 || !top.layer->flattensSublayers() || !under.layer->flattensSublayers() ||
            rect != under.state.bounds.standardized() || rect.isEmpty() || !ownDrawingIsOpaque(*top.layer, t))
            return false;
        const gfx::Transform3D topToDevice = gfx::concat(Layer::transformToSuperlayer(t, &parentState), parentToDevice);
        const gfx::Transform3D underToDevice =
            gfx::concat(Layer::transformToSuperlayer(under.state, &parentState), parentToDevice);
        if (!top.layer->isDoubleSided() && planeOrientation(topToDevice) < 0) return false;
        const gfx::Point corners[] = {{rect.minX(), rect.minY()}, {rect.maxX(), rect.minY()},
                                      {rect.maxX(), rect.maxY()}, {rect.minX(), rect.maxY()}};
        for (const gfx::Point& corner : corners) {
            const gfx::Vector4 a = gfx::transformPoint4(topToDevice, corner.x, corner.y);
            const gfx::Vector4 b = gfx::transformPoint4(underToDevice, corner.x, corner.y);
            if (!(a.w > 1e-6) || !(b.w > 1e-6)) return false;
            if (std::hypot(a.x / a.w - b.x / b.w, a.y / a.w - b.y / b.w) > 0.5) return false;
        }
        return true;
    }

    void drawChildren(const std::vector<Child>& children, const LayerState& parentState,
                      const gfx::Transform3D& parentToUser) {
        for (const Child& c : children) {
            const gfx::Transform3D toUser =
                gfx::concat(Layer::transformToSuperlayer(c.state, &parentState), parentToUser);
            drawLayer(*c.layer, c.state, toUser, c.opacity);
        }
    }

    void drawAffine(Layer& layer, const LayerState& state, const gfx::AffineTransform& toUser,
                    double opacity) {
        // A single-sided layer seen from behind (mirrored in its plane) is not drawn.
        if (!layer.isDoubleSided() && toUser.a * toUser.d - toUser.b * toUser.c < 0) {
            ++_stats.layersCulled;
            return;
        }
        _ctx.saveGState();
        _ctx.concatCTM(toUser);
        const gfx::AffineTransform ctm = _ctx.ctm();
        const gfx::AffineTransform target = snapped(ctm);
        if (target.tx != ctm.tx || target.ty != ctm.ty)
            _ctx.translateCTM((target.tx - ctm.tx) / ctm.a, (target.ty - ctm.ty) / ctm.d);
        if (_ctx.canDraw()) drawBody(layer, state, opacity);
        _ctx.restoreGState();
    }

    static int ownDrawingCount(const Layer& layer, const LayerState& state) {
        return (state.backgroundColor ? 1 : 0) + layer.ownContentDrawingCount(state);
    }

    // A flattening layer in the current user space, which is the layer's own space.
    void drawBody(Layer& layer, const LayerState& state, double opacity) {
        const gfx::Rect bounds = state.bounds.standardized();
        const gfx::Rect savedClip = _clip;
        const bool masks = layer.masksToBounds();
        if (masks) {
            _clip = _clip.intersection(_ctx.ctm().apply(bounds));
            if (!visible(_clip) || !touches(_clip)) {
                _clip = savedClip;
                ++_stats.layersCulled;
                return;
            }
        }
        const std::vector<Child> children = visibleSublayers(layer, 1);
        const std::size_t parts = static_cast<std::size_t>(ownDrawingCount(layer, state)) + children.size();
        if (parts > 0) {
            _ctx.saveGState();
            if (masks) {
                // The clip's edge is soft only where the layer's own edges are: what a layer
                // drawn earlier set must not reach it, or the frame would depend on which
                // layers the damage had drawn.
                _ctx.setShouldAntialias(layer.allowsEdgeAntialiasing());
                _ctx.clipToRect(bounds);
            }
            // A group is needed only when several drawings are faded together (a single one
            // takes the opacity directly) or are clipped to rounded corners.
            if ((opacity < 1 && parts > 1) || roundedClipRadius(layer, bounds) > 0) {
                drawGroup(layer, state, children, opacity);
            } else {
                if (opacity < 1) _ctx.setAlpha(_ctx.alpha() * opacity);
                drawContent(layer, state, children);
            }
            _ctx.restoreGState();
        }
        _clip = savedClip;
    }

    // The background, own content and sublayers of a flattening layer, in its own space.
    void drawContent(Layer& layer, const LayerState& state, const std::vector<Child>& children) {
        const gfx::Rect area = _ctx.ctm().apply(state.bounds.standardized());
        bool shaded = false;
        if (ownDrawingCount(layer, state) > 0 && shows(layer, area)) {
            ++_stats.layersDrawn;
            // Drawn only where it shows when opaque layers above hide part of it.
            const bool clipped = !_shown.empty();
            if (clipped) clipToDevicePixels(_shown);
            _ctx.setShouldAntialias(layer.allowsEdgeAntialiasing());
            if (state.backgroundColor) {
                _ctx.setFillColor(*state.backgroundColor);
                _ctx.fillRect(state.bounds);
            }
            // A plain layer's contents are filtered as layers filter them (bilinear); what
            // a subclass draws is left to it.
            if (layer.isMemberOf(Layer::staticClass()))
                shaded = drawContentsImage(layer, state, !children.empty());
            else
                layer.drawOwnContent(_ctx, state);
            if (clipped) _ctx.restoreGState();
        }
        if (!shaded) drawChildren(children, state, gfx::Transform3D::identity());
    }

    // The contents image stretched over the bounds (or its part of them), sampled bilinearly
    // (clamped at the edges). The pixel mapper draws it straight into an image surface
    // (copying rows where it is placed by whole pixels, separable filtering where it is only
    // scaled, the general mapping where it is turned); elsewhere Cairo draws it while it
    // stays upright, and a turned image goes through the mapper and a scratch image. An opaque
    // upright image that only shading lies over (see planarShade) is drawn with the shading in
    // one pass when nothing fades them: true when it was, and the sublayers are drawn.
    bool drawContentsImage(const Layer& layer, const LayerState& state, bool hasSublayers) {
        const gfx::Rect r = state.contentsRect().standardized();
        if (!state.contents || r.isEmpty() || !_ctx.canDraw()) return false;
        const gfx::Image& image = *state.contents;
        const double sx = r.width() / image.pixelWidth(), sy = r.height() / image.pixelHeight();
        const gfx::AffineTransform imageToUser{sx, 0, 0, sy, r.minX(), r.minY()};
        const gfx::AffineTransform toDevice = onDevicePixels(imageToUser.concat(_ctx.ctm()));
        const gfx::Rect pixels = visiblePixels(state.contents);
        if (pixels.isEmpty()) return false;
        const gfx::ConstPixelBuffer source = contentsPixels(state);
        const gfx::Transform3D transform = gfx::Transform3D::makeAffineTransform(toDevice);
        const bool upright = std::abs(toDevice.b) <= 1e-9 && std::abs(toDevice.c) <= 1e-9;
        if (!upright) {
            drawPixelsProjected(source, pixels, transform, _ctx.alpha(), layer);
            return false;
        }
        if (hasSublayers && source.opaque && _ctx.alpha() >= 1) {
            if (const std::optional<gfx::ProjectionOverlay> shade = planarShade(layer, state))
                if (drawPixelsDirectly(source, pixels, transform, 1, layer, &*shade)) return true;
        }
        if (drawPixelsDirectly(source, pixels, transform, _ctx.alpha(), layer)) return false;
        cairo_t* cr = _ctx.cairo();
        cairo_save(cr);
        const cairo_matrix_t m{toDevice.a, 0, 0, toDevice.d, toDevice.tx, toDevice.ty};
        cairo_set_matrix(cr, &m);
        cairo_set_source_surface(cr, image.surface(), 0, 0);
        cairo_pattern_t* pattern = cairo_get_source(cr);
        cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
        cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
        cairo_new_path(cr);
        cairo_rectangle(cr, pixels.minX(), pixels.minY(), pixels.width(), pixels.height());
        if (_ctx.alpha() >= 1) {
            cairo_fill(cr);
        } else {
            cairo_clip(cr);
            cairo_paint_with_alpha(cr, _ctx.alpha());
        }
        cairo_restore(cr);
        return false;
    }

    // On screen, an image whose pixels land on device pixels but for the rounding of its
    // size to the bounds (a backing store placed by whole pixels) is placed exactly there,
    // to be copied rather than resampled.
    gfx::AffineTransform onDevicePixels(gfx::AffineTransform m) const {
        if (!(_resources.snapScale > 0) || m.b != 0 || m.c != 0) return m;
        constexpr double eps = 1e-9;
        const double tx = std::round(m.tx), ty = std::round(m.ty);
        if (std::abs(m.a - 1) <= eps && std::abs(m.d - 1) <= eps && std::abs(m.tx - tx) <= 1e-6 &&
            std::abs(m.ty - ty) <= 1e-6)
            m = {1, 0, 0, 1, tx, ty};
        return m;
    }

    // The pixels of a contents image that are worth drawing: all of them, or only the box
    // around those that are not transparent.
    gfx::Rect visiblePixels(const gfx::ImageRef& image) const {
        if (_resources.contents != nullptr) return _resources.contents->infoOf(image).bounds;
        return {0, 0, double(image->pixelWidth()), double(image->pixelHeight())};
    }

    // Runs `draw` with a painter over a cleared scratch image of the lease's size whose
    // user space is `toScratch` from the current one. With an `origin`, the image stands for
    // that part of the drawing surface (its first pixel at the origin) and the user space is
    // the surface's own, so that what is drawn into it comes out as it would there.
    template <class Draw>
    void drawIntoScratch(const SurfacePool::Lease& lease, const cairo_matrix_t& toScratch, Draw&& draw,
                         std::optional<gfx::Point> origin = std::nullopt) {
        cairo_surface_t* surface = lease.surface();
        if (origin) cairo_surface_set_device_offset(surface, -origin->x, -origin->y);
        cairo_t* cr = cairo_create(surface);
        cairo_identity_matrix(cr);
        cairo_rectangle(cr, origin ? origin->x : 0, origin ? origin->y : 0, lease.width(), lease.height());
        cairo_clip(cr);
        cairo_set_matrix(cr, &toScratch);
        {
            gfx::GraphicsContext context(cr);
            cairo_destroy(cr);
            Painter painter(context, _presentation, _resources);
            draw(painter);
        }
        cairo_surface_flush(surface);
        if (origin) cairo_surface_set_device_offset(surface, 0, 0);
    }

    // Draws the layer's content into a scratch image covering the visible part of its
    // extent, then paints that image faded through the current clip.
    void drawGroup(Layer& layer, const LayerState& state, const std::vector<Child>& children,
                   double opacity) {
        const gfx::AffineTransform ctm = _ctx.ctm();
        const gfx::Rect area = ctm.apply(extentOf(layer, state)).intersection(_clip).integral();
        if (!visible(area) || !touches(area)) {
            ++_stats.layersCulled;
            return;
        }
        if (hidden(layer, area)) return;
        const SurfacePool::Lease lease =
            _resources.pool.take(static_cast<int>(area.width()), static_cast<int>(area.height()));
        if (!lease) return;
        ++_stats.groups;
        // Drawn in this surface's own space (the scratch image placed at the area), so that
        // the part of a group a damaged frame repaints comes out as the whole frame has it.
        const cairo_matrix_t toScratch{ctm.a, ctm.b, ctm.c, ctm.d, ctm.tx, ctm.ty};
        drawIntoScratch(
            lease, toScratch, [&](Painter& p) { p.drawContent(layer, state, children); },
            area.origin);
        cairo_surface_mark_dirty(lease.surface());

        cairo_t* cr = _ctx.cairo();
        cairo_save(cr);
        if (const double radius = roundedClipRadius(layer, state.bounds.standardized()); radius > 0) {
            // Built in the layer's space, so the corners follow its transform; always soft.
            _ctx.setShouldAntialias(true);
            _ctx.beginPath();
            _ctx.addRoundedRect(state.bounds.standardized(), radius);
            _ctx.clip();
        }
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, lease.surface(), area.minX(), area.minY());
        cairo_rectangle(cr, area.minX(), area.minY(), area.width(), area.height());
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, opacity * _ctx.alpha());
        cairo_restore(cr);
    }

    // The radius of the rounded corners a layer clips to, at most half its shorter side; 0
    // when it clips square or not at all.
    static double roundedClipRadius(const Layer& layer, const gfx::Rect& bounds) {
        if (!layer.masksToBounds() || !(layer.cornerRadius() > 0)) return 0;
        return std::min({layer.cornerRadius(), bounds.width() / 2, bounds.height() / 2});
    }

    // The area a flattening layer covers in its own plane: its bounds, and unless it clips,
    // what its visible sublayers cover (through their transforms, perspective included).
    gfx::Rect extentOf(const Layer& layer, const LayerState& state) const {
        gfx::Rect extent = state.bounds.standardized();
        if (layer.masksToBounds()) return extent;
        for (const auto& sublayer : layer.sublayers()) {
            const LayerState s = stateOf(*sublayer);
            if (s.hidden || !(s.opacity > 0)) continue;
            addExtent(*sublayer, s, Layer::transformToSuperlayer(s, &state), extent);
        }
        return extent;
    }

    // Adds what `layer` covers, mapped by `toTarget`, to `extent`; a transform layer's
    // sublayers are mapped one by one through the accumulated transforms.
    void addExtent(const Layer& layer, const LayerState& state, const gfx::Transform3D& toTarget,
                   gfx::Rect& extent) const {
        if (layer.flattensSublayers()) {
            const gfx::Rect mapped = mapExtent(extentOf(layer, state), toTarget);
            extent = extent.isNull() ? mapped : extent.unionWith(mapped);
            return;
        }
        for (const auto& sublayer : layer.sublayers()) {
            const LayerState s = stateOf(*sublayer);
            if (s.hidden || !(s.opacity > 0)) continue;
            addExtent(*sublayer, s, gfx::concat(Layer::transformToSuperlayer(s, &state), toTarget), extent);
        }
    }

    // The pixels of the layer's contents image, marked opaque when every one is.
    gfx::ConstPixelBuffer contentsPixels(const LayerState& state) const {
        gfx::ConstPixelBuffer pixels = gfx::pixelsOf(*state.contents);
        pixels.opaque = _resources.contents != nullptr && _resources.contents->infoOf(state.contents).opaque;
        return pixels;
    }

    // Maps the layer onto the drawing plane through a perspective transform. A layer that
    // shows only its contents image, or only its background, is mapped directly, and so is one
    // whose contents image only shading lies over (see planarShade), the shading laid over each
    // sample; any other is flattened first (drawn into an image of its plane at the device's
    // scale).
    void drawProjected(Layer& layer, const LayerState& state, const gfx::Transform3D& toUser,
                       double opacity) {
        if (!_ctx.canDraw()) return;
        opacity *= _ctx.alpha();
        const gfx::AffineTransform ctm = _ctx.ctm();
        const gfx::Transform3D toDevice = gfx::concat(toUser, gfx::Transform3D::makeAffineTransform(ctm));
        if (!layer.isDoubleSided() && planeOrientation(toDevice) < 0) {
            ++_stats.layersCulled;
            return;
        }
        const gfx::Rect bounds = state.bounds.standardized();
        const bool hasVisibleSublayers = !visibleSublayers(layer, 1).empty();
        const int ownContent = layer.ownContentDrawingCount(state);
        // Unit square -> the bounds -> device pixels.
        const gfx::Transform3D boundsToDevice =
            gfx::concat(gfx::concat(gfx::Transform3D::makeScale(bounds.width(), bounds.height(), 1),
                                    gfx::Transform3D::makeTranslation(bounds.minX(), bounds.minY(), 0)),
                        toDevice);
        // The contents image's pixels -> device pixels.
        auto imageToDevice = [&] {
            const gfx::Image& image = *state.contents;
            const gfx::Rect r = state.contentsRect().standardized();
            return gfx::concat(gfx::Transform3D::makeScale(r.width() / image.pixelWidth(), r.height() / image.pixelHeight(), 1),
                               gfx::concat(gfx::Transform3D::makeTranslation(r.minX(), r.minY(), 0), toDevice));
        };
        if (hasVisibleSublayers) {
            if (const std::optional<gfx::ProjectionOverlay> shade = planarShade(layer, state)) {
                drawPixelsProjected(contentsPixels(state), visiblePixels(state.contents), imageToDevice(),
                                    opacity, layer, &*shade);
                return;
            }
        } else {
            if (bounds.isEmpty() || (!state.backgroundColor && ownContent == 0)) return;
            if (state.contents && !state.backgroundColor && ownContent == 1) {
                drawPixelsProjected(contentsPixels(state), visiblePixels(state.contents), imageToDevice(),
                                    opacity, layer);
                return;
            }
            if (state.backgroundColor && ownContent == 0) {
                // One pixel of the colour stretched over the bounds (samples clamp to it).
                const std::uint32_t pixel = premultipliedPixel(*state.backgroundColor);
                drawPixelsProjected(gfx::ConstPixelBuffer(&pixel, 1, 1, 4), boundsToDevice, opacity, layer);
                return;
            }
        }

        const gfx::Rect extent = extentOf(layer, state);
        if (extent.isEmpty()) return;
        if (!touches(gfx::projectedBounds(extent, toDevice.rows()))) {
            ++_stats.layersCulled;
            return;
        }
        const double deviceScale = std::sqrt(std::abs(ctm.a * ctm.d - ctm.b * ctm.c));
        const double scale =
            std::min(deviceScale, kMaxFlattenedPixels / std::max(extent.width(), extent.height()));
        if (!(scale > 0)) return;
        const SurfacePool::Lease lease =
            _resources.pool.take(static_cast<int>(std::ceil(extent.width() * scale)),
                                 static_cast<int>(std::ceil(extent.height() * scale)));
        if (!lease) return;
        ++_stats.flattened;
        const cairo_matrix_t toFlat{scale, 0, 0, scale, -extent.minX() * scale, -extent.minY() * scale};
        drawIntoScratch(lease, toFlat, [&](Painter& p) { p.drawBody(layer, state, 1); });
        cairo_surface_mark_dirty(lease.surface());

        // Flattened pixels -> layer space -> device pixels.
        const gfx::Transform3D flatToDevice =
            gfx::concat(gfx::concat(gfx::Transform3D::makeScale(1 / scale, 1 / scale, 1),
                                    gfx::Transform3D::makeTranslation(extent.minX(), extent.minY(), 0)),
                        toDevice);
        drawPixelsProjected(lease.pixels(), flatToDevice, opacity, layer);
    }

    // A layer whose contents image only shading lies over, in its own plane: one visible
    // sublayer filling its bounds untransformed with a solid colour or an axial gradient of one
    // colour, possibly held in plain layers that fill them the same way (their opacities
    // multiply). Answers that shading as an overlay in the image's pixels, or nothing.
    std::optional<gfx::ProjectionOverlay> planarShade(const Layer& layer, const LayerState& state) const {
        const gfx::Rect bounds = state.bounds.standardized();
        if (!state.contents || !state.contentsFrame.isNull() || state.backgroundColor ||
            layer.ownContentDrawingCount(state) != 1 || bounds.isEmpty() || bounds.origin != gfx::Point{0, 0})
            return std::nullopt;
        // Layer points per image pixel.
        const double perPixelX = bounds.width() / state.contents->pixelWidth();
        const double perPixelY = bounds.height() / state.contents->pixelHeight();
        const Layer* host = &layer;
        const LayerState* hostState = &state;
        LayerState held;
        double opacity = 1;
        for (int depth = 0; depth < 4; ++depth) {
            if (!gfx::isIdentity(hostState->sublayerTransform)) return std::nullopt;
            const std::vector<Child> children = visibleSublayers(*host, opacity);
            if (children.size() != 1) return std::nullopt;
            const Child& c = children.front();
            const LayerState& s = c.state;
            const gfx::Rect b = s.bounds.standardized();
            const double x = s.position.x - s.anchorPoint.x * b.width(), y = s.position.y - s.anchorPoint.y * b.height();
            // Over the host's bounds exactly, in its plane.
            if (!gfx::isIdentity(s.transform) || s.contents || !c.layer->flattensSublayers() ||
                b.origin != gfx::Point{0, 0} || std::abs(b.width() - bounds.width()) > 1e-9 ||
                std::abs(b.height() - bounds.height()) > 1e-9 || std::abs(x) > 1e-9 || std::abs(y) > 1e-9)
                return std::nullopt;
            const int own = c.layer->ownContentDrawingCount(s);
            if (const auto* gradient = dynamic_cast<const GradientLayer*>(c.layer)) {
                if (s.backgroundColor || own != 1 || !visibleSublayers(*c.layer, 1).empty()) return std::nullopt;
                return gradientShade(*gradient, bounds.size, c.opacity, perPixelX, perPixelY);
            }
            if (own != 0) return std::nullopt;
            if (s.backgroundColor) {
                if (!visibleSublayers(*c.layer, 1).empty()) return std::nullopt;
                const gfx::RGBA colour = s.backgroundColor->resolved();
                return gfx::ProjectionOverlay{gfx::Color::rgba(colour.r, colour.g, colour.b),
                                              clamp01(colour.a) * c.opacity, 0, 0, 0, 1};
            }
            host = c.layer;
            held = s;
            hostState = &held;
            opacity = c.opacity;
        }
        return std::nullopt;
    }

    // An axial gradient of one colour over `size` faded by `opacity`, as an overlay in image
    // pixels of the given size in points: its alpha is affine along the axis and holds its end
    // values beyond the ends. Nothing for gradients of more than one colour or stops not at the
    // ends.
    static std::optional<gfx::ProjectionOverlay> gradientShade(const GradientLayer& gradient, gfx::Size size,
                                                                double opacity, double perPixelX, double perPixelY) {
        const std::vector<gfx::Color>& colours = gradient.colors();
        if (colours.empty() || colours.size() > 2) return std::nullopt;
        const gfx::RGBA c0 = colours.front().resolved(), c1 = colours.back().resolved();
        if (c0.r != c1.r || c0.g != c1.g || c0.b != c1.b) return std::nullopt;
        const double a0 = clamp01(c0.a), a1 = clamp01(c1.a);
        const gfx::Color colour = gfx::Color::rgba(c0.r, c0.g, c0.b);
        if (colours.size() == 1 || a0 == a1) return gfx::ProjectionOverlay{colour, a0 * opacity, 0, 0, 0, 1};
        const std::vector<double> stops = gradient.effectiveLocations();
        if (stops.size() != 2 || stops[0] != 0 || stops[1] != 1) return std::nullopt;
        const gfx::Point p0{gradient.startPoint().x * size.width, gradient.startPoint().y * size.height};
        const gfx::Point d{gradient.endPoint().x * size.width - p0.x, gradient.endPoint().y * size.height - p0.y};
        const double length2 = d.x * d.x + d.y * d.y;
        if (!(length2 > 0)) return std::nullopt;
        // alpha = a0 + (a1 - a0) t, t the share of the way along the axis.
        const double k = (a1 - a0) / length2;
        return gfx::ProjectionOverlay{colour,
                                      (a0 - k * (p0.x * d.x + p0.y * d.y)) * opacity,
                                      k * d.x * perPixelX * opacity,
                                      k * d.y * perPixelY * opacity,
                                      std::min(a0, a1) * opacity,
                                      std::max(a0, a1) * opacity};
    }

    // Maps `source` through `toDevice` onto the drawing surface: straight into it where
    // drawPixelsDirectly can, otherwise into a scratch image covering the visible part of the
    // quad, which is then composited through the clip.
    void drawPixelsProjected(const gfx::ConstPixelBuffer& source, const gfx::Transform3D& toDevice,
                             double opacity, const Layer& layer) {
        drawPixelsProjected(source, {0, 0, double(source.width), double(source.height)}, toDevice, opacity,
                            layer);
    }
    void drawPixelsProjected(const gfx::ConstPixelBuffer& source, const gfx::Rect& sourceRect,
                             const gfx::Transform3D& toDevice, double opacity, const Layer& layer,
                             const gfx::ProjectionOverlay* overlay = nullptr) {
        if (sourceRect.isEmpty()) return;
        const gfx::Rect quad = projectedExtent(sourceRect, toDevice, layer);
        if (!touches(quad)) {
            ++_stats.layersCulled;
            return;
        }
        ++_stats.projected;
        if (drawPixelsDirectly(source, sourceRect, toDevice, opacity, layer, overlay)) return;

        const gfx::Rect area = quad.intersection(_clip).integral();
        if (!visible(area) || area.width() > 4 * kMaxFlattenedPixels ||
            area.height() > 4 * kMaxFlattenedPixels)
            return;
        const SurfacePool::Lease lease =
            _resources.pool.take(static_cast<int>(area.width()), static_cast<int>(area.height()));
        if (!lease) return;
        // The scratch image stands for the area: its pixels come out as they would in place.
        gfx::PixelBuffer pixels = lease.pixels();
        pixels.originX = static_cast<int>(area.minX());
        pixels.originY = static_cast<int>(area.minY());
        const bool drew = gfx::drawImageProjected(pixels, area, source, sourceRect, toDevice, opacity,
                                                  projectionOptions(layer), overlay);
        cairo_surface_mark_dirty(lease.surface());
        if (!drew) return;
        cairo_t* cr = _ctx.cairo();
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_surface(cr, lease.surface(), area.minX(), area.minY());
        cairo_rectangle(cr, area.minX(), area.minY(), area.width(), area.height());
        cairo_fill(cr);
        cairo_restore(cr);
    }

    static gfx::ProjectionOptions projectionOptions(const Layer& layer) {
        gfx::ProjectionOptions options;
        options.doubleSided = layer.isDoubleSided();
        options.edgeAntialiasing = layer.allowsEdgeAntialiasing();
        return options;
    }

    // The device box the mapper may touch: with edge antialiasing, the soft edge reaches half
    // a pixel past the quad.
    static gfx::Rect projectedExtent(const gfx::Rect& sourceRect, const gfx::Transform3D& toDevice,
                                     const Layer& layer) {
        const gfx::Rect quad = gfx::projectedBounds(sourceRect, toDevice.rows());
        return layer.allowsEdgeAntialiasing() && !quad.isNull() ? quad.insetBy(-1, -1) : quad;
    }

    // Maps `source` through `toDevice` straight into the drawing surface when that is an
    // image surface clipped to whole-pixel rectangles; false (nothing drawn) otherwise.
    bool drawPixelsDirectly(const gfx::ConstPixelBuffer& source, const gfx::Rect& sourceRect,
                            const gfx::Transform3D& toDevice, double opacity, const Layer& layer,
                            const gfx::ProjectionOverlay* overlay = nullptr) {
        cairo_t* cr = _ctx.cairo();
        cairo_surface_t* target = cairo_get_group_target(cr);
        if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return false;
        cairo_save(cr);
        cairo_identity_matrix(cr); // clip queries below are in device space
        cairo_rectangle_list_t* clips = cairo_copy_clip_rectangle_list(cr);
        cairo_restore(cr);
        const bool direct = clips->status == CAIRO_STATUS_SUCCESS;
        if (direct) {
            // A surface standing for a part of the device space (a group's image) has its first
            // pixel at minus its device offset (whole pixels): the mapping stays the device's.
            double dx = 0, dy = 0;
            cairo_surface_get_device_offset(target, &dx, &dy);
            gfx::PixelBuffer pixels = gfx::pixelsOf(target);
            pixels.originX = static_cast<int>(std::lround(-dx));
            pixels.originY = static_cast<int>(std::lround(-dy));
            for (int i = 0; i < clips->num_rectangles; ++i) {
                const cairo_rectangle_t& r = clips->rectangles[i];
                gfx::drawImageProjected(pixels, {r.x, r.y, r.width, r.height}, source, sourceRect, toDevice, opacity,
                                        projectionOptions(layer), overlay);
            }
            cairo_surface_mark_dirty(target);
        }
        cairo_rectangle_list_destroy(clips);
        return direct;
    }

    gfx::GraphicsContext& _ctx;
    bool _presentation;
    PaintResources& _resources;
    CompositorStatistics& _stats;
    const Occlusion* _occlusion;
    const std::vector<gfx::Rect>* _damage;
    // Where the layer being drawn shows (see `shows`).
    std::vector<gfx::Rect> _shown;
    // The device-space box of the current clip: what lies outside it is not drawn.
    gfx::Rect _clip;
};

} // namespace
} // namespace detail

// --- Compositor.

namespace {

FrameMode frameModeFromEnvironment() {
    const char* value = std::getenv("OLM_FRAMES");
    const std::string_view mode = value != nullptr ? value : "";
    if (mode == "whole") return FrameMode::whole;
    if (mode == "verify") return FrameMode::verify;
    return FrameMode::damage;
}

FrameMode& defaultMode() {
    static FrameMode mode = frameModeFromEnvironment();
    return mode;
}

Compositor::MismatchHandler& mismatchHandler() {
    static Compositor::MismatchHandler handler;
    return handler;
}

bool bySerial(const detail::DrawRecord& a, const detail::DrawRecord& b) {
    return a.serial < b.serial;
}

// Adds to `damage` what changed from the frame recorded in `before` to the one in `after`
// (both sorted by serial number): the old and new extents of every layer that draws
// differently, appeared or went away; only the redrawn part when a layer's contents were
// redrawn in part and nothing else about it changed.
void addChanges(const std::vector<detail::DrawRecord>& before, const std::vector<detail::DrawRecord>& after,
                detail::DamageRegion& damage) {
    auto old = before.begin();
    for (const detail::DrawRecord& now : after) {
        for (; old != before.end() && old->serial < now.serial; ++old)
            damage.add(old->damage);
        if (old == before.end() || old->serial != now.serial) {
            damage.add(now.damage);
            continue;
        }
        const detail::DrawRecord& was = *old++;
        const bool sameLook = detail::drawsSameExceptContents(was, now);
        if (sameLook && was.contents == now.contents) continue;
        if (sameLook && now.group == 0 && gfx::isAffine(now.transform)) {
            const gfx::Rect redrawn = now.contentsUpdate->changedSince(was.contents, now.contents);
            if (!redrawn.isNull()) {
                // Grown by a pixel: filtered samples next to the redrawn part read from it.
                if (!redrawn.isEmpty())
                    damage.add(detail::deviceDamage(redrawn, gfx::affineTransform(now.transform), now.clip)
                               .insetBy(-1, -1)
                               .intersection(now.clip));
                continue;
            }
        }
        damage.add(was.damage);
        damage.add(now.damage);
    }
    for (; old != before.end(); ++old)
        damage.add(old->damage);
}

} // namespace

Compositor::Compositor()
    : _pool(std::make_unique<detail::SurfacePool>()), _contents(std::make_unique<detail::ContentsCache>()),
      _occlusion(std::make_unique<detail::Occlusion>()), _damage(std::make_unique<detail::DamageRegion>()),
      _mode(defaultMode()) {}

Compositor::~Compositor() {
    if (_surface != nullptr) cairo_surface_destroy(_surface);
}

FrameMode Compositor::defaultFrameMode() {
    return defaultMode();
}

void Compositor::setDefaultFrameMode(FrameMode mode) {
    defaultMode() = mode;
}

void Compositor::setMismatchHandler(MismatchHandler handler) {
    mismatchHandler() = std::move(handler);
}

void Compositor::setFrameMode(FrameMode mode) {
    if (mode == _mode) return;
    _mode = mode;
    _reference.reset();
    forgetFrame();
}

void Compositor::forgetFrame() {
    _hasFrame = false;
    _records.clear();
}

void Compositor::renderFrame(Layer& root, gfx::Size size, double scale) {
    const std::shared_ptr<Layer> keep = rt::sharedFrom(&root);
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    const double w = std::ceil(size.width * scale - 1e-9), h = std::ceil(size.height * scale - 1e-9);
    _statistics = {};
    bool whole = _mode == FrameMode::whole || !_hasFrame || root.serialNumber() != _rootSerial ||
                 scale != _scale || !(size == _size);
    _size = size;
    _scale = scale;
    if (!(w >= 1 && h >= 1 && w <= kMaxFramePixels && h <= kMaxFramePixels)) {
        _image.reset();
        if (_surface != nullptr) cairo_surface_destroy(_surface);
        _surface = nullptr;
        forgetFrame();
        return;
    }
    if (_surface == nullptr || cairo_image_surface_get_width(_surface) != int(w) ||
        cairo_image_surface_get_height(_surface) != int(h)) {
        whole = true;
        if (_surface != nullptr) cairo_surface_destroy(_surface);
        _surface = gfx::makePixelSurface(int(w), int(h));
        if (_surface == nullptr) {
            _image.reset();
            forgetFrame();
            return;
        }
    }
    // Nothing has changed since the last frame: it stands as it is.
    if (!whole && Layer::changeCount() == _changeCount && !AnimationEngine::hasAnimatedLayers() &&
        gfx::currentAppearance() == _appearance) {
        if (_mode == FrameMode::verify) verify(root);
        return;
    }
    _rootSerial = root.serialNumber();
    _changeCount = Layer::changeCount();
    _appearance = gfx::currentAppearance();

    cairo_t* cr = cairo_create(_surface);
    cairo_scale(cr, scale, scale);
    _damage->reset(int(w), int(h));
    if (findDamage(root, cr, whole, *_damage)) {
        _image.reset();
        paint(root, cr, *_damage);
    }
    cairo_destroy(cr);
    _hasFrame = true;
    _pool->endFrame();
    _contents->purge();
    if (_mode == FrameMode::verify) verify(root);
}

bool Compositor::findDamage(Layer& root, cairo_t* cr, bool whole, detail::DamageRegion& damage) {
    detail::PaintResources resources{*_pool, _statistics, _contents.get(), _scale};
    gfx::GraphicsContext context(cr);
    const detail::Painter painter(context, true, resources);
    _occlusion->clear();
    const bool tracks = _mode != FrameMode::whole;
    std::vector<detail::DrawRecord> records;
    if (tracks) records.reserve(_records.size());
    painter.survey(root, *_occlusion, tracks ? &records : nullptr);
    std::sort(records.begin(), records.end(), bySerial);
    if (whole)
        damage.addAll();
    else
        addChanges(_records, records, damage);
    _records = std::move(records);
    return !damage.isEmpty();
}

void Compositor::paint(Layer& root, cairo_t* cr, const detail::DamageRegion& damage) {
    const std::vector<gfx::Rect>& rects = damage.rects();
    _statistics.damageRects = static_cast<long>(rects.size());
    _statistics.damagedPixels = damage.area();
    _statistics.damageBounds = damage.bounds();
    _statistics.wholeFrame =
        rects.size() == 1 && rects[0] == gfx::Rect{0, 0, double(pixelWidth()), double(pixelHeight())};
    // Everything below is clipped to the damage.
    detail::clipToDeviceRects(cr, rects);
    // What the previous frame left is cleared where no opaque layer paints over it.
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    for (const gfx::Rect& r : rects)
        for (const gfx::Rect& piece : _occlusion->uncovered(nullptr, r))
            cairo_rectangle(cr, piece.minX(), piece.minY(), piece.width(), piece.height());
    cairo_fill(cr);
    cairo_restore(cr);
    detail::PaintResources resources{*_pool, _statistics, _contents.get(), _scale};
    gfx::GraphicsContext context(cr);
    detail::Painter painter(context, true, resources, _occlusion.get(), _statistics.wholeFrame ? nullptr : &rects);
    painter.paintPlaced(root);
    cairo_surface_flush(_surface);
}

void Compositor::verify(Layer& root) {
    if (!_reference) {
        _reference = std::make_unique<Compositor>();
        _reference->setFrameMode(FrameMode::whole);
    }
    _reference->renderFrame(root, _size, _scale);
    const gfx::ConstPixelBuffer a = pixels(), b = _reference->pixels();
    if (a.pixels == nullptr || b.pixels == nullptr) return;
    FrameMismatch mismatch;
    for (int y = 0; y < a.height; ++y) {
        const std::uint32_t* rowA = a.pixels + static_cast<std::size_t>(y) * (a.strideBytes / 4);
        const std::uint32_t* rowB = b.pixels + static_cast<std::size_t>(y) * (b.strideBytes / 4);
        if (std::memcmp(rowA, rowB, static_cast<std::size_t>(a.width) * 4) == 0) continue;
        for (int x = 0; x < a.width; ++x) {
            if (rowA[x] == rowB[x]) continue;
            if (mismatch.differingPixels++ == 0) {
                mismatch.x = x;
                mismatch.y = y;
                mismatch.damaged = rowA[x];
                mismatch.whole = rowB[x];
            }
        }
    }
    if (mismatch.differingPixels == 0) return;
    mismatch.damagedFrame = image();
    mismatch.wholeFrame = _reference->image();
    if (const MismatchHandler& handler = mismatchHandler()) {
        handler(mismatch);
        return;
    }
    std::fprintf(stderr, "compositor: a frame made by damage differs from the whole frame in %ld pixels, "
                         "first at (%d, %d): %08x instead of %08x\n",
                 mismatch.differingPixels, mismatch.x, mismatch.y, mismatch.damaged, mismatch.whole);
    std::abort();
}

int Compositor::pixelWidth() const {
    return _surface != nullptr ? cairo_image_surface_get_width(_surface) : 0;
}

int Compositor::pixelHeight() const {
    return _surface != nullptr ? cairo_image_surface_get_height(_surface) : 0;
}

gfx::ConstPixelBuffer Compositor::pixels() const {
    if (_surface == nullptr) return {};
    return gfx::pixelsOf(_surface);
}

gfx::ImageRef Compositor::image() const {
    if (!_image && _surface != nullptr) _image = gfx::Image::fromSurface(_surface, _scale);
    return _image;
}

gfx::RGBA Compositor::pixel(int x, int y) const {
    const gfx::ConstPixelBuffer p = pixels();
    if (p.pixels == nullptr || x < 0 || y < 0 || x >= p.width || y >= p.height) return {};
    const std::uint32_t v = p.pixels[static_cast<std::size_t>(y) * (p.strideBytes / 4) + x];
    const double a = (v >> 24) / 255.0;
    if (a <= 0) return {};
    const auto channel = [&](int shift) { return std::min(1.0, ((v >> shift) & 0xFF) / 255.0 / a); };
    return {channel(16), channel(8), channel(0), a};
}

void Compositor::drawLayerTree(Layer& layer, gfx::GraphicsContext& context, const RenderOptions& options) {
    const std::shared_ptr<Layer> keep = rt::sharedFrom(&layer);
    CompositorStatistics statistics;
    detail::PaintResources resources{*_pool, statistics, nullptr, 0};
    detail::Painter(context, options.presentation, resources).paintInOwnSpace(layer);
}

} // namespace ui
