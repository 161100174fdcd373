#pragma once

// Views: rectangles on screen that draw, lay out their subviews and take touches. Every
// view is backed by a layer (its geometry and appearance live there) and is that layer's
// delegate. Views own their subviews; `superview()` is a non-owning back pointer, cleared
// when the view is removed.
//
// Geometry: `frame` is in the superview's coordinates and derived from the layer
// (`center` is the layer's position, `bounds` its bounds); `transform` is a 2-D affine
// transform applied about the layer's anchor point.
//
// Layout and display are deferred: `setNeedsLayout` / `setNeedsDisplay` mark the view and
// the passes (`layoutIfNeeded` on a root, then the layer tree's display pass) run
// `layoutSubviews` and `drawRect` later, once per view however often it was marked.
//
// A view that draws overrides both `drawRect` and `drawsContent` (returning true): only such
// views get a backing store.
//
//     class Badge : public ui::View {
//     public:
//         OLM_DECLARE_CLASS(Badge)
//         static std::shared_ptr<Badge> make(gfx::Rect frame) { return rt::create<Badge>(frame); }
//         bool drawsContent() const override { return true; }
//         void drawRect(const gfx::Rect& rect) override;   // draws into gfx::currentContext()
//     protected:
//         friend class rt::Access;
//     };
//
// Main thread only.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Responder.h"
#include "platform/ui/ViewAnimation.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class GestureRecognizer;
class ViewController;

using ViewAutoresizing = unsigned long;
inline constexpr ViewAutoresizing ViewAutoresizingNone = 0;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleLeftMargin = 1;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleWidth = 2;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleRightMargin = 4;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleTopMargin = 8;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleHeight = 16;
inline constexpr ViewAutoresizing ViewAutoresizingFlexibleBottomMargin = 32;

// How a view's contents follow a change of its bounds. Only `ViewContentModeRedraw` changes
// what the view does here (it redraws); with the others the last drawing is stretched to
// the new bounds until the view is marked for display.
using ViewContentMode = long;
inline constexpr ViewContentMode ViewContentModeScaleToFill = 0;
inline constexpr ViewContentMode ViewContentModeScaleAspectFit = 1;
inline constexpr ViewContentMode ViewContentModeScaleAspectFill = 2;
inline constexpr ViewContentMode ViewContentModeRedraw = 3;
inline constexpr ViewContentMode ViewContentModeCenter = 4;
inline constexpr ViewContentMode ViewContentModeTop = 5;
inline constexpr ViewContentMode ViewContentModeBottom = 6;
inline constexpr ViewContentMode ViewContentModeLeft = 7;
inline constexpr ViewContentMode ViewContentModeRight = 8;
inline constexpr ViewContentMode ViewContentModeTopLeft = 9;
inline constexpr ViewContentMode ViewContentModeTopRight = 10;
inline constexpr ViewContentMode ViewContentModeBottomLeft = 11;
inline constexpr ViewContentMode ViewContentModeBottomRight = 12;

class View : public Responder, public LayerDelegate {
public:
    OLM_DECLARE_CLASS(View)
    static std::shared_ptr<View> make(const gfx::Rect& frame = {}) { return rt::create<View>(frame); }
    ~View() override;

    // The backing layer, made once by `makeBackingLayer` when the view is initialised.
    const std::shared_ptr<Layer>& layer() const { return _layer; }

    // --- Geometry. A change of the bounds' size lays out the view again and resizes the
    // subviews by their autoresizing masks.
    gfx::Rect frame() const { return _layer->frame(); }
    void setFrame(const gfx::Rect& frame);
    gfx::Rect bounds() const { return _layer->bounds(); }
    void setBounds(const gfx::Rect& bounds);
    gfx::Point center() const { return _layer->position(); }
    void setCenter(gfx::Point center) { _layer->setPosition(center); }
    gfx::AffineTransform transform() const { return _layer->affineTransform(); }
    void setTransform(const gfx::AffineTransform& transform) { _layer->setAffineTransform(transform); }

