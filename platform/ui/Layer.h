#pragma once

// Layers: the retained tree that is composited on screen. Every view has one; transitions
// also build trees of plain layers. A layer has a geometry (bounds, position, anchor point,
// a 3-D transform), an appearance (opacity, background colour, contents image, clipping)
// and ordered sublayers that it owns; the superlayer is a non-owning back pointer, cleared
// on removal.
//
// Geometry: the bounds are the layer's own coordinate space (the origin is what a scrolled
// layer moves). The anchor point, in unit coordinates of the bounds (0.5, 0.5 = the centre),
// is the point that sits at `position` in the superlayer and about which `transform` turns
// and scales. `frame` is derived: under an identity transform its origin is
// position - anchorPoint × size; otherwise it is the bounding box of the transformed bounds.
//
// Changes are deferred: `setNeedsLayout` and `setNeedsDisplay` mark a layer, and the passes
// (`layoutIfNeeded`, `displayTreeIfNeeded`) run the marked ones top-down. A snapshot
// (`renderInContext`) runs both passes first.
//
// Every animatable property change ends in `didChangeValue(key, oldValue)`: the single
// place where actions (implicit animations) are looked up and run. Main thread only.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Transform3D.h"
#include "platform/runtime/Object.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace gfx {
class GraphicsContext;
}

namespace ui {

class Animation;
class Layer;

namespace detail {
class LayerAnimations;
struct AnimationAccess;
} // namespace detail

// A property value by key, as actions and animations see it. `std::monostate` is nil (a
// background colour that is not set, an unknown key). The vectors are a gradient's colours
// and locations.
using LayerValue =
    std::variant<std::monostate, bool, double, gfx::Point, gfx::Size, gfx::Rect, gfx::Transform3D, gfx::Color,
                 gfx::ImageRef, std::vector<gfx::Color>, std::vector<double>>;

// The animatable state of a layer: what the renderer reads. The model holds the values last
// set; the presentation adds the animations in flight.
struct LayerState {
    gfx::Rect bounds;
    gfx::Point position;
    gfx::Point anchorPoint{0.5, 0.5};
    double zPosition = 0;
    gfx::Transform3D transform;
    gfx::Transform3D sublayerTransform;
    double opacity = 1;
    std::optional<gfx::Color> backgroundColor;
    bool hidden = false;
    gfx::ImageRef contents;
    // Where the contents image lies in the bounds' space: null (the whole bounds) but for a
    // bounded backing store, which holds only a part of a layer far larger than the screen.
    gfx::Rect contentsFrame = gfx::Rect::null();

    // The rectangle the contents image is drawn over.
    gfx::Rect contentsRect() const { return contentsFrame.isNull() ? bounds : contentsFrame; }
};

// What runs when an animatable property changes (an implicit animation, typically).
class LayerAction {
public:
    virtual ~LayerAction() = default;
    // Runs after `key` of `layer` changed from `oldValue` to the layer's current model value.
    virtual void runActionForKey(std::string_view key, Layer& layer, const LayerValue& oldValue) = 0;
};
using LayerActionRef = std::shared_ptr<LayerAction>;

// The layer's delegate (a view, for a view's layer). Every method is optional: the defaults
// behave as a delegate that does not implement it.
class LayerDelegate {
public:
    virtual ~LayerDelegate() = default;

    // Sets the layer's contents itself; true when it did (the layer then draws nothing).
    virtual bool displayLayer(Layer& layer);
    // Whether `drawLayerInContext` draws anything: only then does the layer make a backing
    // store when it displays.
    virtual bool implementsDrawLayerInContext(const Layer& layer) const;
    // Draws the layer's contents; the context's coordinates are the layer's bounds.
    virtual void drawLayerInContext(Layer& layer, gfx::GraphicsContext& context);
    virtual void layoutSublayersOfLayer(Layer& layer);
    // Called before the layer's bounds change (a scroll view's origin, a resize).
    virtual void layerWillChangeBounds(Layer& layer, const gfx::Rect& newBounds);
    // The action for a property change: nullopt to let the layer look further (the
    // delegate does not decide), a null action to run none, or the action to run.
    virtual std::optional<LayerActionRef> actionForLayerForKey(Layer& layer, std::string_view key);
};

class Layer : public rt::Object {
public:
    OLM_DECLARE_CLASS(Layer)
    static std::shared_ptr<Layer> make() { return rt::create<Layer>(); }
    ~Layer() override;

