#pragma once

// The root of XQCalendarNavigationController: a calendar in the year view filling the
// controller's view, with a "Today" button in the bar. A tap on a mini month pushes an
// XQCalendarMonthViewController opened at that month, and the controller hands the navigation
// controller an XQCalendarNavigationAnimator for that push and the pop back: the month view
// zooms out of the tapped mini month and back into it.
//
// The push is the drill-down: the controller turns pinch zoom off on its calendar, so that the
// year view stays in the year mode under the month view (a pinch does nothing in year mode).
// The controller becomes its navigation controller's delegate at its first appearance: a push
// before that runs without the zoom.

#include "OLMCalendar/XQCalendar.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/NavigationController.h"

class XQCalendarMonthViewController;
class XQCalendarNavigationAnimator;

// Told when a month controller pushed by the year controller has loaded its view.
class XQCalendarYearViewControllerDelegate {
public:
    virtual ~XQCalendarYearViewControllerDelegate() = default;
    virtual void navigatedToMonthViewController(XQCalendarMonthViewController& controller) = 0;
};

class XQCalendarYearViewController : public ui::ViewController,
                                     public ui::NavigationControllerDelegate,
                                     public XQCalendarDelegate {
public:
    OLM_DECLARE_CLASS(XQCalendarYearViewController)
    static std::shared_ptr<XQCalendarYearViewController> make() { return rt::create<XQCalendarYearViewController>(); }
    ~XQCalendarYearViewController() override;

    // The calendar (made on first read, with a zero frame; the view's bounds once laid out).
    const std::shared_ptr<XQCalendar>& contentView();
    // "Today", plain, sending todayTouched (made on first read).
    const std::shared_ptr<ui::BarButtonItem>& todayButton();
    // Held strongly: a delegate that owns the navigation controller (or this controller)
    // forms a cycle that frees nothing; break it by setting nullptr.
    const std::shared_ptr<XQCalendarYearViewControllerDelegate>& delegate() const { return _delegate; }
    void setDelegate(std::shared_ptr<XQCalendarYearViewControllerDelegate> delegate) {
        _delegate = std::move(delegate);
    }
    // The rect of the selected mini month in the controller's view: its frame in the year
    // collection with only the vertical scroll taken off. Zero without a selection, or when the
    // calendar does not show the year view.
    gfx::Rect selectedItemRect();

    // Asks the calendar's presenter to show today, animated.
    void todayTouched();

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewDidLayoutSubviews() override;

    // A mini month was tapped: pushes a month controller opened at `date`.
    void calendarDidSelectDate(XQCalendar& calendar, const fnd::Date& date) override;
    // The zoom for the push to a month controller and the pop back to this one; nil (the
    // navigation controller's own transition) for anything else.
    std::shared_ptr<ui::ViewControllerAnimatedTransitioning>
    navigationControllerAnimationControllerForOperation(ui::NavigationController& navigationController,
                                                        ui::NavigationControllerOperation operation,
                                                        ui::ViewController& fromViewController,
                                                        ui::ViewController& toViewController) override;

protected:
    friend struct rt::Access;
    XQCalendarYearViewController() = default;

private:
    std::shared_ptr<XQCalendar> _contentView;
    std::shared_ptr<ui::BarButtonItem> _todayButton;
    std::shared_ptr<XQCalendarYearViewControllerDelegate> _delegate;
    std::shared_ptr<XQCalendarNavigationAnimator> _animator;
    bool _firstTime = false;
};
