#include "platform/ui/Layer.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/ui/Animation.h"
#include "platform/ui/LayerRenderer.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/detail/LayerAnimations.h"
#include "platform/ui/detail/TreeOrder.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ui {

OLM_DEFINE_CLASS(Layer, rt::Object)

namespace {

bool finite(gfx::Point p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}
bool finite(const gfx::Rect& r) {
    return finite(r.origin) && std::isfinite(r.size.width) && std::isfinite(r.size.height);
}

std::uint64_t& changeCounter() {
    static std::uint64_t count = 0;
    return count;
}

// Pixels of a backing store for a length in points: partial pixels count as whole ones
// (Cairo's limit on a side; none beyond it).
int storePixels(double points, double scale) {
    const double px = std::ceil(points * scale - 1e-6);
    if (!std::isfinite(px) || px <= 0 || px > 32767) return 0;
    return static_cast<int>(px);
}

// A rectangle of whole pixels of a backing store, x0, y0 inclusive, x1, y1 exclusive.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    // A rectangle of whole pixels (null: none).
    static PixelBox of(const gfx::Rect& pixels) {
        if (pixels.isNull() || pixels.isEmpty()) return {};
        const auto to = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
        return {to(pixels.minX()), to(pixels.minY()), to(pixels.maxX()), to(pixels.maxY())};
    }
    // The pixels a rectangle in points touches.
    static PixelBox touched(const gfx::Rect& points, double scale) {
        return of({std::floor(points.minX() * scale), std::floor(points.minY() * scale),
                   std::ceil(points.maxX() * scale) - std::floor(points.minX() * scale),
                   std::ceil(points.maxY() * scale) - std::floor(points.minY() * scale)});
    }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool contains(const PixelBox& b) const {
        return b.empty() || (x0 <= b.x0 && y0 <= b.y0 && b.x1 <= x1 && b.y1 <= y1);
    }
    PixelBox clippedTo(const PixelBox& b) const {
        const PixelBox r{std::max(x0, b.x0), std::max(y0, b.y0), std::min(x1, b.x1), std::min(y1, b.y1)};
        return r.empty() ? PixelBox{} : r;
    }
    PixelBox unionWith(const PixelBox& b) const {
        if (empty()) return b;
        if (b.empty()) return *this;
        return {std::min(x0, b.x0), std::min(y0, b.y0), std::max(x1, b.x1), std::max(y1, b.y1)};
    }
    gfx::Rect rect() const {
        return empty() ? gfx::Rect::null() : gfx::Rect{double(x0), double(y0), double(x1 - x0), double(y1 - y0)};
    }
    // In the space of the bounds the store is drawn for (an empty box: an empty rectangle).
    gfx::Rect pointsIn(const gfx::Rect& bounds, double scale) const {
        if (empty()) return {bounds.origin, {0, 0}};
        return {bounds.minX() + x0 / scale, bounds.minY() + y0 / scale, (x1 - x0) / scale, (y1 - y0) / scale};
    }
    void addTo(cairo_t* cr) const { cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0); }
    PixelBox offsetBy(int dx, int dy) const { return empty() ? PixelBox{} : PixelBox{x0 + dx, y0 + dy, x1 + dx, y1 + dy}; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// --- Bounded backing stores.

// The least margin of a bounded store around what shows, in pixels.
constexpr int kMinStoreMargin = 64;

std::vector<Layer*>& boundedStores() {
    static std::vector<Layer*> layers;
    return layers;
}

// The pixels of the whole store (`whole`) that show, given the visible part of the bounds:
// at most maxStorePixels of them from the top left on a side.
PixelBox shownPixels(const gfx::Rect& visible, const gfx::Rect& bounds, double scale, const PixelBox& whole) {
    if (visible.isNull() || visible.isEmpty()) return {};
    PixelBox shown = PixelBox::touched(visible.offsetBy(-bounds.minX(), -bounds.minY()), scale).clippedTo(whole);
    if (shown.empty()) return {};
    shown.x1 = std::min(shown.x1, shown.x0 + Layer::maxStorePixels);
    shown.y1 = std::min(shown.y1, shown.y0 + Layer::maxStorePixels);
    return shown;
}

// One side of a store tile: the whole axis of `length` pixels when it is short enough, else
// the shown span `v0`...`v1` with a quarter of its length to spare on each side, within the
// axis.
std::pair<int, int> tileSpan(int length, int v0, int v1) {
    if (length <= Layer::maxStorePixels) return {0, length};
    const int shown = std::max(0, v1 - v0);
    const int span = std::min({length, Layer::maxStorePixels, shown + 2 * std::max(shown / 4, kMinStoreMargin)});
    const int lo = std::clamp(v0 + shown / 2 - span / 2, 0, length - span);
    return {lo, lo + span};
}

// The pixels of the whole store a store holds: all of them when it fits, else the last tile
// while it still holds what shows, else a new tile around what shows.
PixelBox storeTile(const PixelBox& whole, const PixelBox& shown, const gfx::Rect& lastTile) {
    const int w = whole.x1, h = whole.y1;
    if (w <= Layer::maxStorePixels && h <= Layer::maxStorePixels) return whole;
    const PixelBox last = PixelBox::of(lastTile);
    const bool fits = (w > Layer::maxStorePixels || (last.x0 == 0 && last.x1 == w)) &&
                      (h > Layer::maxStorePixels || (last.y0 == 0 && last.y1 == h));
    if (!last.empty() && fits && whole.contains(last) && last.contains(shown)) return last;
    const auto [x0, x1] = tileSpan(w, shown.x0, shown.x1);
    const auto [y0, y1] = tileSpan(h, shown.y0, shown.y1);
    return {x0, y0, x1, y1};
}

// The bounding box of what of `box` lies outside `kept` (within it).
PixelBox outside(const PixelBox& box, const PixelBox& kept) {
    if (kept.empty()) return box;
    if (kept.x0 == box.x0 && kept.x1 == box.x1) {
        if (kept.y0 == box.y0) return kept.y1 == box.y1 ? PixelBox{} : PixelBox{box.x0, kept.y1, box.x1, box.y1};
        if (kept.y1 == box.y1) return {box.x0, box.y0, box.x1, kept.y0};
    }
    if (kept.y0 == box.y0 && kept.y1 == box.y1) {
        if (kept.x0 == box.x0) return {kept.x1, box.y0, box.x1, box.y1};
        if (kept.x1 == box.x1) return {box.x0, box.y0, kept.x0, box.y1};
    }
    return box;
}

// Moves the pixels of `from` (a box of the image) by `dx`, `dy` within the image.
void movePixels(gfx::Image& image, const PixelBox& from, int dx, int dy) {
    if (from.empty() || (dx == 0 && dy == 0)) return;
    cairo_surface_flush(image.surface());
    std::uint8_t* data = image.mutableData();
    const std::size_t stride = static_cast<std::size_t>(image.stride());
    const std::size_t bytes = static_cast<std::size_t>(from.x1 - from.x0) * 4;
    const auto row = [&](int y) {
        std::memmove(data + static_cast<std::size_t>(y + dy) * stride + static_cast<std::size_t>(from.x0 + dx) * 4,
                     data + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(from.x0) * 4, bytes);
    };
    // Rows in the order that reads each before it is written over.
    if (dy > 0)
        for (int y = from.y1; y-- > from.y0;)
            row(y);
    else
        for (int y = from.y0; y < from.y1; ++y)
            row(y);
    image.markDirty();
}

std::uint64_t nextLayerSerialNumber() {
    static std::uint64_t last = 0;
    return ++last;
}

Layer::ActionProvider& implicitActionProvider() {
    static Layer::ActionProvider provider = detail::implicitLayerAction;
    return provider;
}

// Where the anchor point lies in the layer's own coordinates.
gfx::Point anchorInBounds(const LayerState& s) {
    return {s.bounds.origin.x + s.anchorPoint.x * s.bounds.size.width,
            s.bounds.origin.y + s.anchorPoint.y * s.bounds.size.height};
}

} // namespace

