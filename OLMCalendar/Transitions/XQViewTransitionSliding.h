#pragma once

// What the scroll and the flow transitions share: two pages the size of the transition
// that slide together by one travel vector, the leaving page out and the arriving page in.
// Not a transition of its own: the subclasses say how far the pages travel.
//
// `first` is the leading page and `second` the trailing one. Going forward `first` shows
// the from image and `second` the to image; going backward the roles swap (`first` shows
// the to image and comes in from before the start). With T the travel and p the progress
// (0 start, 1 end, not clamped), each page's origin, relative to the bounds' origin, is
//
//     forward:  first -p·T,       second (1 - p)·T
//     backward: first (p - 1)·T,  second p·T
//
// Play (`transitionWithAnimation`, over the duration) and finish (over half of it) slide
// to the end pose and report false; cancel slides back to the start pose over half the
// duration and reports true. The slides use the default ease-in-ease-out curve.

#include "OLMCalendar/Transitions/XQViewTransition.h"

class XQViewTransitionSliding : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(XQViewTransitionSliding)

    // The leading and the trailing page (above the leading one unless a subclass reorders them).
    const std::shared_ptr<ui::View>& first() const { return _first; }
    const std::shared_ptr<ui::View>& second() const { return _second; }

    void transitionWithAnimation() override;
    void updateTransition(double progress) override;
    void finishTransition() override;
    void cancelTransition() override;

protected:
    XQViewTransitionSliding() = default;
    friend struct rt::Access;
    void init(const gfx::Rect& frame);

    // Stores the direction, shows the images on the pages by their roles and sets the start pose.
    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;

    // How far, and along which axis, a page travels between the start and the end pose, for
    // the transition's current size.
    virtual gfx::Point travel() const = 0;

    // Slides both pages to the end pose over `duration` and reports false at the end.
    void animate(double duration);

private:
    // Puts the pages at `progress` of a slide by `travel`.
    void placePages(double progress, gfx::Point travel);
    // Animates the pages to the pose of `progress` (0 or 1) and reports `canceled` at the end.
    void slideTo(double progress, double duration, bool canceled);

    std::shared_ptr<ui::View> _first;
    std::shared_ptr<ui::View> _second;
};
