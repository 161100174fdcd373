#pragma once

// The title line of a presenter (a month and year, formatted by the presenter). The month
// names take the case that the calendar's current presenter asks for.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"

class XQCalendarTitleCell : public XQCalendarCell {
public:
    OLM_DECLARE_CLASS(XQCalendarTitleCell)
    static std::shared_ptr<XQCalendarTitleCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarTitleCell>(frame);
    }

    virtual void attachWithCalendar(XQCalendar* calendar, const std::string& text);

protected:
    friend struct rt::Access;
    XQCalendarTitleCell() = default;
};
