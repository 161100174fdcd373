#pragma once

// The short name of a weekday above a grid column, in the calendar's locale and calendar
// system, in the case that the calendar's current presenter asks for.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"

class XQCalendarDayNameCell : public XQCalendarCell {
public:
    OLM_DECLARE_CLASS(XQCalendarDayNameCell)
    static std::shared_ptr<XQCalendarDayNameCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarDayNameCell>(frame);
    }

    // `offset` counts columns from the week's first day (any value; it wraps around the week).
    virtual void attachWithCalendar(XQCalendar* calendar, long offset);

protected:
    friend struct rt::Access;
    XQCalendarDayNameCell() = default;
};
