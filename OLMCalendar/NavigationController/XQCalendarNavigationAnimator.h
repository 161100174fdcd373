#pragma once

// The zoom between the year view and a month view. A push grows the month view out of the
// tapped mini month (the year controller's selectedItemRect) while the year view grows
// fourfold about that month and fades; a pop runs it backwards into the rect of the latest
// push. Both views are transformed about their centres: S = scale by the rect's share of the
// view, then translate by the rect's centre's offset from the view's centre, puts the month
// view over the rect; Z = scale 4, then translate by -3 times that offset, keeps the rect's
// centre in place while the year view grows.

#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"
#include "platform/ui/NavigationController.h"

class XQCalendarNavigationAnimator : public rt::Object, public ui::ViewControllerAnimatedTransitioning {
public:
    OLM_DECLARE_CLASS(XQCalendarNavigationAnimator)
    static std::shared_ptr<XQCalendarNavigationAnimator> make() { return rt::create<XQCalendarNavigationAnimator>(); }

    // The whole transition: 0.3 s for any context.
    static constexpr double duration = 0.3;

    // Whether the operation handed over last was a push.
    bool presenting() const { return _presenting; }
    void setPresenting(bool presenting) { _presenting = presenting; }
    // The operation handed over last (2 pops, anything else pushes).
    ui::NavigationControllerOperation operation() const { return _operation; }
    void setOperation(ui::NavigationControllerOperation operation) { _operation = operation; }

    double transitionDuration(const ui::TransitionContextRef& context) override;
    void animateTransition(const ui::TransitionContextRef& context) override;
    // The pop: the year view zooms out over the month view, which shrinks into the rect of the
    // latest push.
    void doPop(const ui::TransitionContextRef& context);

    // The transform that puts a view of `size` over `rect` (S), and the year view's zoom (Z),
    // from the offset and scale of a push.
    static gfx::AffineTransform rectTransform(gfx::Point offset, gfx::Point scale);
    static gfx::AffineTransform zoomTransform(gfx::Point offset);

protected:
    friend struct rt::Access;
    XQCalendarNavigationAnimator() = default;

private:
    void push(const ui::TransitionContextRef& context);

    bool _presenting = false;
    ui::NavigationControllerOperation _operation = ui::NavigationControllerOperationNone;
    // The rect centre's offset from the view centre (tx, ty) and the scale (sx, sy) of the
    // latest push; the next pop reuses them.
    gfx::Point _offset;
    gfx::Point _scale;
};