    // --- Appearance.
    double alpha() const { return _layer->opacity(); }
    void setAlpha(double alpha) { _layer->setOpacity(alpha); }
    bool isHidden() const { return _layer->isHidden(); }
    void setHidden(bool hidden) { _layer->setHidden(hidden); }
    // A hint for drawing; the view is composited with its alpha and background all the same.
    bool isOpaque() const { return _opaque; }
    void setOpaque(bool opaque) { _opaque = opaque; }
    bool clipsToBounds() const { return _layer->masksToBounds(); }
    void setClipsToBounds(bool clips) { _layer->setMasksToBounds(clips); }
    // Painted under what `drawRect` draws; nil is no background.
    const std::optional<gfx::Color>& backgroundColor() const { return _layer->backgroundColor(); }
    void setBackgroundColor(std::optional<gfx::Color> color) { _layer->setBackgroundColor(color); }
    // The view's own tint, else its superview's, else the system blue.
    gfx::Color tintColor() const;
    // Nil makes the view inherit its tint again.
    void setTintColor(std::optional<gfx::Color> color);
    // Called when the tint the view shows changes (its own, or an inherited one).
    virtual void tintColorDidChange() {}
    bool isUserInteractionEnabled() const { return _userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { _userInteractionEnabled = enabled; }
    long tag() const { return _tag; }
    void setTag(long tag) { _tag = tag; }
    // This view or the first descendant (depth first, in subview order) with the tag.
    View* viewWithTag(long tag);
    ViewContentMode contentMode() const { return _contentMode; }
    void setContentMode(ViewContentMode mode);

    // --- Tree. Adding a view takes it out of its old superview first; adding a view to
    // itself or to one of its descendants, or a null view, is ignored.
    View* superview() const { return _superview; }
    const std::vector<std::shared_ptr<View>>& subviews() const { return _subviews; }
    // The nearest ancestor (or this view) that is a window; null when there is none.
    View* window() const;
    virtual bool isWindow() const { return false; }
    void addSubview(std::shared_ptr<View> view);
    // An index past the end appends; a negative index inserts at the back.
    void insertSubview(std::shared_ptr<View> view, long index);
    // When `sibling` is not a subview the view is appended.
    void insertSubviewAbove(std::shared_ptr<View> view, const View* sibling);
    void insertSubviewBelow(std::shared_ptr<View> view, const View* sibling);
    void removeFromSuperview();
    void bringSubviewToFront(const View* view);
    void sendSubviewToBack(const View* view);
    // True for the view itself and every view below it.
    bool isDescendantOfView(const View* view) const;

    // Hooks, in the order they are called. Adding: willMoveToSuperview(new),
    // [old superview's willRemoveSubview], willMoveToWindow, didMoveToWindow,
    // didMoveToSuperview, new superview's didAddSubview. Removing: superview's
    // willRemoveSubview, willMoveToSuperview(null), willMoveToWindow(null),
    // didMoveToWindow, didMoveToSuperview (superview already null).
    // The window hooks run on every view of the moved subtree, and only when the window
    // changes.
    virtual void willMoveToSuperview(View* newSuperview) { (void)newSuperview; }
    virtual void didMoveToSuperview() {}
    virtual void willMoveToWindow(View* newWindow) { (void)newWindow; }
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(View* subview) { (void)subview; }
    virtual void willRemoveSubview(View* subview) { (void)subview; }

    // --- Layout.
    void setNeedsLayout() { _layer->setNeedsLayout(); }
    // Runs the pending layout of this view's tree now (from the outermost marked ancestor
    // down), parents before children.
    void layoutIfNeeded() { _layer->layoutIfNeeded(); }
    // Lays out the subviews; the default does nothing. Overrides need not call it.
    virtual void layoutSubviews() {}
    ViewAutoresizing autoresizingMask() const { return _autoresizingMask; }
    void setAutoresizingMask(ViewAutoresizing mask) { _autoresizingMask = mask; }
    bool autoresizesSubviews() const { return _autoresizesSubviews; }
    void setAutoresizesSubviews(bool resizes) { _autoresizesSubviews = resizes; }
    // The size the view would like within `size`; by default its current size.
    virtual gfx::Size sizeThatFits(gfx::Size size) const;
    // Resizes the view to `sizeThatFits` of its size, keeping its frame's origin.
    void sizeToFit();

    // --- Display.
    // Marks the view for drawing; ignored by views that do not draw.
    void setNeedsDisplay();
    void setNeedsDisplayInRect(const gfx::Rect& rect);
    // Draws the view into the current context (gfx::currentContext()), in bounds
    // coordinates, clipped to `rect`: the whole bounds, or when only parts were marked
    // (setNeedsDisplayInRect) the box around them grown to whole pixels of the store, within
    // the bounds. Drawing outside it is lost and may be skipped; lay out by `bounds()`.
    virtual void drawRect(const gfx::Rect& rect) { (void)rect; }
    // Whether the view draws (overrides `drawRect`).
    virtual bool drawsContent() const { return false; }

    // --- Events.
    // The deepest view under `point` (in this view's coordinates) that takes touches;
    // hidden views, views with alpha below 0.01 and views with interaction disabled are
    // skipped with their subviews, and so are points outside a view's bounds.
    virtual View* hitTest(gfx::Point point, Event* event);
    virtual bool pointInside(gfx::Point point, Event* event) const;
    // Conversions between views' coordinates; a null view means the window's.
    gfx::Point convertPointToView(gfx::Point point, const View* view) const;
    gfx::Point convertPointFromView(gfx::Point point, const View* view) const;
    gfx::Rect convertRectToView(const gfx::Rect& rect, const View* view) const;
    gfx::Rect convertRectFromView(const gfx::Rect& rect, const View* view) const;
    // The superview.
    Responder* nextResponder() const override { return _superview; }

    // --- Gesture recognizers (kept in the order added, no duplicates, null ignored).
    void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
    void removeGestureRecognizer(const GestureRecognizer* recognizer);
    const std::vector<std::shared_ptr<GestureRecognizer>>& gestureRecognizers() const {
        return _gestureRecognizers;
    }

    // --- The backing layer's delegate.
    bool implementsDrawLayerInContext(const Layer& layer) const override;
    void drawLayerInContext(Layer& layer, gfx::GraphicsContext& context) override;
    // Runs `layoutSubviews` for the view's own layer, between the `viewWillLayoutSubviews` and
    // `viewDidLayoutSubviews` of the controller whose view this is. Overrides call it first.
    void layoutSublayersOfLayer(Layer& layer) override;
    // Changes of a view's layer take effect at once, except the animatable ones made inside
    // the animation blocks below, which the block records and animates.
    std::optional<LayerActionRef> actionForLayerForKey(Layer& layer, std::string_view key) override;

    // --- Animation blocks (rules and options in ViewAnimation.h). `animations` runs at once;
    // the changes it makes to views animate. Durations and delays in seconds; a null block
    // animates nothing (the completion still runs).
    static void animateWithDuration(double duration, const std::function<void()>& animations);
    static void animateWithDuration(double duration, const std::function<void()>& animations,
                                    ViewAnimationCompletion completion);
    static void animateWithDuration(double duration, double delay, ViewAnimationOptions options,
                                    const std::function<void()>& animations,
                                    ViewAnimationCompletion completion);
    // Paced by a damped spring that settles exactly at the end of the duration (ui::SpringCurve;
    // the curve bits of the options are not used). `dampingRatio` 1 does not overshoot;
    // `initialVelocity` is in fractions of the whole change per second. An overshooting alpha
    // is shown clamped to 0…1.
    static void animateWithDuration(double duration, double delay, double dampingRatio,
                                    double initialVelocity, ViewAnimationOptions options,
                                    const std::function<void()>& animations,
                                    ViewAnimationCompletion completion);
    static void animateKeyframesWithDuration(double duration, double delay,
                                             ViewKeyframeAnimationOptions options,
                                             const std::function<void()>& animations,
                                             ViewAnimationCompletion completion);
    // Inside a keyframe block: the changes `animations` makes run from `relativeStartTime` for
    // `relativeDuration` (fractions of the whole). Outside one it just runs the block.
    static void addKeyframeWithRelativeStartTime(double relativeStartTime, double relativeDuration,
                                                 const std::function<void()>& animations);
    // Runs the block with view animations off (changes take effect at once).
    static void performWithoutAnimation(const std::function<void()>& actions);
    static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool enabled);

protected:
    View() = default;
    // The initialiser (`initWithFrame:`).
    void init(const gfx::Rect& frame);
    friend class rt::Access;

