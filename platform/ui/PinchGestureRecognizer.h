#pragma once

// Recognizes two fingers moving apart or together. The scale is the distance between the
// fingers relative to the distance when both were down (1 at that moment; above 1 when they
// spread), so at `began` it already shows which way the pinch goes. The pinch begins once
// that distance has changed by `hysteresis` points, reports every movement as changed, and
// ends when the last finger lifts; with one finger left the scale holds (and
// `numberOfTouches` says so). `locationInView` is the centroid of the fingers.

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/detail/MotionSamples.h"

namespace ui {

class PinchGestureRecognizer : public GestureRecognizer {
public:
    OLM_DECLARE_CLASS(PinchGestureRecognizer)
    static std::shared_ptr<PinchGestureRecognizer> make() { return rt::create<PinchGestureRecognizer>(); }
    template <class T, class Action>
    static std::shared_ptr<PinchGestureRecognizer> make(T&& target, Action action) {
        auto recognizer = make();
        recognizer->addTarget(std::forward<T>(target), action);
        return recognizer;
    }

    // Points the distance between the fingers changes before the pinch begins.
    static constexpr double hysteresis = 8;
    // Fingers closer than this (points) give no usable distance: the scale is measured
    // from the moment they are this far apart.
    static constexpr double minimumSpan = 1;

    double scale() const { return _scale; }
    // Makes the current scale `scale` (e.g. 1, to read changes step by step); the velocity
    // is kept. Values that are not finite are ignored.
    void setScale(double scale);
    // Scale per second, over the last tenth of a second.
    double velocity() const { return _samples.velocity().x; }

    void touchesBegan(const TouchSet& touches, Event* event) override;
    void touchesMoved(const TouchSet& touches, Event* event) override;
    void touchesEnded(const TouchSet& touches, Event* event) override;
    void touchesCancelled(const TouchSet& touches, Event* event) override;

protected:
    PinchGestureRecognizer() = default;
    friend class rt::Access;
    void reset() override;

private:
    // Twice the mean distance of the fingers from their centroid: for two fingers, the
    // distance between them.
    static double spanOf(const TouchSet& touches);
    // Updates the scale from the fingers followed so far, then follows those down now.
    void follow(double timestamp);
    void anchor();

    double _scale = 1;
    // The scale and span the current fingers are measured from (span 0: none yet).
    double _anchorScale = 1;
    double _anchorSpan = 0;
    TouchSet _followed;
    detail::MotionSamples _samples;
};

} // namespace ui
