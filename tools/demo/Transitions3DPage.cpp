// The sheet of the turning and stacking transitions: rotate and card forward and backward,
// flip and fold forward and backward along each axis.

#include "Demo.h"

#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"

namespace {

template <class T> std::shared_ptr<XQViewTransition> makeOf(const gfx::Rect& frame) {
    return T::make(frame);
}

std::vector<std::string> renderTransitions3DSheet(const std::string& outDir) {
    constexpr auto forward = XQViewTransitionDirectionForward;
    constexpr auto backward = XQViewTransitionDirectionBackward;
    constexpr auto horizontal = XQViewTransitionOrientationHorizontal;
    constexpr auto vertical = XQViewTransitionOrientationVertical;
    return olm::demo::renderTransitionSheet(
        outDir + "/transitions-3d.png", "Rotate, card, flip and fold: November to December and back",
        {
            {"Rotate", "forward", makeOf<XQViewTransitionRotate>, forward},
            {"Rotate", "backward", makeOf<XQViewTransitionRotate>, backward},
            {"Card", "forward", makeOf<XQViewTransitionCard>, forward},
            {"Card", "backward", makeOf<XQViewTransitionCard>, backward},
            {"Flip", "forward, horizontal", makeOf<XQViewTransitionFlip>, forward, horizontal},
            {"Flip", "backward, horizontal", makeOf<XQViewTransitionFlip>, backward, horizontal},
            {"Flip", "forward, vertical", makeOf<XQViewTransitionFlip>, forward, vertical},
            {"Flip", "backward, vertical", makeOf<XQViewTransitionFlip>, backward, vertical},
            {"Fold", "forward, horizontal", makeOf<XQViewTransitionFold>, forward, horizontal},
            {"Fold", "backward, horizontal", makeOf<XQViewTransitionFold>, backward, horizontal},
            {"Fold", "forward, vertical", makeOf<XQViewTransitionFold>, forward, vertical},
            {"Fold", "backward, vertical", makeOf<XQViewTransitionFold>, backward, vertical},
        });
}

} // namespace

OLM_DEMO_PAGE("41-transitions-3d", renderTransitions3DSheet);
