// Puts the transitions into the presenters' transition class table, by transition mode.

#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Transitions/XQViewTransitionCard.h"
#include "OLMCalendar/Transitions/XQViewTransitionFlip.h"
#include "OLMCalendar/Transitions/XQViewTransitionFloat.h"
#include "OLMCalendar/Transitions/XQViewTransitionFold.h"
#include "OLMCalendar/Transitions/XQViewTransitionRotate.h"
#include "OLMCalendar/Transitions/XQViewTransitionScroll.h"

void XQViewTransition::registerTransitionClasses() {
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionFlip>(XQCalendarTransitionModeFlip);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionFold>(XQCalendarTransitionModeFold);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionFloat>(XQCalendarTransitionModeFloat);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionCard>(XQCalendarTransitionModeCard);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionRotate>(XQCalendarTransitionModeRotate);
    XQCalendarPresenterBase::registerTransitionClass<XQViewTransitionScroll>(XQCalendarTransitionModeScroll);
}
