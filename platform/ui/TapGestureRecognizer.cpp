#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(TapGestureRecognizer, GestureRecognizer)

namespace {

double distance(gfx::Point a, gfx::Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

} // namespace

void TapGestureRecognizer::touchesBegan(const TouchSet& touches, Event*) {
    _nextTapDeadline.reset();
    for (const auto& touch : touches) {
        _touchDownLocations.emplace_back(touch.get(), touch->locationInWindow());
        if (_firstTapLocation &&
            distance(*_firstTapLocation, touch->locationInWindow()) > maximumTapDistance) {
            setState(GestureRecognizerStateFailed);
            return;
        }
    }
    const long down = static_cast<long>(activeTouches().size());
    if (down > _touchesRequired) {
        setState(GestureRecognizerStateFailed);
        return;
    }
    _touchesInTap = std::max(_touchesInTap, down);
}

bool TapGestureRecognizer::movedTooFar(const TouchSet& touches) const {
    return std::any_of(touches.begin(), touches.end(), [&](const auto& touch) {
        const auto start = std::find_if(_touchDownLocations.begin(), _touchDownLocations.end(),
                                        [&](const auto& entry) { return entry.first == touch.get(); });
        return start != _touchDownLocations.end() &&
               distance(start->second, touch->locationInWindow()) > allowableMovement;
    });
}

void TapGestureRecognizer::touchesMoved(const TouchSet& touches, Event*) {
    if (movedTooFar(touches)) setState(GestureRecognizerStateFailed);
}

void TapGestureRecognizer::touchesEnded(const TouchSet& touches, Event* event) {
    if (movedTooFar(touches)) {
        setState(GestureRecognizerStateFailed);
        return;
    }
    if (!activeTouches().empty()) return;
    // Every finger of this tap has lifted.
    if (_touchesInTap != _touchesRequired) {
        setState(GestureRecognizerStateFailed);
        return;
    }
    ++_tapsCompleted;
    if (!_firstTapLocation) _firstTapLocation = centroidOf(trackedTouches());
    _touchesInTap = 0;
    _touchDownLocations.clear();
    if (_tapsCompleted >= _tapsRequired)
        setState(GestureRecognizerStateEnded);
    else
        _nextTapDeadline = timestampOf(touches, event) + maximumTapInterval;
}

void TapGestureRecognizer::touchesCancelled(const TouchSet&, Event*) {
    setState(GestureRecognizerStateFailed);
}

void TapGestureRecognizer::deadlineReached(double) {
    _nextTapDeadline.reset();
    setState(GestureRecognizerStateFailed);
}

void TapGestureRecognizer::reset() {
    _tapsCompleted = 0;
    _touchesInTap = 0;
    _touchDownLocations.clear();
    _firstTapLocation.reset();
    _nextTapDeadline.reset();
    GestureRecognizer::reset();
}

} // namespace ui
