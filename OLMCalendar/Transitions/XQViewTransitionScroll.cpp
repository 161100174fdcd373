#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"

OLM_DEFINE_CLASS(XQViewTransitionScroll, XQViewTransitionSliding)

void XQViewTransitionScroll::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                             XQViewTransitionDirection direction) {
    setBackgroundColor(pageBackgroundColor());
    XQViewTransitionSliding::beginTransition(from, to, direction);
}

gfx::Point XQViewTransitionScroll::travel() const {
    const gfx::Size size = bounds().size;
    return isVertical() ? gfx::Point{0, size.height} : gfx::Point{size.width, 0};
}
