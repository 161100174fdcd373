#include "OLMCalendar/Presenters/Week/XQCalendarWeekPresenter.h"

#include "OLMCalendar/Presenters/Week/XQCalendarWeekDayCell.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarWeekPresenter, XQCalendarMonthPresenter)

void XQCalendarWeekPresenter::init(const gfx::Rect& frame) {
    XQCalendarMonthPresenter::init(frame);
    setTransitionMode(XQCalendarTransitionModeScroll);
    setTransitionIsVertical(false);
}

std::optional<fnd::Date> XQCalendarWeekPresenter::dateForRow(long row, long col) {
    (void)row;
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const auto& cal = calendar->calendar();
    const fnd::Date displayed = calendar->displayedDate();
    const long w = cal->component(fnd::CalendarUnitWeekday, displayed);
    const long f = cal->firstWeekday();
    long d = calendar->daysInWeek();
    if (d < 1) d = 7;
    const long back = w < f ? d + w - f : w - f;
    const auto day = calendar->dateWithoutTime(displayed);
    return day ? cal->dateByAddingUnit(fnd::CalendarUnitDay, col - back, *day) : std::nullopt;
}

std::optional<fnd::Date> XQCalendarWeekPresenter::step(long weeks) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    long d = calendar->daysInWeek();
    if (d < 1) d = 7;
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitDay, weeks * d, calendar->displayedDate());
}

std::optional<fnd::Date> XQCalendarWeekPresenter::nextDate() {
    return step(1);
}

std::optional<fnd::Date> XQCalendarWeekPresenter::prevDate() {
    return step(-1);
}

std::array<long, 2> XQCalendarWeekPresenter::weekKey(const fnd::Date& date) const {
    XQCalendar* calendar = owner();
    const auto c = calendar->calendar()->components(fnd::CalendarUnitYearForWeekOfYear | fnd::CalendarUnitWeekOfYear, date);
    return {c.yearForWeekOfYear.value_or(0), c.weekOfYear.value_or(0)};
}

bool XQCalendarWeekPresenter::isDateInDisplayedPeriod(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    return calendar && weekKey(date) == weekKey(calendar->displayedDate());
}

bool XQCalendarWeekPresenter::isDateInPresenterRange(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const auto k = weekKey(date);
    if (calendar->minDate() && k < weekKey(*calendar->minDate())) return false;
    if (calendar->maxDate() && k > weekKey(*calendar->maxDate())) return false;
    return true;
}

std::shared_ptr<XQCalendarCell> XQCalendarWeekPresenter::stockCellWithType(XQCalendarCellType type) {
    if (type == XQCalendarCellTypeDay) return XQCalendarWeekDayCell::make();
    return XQCalendarMonthPresenter::stockCellWithType(type);
}
