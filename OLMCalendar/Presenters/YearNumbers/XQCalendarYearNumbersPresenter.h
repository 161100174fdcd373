#pragma once

// The presenter of the year-numbers mode: a page of `rows` x `columns` consecutive years,
// starting with the displayed year, in a grid over the whole presenter. Swipes and navigation
// move a page at a time with the presenter's transition; with pinch zoom allowed, a tap opens
// the tapped year in the month-names mode (see XQCalendarPresenterBase::tap).
//
// The year cells are the presenter's own subviews, made again when the grid's shape changes
// (the delegate may supply them, kind 5); every update binds them to the page's years and
// refreshes presentedDate, from which a move's direction is told.

#include "OLMCalendar/Presenters/MonthNames/MonthYearGrid.h"
#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumberCell.h"

#include <vector>

class XQCalendarYearNumbersPresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(XQCalendarYearNumbersPresenter)
    static std::shared_ptr<XQCalendarYearNumbersPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarYearNumbersPresenter>(frame);
    }

    // Year cells per row and rows (4 and 4 by default; see MonthYearGrid for the limits); they
    // take effect at the next update.
    long columns() const { return _columns; }
    void setColumns(long columns) { _columns = columns; }
    long rows() const { return _rows; }
    void setRows(long rows) { _rows = rows; }
    // The calendar's displayed date at the last update.
    const std::optional<fnd::Date>& presentedDate() const { return _presentedDate; }
    // The cells in grid order.
    const std::vector<std::shared_ptr<XQCalendarYearNumberCell>>& cells() const { return _cells; }

    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    void layoutSubviews() override;
    // The displayed date a page on; nil when the next year starts after maxDate.
    std::optional<fnd::Date> nextDate() override;
    // The displayed date a page back; nil when the previous year ended before minDate.
    std::optional<fnd::Date> prevDate() override;
    bool isDateBefore(const fnd::Date& date) override;
    // Whether the date's year lies within the years of minDate...maxDate.
    bool isDateSelectable(const std::optional<fnd::Date>& date) override;
    // The date of the year under the point; nil outside the presenter.
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;

    virtual void createCells();
    virtual void updateData();

protected:
    friend struct rt::Access;
    XQCalendarYearNumbersPresenter() = default;

private:
    MonthYearGrid grid() const;
    // The page's number of years.
    long pageYears() const { return grid().cellCount(); }
    std::optional<fnd::Date> pageStep(long direction);

    long _columns = 4;
    long _rows = 4;
    std::optional<fnd::Date> _presentedDate;
    long _presentedColumns = 0;
    long _presentedRows = 0;
    std::vector<std::shared_ptr<XQCalendarYearNumberCell>> _cells;
};
