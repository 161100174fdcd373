#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNameCell.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarMonthNameCell, XQCalendarMonthYearCell)

std::string XQCalendarMonthNameCell::textForDate(XQCalendar& calendar, const fnd::Date& date) const {
    // The month's own date formatted: a list of twelve names knows nothing of leap months.
    return cells::dateFormatter(calendar.locale(), calendar.calendar(), "LLL").stringFromDate(date);
}

