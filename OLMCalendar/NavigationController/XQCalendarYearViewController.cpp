#include "OLMCalendar/NavigationController/XQCalendarYearViewController.h"

#include "OLMCalendar/NavigationController/XQCalendarMonthViewController.h"
#include "OLMCalendar/NavigationController/XQCalendarNavigationAnimator.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/CollectionView.h"

OLM_DEFINE_CLASS(XQCalendarYearViewController, ui::ViewController)

XQCalendarYearViewController::~XQCalendarYearViewController() = default;

const std::shared_ptr<XQCalendar>& XQCalendarYearViewController::contentView() {
    if (!_contentView) _contentView = XQCalendar::make(gfx::Rect::zero());
    return _contentView;
}

const std::shared_ptr<ui::BarButtonItem>& XQCalendarYearViewController::todayButton() {
    if (!_todayButton)
        _todayButton = ui::BarButtonItem::make("Today", ui::BarButtonItemStylePlain, rt::sharedFrom(this),
                                               &XQCalendarYearViewController::todayTouched);
    return _todayButton;
}

gfx::Rect XQCalendarYearViewController::selectedItemRect() {
    // Only the year presenter has the collection of mini months.
    const auto* year = dynamic_cast<XQCalendarYearPresenter*>(contentView()->presenter().get());
    const auto& collection = year ? year->collection() : nullptr;
    if (!collection || collection->indexPathsForSelectedItems().empty()) return gfx::Rect::zero();
    const auto attributes = collection->layoutAttributesForItemAtIndexPath(collection->indexPathsForSelectedItems().back());
    if (!attributes) return gfx::Rect::zero();
    const gfx::Rect frame = attributes->frame();
    return frame.offsetBy(0, -collection->contentOffset().y);
}

void XQCalendarYearViewController::todayTouched() {
    if (const auto& presenter = contentView()->presenter()) presenter->navigateToDate(fnd::Date::now(), true);
}

void XQCalendarYearViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    view()->setBackgroundColor(gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white()));
    _animator = XQCalendarNavigationAnimator::make();
    const auto& calendar = contentView();
    calendar->setDelegate(rt::sharedFrom(this));
    // The push of a month controller is the drill-down; the year calendar itself stays in
    // the year view.
    calendar->setAllowPinchZoom(false);
    calendar->setViewMode(XQCalendarViewModeYear);
    view()->addSubview(calendar);
    navigationItem()->setRightBarButtonItem(todayButton());
}

void XQCalendarYearViewController::viewDidAppear(bool animated) {
    ui::ViewController::viewDidAppear(animated);
    if (_firstTime) return;
    _firstTime = true;
    if (ui::NavigationController* navigation = navigationController())
        navigation->setDelegate(std::weak_ptr<ui::NavigationControllerDelegate>(rt::sharedFrom(this)));
}

void XQCalendarYearViewController::viewDidLayoutSubviews() {
    ui::ViewController::viewDidLayoutSubviews();
    contentView()->setFrame(view()->bounds());
}

void XQCalendarYearViewController::calendarDidSelectDate(XQCalendar& calendar, const fnd::Date& date) {
    (void)calendar;
    ui::NavigationController* navigation = navigationController();
    if (!navigation) return;
    auto month = XQCalendarMonthViewController::make();
    month->setOwnerController(rt::sharedFrom(this));
    month->setSelectedDate(date);
    navigation->pushViewController(month, true);
}

std::shared_ptr<ui::ViewControllerAnimatedTransitioning>
XQCalendarYearViewController::navigationControllerAnimationControllerForOperation(
    ui::NavigationController& navigationController, ui::NavigationControllerOperation operation,
    ui::ViewController& fromViewController, ui::ViewController& toViewController) {
    (void)navigationController;
    // Only between this controller and a month controller: the zoom reads this controller's
    // selected mini month, which no other pair has.
    const bool push = operation == ui::NavigationControllerOperationPush && &fromViewController == this &&
                      dynamic_cast<XQCalendarMonthViewController*>(&toViewController);
    const bool pop = operation == ui::NavigationControllerOperationPop && &toViewController == this &&
                     dynamic_cast<XQCalendarMonthViewController*>(&fromViewController);
    if (!_animator || !(push || pop)) return nullptr;
    _animator->setPresenting(operation == ui::NavigationControllerOperationPush);
    _animator->setOperation(operation);
    return _animator;
}
