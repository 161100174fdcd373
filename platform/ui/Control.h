#pragma once

// Controls: views that turn touches into actions for targets, by control event (a touch
// went down, lifted inside, the value changed…). A control follows one finger from touch
// down to lift: it is highlighted while the finger is inside (its bounds widened by
// `trackingMargin`), and sends touch-up-inside or touch-up-outside when it lifts.
//
//     button->addTarget(this, &Cell::nextMonthAction, ui::ControlEventTouchUpInside);
//
// Targets are not retained; a target/action pair is registered once (adding it again only
// adds events). Main thread only.

#include "platform/ui/TargetAction.h"
#include "platform/ui/View.h"

namespace ui {

class GestureRecognizer;

using ControlEvents = unsigned long;
inline constexpr ControlEvents ControlEventTouchDown = 1UL << 0;
inline constexpr ControlEvents ControlEventTouchDownRepeat = 1UL << 1;
inline constexpr ControlEvents ControlEventTouchDragInside = 1UL << 2;
inline constexpr ControlEvents ControlEventTouchDragOutside = 1UL << 3;
inline constexpr ControlEvents ControlEventTouchDragEnter = 1UL << 4;
inline constexpr ControlEvents ControlEventTouchDragExit = 1UL << 5;
inline constexpr ControlEvents ControlEventTouchUpInside = 1UL << 6;
inline constexpr ControlEvents ControlEventTouchUpOutside = 1UL << 7;
inline constexpr ControlEvents ControlEventTouchCancel = 1UL << 8;
inline constexpr ControlEvents ControlEventValueChanged = 1UL << 12;
inline constexpr ControlEvents ControlEventPrimaryActionTriggered = 1UL << 13;
inline constexpr ControlEvents ControlEventEditingDidBegin = 1UL << 16;
inline constexpr ControlEvents ControlEventEditingChanged = 1UL << 17;
inline constexpr ControlEvents ControlEventEditingDidEnd = 1UL << 18;
inline constexpr ControlEvents ControlEventEditingDidEndOnExit = 1UL << 19;
inline constexpr ControlEvents ControlEventAllTouchEvents = 0x00000FFFUL;
inline constexpr ControlEvents ControlEventAllEditingEvents = 0x000F0000UL;
inline constexpr ControlEvents ControlEventApplicationReserved = 0x0F000000UL;
inline constexpr ControlEvents ControlEventSystemReserved = 0xF0000000UL;
inline constexpr ControlEvents ControlEventAllEvents = 0xFFFFFFFFUL;

using ControlState = unsigned long;
inline constexpr ControlState ControlStateNormal = 0;
inline constexpr ControlState ControlStateHighlighted = 1UL << 0;
inline constexpr ControlState ControlStateDisabled = 1UL << 1;
inline constexpr ControlState ControlStateSelected = 1UL << 2;
inline constexpr ControlState ControlStateFocused = 1UL << 3;

class Control : public View {
public:
    OLM_DECLARE_CLASS(Control)
    static std::shared_ptr<Control> make(const gfx::Rect& frame = {}) { return rt::create<Control>(frame); }

    // How far outside its bounds a tracked finger still counts as inside.
    static constexpr double trackingMargin = 70;

    // --- Target-action.
    template <class T, class Action> void addTarget(T&& target, Action action, ControlEvents events) {
        _actions.add(std::forward<T>(target), action, events);
    }
    template <class T, class Action> void removeTarget(const T* target, Action action, ControlEvents events) {
        _actions.remove(target, action, events);
    }
    // Every action of `target` (of every target, when null) for `events`.
    void removeTarget(const void* target, ControlEvents events) { _actions.removeTarget(target, events); }
    template <class T> void removeTarget(const T* target, ControlEvents events) {
        _actions.removeTarget(target, events);
    }
    // A callback action for `events`; the answer identifies it for `removeAction`.
    std::size_t addAction(std::function<void(Control& sender, Event* event)> action, ControlEvents events);
    void removeAction(std::size_t handle) { _actions.removeCallback(handle); }
    // The events that have an action.
    ControlEvents allControlEvents() const { return _actions.allMasks(); }
    // The live targets, each once.
    std::vector<std::shared_ptr<void>> allTargets() const { return _actions.allTargets(); }
    // Calls the actions registered for any of `events`, in the order they were added.
    void sendActionsForControlEvents(ControlEvents events) { sendActions(events, nullptr); }

    // --- State.
    bool isEnabled() const { return _enabled; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return _selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return _highlighted; }
    virtual void setHighlighted(bool highlighted);
    // Normal, or the union of highlighted, disabled and selected.
    ControlState state() const;
    bool isTracking() const { return _tracking; }
    // Whether the tracked finger is inside (bounds widened by the margin).
    bool isTouchInside() const { return _touchInside; }

    // --- Tracking hooks (the default sends the touch events). `beginTracking` answering
    // NO stops following the touch.
    virtual bool beginTracking(Touch& touch, Event* event);
    virtual bool continueTracking(Touch& touch, Event* event);
    virtual void endTracking(Touch* touch, Event* event);
    virtual void cancelTracking(Event* event);

    // Whether a touch on this control keeps `recognizer`, attached to an ancestor, from
    // recognizing: a control's own action wins the gestures it overlaps. None here.
    virtual bool preventsGestureRecognizer(const GestureRecognizer& recognizer) const;

    void touchesBegan(const TouchSet& touches, Event* event) override;
    void touchesMoved(const TouchSet& touches, Event* event) override;
    void touchesEnded(const TouchSet& touches, Event* event) override;
    void touchesCancelled(const TouchSet& touches, Event* event) override;

protected:
    Control() = default;
    friend class rt::Access;

    void sendActions(ControlEvents events, Event* event);
    bool containsTrackedPoint(gfx::Point point) const;
    // Called when enabled, selected or highlighted changes (to redraw).
    virtual void stateDidChange() {}

private:
    // The tracked touch among `touches`, if it is there.
    std::shared_ptr<Touch> trackedIn(const TouchSet& touches) const;
    void handleTouches(TouchPhase phase, const TouchSet& touches, Event* event);
    void stopTracking();

    TargetActionList _actions;
    std::weak_ptr<Touch> _trackedTouch;
    bool _enabled = true;
    bool _selected = false;
    bool _highlighted = false;
    bool _tracking = false;
    bool _touchInside = false;
};

} // namespace ui