    // --- Geometry. Non-finite values are ignored (the property keeps its value).
    const gfx::Rect& bounds() const { return _model.bounds; }
    void setBounds(const gfx::Rect& bounds);
    gfx::Point position() const { return _model.position; }
    void setPosition(gfx::Point position);
    gfx::Point anchorPoint() const { return _model.anchorPoint; }
    void setAnchorPoint(gfx::Point anchorPoint);
    double zPosition() const { return _model.zPosition; }
    void setZPosition(double zPosition);
    gfx::Rect frame() const;
    // Sets the bounds size and the position so that the layer covers `frame`: exactly under
    // a transform that only scales and translates; under a rotation or a 3-D transform the
    // bounds take the frame's size and the transformed bounds are centred on the frame.
    void setFrame(const gfx::Rect& frame);
    const gfx::Transform3D& transform() const { return _model.transform; }
    void setTransform(const gfx::Transform3D& transform);
    gfx::AffineTransform affineTransform() const { return gfx::affineTransform(_model.transform); }
    void setAffineTransform(const gfx::AffineTransform& transform);
    // Applied to every sublayer, about this layer's anchor point (a shared perspective).
    const gfx::Transform3D& sublayerTransform() const { return _model.sublayerTransform; }
    void setSublayerTransform(const gfx::Transform3D& transform);

    // --- Appearance.
    // Group opacity: the layer and its subtree are composited together, then faded. Stored
    // as given; drawn clamped to 0..1.
    double opacity() const { return _model.opacity; }
    void setOpacity(double opacity);
    bool isHidden() const { return _model.hidden; }
    void setHidden(bool hidden);
    bool masksToBounds() const { return _masksToBounds; }
    void setMasksToBounds(bool masks);
    // The radius of the corners the layer clips itself and its sublayers to when it masks to
    // its bounds (at most half the shorter side); 0: square corners. Not animated.
    double cornerRadius() const { return _cornerRadius; }
    void setCornerRadius(double radius);
    const std::optional<gfx::Color>& backgroundColor() const { return _model.backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color);
    // An image stretched over the bounds.
    const gfx::ImageRef& contents() const { return _model.contents; }
    void setContents(gfx::ImageRef contents);
    // The part of the bounds the contents cover (see LayerState::contentsFrame).
    const gfx::Rect& contentsFrame() const { return _model.contentsFrame; }
    // Pixels per point of the backing store `display` makes (1 for a new layer, the screen
    // scale for a view's layer). Values not above zero are ignored.
    double contentsScale() const { return _contentsScale; }
    void setContentsScale(double scale);
    // A layer that is not double-sided is not drawn when its back faces the viewer.
    bool isDoubleSided() const { return _doubleSided; }
    void setDoubleSided(bool doubleSided);
    bool allowsEdgeAntialiasing() const { return _allowsEdgeAntialiasing; }
    void setAllowsEdgeAntialiasing(bool allows);
    // An opaque layer's backing store starts black instead of transparent.
    bool isOpaque() const { return _opaque; }
    void setOpaque(bool opaque);
    bool needsDisplayOnBoundsChange() const { return _needsDisplayOnBoundsChange; }
    void setNeedsDisplayOnBoundsChange(bool needs) { _needsDisplayOnBoundsChange = needs; }
    // A name for debugging and tests.
    const std::string& name() const { return _name; }
    void setName(std::string name) { _name = std::move(name); }

    // --- Delegate (not owned: a delegate clears itself before it goes away).
    LayerDelegate* delegate() const { return _delegate; }
    void setDelegate(LayerDelegate* delegate) { _delegate = delegate; }

