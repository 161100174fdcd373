#pragma once

// Gesture recognizers: objects attached to a view that watch the touches on it (and on its
// subviews) and turn them into a gesture: a tap, a pan, a pinch. A recognizer is a small
// state machine:
//
//     possible --> began --> changed ... --> ended        (continuous: pan, pinch)
//        |           \-------------------> cancelled
//        |--> ended (= recognized)                         (discrete: tap)
//        \--> failed
//
// On every change out of `possible` (but to `failed`) the recognizer calls its actions.
// After ended, cancelled or failed it is reset to `possible` at the end of the touch event.
//
// Touch delivery (TouchDispatcher) hands each touch to the recognizers of the view it began
// in and of that view's ancestors. Recognition is exclusive: when one recognizer begins (or
// recognizes), the others that saw the same touches fail, unless a delegate lets the two
// run together. A recognizer that recognizes with `cancelsTouchesInView` (the default)
// cancels those touches in their views (`touchesCancelled`).
//
//     auto pan = ui::PanGestureRecognizer::make(this, &Presenter::pan);
//     addGestureRecognizer(pan);   // the view owns it; `pan->view()` is this view
//
// Subclasses watch touches in the `touches…` methods and move the state with `setState`.
// Main thread only.

#include "platform/graphics/Geometry.h"
#include "platform/ui/Event.h"
#include "platform/ui/TargetAction.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

class View;
class TouchDispatcher;
class GestureRecognizer;

using GestureRecognizerState = long;
inline constexpr GestureRecognizerState GestureRecognizerStatePossible = 0;
inline constexpr GestureRecognizerState GestureRecognizerStateBegan = 1;
inline constexpr GestureRecognizerState GestureRecognizerStateChanged = 2;
inline constexpr GestureRecognizerState GestureRecognizerStateEnded = 3;
inline constexpr GestureRecognizerState GestureRecognizerStateCancelled = 4;
inline constexpr GestureRecognizerState GestureRecognizerStateFailed = 5;
inline constexpr GestureRecognizerState GestureRecognizerStateRecognized = GestureRecognizerStateEnded;

// Optional hooks of a recognizer's delegate; the defaults answer as a delegate that does not
// implement them.
class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    // Asked when the recognizer leaves `possible` to begin or recognize; NO makes it fail.
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& recognizer);
    // Asked for every touch before the recognizer sees it; NO hides the touch from it.
    virtual bool gestureRecognizerShouldReceiveTouch(GestureRecognizer& recognizer, Touch& touch);
    // Whether the two may be recognized at the same time (YES from either delegate suffices).
    virtual bool
    gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer& recognizer,
                                                                        GestureRecognizer& other);
    // Whether `recognizer` waits for `other` to fail before it may recognize.
    virtual bool gestureRecognizerShouldRequireFailureOfGestureRecognizer(GestureRecognizer& recognizer,
                                                                          GestureRecognizer& other);
    // Whether `other` waits for `recognizer` to fail before it may recognize.
    virtual bool gestureRecognizerShouldBeRequiredToFailByGestureRecognizer(GestureRecognizer& recognizer,
                                                                            GestureRecognizer& other);
};

class GestureRecognizer : public rt::Object {
public:
    OLM_DECLARE_CLASS(GestureRecognizer)
    static std::shared_ptr<GestureRecognizer> make() { return rt::create<GestureRecognizer>(); }
    // With a first action (`initWithTarget:action:`).
    template <class T, class Action>
    static std::shared_ptr<GestureRecognizer> make(T&& target, Action action) {
        auto recognizer = make();
        recognizer->addTarget(std::forward<T>(target), action);
        return recognizer;
    }
    ~GestureRecognizer() override;

    GestureRecognizerState state() const { return _state; }

    // Disabling a recognizer stops it: a gesture in progress is cancelled (its actions see
    // `cancelled`), one not yet recognized fails; it then sees no touches until enabled.
    bool isEnabled() const { return _enabled; }
    void setEnabled(bool enabled);

    // The view the recognizer is attached to (null when it is not attached).
    View* view() const;

    // On recognition, the touches are cancelled in their views (default YES). With NO the
    // views go on receiving them, and a touch's end reaches its view after the actions.
    bool cancelsTouchesInView() const { return _cancelsTouchesInView; }
    void setCancelsTouchesInView(bool cancels) { _cancelsTouchesInView = cancels; }
    // Holds back `touchesBegan` from the views while the recognizer may still recognize
    // (default NO).
    bool delaysTouchesBegan() const { return _delaysTouchesBegan; }
    void setDelaysTouchesBegan(bool delays) { _delaysTouchesBegan = delays; }
    // Holds back `touchesEnded` from the views while the recognizer may still recognize
    // (default YES): they get it if the recognizer fails, `touchesCancelled` if it
    // recognizes while cancelling touches.
    bool delaysTouchesEnded() const { return _delaysTouchesEnded; }
    void setDelaysTouchesEnded(bool delays) { _delaysTouchesEnded = delays; }

    // The delegate is not retained.
    std::shared_ptr<GestureRecognizerDelegate> delegate() const { return _delegate.lock(); }
    void setDelegate(const std::shared_ptr<GestureRecognizerDelegate>& delegate) { _delegate = delegate; }

