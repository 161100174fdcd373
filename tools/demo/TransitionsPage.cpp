// The sheet of the sliding and zooming transitions: scroll, flow and float, forward from
// November to December and backward from December to November, so that a person can check
// each pose by eye.

#include "Demo.h"

#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlow.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"

namespace {

std::vector<std::string> renderTransitionsSheet(const std::string& outDir) {
    auto scroll = [](const gfx::Rect& frame) -> std::shared_ptr<XQViewTransition> {
        return XQViewTransitionScroll::make(frame);
    };
    auto flow = [](const gfx::Rect& frame) -> std::shared_ptr<XQViewTransition> {
        auto t = XQViewTransitionFlow::make(frame);
        t->setOffset(60);
        return t;
    };
    auto zoom = [](const gfx::Rect& frame) -> std::shared_ptr<XQViewTransition> {
        return XQViewTransitionFloat::make(frame);
    };
    constexpr auto forward = XQViewTransitionDirectionForward;
    constexpr auto backward = XQViewTransitionDirectionBackward;
    return olm::demo::renderTransitionSheet(
        outDir + "/transitions.png", "View transitions: forward November to December, backward December to November",
        {
            {"Scroll", "forward, horizontal", scroll, forward, XQViewTransitionOrientationHorizontal},
            {"Scroll", "backward, vertical", scroll, backward, XQViewTransitionOrientationVertical},
            {"Flow", "forward, offset 60", flow, forward},
            {"Flow", "backward, offset 60", flow, backward},
            {"Float", "forward (zoom in)", zoom, forward},
            {"Float", "backward (zoom out)", zoom, backward},
        },
        "The real month view, half-way through gestures", olm::demo::monthGestureFrames());
}

} // namespace

OLM_DEMO_PAGE("40-transitions", renderTransitionsSheet);
