#pragma once

// Recognizes a drag: begins once the fingers (their centroid) have moved `hysteresis`
// points from where they touched down, then reports every movement as changed, and ends
// when the last finger lifts. The translation is the distance the centroid travelled since
// the fingers touched down (fingers added or lifted along the way do not make it jump); the
// velocity is measured over the last tenth of a second, in points per second, signed.

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/detail/MotionSamples.h"

#include <limits>

namespace ui {

class PanGestureRecognizer : public GestureRecognizer {
public:
    OLM_DECLARE_CLASS(PanGestureRecognizer)
    static std::shared_ptr<PanGestureRecognizer> make() { return rt::create<PanGestureRecognizer>(); }
    template <class T, class Action>
    static std::shared_ptr<PanGestureRecognizer> make(T&& target, Action action) {
        auto recognizer = make();
        recognizer->addTarget(std::forward<T>(target), action);
        return recognizer;
    }

    // Points (in the window) the fingers move before the pan begins.
    static constexpr double hysteresis = 10;

    // The pan begins only with this many fingers down; fingers beyond the maximum that touch
    // down later are ignored. Both at least 1; defaults 1 and no limit.
    long minimumNumberOfTouches() const { return _minimumTouches; }
    void setMinimumNumberOfTouches(long count) { _minimumTouches = std::max(1L, count); }
    long maximumNumberOfTouches() const { return _maximumTouches; }
    void setMaximumNumberOfTouches(long count) { _maximumTouches = std::max(1L, count); }

    // In `view`'s coordinates (null: the window's).
    gfx::Point translationInView(const View* view) const;
    // Makes the translation in `view` equal `translation` from now on; the velocity is kept.
    void setTranslation(gfx::Point translation, const View* view);
    gfx::Point velocityInView(const View* view) const;

    void touchesBegan(const TouchSet& touches, Event* event) override;
    void touchesMoved(const TouchSet& touches, Event* event) override;
    void touchesEnded(const TouchSet& touches, Event* event) override;
    void touchesCancelled(const TouchSet& touches, Event* event) override;

protected:
    PanGestureRecognizer() = default;
    friend class rt::Access;
    void reset() override;

private:
    // Adds the movement of the fingers followed so far, then follows those down now.
    void follow(double timestamp);
    bool fingerCountAllowed() const;

    long _minimumTouches = 1;
    long _maximumTouches = std::numeric_limits<long>::max();
    gfx::Point _translation;
    TouchSet _followed;
    gfx::Point _anchor;
    detail::MotionSamples _samples;
};

} // namespace ui
