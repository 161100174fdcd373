#include "platform/ui/PanGestureRecognizer.h"

#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(PanGestureRecognizer, GestureRecognizer)

gfx::Point PanGestureRecognizer::translationInView(const View* view) const {
    return vectorInView(_translation, view);
}

void PanGestureRecognizer::setTranslation(gfx::Point translation, const View* view) {
    const gfx::Point t = vectorFromView(translation, view);
    if (!std::isfinite(t.x) || !std::isfinite(t.y)) return;
    _samples.shift(t.x - _translation.x, t.y - _translation.y);
    _translation = t;
}

gfx::Point PanGestureRecognizer::velocityInView(const View* view) const {
    return vectorInView(_samples.velocity(), view);
}

void PanGestureRecognizer::follow(double timestamp) {
    if (!_followed.empty()) {
        const gfx::Point c = centroidOf(_followed);
        _translation.x += c.x - _anchor.x;
        _translation.y += c.y - _anchor.y;
    }
    _followed = activeTouches();
    _anchor = centroidOf(_followed);
    _samples.add(timestamp, _translation);
}

bool PanGestureRecognizer::fingerCountAllowed() const {
    const long n = static_cast<long>(_followed.size());
    return n >= _minimumTouches && n <= _maximumTouches;
}

void PanGestureRecognizer::touchesBegan(const TouchSet& touches, Event* event) {
    const GestureRecognizerState s = state();
    if (s == GestureRecognizerStateBegan || s == GestureRecognizerStateChanged) {
        // Fingers beyond the maximum do not join a pan in progress.
        for (const auto& touch : touches)
            if (static_cast<long>(activeTouches().size()) > _maximumTouches) ignoreTouch(*touch);
    }
    follow(timestampOf(touches, event));
}

void PanGestureRecognizer::touchesMoved(const TouchSet& touches, Event* event) {
    const gfx::Point before = _translation;
    follow(timestampOf(touches, event));
    if (state() == GestureRecognizerStatePossible) {
        if (std::hypot(_translation.x, _translation.y) >= hysteresis && fingerCountAllowed())
            setState(GestureRecognizerStateBegan);
    } else if (_translation.x != before.x || _translation.y != before.y) {
        setState(GestureRecognizerStateChanged);
    }
}

void PanGestureRecognizer::touchesEnded(const TouchSet& touches, Event* event) {
    follow(timestampOf(touches, event));
    const long down = static_cast<long>(_followed.size());
    if (state() == GestureRecognizerStatePossible) {
        if (down == 0) setState(GestureRecognizerStateFailed);
    } else if (down == 0 || down < _minimumTouches) {
        setState(GestureRecognizerStateEnded);
    }
}

void PanGestureRecognizer::touchesCancelled(const TouchSet&, Event*) {
    setState(state() == GestureRecognizerStatePossible ? GestureRecognizerStateFailed
                                                       : GestureRecognizerStateCancelled);
}

void PanGestureRecognizer::reset() {
    _translation = {};
    _followed.clear();
    _anchor = {};
    _samples.clear();
    GestureRecognizer::reset();
}

} // namespace ui
