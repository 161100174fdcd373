#include "OLMCalendar/NavigationController/XQCalendarNavigationController.h"

OLM_DEFINE_CLASS(XQCalendarNavigationController, ui::NavigationController)

void XQCalendarNavigationController::init() {
    ui::NavigationController::init(XQCalendarYearViewController::make());
}