    // --- Tree. A layer added elsewhere first leaves its old superlayer. Adding a layer to
    // itself or to one of its descendants, or a null layer, is ignored.
    Layer* superlayer() const { return _superlayer; }
    // In insertion order (drawing order is by zPosition first, see `sublayersInDrawingOrder`).
    const std::vector<std::shared_ptr<Layer>>& sublayers() const { return _sublayers; }
    void addSublayer(std::shared_ptr<Layer> layer);
    // An index past the end appends; a negative index inserts at the front.
    void insertSublayer(std::shared_ptr<Layer> layer, long index);
    // When `sibling` is not a sublayer the layer is appended.
    void insertSublayerAbove(std::shared_ptr<Layer> layer, const Layer* sibling);
    void insertSublayerBelow(std::shared_ptr<Layer> layer, const Layer* sibling);
    // Puts `replacement` where `old` was; nothing happens when `old` is not a sublayer.
    void replaceSublayer(const Layer* old, std::shared_ptr<Layer> replacement);
    void removeFromSuperlayer();
    // True for the layer itself and for every layer below it.
    bool isDescendantOf(const Layer* layer) const;
    // Sublayers ordered by zPosition, equal ones in insertion order (back to front).
    std::vector<Layer*> sublayersInDrawingOrder() const;

    // --- Display.
    void setNeedsDisplay();
    // Marks part of the layer (in its bounds' space): when only parts are marked, `display`
    // keeps the rest of the backing store and redraws those parts alone (clipped to them,
    // grown to whole pixels of the store). A non-finite rectangle marks the whole, an empty
    // one nothing.
    void setNeedsDisplayInRect(const gfx::Rect& rect);
    bool needsDisplay() const { return _needsDisplay; }
    void displayIfNeeded();
    // Makes the contents: the delegate's `displayLayer`, or else, when the layer draws
    // (`drawsInContext`), a backing store of the bounds' size at `contentsScale` drawn by
    // `drawInContext`. A store that would exceed `maxStorePixels` on a side is bounded: it
    // holds only the part of the layer its clipping ancestors (and the tree's root) let show,
    // with a margin of a quarter of that part on each side, at most `maxStorePixels` on a
    // side (`contentsFrame` tells where), and it is drawn clipped to that part. A layer that
    // does not draw keeps its contents. The store is a new image each time, but when nothing
    // else holds the last one and the pixel size is the same, the new one takes over its
    // pixels and only what was drawn in them is cleared first (the change then reports no old
    // contents).
    virtual void display();
    // Draws into the backing store; by default asks the delegate.
    virtual void drawInContext(gfx::GraphicsContext& context);
    // Whether `display` makes a backing store: a subclass that overrides `drawInContext`
    // answers true.
    virtual bool drawsInContext() const;
    // The display pass: displays every marked layer of the subtree.
    void displayTreeIfNeeded();
    // The longest side, in pixels, of a backing store drawn whole.
    static constexpr int maxStorePixels = 4096;
    // Marks for display every layer whose bounded backing store no longer holds all of the
    // part that shows (scrolled past its margin): it then moves, keeping the pixels it still
    // holds and drawing only what it did not. The run loop calls it before each display pass;
    // snapshots before theirs. True when it marked any.
    static bool markBoundedStoresForDisplay();
    // Whether a bounded backing store in the tree of `root` no longer holds all of the part that
    // shows (and is not marked yet): what markBoundedStoresForDisplay would mark there. Nothing
    // is marked.
    static bool hasBoundedStoreLeftBehind(const Layer& root);

    // --- Layout.
    void setNeedsLayout();
    bool needsLayout() const { return _needsLayout; }
    // The layout pass: starts at the outermost marked ancestor (or here) and lays out every
    // marked layer below it, parents before children.
    void layoutIfNeeded();
    // Lays out the sublayers; by default asks the delegate.
    virtual void layoutSublayers();

    // --- Coordinates. Conversions go through the affine parts of the transforms; a null
    // layer stands for the space of the tree's root's frame. Layers in different trees are
    // related through their roots' frame spaces.
    gfx::Point convertPointFromLayer(gfx::Point point, const Layer* layer) const;
    gfx::Point convertPointToLayer(gfx::Point point, const Layer* layer) const;
    gfx::Rect convertRectFromLayer(const gfx::Rect& rect, const Layer* layer) const;
    gfx::Rect convertRectToLayer(const gfx::Rect& rect, const Layer* layer) const;
    // Whether a point of the layer's own space lies inside its bounds.
    virtual bool containsPoint(gfx::Point point) const;
    // The deepest visible layer under `point` (in the superlayer's space), sublayers tried
    // from the last added to the first (zPosition plays no part). Null when none.
    Layer* hitTest(gfx::Point point);

