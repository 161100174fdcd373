#include "platform/ui/Control.h"

#include "platform/ui/GestureRecognizer.h"

namespace ui {

OLM_DEFINE_CLASS(Control, View)

std::size_t Control::addAction(std::function<void(Control&, Event*)> action, ControlEvents events) {
    if (!action) return 0;
    return _actions.addCallback(
        [action = std::move(action)](rt::Object& sender, Event* event) {
            if (auto* control = dynamic_cast<Control*>(&sender)) action(*control, event);
        },
        events);
}

void Control::sendActions(ControlEvents events, Event* event) {
    _actions.send(*this, event, events);
}

// --- State.

void Control::setEnabled(bool enabled) {
    if (_enabled == enabled) return;
    _enabled = enabled;
    if (!enabled && _tracking) {
        stopTracking();
        cancelTracking(nullptr);
    }
    stateDidChange();
}

void Control::setSelected(bool selected) {
    if (_selected == selected) return;
    _selected = selected;
    stateDidChange();
}

void Control::setHighlighted(bool highlighted) {
    if (_highlighted == highlighted) return;
    _highlighted = highlighted;
    stateDidChange();
}

ControlState Control::state() const {
    ControlState s = ControlStateNormal;
    if (_highlighted) s |= ControlStateHighlighted;
    if (!_enabled) s |= ControlStateDisabled;
    if (_selected) s |= ControlStateSelected;
    return s;
}

bool Control::preventsGestureRecognizer(const GestureRecognizer&) const {
    return false;
}

// --- Tracking.

bool Control::beginTracking(Touch&, Event*) {
    return true;
}

bool Control::continueTracking(Touch&, Event*) {
    return true;
}

void Control::endTracking(Touch*, Event*) {}

void Control::cancelTracking(Event*) {}

bool Control::containsTrackedPoint(gfx::Point point) const {
    const gfx::Rect area = bounds().insetBy(-trackingMargin, -trackingMargin);
    return !area.isNull() && area.contains(point);
}

std::shared_ptr<Touch> Control::trackedIn(const TouchSet& touches) const {
    const std::shared_ptr<Touch> tracked = _trackedTouch.lock();
    if (!_tracking || !tracked) return nullptr;
    for (const auto& touch : touches)
        if (touch == tracked) return tracked;
    return nullptr;
}

void Control::stopTracking() {
    _tracking = false;
    _touchInside = false;
    _trackedTouch.reset();
    setHighlighted(false);
}

void Control::touchesBegan(const TouchSet& touches, Event* event) {
    handleTouches(TouchPhaseBegan, touches, event);
}
void Control::touchesMoved(const TouchSet& touches, Event* event) {
    handleTouches(TouchPhaseMoved, touches, event);
}
void Control::touchesEnded(const TouchSet& touches, Event* event) {
    handleTouches(TouchPhaseEnded, touches, event);
}
void Control::touchesCancelled(const TouchSet& touches, Event* event) {
    handleTouches(TouchPhaseCancelled, touches, event);
}

void Control::handleTouches(TouchPhase phase, const TouchSet& touches, Event* event) {
    // A disabled control lets its touches travel up the responder chain.
    if (!_enabled) {
        switch (phase) {
        case TouchPhaseBegan:
            View::touchesBegan(touches, event);
            break;
        case TouchPhaseMoved:
            View::touchesMoved(touches, event);
            break;
        case TouchPhaseEnded:
            View::touchesEnded(touches, event);
            break;
        default:
            View::touchesCancelled(touches, event);
            break;
        }
        return;
    }
    const std::shared_ptr<Control> keep = rt::sharedFrom(this);
    if (phase == TouchPhaseBegan) {
        // One finger at a time.
        if (_tracking || touches.empty() || !touches.front()) return;
        const std::shared_ptr<Touch> touch = touches.front();
        _trackedTouch = touch;
        _tracking = true;
        _touchInside = true;
        setHighlighted(true);
        ControlEvents events = ControlEventTouchDown;
        if (touch->tapCount() > 1) events |= ControlEventTouchDownRepeat;
        sendActions(events, event);
        if (_tracking && !beginTracking(*touch, event)) stopTracking();
        return;
    }
    const std::shared_ptr<Touch> touch = trackedIn(touches);
    if (!touch) return;
    const bool wasInside = _touchInside;
    const bool inside = containsTrackedPoint(touch->locationInView(this));
    switch (phase) {
    case TouchPhaseMoved: {
        _touchInside = inside;
        setHighlighted(inside);
        ControlEvents events = inside ? ControlEventTouchDragInside : ControlEventTouchDragOutside;
        if (inside != wasInside) events |= inside ? ControlEventTouchDragEnter : ControlEventTouchDragExit;
        sendActions(events, event);
        if (_tracking && !continueTracking(*touch, event)) stopTracking();
        break;
    }
    case TouchPhaseEnded:
        stopTracking();
        endTracking(touch.get(), event);
        sendActions(inside ? ControlEventTouchUpInside : ControlEventTouchUpOutside, event);
        break;
    default:
        stopTracking();
        cancelTracking(event);
        sendActions(ControlEventTouchCancel, event);
        break;
    }
}

} // namespace ui
