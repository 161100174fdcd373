#include "OLMCalendar/Transitions/XQViewTransitionFlow.h"

OLM_DEFINE_CLASS(XQViewTransitionFlow, XQViewTransitionSliding)

void XQViewTransitionFlow::beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                                           XQViewTransitionDirection direction) {
    XQViewTransitionSliding::beginTransition(from, to, direction);
    // The arriving page covers the leaving one as it slides in.
    bringSubviewToFront(isForward() ? second().get() : first().get());
}

gfx::Point XQViewTransitionFlow::travel() const {
    return {0, bounds().size.height - _offset};
}
