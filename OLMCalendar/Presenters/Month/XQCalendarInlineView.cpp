#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"

#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarInlineView, XQView)

std::string inlineEventTimeText(const XQCalendarEventProtocol& event, const fnd::Date& day,
                                const fnd::CalendarRef& calendar) {
    auto comps = calendar->components(
        fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay, day);
    const fnd::Date dayStart = calendar->startOfDayForDate(day);
    comps.hour = 23;
    comps.minute = 59;
    comps.second = 59;
    const fnd::Date dayEnd = calendar->dateFromComponents(comps).value_or(dayStart);
    const fnd::Date start = std::max(event.startDate().value_or(dayStart), dayStart);
    const fnd::Date end = std::min(event.endDate().value_or(dayEnd), dayEnd);
    const bool coversDay = (!event.startDate() || *event.startDate() <= dayStart) &&
                           (!event.endDate() || *event.endDate() >= dayEnd);
    if (event.isAllDay() || coversDay) return "all day";
    auto formatter = fnd::DateFormatter::make();
    formatter->setCalendar(calendar);
    formatter->setDateFormat("hh:mm a");
    return fnd::stringWithFormat("%@ - %@", formatter->stringFromDate(start), formatter->stringFromDate(end));
}

void XQCalendarInlineView::init() {
    XQView::init();
    setHidden(true);
}

void XQCalendarInlineView::setDayCell(const std::shared_ptr<XQCalendarDayCell>& cell) {
    _dayCell = cell;
}

double XQCalendarInlineView::heightForEventCount(std::size_t count) const {
    if (_fixedHeight) return _maxHeight;
    const float rows = static_cast<float>(count) * static_cast<float>(_rowHeight);
    if (std::isnan(_maxHeight)) return rows;
    return std::min(static_cast<double>(static_cast<float>(_maxHeight)), static_cast<double>(rows));
}

void XQCalendarInlineView::reloadData() {}
