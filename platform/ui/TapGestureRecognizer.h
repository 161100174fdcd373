#pragma once

// Recognizes taps: the required number of fingers touch down and lift without moving, the
// required number of times in a row. A finger that moves more than `allowableMovement`, a
// finger too many, or a pause longer than `maximumTapInterval` between taps makes it fail.
// Discrete: on the last lift it goes straight to ended (recognized) and calls its actions
// once; `locationInView` is then where the fingers of the last tap were.

#include "platform/ui/GestureRecognizer.h"

namespace ui {

class TapGestureRecognizer : public GestureRecognizer {
public:
    OLM_DECLARE_CLASS(TapGestureRecognizer)
    static std::shared_ptr<TapGestureRecognizer> make() { return rt::create<TapGestureRecognizer>(); }
    template <class T, class Action>
    static std::shared_ptr<TapGestureRecognizer> make(T&& target, Action action) {
        auto recognizer = make();
        recognizer->addTarget(std::forward<T>(target), action);
        return recognizer;
    }

    // How far (points, in the window) a finger may move from where it touched down.
    static constexpr double allowableMovement = 10;
    // The longest pause (seconds) from one lift to the next tap's touch-down.
    static constexpr double maximumTapInterval = 0.35;
    // How far a later tap may land from the first one.
    static constexpr double maximumTapDistance = 45;

    // Both at least 1 (smaller values are taken as 1); defaults 1.
    long numberOfTapsRequired() const { return _tapsRequired; }
    void setNumberOfTapsRequired(long count) { _tapsRequired = std::max(1L, count); }
    long numberOfTouchesRequired() const { return _touchesRequired; }
    void setNumberOfTouchesRequired(long count) { _touchesRequired = std::max(1L, count); }

    void touchesBegan(const TouchSet& touches, Event* event) override;
    void touchesMoved(const TouchSet& touches, Event* event) override;
    void touchesEnded(const TouchSet& touches, Event* event) override;
    void touchesCancelled(const TouchSet& touches, Event* event) override;
    // While waiting for the next tap: the end of the pause allowed.
    std::optional<double> deadline() const override { return _nextTapDeadline; }
    void deadlineReached(double timestamp) override;

protected:
    TapGestureRecognizer() = default;
    friend class rt::Access;
    void reset() override;

private:
    bool movedTooFar(const TouchSet& touches) const;

    long _tapsRequired = 1;
    long _touchesRequired = 1;
    long _tapsCompleted = 0;
    // The most fingers down at once in the current tap.
    long _touchesInTap = 0;
    std::vector<std::pair<const Touch*, gfx::Point>> _touchDownLocations;
    std::optional<gfx::Point> _firstTapLocation;
    std::optional<double> _nextTapDeadline;
};

} // namespace ui