    // Makes the backing layer; override to back the view by another kind of layer.
    virtual std::shared_ptr<Layer> makeBackingLayer() const;

private:
    void attachSubview(std::shared_ptr<View> view, std::size_t index);
    void placeSubviewLayer(View& view, std::size_t index);
    void insertSubviewBeside(std::shared_ptr<View> view, const View* sibling, bool above);
    void moveSubview(const View* view, bool toFront);
    void boundsSizeChanged(gfx::Size oldSize);
    void resizeSubviews(gfx::Size oldSize);
    void tintDidChangeInherited();
    static void notifyWillMoveToWindow(View& view, View* newWindow);
    static void notifyDidMoveToWindow(View& view);

    std::shared_ptr<Layer> _layer;
    View* _superview = nullptr;
    // The controller whose view this is (it owns the view and clears the link).
    friend class ViewController;
    ViewController* _viewController = nullptr;
    std::vector<std::shared_ptr<View>> _subviews;
    std::vector<std::shared_ptr<GestureRecognizer>> _gestureRecognizers;
    std::optional<gfx::Color> _tintColor;
    ViewAutoresizing _autoresizingMask = ViewAutoresizingNone;
    ViewContentMode _contentMode = ViewContentModeScaleToFill;
    long _tag = 0;
    bool _opaque = true;
    bool _userInteractionEnabled = true;
    bool _autoresizesSubviews = true;
};

} // namespace ui
