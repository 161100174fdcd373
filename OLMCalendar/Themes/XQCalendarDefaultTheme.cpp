#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"

OLM_DEFINE_CLASS(XQCalendarDefaultTheme, XQTheme)

void XQCalendarDefaultTheme::init() {
    XQTheme::init();
}
