#pragma once

// The cells of the zoomed-out grids: one month (XQCalendarMonthNameCell) or one year
// (XQCalendarYearNumberCell). A cell shows its month's or year's name and carries its state
// (selected, out of range) in its style's id, so that the theme styles it by state.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"
#include "platform/foundation/DateComponents.h"

// The state of a month-name or year-number cell; a set of flags.
using XQCalendarMonthYearCellState = long;
// The cell's month (or year) is that of the calendar's selectedDate.
inline constexpr XQCalendarMonthYearCellState XQCalendarMonthYearCellStateSelected = 1;
// The cell's month (or year) lies outside the calendar's minDate...maxDate.
inline constexpr XQCalendarMonthYearCellState XQCalendarMonthYearCellStateOutOfRange = 2;

class XQCalendarMonthYearCell : public XQCalendarCell {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthYearCell)

    // The first day of the month, or the date of the year, shown; nullopt before the first
    // attach.
    const std::optional<fnd::Date>& date() const { return _date; }
    XQCalendarMonthYearCellState state() const { return _state; }
    // Restyles and redraws when the state changes.
    void setState(XQCalendarMonthYearCellState state);

    // Shows the date's month or year with its state; always restyles and redraws.
    virtual void attachWithCalendar(XQCalendar* calendar, const fnd::Date& date);

    // A cell style with an id of its own, which carries the cell's state.
    std::shared_ptr<XQCalendarCellStyle> createStyle() const override;
    // Restyles; the cell keeps a backing store only while its style gives it a shape to draw.
    void updateVisuals() override;
    bool drawsContent() const override { return _drawsShape; }

protected:
    friend struct rt::Access;
    XQCalendarMonthYearCell() = default;

    // The unit the cell shows: month or year.
    virtual fnd::CalendarUnit unit() const = 0;
    // The text of the date's month or year.
    virtual std::string textForDate(XQCalendar& calendar, const fnd::Date& date) const = 0;

private:
    std::optional<fnd::Date> _date;
    XQCalendarMonthYearCellState _state = 0;
    // Most cells show only their label: they draw nothing of their own.
    bool _drawsShape = false;
};
