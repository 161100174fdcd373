#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarInlineView, XQView)

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
