#pragma once

// A ready-made two-level calendar screen: a navigation controller whose root is an
// XQCalendarYearViewController; a tap on a mini month zooms into a month view
// (XQCalendarMonthViewController) and back.
//
//     auto navigation = XQCalendarNavigationController::make();
//     window->setRootViewController(navigation);

#include "OLMCalendar/NavigationController/XQCalendarYearViewController.h"
#include "platform/ui/NavigationController.h"

class XQCalendarNavigationController : public ui::NavigationController {
public:
    OLM_DECLARE_CLASS(XQCalendarNavigationController)
    static std::shared_ptr<XQCalendarNavigationController> make() { return rt::create<XQCalendarNavigationController>(); }

protected:
    friend struct rt::Access;
    XQCalendarNavigationController() = default;
    void init();
};
