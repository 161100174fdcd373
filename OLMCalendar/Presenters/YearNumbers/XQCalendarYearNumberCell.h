#pragma once

// A year of the year-numbers grid, as plain digits.

#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthYearCell.h"

class XQCalendarYearNumberCell : public XQCalendarMonthYearCell {
public:
    OLM_DECLARE_CLASS(XQCalendarYearNumberCell)
    static std::shared_ptr<XQCalendarYearNumberCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarYearNumberCell>(frame);
    }

protected:
    friend struct rt::Access;
    XQCalendarYearNumberCell() = default;
    fnd::CalendarUnit unit() const override { return fnd::CalendarUnitYear; }
    std::string textForDate(XQCalendar& calendar, const fnd::Date& date) const override;
};
