#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthYearCell.h"

#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"

OLM_DEFINE_CLASS(XQCalendarMonthYearCell, XQCalendarCell)

std::shared_ptr<XQCalendarCellStyle> XQCalendarMonthYearCell::createStyle() const {
    auto style = XQCalendarCell::createStyle();
    style->setStyleID(XQStyleID::make());
    return style;
}

void XQCalendarMonthYearCell::updateVisuals() {
    XQCalendarCell::updateVisuals();
    const XQCalendarCellStyle& s = style();
    const bool draws = s.shape() && (s.shapeFill() || s.shapeStroke());
    if (draws == _drawsShape) return;
    _drawsShape = draws;
    if (draws)
        setNeedsDisplay();
    else
        layer()->setContents(nullptr);
}

void XQCalendarMonthYearCell::setState(XQCalendarMonthYearCellState state) {
    if (state == _state) return;
    _state = state;
    style().styleID()->setState(state);
    updateVisuals();
    setNeedsDisplay();
}

void XQCalendarMonthYearCell::attachWithCalendar(XQCalendar* calendar, const fnd::Date& date) {
    setOwner(calendar);
    _date = date;
    std::string text;
    XQCalendarMonthYearCellState state = 0;
    if (calendar) {
        const fnd::CalendarUnit units = unit() == fnd::CalendarUnitYear ? fnd::CalendarUnitYear : XQCalendar::monthUnits;
        text = textForDate(*calendar, date);
        if (calendar->isDate(calendar->selectedDate(), date, units)) state |= XQCalendarMonthYearCellStateSelected;
        if (!presenters::isWithinBounds(*calendar, unit(), date)) state |= XQCalendarMonthYearCellStateOutOfRange;
    }
    _state = state;
    style().styleID()->setState(state);
    showText(std::move(text));
    setNeedsDisplay();
}
