#pragma once

// A calendar in the flow view filling the controller's view, with a "Today" button in the bar,
// opened at `selectedDate` with the year controller's (`ownerController`) minDate and maxDate.
// Leaving its parent moves the year calendar to the month this one showed last.
//
// Made by itself (no owner, no date), it keeps its calendar's own dates and opens at its
// displayed date.

#include "OLMCalendar/XQCalendar.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/ViewController.h"

class XQCalendarYearViewController;

class XQCalendarMonthViewController : public ui::ViewController {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthViewController)
    static std::shared_ptr<XQCalendarMonthViewController> make() { return rt::create<XQCalendarMonthViewController>(); }
    ~XQCalendarMonthViewController() override;

    // The calendar, in flow mode; made once, on first read (with the view's bounds when the
    // view is loaded, else a zero frame that the layout corrects).
    const std::shared_ptr<XQCalendar>& contentView();
    const std::shared_ptr<ui::BarButtonItem>& todayButton();
    // The year controller that pushed this one (weak).
    std::shared_ptr<XQCalendarYearViewController> ownerController() const { return _ownerController.lock(); }
    void setOwnerController(const std::shared_ptr<XQCalendarYearViewController>& owner) { _ownerController = owner; }
    // The date to open at.
    const std::optional<fnd::Date>& selectedDate() const { return _selectedDate; }
    void setSelectedDate(std::optional<fnd::Date> date) { _selectedDate = std::move(date); }

    void todayTouched();

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    // Leaving (nullptr): the owner's calendar goes to this calendar's displayed date.
    void willMoveToParentViewController(ui::ViewController* parent) override;

protected:
    friend struct rt::Access;
    XQCalendarMonthViewController() = default;

private:
    std::shared_ptr<XQCalendar> _contentView;
    std::shared_ptr<ui::BarButtonItem> _todayButton;
    std::weak_ptr<XQCalendarYearViewController> _ownerController;
    std::optional<fnd::Date> _selectedDate;
};