    // The transform from this layer's space into the superlayer's, including the
    // superlayer's sublayerTransform (`superlayerState` null: none), for the given state.
    static gfx::Transform3D transformToSuperlayer(const LayerState& state, const LayerState* superlayerState);
    // The same for the model, through affine parts only.
    gfx::AffineTransform affineTransformToSuperlayer() const;

    // --- Snapshots. Runs the pending layout and display of the subtree, then draws the
    // layer and its sublayers into the context, in this layer's own coordinate space.
    void renderInContext(gfx::GraphicsContext& context);

    // --- Rendering hooks.
    // False for a layer whose sublayers share its 3-D space instead of being flattened.
    virtual bool flattensSublayers() const { return true; }
    // Draws what the layer shows over its background in its own coordinates: the contents
    // image stretched to the bounds; subclasses add their own (a gradient).
    virtual void drawOwnContent(gfx::GraphicsContext& context, const LayerState& state) const;
    // How many separate drawings `drawOwnContent` makes (whether a faded layer needs to be
    // composited as a group).
    virtual int ownContentDrawingCount(const LayerState& state) const { return state.contents ? 1 : 0; }

    // --- Change tracking (what the compositor's damage tracking reads). Every change that
    // can alter what a layer draws (an animatable property, a clipping or antialiasing flag,
    // its animations, its place in the tree) counts.
    // A number no other layer made by this process has.
    std::uint64_t serialNumber() const { return _serialNumber; }
    // Counts the changes of the layer's own properties that its state (`modelState`) does
    // not hold: clipping, sidedness, antialiasing, a subclass's own (a gradient's colours).
    std::uint64_t changeVersion() const { return _changeVersion; }
    // Counts every change of every layer and of every tree: unchanged, no layer anywhere
    // looks different (animated layers aside: their looks follow the media time).
    static std::uint64_t changeCount();
    // Counts a change that no single layer's version records (a tree change, an animation tick).
    static void noteTreeChange();
    // What the last displays that redrew only part of the backing store changed: each made
    // the image `to` from the one before it, and only inside its rectangle (bounds space).
    struct ContentsUpdate {
        struct Step {
            std::uint64_t from = 0; // the image it started from (a serial number)
            gfx::Rect rect = gfx::Rect::null();
        };
        static constexpr std::size_t kSteps = 4;
        std::array<Step, kSteps> steps; // the last `count`, oldest first
        std::size_t count = 0;
        std::uint64_t to = 0; // the image the last one made
        // Where the image `current` differs from the image `from` (serial numbers), in the
        // bounds' space; null when that is not known (the whole may differ).
        gfx::Rect changedSince(std::uint64_t from, std::uint64_t current) const;
    };
    const ContentsUpdate& lastContentsUpdate() const { return _contentsUpdate; }

    // --- Animations (see Animation.h).
    // Adds a copy of the animation under `key`; an animation already under the key is
    // removed first (it stops with finished false). An empty key never replaces anything
    // and is not listed. A null animation is ignored.
    void addAnimation(const std::shared_ptr<const Animation>& animation, std::string key);
    // The layer's copy, or null.
    std::shared_ptr<const Animation> animationForKey(std::string_view key) const;
    // Removing stops the animation with finished false.
    void removeAnimationForKey(std::string_view key);
    void removeAllAnimations();
    // In the order added.
    std::vector<std::string> animationKeys() const;
    // A layer destroyed with animations on it stops them with finished false (their
    // delegates hear it from the main queue, after the layer is gone).

    // --- Animation support.
    const LayerState& modelState() const { return _model; }
    // The state as shown on screen: the model with the animations in flight applied at the
    // current media time. The model itself when no animation is in flight (cheap).
    virtual LayerState presentationState() const;
    // One value of the presentation by key path (Animation.h lists them; other keys answer
    // the model's valueForKey).
    LayerValue presentationValueForKey(std::string_view keyPath) const;
    // Property access by key ("bounds", "position", "anchorPoint", "zPosition", "transform",
    // "sublayerTransform", "opacity", "backgroundColor", "hidden", "contents",
    // "masksToBounds", "cornerRadius", "doubleSided"; subclasses add theirs); nil for an unknown key.
    virtual LayerValue valueForKey(std::string_view key) const;
    // Sets through the property's setter (so actions run); false for an unknown key or a
    // value of the wrong kind.
    virtual bool setValueForKey(std::string_view key, const LayerValue& value);
    // The action for a property change: the delegate's answer, else the implicit one.
    virtual LayerActionRef actionForKey(std::string_view key);
    // Supplies the implicit actions of layers whose delegate does not decide. The default
    // one animates a change of an animatable property (Animation.h) over the transaction's
    // animation duration with the default curve, under the property's name as the key,
    // when the value really changed and the layer was made before the last animation tick
    // (a layer being built does not animate from its defaults). With none set, changes take
    // effect at once.
    using ActionProvider = std::function<LayerActionRef(Layer& layer, std::string_view key)>;
    static void setImplicitActionProvider(ActionProvider provider);
    // The animation engine's provider (what is installed at start), to restore after a swap.
    static ActionProvider defaultImplicitActionProvider();

protected:
    Layer();
    void init() {}

