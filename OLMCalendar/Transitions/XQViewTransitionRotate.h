#pragma once

// Swings the pages about their top-right corner with a cross-fade, paced by a spring. Going
// forward the from page (`top`) swings up and away while the to page (`bottom`) turns up
// into place from a tilt and fades in; going backward the to page swings down into place in
// front of the from page, which fades out. Transition mode 5 of the presenters.
//
// Poses (alpha, clockwise rotation about the top-right corner), p the progress (not clamped):
//
//                  forward top        forward bottom       backward top    backward bottom
//     start        1, 0               0, -π/4              1, 0            1, +π/2 (in front)
//     progress p   1 - p, π/2·p       p, -π/4 + π/4·p      1 - p, 0        1, π/2 - π·p while p ≤ 0.5
//     end          0, +π/2            1, 0                 0, 0            1, 0
//     cancelled    1, 0               0, -π/4              1, 0            0, +π/2
//
// Backward updates past 0.5 leave the to page where the last one put it. Play (over the
// duration) and finish (over half of it) spring to the end pose and report false; cancel
// springs back over the whole duration and reports true. Orientation plays no part.

#include "OLMCalendar/Transitions/XQViewTransition.h"

class XQViewTransitionRotate : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionRotate)
    static std::shared_ptr<XQViewTransitionRotate> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionRotate>(frame);
    }

    // Shows the to image.
    const std::shared_ptr<ui::View>& bottom() const { return _bottom; }
    // Shows the from image; added after `bottom`.
    const std::shared_ptr<ui::View>& top() const { return _top; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

protected:
    XQViewTransitionRotate() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

    // Springs to the end pose over `duration`; reports false at its end.
    void animate(double duration);

private:
    // The spring of every ending animation, from the pose on screen, reporting `canceled`.
    void spring(double duration, const std::function<void()>& animations, bool canceled);

    std::shared_ptr<ui::View> _bottom;
    std::shared_ptr<ui::View> _top;
};
