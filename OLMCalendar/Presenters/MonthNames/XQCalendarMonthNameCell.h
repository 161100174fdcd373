#pragma once

#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthYearCell.h"

// The short standalone name of a month, in the calendar's locale and calendar system.
class XQCalendarMonthNameCell : public XQCalendarMonthYearCell {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthNameCell)
    static std::shared_ptr<XQCalendarMonthNameCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarMonthNameCell>(frame);
    }

protected:
    friend struct rt::Access;
    XQCalendarMonthNameCell() = default;
    fnd::CalendarUnit unit() const override { return fnd::CalendarUnitMonth; }
    std::string textForDate(XQCalendar& calendar, const fnd::Date& date) const override;
};