// --- LayerDelegate defaults: a delegate that implements nothing.

bool LayerDelegate::displayLayer(Layer&) {
    return false;
}
bool LayerDelegate::implementsDrawLayerInContext(const Layer&) const {
    return false;
}
void LayerDelegate::drawLayerInContext(Layer&, gfx::GraphicsContext&) {}
void LayerDelegate::layoutSublayersOfLayer(Layer&) {}
void LayerDelegate::layerWillChangeBounds(Layer&, const gfx::Rect&) {}
std::optional<LayerActionRef> LayerDelegate::actionForLayerForKey(Layer&, std::string_view) {
    return std::nullopt;
}

// --- Life.

Layer::Layer() : _serialNumber(nextLayerSerialNumber()), _madeInFrame(AnimationEngine::frameCount()) {}

Layer::~Layer() {
    if (!_backingStore.tile.isNull()) std::erase(boundedStores(), this);
    for (auto& sublayer : _sublayers)
        sublayer->_superlayer = nullptr;
}

// --- Geometry.

void Layer::setBounds(const gfx::Rect& bounds) {
    if (!finite(bounds)) return;
    if (_delegate != nullptr && !(bounds == _model.bounds)) _delegate->layerWillChangeBounds(*this, bounds);
    const gfx::Rect old = _model.bounds;
    _model.bounds = bounds;
    if (!(old.size == bounds.size)) {
        setNeedsLayout();
        if (_needsDisplayOnBoundsChange) setNeedsDisplay();
    }
    didChangeValue("bounds", old);
}

void Layer::setPosition(gfx::Point position) {
    if (!finite(position)) return;
    changeValue(_model.position, position, "position");
}

