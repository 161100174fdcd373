#pragma once

// Touches and the events that carry them. The host makes them from its input and delivers
// them; views read where a touch is in their own coordinates.

#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"

#include <memory>
#include <vector>

namespace ui {

class View;

using TouchPhase = long;
inline constexpr TouchPhase TouchPhaseBegan = 0;
inline constexpr TouchPhase TouchPhaseMoved = 1;
inline constexpr TouchPhase TouchPhaseStationary = 2;
inline constexpr TouchPhase TouchPhaseEnded = 3;
inline constexpr TouchPhase TouchPhaseCancelled = 4;

// One finger on the screen, from its first contact to its lift (or cancellation). Locations
// are kept in the window's coordinates (the space of the root of the touched view's tree).
class Touch : public rt::Object {
public:
    OLM_DECLARE_CLASS(Touch)
    static std::shared_ptr<Touch> make(gfx::Point locationInWindow, double timestamp) {
        return rt::create<Touch>(locationInWindow, timestamp);
    }

    TouchPhase phase() const { return _phase; }
    void setPhase(TouchPhase phase) { _phase = phase; }
    double timestamp() const { return _timestamp; }
    long tapCount() const { return _tapCount; }
    void setTapCount(long count) { _tapCount = count; }
    // The view the touch began in (the hit view); the touch keeps it alive until it ends.
    const std::shared_ptr<View>& view() const { return _view; }
    void setView(std::shared_ptr<View> view) { _view = std::move(view); }
    // The window of the touch's view (null when it has none).
    View* window() const;

    gfx::Point locationInWindow() const { return _location; }
    gfx::Point previousLocationInWindow() const { return _previousLocation; }
    // Moves the touch: the current location becomes the previous one.
    void moveTo(gfx::Point locationInWindow, double timestamp);

    // The location in `view`'s coordinates; a null view means the window's.
    gfx::Point locationInView(const View* view) const;
    gfx::Point previousLocationInView(const View* view) const;

protected:
    Touch() = default;
    void init(gfx::Point locationInWindow, double timestamp);
    friend class rt::Access;

private:
    TouchPhase _phase = TouchPhaseBegan;
    double _timestamp = 0;
    long _tapCount = 1;
    gfx::Point _location;
    gfx::Point _previousLocation;
    std::shared_ptr<View> _view;
};

using TouchSet = std::vector<std::shared_ptr<Touch>>;

// The touches of one delivery.
class Event : public rt::Object {
public:
    OLM_DECLARE_CLASS(Event)
    static std::shared_ptr<Event> make(double timestamp, TouchSet touches = {}) {
        return rt::create<Event>(timestamp, std::move(touches));
    }

    double timestamp() const { return _timestamp; }
    const TouchSet& allTouches() const { return _touches; }
    void setAllTouches(TouchSet touches) { _touches = std::move(touches); }
    // The touches whose view is `view`.
    TouchSet touchesForView(const View* view) const;

protected:
    Event() = default;
    void init(double timestamp, TouchSet touches) {
        _timestamp = timestamp;
        _touches = std::move(touches);
    }
    friend class rt::Access;

private:
    double _timestamp = 0;
    TouchSet _touches;
};

} // namespace ui
