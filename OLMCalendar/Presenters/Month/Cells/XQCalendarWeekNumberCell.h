#pragma once

// The week number at the left of a grid row, shown as given.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"

class XQCalendarWeekNumberCell : public XQCalendarCell {
public:
    OLM_DECLARE_CLASS(XQCalendarWeekNumberCell)
    static std::shared_ptr<XQCalendarWeekNumberCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarWeekNumberCell>(frame);
    }

    virtual void attachWithCalendar(XQCalendar* calendar, long weekNumber);

protected:
    friend struct rt::Access;
    XQCalendarWeekNumberCell() = default;

private:
    long _weekNumber = 0;
};