void Layer::setAnchorPoint(gfx::Point anchorPoint) {
    if (!finite(anchorPoint)) return;
    changeValue(_model.anchorPoint, anchorPoint, "anchorPoint");
}

void Layer::setZPosition(double zPosition) {
    if (!std::isfinite(zPosition)) return;
    changeValue(_model.zPosition, zPosition, "zPosition");
}

gfx::Rect Layer::frame() const {
    const gfx::Size size = _model.bounds.size;
    const gfx::Rect aboutAnchor{-_model.anchorPoint.x * size.width, -_model.anchorPoint.y * size.height,
                                size.width, size.height};
    const gfx::Rect box =
        gfx::isIdentity(_model.transform) ? aboutAnchor : affineTransform().apply(aboutAnchor);
    return box.offsetBy(_model.position.x, _model.position.y);
}

void Layer::setFrame(const gfx::Rect& requested) {
    if (!finite(requested)) return;
    const gfx::Rect frame = requested.standardized();
    gfx::Size size = frame.size;
    const gfx::AffineTransform t = affineTransform();
    if (t.b == 0 && t.c == 0 && t.a != 0 && t.d != 0)
        size = {frame.size.width / std::abs(t.a), frame.size.height / std::abs(t.d)};
    // The transformed bounds about the anchor, with the position at the origin; the position
    // then moves its centre onto the frame's centre.
    const gfx::Rect aboutAnchor{-_model.anchorPoint.x * size.width, -_model.anchorPoint.y * size.height,
                                size.width, size.height};
    const gfx::Rect box = t.apply(aboutAnchor);
    setPosition({frame.midX() - box.midX(), frame.midY() - box.midY()});
    setBounds({_model.bounds.origin, size});
}

void Layer::setTransform(const gfx::Transform3D& transform) {
    if (!gfx::isFinite(transform)) return;
    changeValue(_model.transform, transform, "transform");
}

void Layer::setAffineTransform(const gfx::AffineTransform& transform) {
    setTransform(gfx::Transform3D::makeAffineTransform(transform));
}

void Layer::setSublayerTransform(const gfx::Transform3D& transform) {
    if (!gfx::isFinite(transform)) return;
    changeValue(_model.sublayerTransform, transform, "sublayerTransform");
}

// --- Appearance.

void Layer::setOpacity(double opacity) {
    if (!std::isfinite(opacity)) return;
    changeValue(_model.opacity, opacity, "opacity");
}

void Layer::setHidden(bool hidden) {
    changeValue(_model.hidden, hidden, "hidden");
}

void Layer::setMasksToBounds(bool masks) {
    changeValue(_masksToBounds, masks, "masksToBounds");
}

void Layer::setCornerRadius(double radius) {
    changeValue(_cornerRadius, std::isfinite(radius) && radius > 0 ? radius : 0.0, "cornerRadius");
}

void Layer::setBackgroundColor(std::optional<gfx::Color> color) {
    LayerValue old;
    if (_model.backgroundColor) old = *_model.backgroundColor;
    _model.backgroundColor = color;
    didChangeValue("backgroundColor", std::move(old));
}

void Layer::setContents(gfx::ImageRef contents) {
    _model.contentsFrame = gfx::Rect::null();
    changeValue(_model.contents, std::move(contents), "contents");
}

void Layer::setContentsScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0 || scale == _contentsScale) return;
    _contentsScale = scale;
    if (drawsInContext()) setNeedsDisplay();
}

void Layer::setDoubleSided(bool doubleSided) {
    changeValue(_doubleSided, doubleSided, "doubleSided");
}

void Layer::setAllowsEdgeAntialiasing(bool allows) {
    if (allows == _allowsEdgeAntialiasing) return;
    _allowsEdgeAntialiasing = allows;
    noteChange();
}

void Layer::setOpaque(bool opaque) {
    if (opaque == _opaque) return;
    _opaque = opaque;
    if (drawsInContext()) setNeedsDisplay();
}

// --- Tree.

bool Layer::isDescendantOf(const Layer* layer) const {
    if (layer == nullptr) return false;
    for (const Layer* l = this; l != nullptr; l = l->_superlayer)
        if (l == layer) return true;
    return false;
}

