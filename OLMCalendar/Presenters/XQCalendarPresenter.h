#pragma once

// The contract between the calendar and the view that draws one view mode. The calendar
// keeps one presenter per mode, lays the current one over its bounds and reaches it only
// through these operations. Presenters are views; most derive from XQCalendarPresenterBase,
// the year and flow presenters implement the contract directly.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/ui/View.h"

class XQCalendarDayCell;

class XQCalendarPresenter : public ui::View {
public:
    OLM_DECLARE_CLASS(XQCalendarPresenter)

    // The signature of the factories that the presenter class table makes presenters with.
    using Factory = std::shared_ptr<XQCalendarPresenter>(const gfx::Rect&);

    // Rebuilds from the calendar's settings and displayed date; `force` rebuilds everything.
    virtual void update(bool force) = 0;
    // Recomputes the selection-dependent state of the cells; `date` was just selected.
    virtual void updateState(const std::optional<fnd::Date>& date) = 0;
    // Moves to the next / previous period; true when it moved.
    virtual bool navigateForward(bool animated) = 0;
    virtual bool navigateBack(bool animated) = 0;
    // Shows the period of `date`.
    virtual void navigateToDate(const fnd::Date& date, bool animated) = 0;
    // The date under a point in the presenter's coordinates.
    virtual std::optional<fnd::Date> dateFromPoint(gfx::Point point) = 0;

    // --- What the cells ask of the calendar's current presenter. The defaults suit a
    // presenter of one month with plain names.
    // Whether every day shown counts as in the displayed period (not only the days of the
    // displayed month).
    virtual bool showsEveryDayAsDisplayed() const { return false; }
    // The case of the month names in titles and of the weekday names.
    virtual XQCalendarTextEffect monthNameTextEffect() const { return XQCalendarTextEffectNone; }
    virtual XQCalendarTextEffect dayNameTextEffect() const { return XQCalendarTextEffectNone; }
    // A touch ended on one of the presenter's day cells.
    virtual void dayCellTouched(XQCalendarDayCell& cell) { (void)cell; }
    // The events of one of the presenter's day cells arrived after its attach.
    virtual void dayCellEventsChanged(XQCalendarDayCell& cell) { (void)cell; }

protected:
    friend struct rt::Access;
    XQCalendarPresenter() = default;
};
