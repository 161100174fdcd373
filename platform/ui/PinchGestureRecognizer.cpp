#include "platform/ui/PinchGestureRecognizer.h"

#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(PinchGestureRecognizer, GestureRecognizer)

double PinchGestureRecognizer::spanOf(const TouchSet& touches) {
    if (touches.size() < 2) return 0;
    const gfx::Point c = centroidOf(touches);
    double sum = 0;
    for (const auto& touch : touches) {
        const gfx::Point p = touch->locationInWindow();
        sum += std::hypot(p.x - c.x, p.y - c.y);
    }
    return 2 * sum / static_cast<double>(touches.size());
}

void PinchGestureRecognizer::anchor() {
    const double span = spanOf(_followed);
    if (span >= minimumSpan && std::isfinite(span)) {
        _anchorScale = _scale;
        _anchorSpan = span;
    } else {
        _anchorSpan = 0;
    }
}

void PinchGestureRecognizer::follow(double timestamp) {
    if (_anchorSpan > 0) _scale = _anchorScale * spanOf(_followed) / _anchorSpan;
    const TouchSet now = activeTouches();
    if (now != _followed || _anchorSpan == 0) {
        _followed = now;
        anchor();
    }
    _samples.add(timestamp, {_scale, 0});
}

void PinchGestureRecognizer::setScale(double scale) {
    if (!std::isfinite(scale)) return;
    _samples.shift(scale - _scale, 0);
    _scale = scale;
    if (_anchorSpan > 0) anchor();
}

void PinchGestureRecognizer::touchesBegan(const TouchSet& touches, Event* event) {
    follow(timestampOf(touches, event));
}

void PinchGestureRecognizer::touchesMoved(const TouchSet& touches, Event* event) {
    follow(timestampOf(touches, event));
    if (state() != GestureRecognizerStatePossible) {
        setState(GestureRecognizerStateChanged);
    } else if (_anchorSpan > 0 && _anchorScale > 0) {
        // The span of these fingers at scale 1, and how far they are from it now.
        const double restingSpan = _anchorSpan / _anchorScale;
        if (std::abs(spanOf(_followed) - restingSpan) >= hysteresis) setState(GestureRecognizerStateBegan);
    }
}

void PinchGestureRecognizer::touchesEnded(const TouchSet& touches, Event* event) {
    follow(timestampOf(touches, event));
    if (!_followed.empty()) return;
    setState(state() == GestureRecognizerStatePossible ? GestureRecognizerStateFailed
                                                       : GestureRecognizerStateEnded);
}

void PinchGestureRecognizer::touchesCancelled(const TouchSet&, Event*) {
    setState(state() == GestureRecognizerStatePossible ? GestureRecognizerStateFailed
                                                       : GestureRecognizerStateCancelled);
}

void PinchGestureRecognizer::reset() {
    _scale = 1;
    _anchorScale = 1;
    _anchorSpan = 0;
    _followed.clear();
    _samples.clear();
    GestureRecognizer::reset();
}

} // namespace ui
