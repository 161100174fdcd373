#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumberCell.h"

#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"

OLM_DEFINE_CLASS(XQCalendarYearNumberCell, XQCalendarMonthYearCell)

std::string XQCalendarYearNumberCell::textForDate(XQCalendar& calendar, const fnd::Date& date) const {
    return fnd::stringWithFormat("%d", static_cast<int>(calendar.calendar()->component(fnd::CalendarUnitYear, date)));
}
