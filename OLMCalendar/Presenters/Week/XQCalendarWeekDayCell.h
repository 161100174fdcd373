#pragma once

// The day cell of the week view: every day it shows counts as in the displayed period, so a
// week that spans two months is styled as one period.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"

class XQCalendarWeekDayCell : public XQCalendarDayCell {
public:
    OLM_DECLARE_CLASS(XQCalendarWeekDayCell)
    static std::shared_ptr<XQCalendarWeekDayCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarWeekDayCell>(frame);
    }

    XQCalendarDayCellState stateForDate(const fnd::Date& date) override {
        return XQCalendarDayCell::stateForDate(date) | XQCalendarDayCellStateCurrentMonth;
    }

protected:
    friend struct rt::Access;
    XQCalendarWeekDayCell() = default;
};