void Layer::attachSublayer(std::shared_ptr<Layer> layer, std::size_t index) {
    if (!layer || isDescendantOf(layer.get())) return;
    if (layer->_superlayer == this) {
        // Moving within the same superlayer: the index counts the other sublayers.
        auto it = std::find(_sublayers.begin(), _sublayers.end(), layer);
        _sublayers.erase(it);
    } else {
        layer->removeFromSuperlayer();
    }
    noteTreeChange();
    index = std::min(index, _sublayers.size());
    _sublayers.insert(_sublayers.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->_superlayer = this;
    if (layer->_needsLayout || layer->_descendantNeedsLayout) markAncestors(&Layer::_descendantNeedsLayout);
    if (layer->_needsDisplay || layer->_descendantNeedsDisplay)
        markAncestors(&Layer::_descendantNeedsDisplay);
}

void Layer::addSublayer(std::shared_ptr<Layer> layer) {
    attachSublayer(std::move(layer), _sublayers.size());
}

void Layer::insertSublayer(std::shared_ptr<Layer> layer, long index) {
    attachSublayer(std::move(layer), index < 0 ? 0 : static_cast<std::size_t>(index));
}

void Layer::insertSublayerBeside(std::shared_ptr<Layer> layer, const Layer* sibling, bool above) {
    if (!layer || layer.get() == sibling) return;
    if (std::optional<std::size_t> index = detail::indexBeside(_sublayers, layer.get(), sibling, above))
        attachSublayer(std::move(layer), *index);
    else
        addSublayer(std::move(layer));
}

void Layer::insertSublayerAbove(std::shared_ptr<Layer> layer, const Layer* sibling) {
    insertSublayerBeside(std::move(layer), sibling, true);
}

void Layer::insertSublayerBelow(std::shared_ptr<Layer> layer, const Layer* sibling) {
    insertSublayerBeside(std::move(layer), sibling, false);
}

void Layer::replaceSublayer(const Layer* old, std::shared_ptr<Layer> replacement) {
    if (old == nullptr || old == replacement.get()) return;
    const std::optional<std::size_t> index = detail::indexOf(_sublayers, old);
    if (!index) return;
    const std::shared_ptr<Layer> keep = _sublayers[*index];
    keep->removeFromSuperlayer();
    if (replacement) insertSublayer(std::move(replacement), static_cast<long>(*index));
}

void Layer::removeFromSuperlayer() {
    Layer* parent = _superlayer;
    if (parent == nullptr) return;
    noteTreeChange();
    _superlayer = nullptr;
    if (std::optional<std::size_t> index = detail::indexOf(parent->_sublayers, this)) {
        // Keep this layer alive until the erase has returned.
        const std::shared_ptr<Layer> keep = parent->_sublayers[*index];
        parent->_sublayers.erase(parent->_sublayers.begin() + static_cast<std::ptrdiff_t>(*index));
    }
}

std::vector<Layer*> Layer::sublayersInDrawingOrder() const {
    std::vector<Layer*> order;
    order.reserve(_sublayers.size());
    for (const auto& l : _sublayers)
        order.push_back(l.get());
    std::stable_sort(order.begin(), order.end(), [](const Layer* a, const Layer* b) {
        return a->_model.zPosition < b->_model.zPosition;
    });
    return order;
}

// --- Display.

void Layer::markAncestors(bool Layer::*descendantNeeds) {
    for (Layer* l = this; l != nullptr && !(l->*descendantNeeds); l = l->_superlayer)
        l->*descendantNeeds = true;
}

void Layer::setNeedsDisplay() {
    _needsDisplay = true;
    _needsDisplayRect = gfx::Rect::null();
    if (_superlayer != nullptr) _superlayer->markAncestors(&Layer::_descendantNeedsDisplay);
}

void Layer::setNeedsDisplayInRect(const gfx::Rect& rect) {
    const gfx::Rect r = rect.standardized();
    if (!finite(r)) return setNeedsDisplay();
    if (r.isEmpty()) return;
    if (!_needsDisplay || (!_needsDisplayRect.isNull() && _needsDisplayRect.isEmpty()))
        _needsDisplayRect = r;
    else if (!_needsDisplayRect.isNull())
        _needsDisplayRect = _needsDisplayRect.unionWith(r);
    _needsDisplay = true;
    if (_superlayer != nullptr) _superlayer->markAncestors(&Layer::_descendantNeedsDisplay);
}

void Layer::displayIfNeeded() {
    if (!_needsDisplay) return;
    _needsDisplay = false;
    display();
}

bool Layer::drawsInContext() const {
    return _delegate != nullptr && _delegate->implementsDrawLayerInContext(*this);
}

void Layer::display() {
    const gfx::Rect part = std::exchange(_needsDisplayRect, gfx::Rect::null());
    if (_delegate != nullptr && _delegate->displayLayer(*this)) return;
    if (!drawsInContext()) return;
    const gfx::Rect bounds = _model.bounds.standardized();
    const double s = _contentsScale;
    const PixelBox whole{0, 0, storePixels(bounds.width(), s), storePixels(bounds.height(), s)};
    if (whole.empty()) return setBackingStore(nullptr, bounds, gfx::Rect::null(), gfx::Rect::null());
    // The store holds `tile` of the whole store's pixels; its own pixels are those less the
    // tile's origin.
    const PixelBox tile = storeTile(whole, shownPixels(visibleRect(), bounds, s, whole), _backingStore.tile);
    const PixelBox all{0, 0, tile.x1 - tile.x0, tile.y1 - tile.y0};

    // The store the last display made is drawn over again when nothing else holds it and it
    // has the pixel size; only what was drawn in it is cleared. When only a part is marked
    // and the bounds are the same, only that part is redrawn (in a copy when the store is
    // held elsewhere); a bounded store that moved keeps the pixels it still holds, moved to
    // their new place, and draws the rest.
    const gfx::ImageRef& previous = _model.contents;
    const bool same = previous && previous->serialNumber() == _backingStore.serial &&
                      _backingStore.opaque == _opaque && previous->pixelWidth() == all.x1 &&
                      previous->pixelHeight() == all.y1 && previous->scale() == s;
    const bool inPart = same && !part.isNull() && _backingStore.bounds == bounds;
    const PixelBox lastTile = _backingStore.tile.isNull() ? PixelBox{0, 0, all.x1, all.y1}
                                                          : PixelBox::of(_backingStore.tile);
    const int dx = inPart ? lastTile.x0 - tile.x0 : 0, dy = inPart ? lastTile.y0 - tile.y0 : 0;
    const PixelBox kept = all.clippedTo(all.offsetBy(dx, dy)); // where the moved pixels land
    PixelBox redraw = all;
    if (inPart) {
        redraw = PixelBox::touched(part.offsetBy(-bounds.minX(), -bounds.minY()), s)
                     .offsetBy(-tile.x0, -tile.y0)
                     .clippedTo(all)
                     .unionWith(outside(all, kept));
    }
    if (redraw.empty()) return;
    std::shared_ptr<gfx::Image> image = same ? gfx::Image::takePixels(previous) : nullptr;
    const bool over = image != nullptr || inPart; // drawn over the last store's pixels
    if (!image) image = inPart ? gfx::Image::fromSurface(previous->surface(), s) : gfx::Image::make(all.x1, all.y1, s);
    if (!image) return setBackingStore(nullptr, bounds, gfx::Rect::null(), gfx::Rect::null());
    movePixels(*image, kept.offsetBy(-dx, -dy), dx, dy);

    // What was drawn before, where it was and where it is now.
    const PixelBox before = over ? PixelBox::of(_backingStore.drawn) : PixelBox{};
    const PixelBox moved = before.offsetBy(dx, dy).clippedTo(kept);
    cairo_t* cr = cairo_create(image->surface());
    redraw.addTo(cr);
    cairo_clip(cr);
    // A store starts clear, or black when opaque: a new opaque one is painted black, one drawn
    // over has what was drawn in it cleared so.
    const PixelBox cleared = over ? before.unionWith(moved).clippedTo(redraw) : _opaque ? all : PixelBox{};
    if (!cleared.empty()) {
        cairo_save(cr);
        cleared.addTo(cr);
        if (_opaque)
            cairo_set_source_rgb(cr, 0, 0, 0);
        else
            cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    cairo_translate(cr, -tile.x0, -tile.y0);
    cairo_scale(cr, s, s);
    cairo_translate(cr, -bounds.minX(), -bounds.minY());
    PixelBox drawn;
    {
        gfx::GraphicsContext context(cr);
        gfx::pushContext(&context);
        drawInContext(context);
        gfx::popContext();
        drawn = PixelBox::of(context.drawnPixels()).clippedTo(redraw);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image->surface());

    // What changed from the last store, for a part redrawn in place: what was cleared and
    // what was drawn. A whole redraw or a moved store damages the layer's whole extent (a
    // scaled layer's filtering reaches further than the part's margin).
    gfx::Rect changed = gfx::Rect::null();
    if (inPart && dx == 0 && dy == 0) changed = cleared.unionWith(drawn).offsetBy(tile.x0, tile.y0).pointsIn(bounds, s);
    if (over && !cleared.contains(moved)) drawn = drawn.unionWith(moved);
    image->setInkBounds(_opaque ? all.rect() : drawn.empty() ? gfx::Rect::zero() : drawn.rect());
    setBackingStore(std::move(image), bounds, drawn.rect(), changed, tile == whole ? gfx::Rect::null() : tile.rect());
}

void Layer::setBackingStore(std::shared_ptr<gfx::Image> image, const gfx::Rect& bounds,
                            const gfx::Rect& drawnPixels, const gfx::Rect& changed, const gfx::Rect& tile) {
    ContentsUpdate& update = _contentsUpdate;
    const std::uint64_t previous = _model.contents ? _model.contents->serialNumber() : 0;
    if (!image || changed.isNull()) {
        update = {};
    } else {
        if (update.to != previous) update.count = 0;
        if (update.count == ContentsUpdate::kSteps) {
            std::move(update.steps.begin() + 1, update.steps.end(), update.steps.begin());
            --update.count;
        }
        update.steps[update.count++] = {previous, changed};
        update.to = image->serialNumber();
    }
    const bool wasBounded = !_backingStore.tile.isNull();
    _backingStore = {image ? image->serialNumber() : 0, bounds, _opaque, drawnPixels, image ? tile : gfx::Rect::null()};
    if (wasBounded != !_backingStore.tile.isNull()) {
        if (wasBounded)
            std::erase(boundedStores(), this);
        else
            boundedStores().push_back(this);
    }
    // A bounded store lies where its tile is in the bounds; a whole one covers them.
    gfx::ImageRef old = std::exchange(_model.contents, std::move(image));
    _model.contentsFrame =
        _backingStore.tile.isNull() ? gfx::Rect::null() : PixelBox::of(tile).pointsIn(bounds, _contentsScale);
    didChangeValue("contents", LayerValue(std::move(old)));
}

gfx::Rect Layer::visibleRect() const {
    gfx::Rect visible = _model.bounds.standardized();
    const Layer* root = this;
    for (const Layer* a = _superlayer; a != nullptr; a = a->_superlayer) {
        root = a;
        if (a->_masksToBounds) visible = visible.intersection(convertRectFromLayer(a->_model.bounds, a));
    }
    // The root (a window) shows its bounds; an empty root is taken for a mere container.
    if (root != this && !root->_model.bounds.isEmpty())
        visible = visible.intersection(convertRectFromLayer(root->_model.bounds, root));
    if (!finite(visible) || visible.isEmpty()) return gfx::Rect::null();
    return visible;
}

bool Layer::boundedStoreLeftBehind() const {
    if (_backingStore.tile.isNull() || !_model.contents || _model.contents->serialNumber() != _backingStore.serial)
        return false;
    const gfx::Rect bounds = _model.bounds.standardized();
    const double s = _contentsScale;
    const PixelBox whole{0, 0, storePixels(bounds.width(), s), storePixels(bounds.height(), s)};
    if (whole.empty()) return false;
    const PixelBox shown = shownPixels(visibleRect(), bounds, s, whole);
    return !(storeTile(whole, shown, _backingStore.tile) == PixelBox::of(_backingStore.tile));
}

bool Layer::markBoundedStoresForDisplay() {
    bool marked = false;
    for (Layer* layer : boundedStores()) {
        if (layer->_needsDisplay || !layer->boundedStoreLeftBehind()) continue;
        // Marked with nothing inside changed: the store moves and draws what it lacks.
        layer->_needsDisplay = true;
        layer->_needsDisplayRect = gfx::Rect::zero();
        if (layer->_superlayer != nullptr) layer->_superlayer->markAncestors(&Layer::_descendantNeedsDisplay);
        marked = true;
    }
    return marked;
}

bool Layer::hasBoundedStoreLeftBehind(const Layer& root) {
    return std::any_of(boundedStores().begin(), boundedStores().end(), [&](const Layer* layer) {
        const Layer* top = layer;
        while (top->_superlayer != nullptr)
            top = top->_superlayer;
        return top == &root && !layer->_needsDisplay && layer->boundedStoreLeftBehind();
    });
}

gfx::Rect Layer::ContentsUpdate::changedSince(std::uint64_t from, std::uint64_t current) const {
    if (current != to) return gfx::Rect::null();
    // Steps that changed nothing have empty rectangles, which add nothing to the union.
    gfx::Rect changed = gfx::Rect::null();
    for (std::size_t i = count; i-- > 0;) {
        if (changed.isNull() || changed.isEmpty())
            changed = steps[i].rect;
        else if (!steps[i].rect.isEmpty())
            changed = changed.unionWith(steps[i].rect);
        if (steps[i].from == from) return changed;
    }
    return gfx::Rect::null();
}

void Layer::drawInContext(gfx::GraphicsContext& context) {
    if (_delegate != nullptr) _delegate->drawLayerInContext(*this, context);
}

void Layer::displayTreeIfNeeded() {
    const std::shared_ptr<Layer> keep = rt::sharedFrom(this);
    runPass(&Layer::_needsDisplay, &Layer::_descendantNeedsDisplay, &Layer::display);
}

// --- Layout.

void Layer::setNeedsLayout() {
    _needsLayout = true;
    if (_superlayer != nullptr) _superlayer->markAncestors(&Layer::_descendantNeedsLayout);
}

void Layer::layoutSublayers() {
    if (_delegate != nullptr) _delegate->layoutSublayersOfLayer(*this);
}

void Layer::runPass(bool Layer::*needs, bool Layer::*descendantNeeds, void (Layer::*work)()) {
    if (this->*needs) {
        this->*needs = false;
        (this->*work)();
    }
    if (!(this->*descendantNeeds)) return;
    this->*descendantNeeds = false;
    // The work may change the tree; walk a copy, skipping layers that have left.
    const auto sublayers = _sublayers;
    for (const auto& l : sublayers)
        if (l->_superlayer == this && (l.get()->*needs || l.get()->*descendantNeeds))
            l->runPass(needs, descendantNeeds, work);
}

void Layer::layoutIfNeeded() {
    Layer* start = this;
    for (Layer* l = _superlayer; l != nullptr; l = l->_superlayer)
        if (l->_needsLayout) start = l;
    const std::shared_ptr<Layer> keep = rt::sharedFrom(start);
    start->runPass(&Layer::_needsLayout, &Layer::_descendantNeedsLayout, &Layer::layoutSublayers);
}

// --- Coordinates.

gfx::Transform3D Layer::transformToSuperlayer(const LayerState& s, const LayerState* superState) {
    const gfx::Point anchor = anchorInBounds(s);
    gfx::Transform3D m = gfx::concat(gfx::Transform3D::makeTranslation(-anchor.x, -anchor.y, 0), s.transform);
    m = gfx::concat(m, gfx::Transform3D::makeTranslation(s.position.x, s.position.y, s.zPosition));
    if (superState != nullptr && !gfx::isIdentity(superState->sublayerTransform)) {
        const gfx::Point superAnchor = anchorInBounds(*superState);
        m = gfx::concat(m, gfx::Transform3D::makeTranslation(-superAnchor.x, -superAnchor.y, 0));
        m = gfx::concat(m, superState->sublayerTransform);
        m = gfx::concat(m, gfx::Transform3D::makeTranslation(superAnchor.x, superAnchor.y, 0));
    }
    return m;
}

gfx::AffineTransform Layer::affineTransformToSuperlayer() const {
    return gfx::affineTransform(transformToSuperlayer(_model, _superlayer ? &_superlayer->_model : nullptr));
}

gfx::AffineTransform Layer::affineTransformToRootSpace(const Layer** root) const {
    gfx::AffineTransform t;
    const Layer* l = this;
    for (; l != nullptr; l = l->_superlayer) {
        t = t.concat(l->affineTransformToSuperlayer());
        if (l->_superlayer == nullptr) break;
    }
    *root = l;
    return t;
}

gfx::Point Layer::convertPointToLayer(gfx::Point point, const Layer* layer) const {
    const Layer* root = nullptr;
    gfx::Point p = affineTransformToRootSpace(&root).apply(point);
    if (layer == nullptr) return p;
    return layer->affineTransformToRootSpace(&root).inverted().apply(p);
}

gfx::Point Layer::convertPointFromLayer(gfx::Point point, const Layer* layer) const {
    const Layer* root = nullptr;
    const gfx::Point p = layer != nullptr ? layer->affineTransformToRootSpace(&root).apply(point) : point;
    return affineTransformToRootSpace(&root).inverted().apply(p);
}

gfx::Rect Layer::convertRectToLayer(const gfx::Rect& rect, const Layer* layer) const {
    const Layer* root = nullptr;
    gfx::AffineTransform t = affineTransformToRootSpace(&root);
    if (layer != nullptr) t = t.concat(layer->affineTransformToRootSpace(&root).inverted());
    return t.apply(rect);
}

gfx::Rect Layer::convertRectFromLayer(const gfx::Rect& rect, const Layer* layer) const {
    const Layer* root = nullptr;
    gfx::AffineTransform t =
        layer != nullptr ? layer->affineTransformToRootSpace(&root) : gfx::AffineTransform{};
    t = t.concat(affineTransformToRootSpace(&root).inverted());
    return t.apply(rect);
}

bool Layer::containsPoint(gfx::Point point) const {
    return _model.bounds.contains(point);
}

Layer* Layer::hitTest(gfx::Point point) {
    if (_model.hidden) return nullptr;
    const gfx::Point local = affineTransformToSuperlayer().inverted().apply(point);
    if (_masksToBounds && !containsPoint(local)) return nullptr;
    for (auto it = _sublayers.rbegin(); it != _sublayers.rend(); ++it)
        if (Layer* hit = (*it)->hitTest(local)) return hit;
    return containsPoint(local) ? this : nullptr;
}

// --- Snapshots and rendering hooks.

void Layer::renderInContext(gfx::GraphicsContext& context) {
    const std::shared_ptr<Layer> keep = rt::sharedFrom(this);
    layoutIfNeeded();
    markBoundedStoresForDisplay();
    displayTreeIfNeeded();
    renderLayerTree(*this, context, RenderOptions{});
}

void Layer::drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const {
    if (state.contents) context.drawImage(state.contents, state.contentsRect());
}

// --- Animations.

void Layer::addAnimation(const std::shared_ptr<const Animation>& animation, std::string key) {
    if (!animation) return;
    noteTreeChange();
    detail::AnimationAccess::makeAnimations(*this).add(*this, animation->copy(), std::move(key));
}

std::shared_ptr<const Animation> Layer::animationForKey(std::string_view key) const {
    return _animations ? _animations->find(key) : nullptr;
}

void Layer::removeAnimationForKey(std::string_view key) {
    if (!_animations) return;
    noteTreeChange();
    _animations->remove(key);
}

void Layer::removeAllAnimations() {
    if (!_animations) return;
    noteTreeChange();
    _animations->removeAll();
}

std::vector<std::string> Layer::animationKeys() const {
    return _animations ? _animations->keys() : std::vector<std::string>{};
}

LayerState Layer::presentationState() const {
    if (!_animations || _animations->empty()) return _model;
    LayerState state = _model;
    _animations->apply(state, currentMediaTime());
    return state;
}

LayerValue Layer::presentationValueForKey(std::string_view keyPath) const {
    const std::optional<detail::KeyPath> path = detail::parseKeyPath(keyPath);
    if (!path) return valueForKey(keyPath);
    return detail::valueAt(presentationState(), *path);
}

// --- Actions and keys.

void Layer::setImplicitActionProvider(ActionProvider provider) {
    implicitActionProvider() = std::move(provider);
}

Layer::ActionProvider Layer::defaultImplicitActionProvider() {
    return detail::implicitLayerAction;
}

LayerActionRef Layer::actionForKey(std::string_view key) {
    if (_delegate != nullptr)
        if (std::optional<LayerActionRef> action = _delegate->actionForLayerForKey(*this, key))
            return *action;
    if (const auto& provider = implicitActionProvider()) return provider(*this, key);
    return nullptr;
}

void Layer::noteChange() {
    ++_changeVersion;
    noteTreeChange();
}

std::uint64_t Layer::changeCount() {
    return changeCounter();
}

void Layer::noteTreeChange() {
    ++changeCounter();
}

void Layer::didChangeValue(std::string_view key, LayerValue oldValue) {
    // What the layer state holds is compared by value where changes are looked for; the
    // version counts the rest (clipping, sidedness, a subclass's properties).
    static constexpr std::string_view stateKeys[] = {"bounds",    "position",          "anchorPoint",
                                                     "zPosition", "transform",         "sublayerTransform",
                                                     "opacity",   "backgroundColor",   "hidden",
                                                     "contents"};
    if (std::find(std::begin(stateKeys), std::end(stateKeys), key) == std::end(stateKeys))
        noteChange();
    else
        noteTreeChange();
    if (Transaction::disableActions()) return;
    if (LayerActionRef action = actionForKey(key)) action->runActionForKey(key, *this, oldValue);
}

namespace {

template <class T> const T* as(const LayerValue& v) {
    return std::get_if<T>(&v);
}

} // namespace

LayerValue Layer::valueForKey(std::string_view key) const {
    if (key == "bounds") return _model.bounds;
    if (key == "position") return _model.position;
    if (key == "anchorPoint") return _model.anchorPoint;
    if (key == "zPosition") return _model.zPosition;
    if (key == "transform") return _model.transform;
    if (key == "sublayerTransform") return _model.sublayerTransform;
    if (key == "opacity") return _model.opacity;
    if (key == "backgroundColor")
        return _model.backgroundColor ? LayerValue(*_model.backgroundColor) : LayerValue();
    if (key == "hidden") return _model.hidden;
    if (key == "contents") return _model.contents;
    if (key == "masksToBounds") return _masksToBounds;
    if (key == "cornerRadius") return _cornerRadius;
    if (key == "doubleSided") return _doubleSided;
    return {};
}

bool Layer::setValueForKey(std::string_view key, const LayerValue& value) {
    if (key == "bounds") {
        if (const auto* v = as<gfx::Rect>(value)) return setBounds(*v), true;
    } else if (key == "position") {
        if (const auto* v = as<gfx::Point>(value)) return setPosition(*v), true;
    } else if (key == "anchorPoint") {
        if (const auto* v = as<gfx::Point>(value)) return setAnchorPoint(*v), true;
    } else if (key == "zPosition") {
        if (const auto* v = as<double>(value)) return setZPosition(*v), true;
    } else if (key == "transform") {
        if (const auto* v = as<gfx::Transform3D>(value)) return setTransform(*v), true;
    } else if (key == "sublayerTransform") {
        if (const auto* v = as<gfx::Transform3D>(value)) return setSublayerTransform(*v), true;
    } else if (key == "opacity") {
        if (const auto* v = as<double>(value)) return setOpacity(*v), true;
    } else if (key == "backgroundColor") {
        if (const auto* v = as<gfx::Color>(value)) return setBackgroundColor(*v), true;
        if (std::holds_alternative<std::monostate>(value)) return setBackgroundColor(std::nullopt), true;
    } else if (key == "hidden") {
        if (const auto* v = as<bool>(value)) return setHidden(*v), true;
    } else if (key == "contents") {
        if (const auto* v = as<gfx::ImageRef>(value)) return setContents(*v), true;
        if (std::holds_alternative<std::monostate>(value)) return setContents(nullptr), true;
    } else if (key == "masksToBounds") {
        if (const auto* v = as<bool>(value)) return setMasksToBounds(*v), true;
    } else if (key == "cornerRadius") {
        if (const auto* v = as<double>(value)) return setCornerRadius(*v), true;
    } else if (key == "doubleSided") {
        if (const auto* v = as<bool>(value)) return setDoubleSided(*v), true;
    }
    return false;
}

} // namespace ui