    // Called by every animatable property setter after it stored the new value, with the
    // value it replaced: runs the action for the key unless the transaction disables them.
    void didChangeValue(std::string_view key, LayerValue oldValue);
    // Counts a change of the layer's own appearance (didChangeValue does).
    void noteChange();
    // Makes `image` the contents as the backing store drawn for `bounds`, with the pixels
    // drawn in it (null: none) and where it differs from the contents it replaces (bounds
    // space; null when unrelated to them).
    void setBackingStore(std::shared_ptr<gfx::Image> image, const gfx::Rect& bounds, const gfx::Rect& drawnPixels,
                         const gfx::Rect& changed, const gfx::Rect& tile = gfx::Rect::null());
    // Stores `value` in `member`, then reports the change of `key`.
    template <class T> void changeValue(T& member, T value, std::string_view key) {
        T old = std::exchange(member, std::move(value));
        didChangeValue(key, LayerValue(std::move(old)));
    }

private:
    friend class rt::Access;

    void attachSublayer(std::shared_ptr<Layer> layer, std::size_t index);
    void insertSublayerBeside(std::shared_ptr<Layer> layer, const Layer* sibling, bool above);
    // Flags this layer and its ancestors as having marked layers below them.
    void markAncestors(bool Layer::*descendantNeeds);
    // A deferred pass (layout or display): does the work of every marked layer of the
    // subtree, parents first, and clears the marks.
    void runPass(bool Layer::*needs, bool Layer::*descendantNeeds, void (Layer::*work)());
    // The transform to the root's frame space through affine parts, and that root.
    gfx::AffineTransform affineTransformToRootSpace(const Layer** root) const;
    // The part of the bounds that the masking ancestors and the tree's root let show (their
    // bounds, through affine parts); null when none does.
    gfx::Rect visibleRect() const;
    // Whether the bounded backing store no longer holds all of what shows.
    bool boundedStoreLeftBehind() const;

    LayerState _model;
    bool _masksToBounds = false;
    double _cornerRadius = 0;
    double _contentsScale = 1;
    bool _doubleSided = true;
    bool _allowsEdgeAntialiasing = false;
    bool _opaque = false;
    bool _needsDisplayOnBoundsChange = false;
    bool _needsDisplay = false;
    // The union of the parts marked by setNeedsDisplayInRect; null when the whole is marked.
    gfx::Rect _needsDisplayRect = gfx::Rect::null();
    ContentsUpdate _contentsUpdate;
    // The backing store the last display made, and what it was drawn for.
    struct BackingStore {
        std::uint64_t serial = 0;
        gfx::Rect bounds;
        bool opaque = false;
        gfx::Rect drawn = gfx::Rect::null(); // the pixels drawn in it, as the context saw them
        // A bounded store's pixels among those of the whole layer's store; null: all of them.
        gfx::Rect tile = gfx::Rect::null();
    } _backingStore;
    std::uint64_t _serialNumber = 0;
    std::uint64_t _changeVersion = 0;
    bool _needsLayout = false;
    bool _descendantNeedsDisplay = false;
    bool _descendantNeedsLayout = false;
    std::string _name;

    LayerDelegate* _delegate = nullptr;
    Layer* _superlayer = nullptr;
    std::vector<std::shared_ptr<Layer>> _sublayers;

    friend struct detail::AnimationAccess;
    // The animations on the layer (null until the first is added).
    std::unique_ptr<detail::LayerAnimations> _animations;
    // The animation tick in which the layer was made.
    unsigned long _madeInFrame = 0;
};

} // namespace ui
