// Puts the transitions built so far into the presenters' transition class table: the float
// (mode 3, which the calendar's view-mode changes use as well) and the scroll (mode 6, the
// presenters' default). Flip, fold, card and rotate keep their entries until they exist.

#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"

void XQViewTransition::registerTransitionClasses() {
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionFloat>(XQCalendarTransitionModeFloat);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionScroll>(XQCalendarTransitionModeScroll);
}
