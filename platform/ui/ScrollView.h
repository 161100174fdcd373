#pragma once

// Scroll views: a view whose bounds origin (the content offset) moves over content larger
// than itself. Its own pan recognizer drags the content; a release with speed decelerates it
// toward a target the delegate may rewrite; a release beyond the content's edge springs back.
//
// Motion after a release and animated offsets run on a display link, on the media clock, in
// the animations phase of the run loop: deterministic under a stepped clock, and the run loop
// is not idle while they run.
//
// Dragging: the content follows the finger 1:1 from the event in which the pan began; beyond
// an edge (with `bounces`) the overshoot is damped to (1 - 1 / (x * 0.55 / d + 1)) * d for a
// finger overshoot x and the view's extent d. The pan does not begin when the movement that
// starts it runs mainly along an axis the view cannot scroll, so an ancestor's pan gets it.
//
// Release: the velocity reported to `scrollViewWillEndDragging…` is in points per millisecond,
// positive when the offset grows. The proposed target is offset + v * r / (1 - r) with
// r = 0.998 per millisecond, clamped to the content; the delegate may write another, which is
// clamped too. The content then moves as x(t) = x0 + D * (1 - r^t), t in milliseconds and
// D = target - x0, and is set exactly on the target once within half a device pixel of it.
//
// Scrolling lays out the scroll view itself, never its superview. Main thread only.

#include "platform/ui/View.h"

#include <memory>

namespace ui {

class DisplayLink;
class PanGestureRecognizer;
class ScrollView;

// The scroll view's delegate; every method is optional (the defaults do nothing). Held weakly.
class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    // The content offset changed (a drag, motion, or `setContentOffset`).
    virtual void scrollViewDidScroll(ScrollView& scrollView) { (void)scrollView; }
    virtual void scrollViewWillBeginDragging(ScrollView& scrollView) { (void)scrollView; }
    // At the release: `velocity` in points per millisecond; `targetContentOffset` holds the
    // proposed target and may be rewritten (a non-finite value is ignored).
    virtual void scrollViewWillEndDraggingWithVelocityTargetContentOffset(ScrollView& scrollView,
                                                                          gfx::Point velocity,
                                                                          gfx::Point* targetContentOffset) {
        (void)scrollView;
        (void)velocity;
        (void)targetContentOffset;
    }
    // `decelerate` is YES exactly when the content moves on after the release.
    virtual void scrollViewDidEndDraggingWillDecelerate(ScrollView& scrollView, bool decelerate) {
        (void)scrollView;
        (void)decelerate;
    }
    // Once per deceleration: at rest, or when a touch or `setContentOffset` stops it.
    virtual void scrollViewDidEndDecelerating(ScrollView& scrollView) { (void)scrollView; }
    // An animated `setContentOffset` arrived.
    virtual void scrollViewDidEndScrollingAnimation(ScrollView& scrollView) { (void)scrollView; }
};

class ScrollView : public View {
public:
    OLM_DECLARE_CLASS(ScrollView)
    static std::shared_ptr<ScrollView> make(const gfx::Rect& frame = {}) { return rt::create<ScrollView>(frame); }
    ~ScrollView() override;

    // The deceleration rate per millisecond.
    static constexpr double decelerationRate = 0.998;
    // The duration of an animated `setContentOffset` (ease in, ease out).
    static constexpr double scrollAnimationDuration = 0.3;

    // The bounds origin.
    gfx::Point contentOffset() const { return bounds().origin; }
    // Never clamped; stops any motion first (a deceleration reports its end). Non-finite
    // offsets are ignored. Animated, the offset moves over `scrollAnimationDuration` and the
    // delegate hears `scrollViewDidEndScrollingAnimation` when it arrives.
    void setContentOffset(gfx::Point offset);
    void setContentOffset(gfx::Point offset, bool animated);
    gfx::Size contentSize() const { return _contentSize; }
    // Negative or non-finite extents count as 0.
    void setContentSize(gfx::Size size);

    std::shared_ptr<ScrollViewDelegate> delegate() const { return _delegate.lock(); }
    void setDelegate(const std::shared_ptr<ScrollViewDelegate>& delegate) { _delegate = delegate; }

    PanGestureRecognizer& panGestureRecognizer() const { return *_pan; }
    bool isScrollEnabled() const;
    void setScrollEnabled(bool enabled);
    // Whether a drag may pull the content beyond its edges (YES).
    bool bounces() const { return _bounces; }
    void setBounces(bool bounces) { _bounces = bounces; }
    // Whether an axis whose content fits the view may still be dragged (and bounce).
    bool alwaysBounceVertical() const { return _alwaysBounceVertical; }
    void setAlwaysBounceVertical(bool bounce) { _alwaysBounceVertical = bounce; }
    bool alwaysBounceHorizontal() const { return _alwaysBounceHorizontal; }
    void setAlwaysBounceHorizontal(bool bounce) { _alwaysBounceHorizontal = bounce; }

    // From the pan's beginning to the finger's lift.
    bool isDragging() const { return _dragging; }
    // From a release that moves the content on until it rests or is stopped.
    bool isDecelerating() const { return _motion == Motion::decelerating; }
    // Whether a finger is on the content (since it touched down, until it lifts).
    bool isTracking() const { return _tracking; }

    // The largest offset that shows no space after the content: contentSize - bounds size,
    // at least 0, per axis.
    gfx::Point maximumContentOffset() const;

protected:
    ScrollView() = default;
    void init(const gfx::Rect& frame);
    friend class rt::Access;

    // Whether the finger that touched down last stopped motion (a deceleration or an
    // animated offset) on its way down: such a touch selects nothing.
    bool touchStoppedMotion() const { return _touchStoppedMotion; }

private:
    class Pan;
    class PanDelegate;
    friend class Pan;
    friend class PanDelegate;
    enum class Motion { none, decelerating, animating };

    bool canScrollHorizontally() const;
    bool canScrollVertically() const;
    bool panShouldBegin(const PanGestureRecognizer& pan) const;
    void fingerDown();
    void fingerLifted();
    void pan(PanGestureRecognizer& recognizer);
    void beginDrag();
    void dragTo(gfx::Point translation);
    void endDrag(gfx::Point velocity);
    // Moves the offset and reports it; the start of every change but `setContentOffset`'s.
    void moveContent(gfx::Point offset);
    void startMotion(Motion motion, gfx::Point target, double duration = 0);
    // Stops motion; a deceleration reports its end when `report`.
    void stopMotion(bool report);
    void tick(double now);
    gfx::Point clampedOffset(gfx::Point offset) const;
    gfx::Point dampedOffset(gfx::Point raw) const;
    gfx::Point undampedOffset(gfx::Point offset) const;

    std::weak_ptr<ScrollViewDelegate> _delegate;
    std::shared_ptr<PanGestureRecognizer> _pan;
    std::shared_ptr<PanDelegate> _panDelegate;
    std::shared_ptr<DisplayLink> _link;
    gfx::Size _contentSize;
    bool _bounces = true;
    bool _alwaysBounceVertical = false;
    bool _alwaysBounceHorizontal = false;
    bool _dragging = false;
    bool _tracking = false;
    bool _touchStoppedMotion = false;
    // The undamped offset the finger's translation is measured from.
    gfx::Point _dragOrigin;

    Motion _motion = Motion::none;
    double _motionStart = 0;
    double _motionDuration = 0;
    gfx::Point _motionFrom;
    gfx::Point _motionTarget;
};

} // namespace ui