    // This recognizer recognizes only after `other` has failed (it stays `possible` until
    // then, and fails when `other` recognizes). `other` is not retained.
    void requireGestureRecognizerToFail(const std::shared_ptr<GestureRecognizer>& other);

    // --- Actions, called with the recognizer on every change of state but to `failed`.
    template <class T, class Action> void addTarget(T&& target, Action action) {
        _actions.add(std::forward<T>(target), action, 1);
    }
    template <class T, class Action> void removeTarget(const T* target, Action action) {
        _actions.remove(target, action, 1);
    }
    // Every action of the target (of every target, when null).
    void removeTarget(const void* target) { _actions.removeTarget(target, 1); }
    template <class T> void removeTarget(const T* target) { _actions.removeTarget(target, 1); }
    // A callback action; the answer identifies it for `removeAction`.
    std::size_t addAction(std::function<void(GestureRecognizer& recognizer)> action);
    void removeAction(std::size_t handle) { _actions.removeCallback(handle); }

    // --- Where the gesture is. The location is the centroid of the touches (where the last
    // ones were, once they have lifted), in `view`'s coordinates (null: the window's).
    virtual gfx::Point locationInView(const View* view) const;
    // The touches the recognizer follows; those lifted in the current event still count.
    long numberOfTouches() const { return static_cast<long>(_touches.size()); }
    // The location of one of those touches; an index out of range answers `locationInView`.
    gfx::Point locationOfTouch(long index, const View* view) const;

    // --- Touches, as delivered (subclasses override; the base records them).
    virtual void touchesBegan(const TouchSet& touches, Event* event);
    virtual void touchesMoved(const TouchSet& touches, Event* event);
    virtual void touchesEnded(const TouchSet& touches, Event* event);
    virtual void touchesCancelled(const TouchSet& touches, Event* event);

    // Whether this recognizer, on recognizing, makes `other` fail; and whether `other` can
    // make this one fail. Both YES by default; simultaneity by delegate overrides them.
    virtual bool canPreventGestureRecognizer(const GestureRecognizer& other) const;
    virtual bool canBePreventedByGestureRecognizer(const GestureRecognizer& other) const;

    // The time (in touch timestamps) at which the recognizer wants `deadlineReached`, e.g. a
    // tap waiting for its next tap; nullopt when it waits for nothing.
    virtual std::optional<double> deadline() const { return std::nullopt; }
    virtual void deadlineReached(double timestamp) { (void)timestamp; }

protected:
    GestureRecognizer() = default;
    void init() {}
    friend class rt::Access;

    // Moves the state machine. Changes that the machine does not allow are mapped onto the
    // nearest allowed one (changed before began is began, failed after began is cancelled)
    // or ignored (anything after ended, cancelled or failed, until the reset).
    void setState(GestureRecognizerState state);
    // Back to `possible` for the next gesture; subclasses clear their own state and call it.
    virtual void reset();
    // Stops following `touch` (it no longer counts, and ends nothing here).
    void ignoreTouch(const Touch& touch);

    // The touches followed, in the order they began.
    const TouchSet& trackedTouches() const { return _touches; }
    // The centroid of the followed touches in window coordinates, and of those still down.
    gfx::Point centroidInWindow() const;
    static gfx::Point centroidOf(const TouchSet& touches);
    // The followed touches that have not lifted or been cancelled.
    TouchSet activeTouches() const;
    // A displacement in window coordinates seen in `view`'s coordinates, and back (null
    // view: the window's).
    static gfx::Point vectorInView(gfx::Point windowVector, const View* view);
    static gfx::Point vectorFromView(gfx::Point viewVector, const View* view);
    // The timestamp of a delivery: the event's, else the touches' latest.
    static double timestampOf(const TouchSet& touches, const Event* event);

private:
    friend class TouchDispatcher;
    friend class View;

    // Called by View when the recognizer is added to or removed from a view.
    void attachToView(View* view);
    void detachFromView(const View* view);

    // State changes as committed by the dispatcher (or directly without one).
    void commitState(GestureRecognizerState state);
    void sendActions();
    void addTouch(const std::shared_ptr<Touch>& touch);
    void removeFinishedTouches();
    void resetForNextGesture();
    bool isWaiting() const { return _pendingState.has_value(); }

    GestureRecognizerState _state = GestureRecognizerStatePossible;
    bool _enabled = true;
    bool _cancelsTouchesInView = true;
    bool _delaysTouchesBegan = false;
    bool _delaysTouchesEnded = true;
    std::weak_ptr<View> _view;
    std::weak_ptr<GestureRecognizerDelegate> _delegate;
    std::vector<std::weak_ptr<GestureRecognizer>> _requiredToFail;
    TargetActionList _actions;
    TouchSet _touches;
    gfx::Point _lastCentroid;
    // Set while a touch dispatcher delivers this recognizer's touches.
    TouchDispatcher* _dispatcher = nullptr;
    // A recognition held back until the recognizers this one waits for have failed.
    std::optional<GestureRecognizerState> _pendingState;
    // A continuous gesture that also ended while it waited: it ends right after it begins.
    bool _pendingEnds = false;
};

} // namespace ui
