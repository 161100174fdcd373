#include "OLMCalendar/NavigationController/XQCalendarMonthViewController.h"

#include "OLMCalendar/NavigationController/XQCalendarYearViewController.h"
#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarMonthViewController, ui::ViewController)

XQCalendarMonthViewController::~XQCalendarMonthViewController() = default;

const std::shared_ptr<XQCalendar>& XQCalendarMonthViewController::contentView() {
    if (!_contentView) {
        // Reading the view here would load it, and loading reads this again: the calendar is
        // made once, and sized by the layout when the view is not there yet.
        _contentView = XQCalendar::make(isViewLoaded() ? view()->bounds() : gfx::Rect::zero());
        _contentView->setViewMode(XQCalendarViewModeFlow);
    }
    return _contentView;
}

const std::shared_ptr<ui::BarButtonItem>& XQCalendarMonthViewController::todayButton() {
    if (!_todayButton)
        _todayButton = ui::BarButtonItem::make("Today", ui::BarButtonItemStylePlain, rt::sharedFrom(this),
                                               &XQCalendarMonthViewController::todayTouched);
    return _todayButton;
}

void XQCalendarMonthViewController::todayTouched() {
    if (const auto& presenter = contentView()->presenter()) presenter->navigateToDate(fnd::Date::now(), true);
}

void XQCalendarMonthViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    view()->setBackgroundColor(gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white()));
    const auto& calendar = contentView();
    const auto owner = ownerController();
    if (owner) {
        calendar->setMinDate(owner->contentView()->minDate());
        calendar->setMaxDate(owner->contentView()->maxDate());
    }
    view()->addSubview(calendar);
    navigationItem()->setRightBarButtonItem(todayButton());
    if (_selectedDate) calendar->navigateToDate(*_selectedDate, false);
    if (const auto delegate = owner ? owner->delegate() : nullptr) delegate->navigatedToMonthViewController(*this);
}

void XQCalendarMonthViewController::viewDidLayoutSubviews() {
    ui::ViewController::viewDidLayoutSubviews();
    contentView()->setFrame(view()->bounds());
}

void XQCalendarMonthViewController::willMoveToParentViewController(ui::ViewController* parent) {
    ui::ViewController::willMoveToParentViewController(parent);
    if (parent) return;
    if (const auto owner = ownerController()) owner->contentView()->navigateToDate(contentView()->displayedDate(), false);
}
