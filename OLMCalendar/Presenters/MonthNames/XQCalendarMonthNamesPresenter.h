#pragma once

// The presenter of the month-names mode: the months of the displayed year in a grid of
// `columns` columns under a 40-point title with the year. Swipes and navigation move a year
// at a time with the presenter's transition; with pinch zoom allowed, a tap opens the
// tapped month in the month view (see XQCalendarPresenterBase::tap).
//
// The months are found by adding one month at a time from the year's first day, so every
// calendar system shows all of its months (13 in a Hebrew leap year) in ceil(n / columns)
// rows; places past the last month stay empty. Cells are made again when the grid's shape
// changes, and every update binds them to the displayed year.
//
// content() holds the month cells in order (the delegate may supply them, kind 4, and the
// title, kind 3; ones of another class, or already shown elsewhere, are replaced by the
// stock cells).

#include "OLMCalendar/Presenters/MonthNames/MonthYearGrid.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"

#include <vector>

class XQCalendarMonthNamesPresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthNamesPresenter)
    static std::shared_ptr<XQCalendarMonthNamesPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarMonthNamesPresenter>(frame);
    }

    // The height of the title strip.
    static constexpr double titleHeight = 40;

    // Month cells per row (1 ... MonthYearGrid::maxCells; 3 by default); takes effect at the
    // next update.
    long columns() const { return _columns; }
    void setColumns(long columns) { _columns = columns; }
    const std::shared_ptr<XQCalendarTitleCell>& titleCell() const { return _titleCell; }
    // The container of the month cells, below the title.
    const std::shared_ptr<ui::View>& content() const { return _content; }
    const std::shared_ptr<ui::View>& contentView() const { return _content; }
    // The columns the current cells were made for (0 before the first update).
    long createdColumns() const { return _createdColumns; }
    // The calendar's displayed date at the last update.
    const std::optional<fnd::Date>& presentedDate() const { return _presentedDate; }
    // The cells in grid order; those past the year's last month are hidden.
    const std::vector<std::shared_ptr<XQCalendarMonthNameCell>>& cells() const { return _cells; }

    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    void layoutSubviews() override;
    // 1st day of the next year, nil past maxDate.
    std::optional<fnd::Date> nextDate() override;
    // 1st day of the previous year, nil when that year ended before minDate.
    std::optional<fnd::Date> prevDate() override;
    bool isDateBefore(const fnd::Date& date) override;
    // Whether the date's month lies within the months of minDate...maxDate.
    bool isDateSelectable(const std::optional<fnd::Date>& date) override;
    // The first day of the month under the point; nil outside the grid and on empty places.
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;

    virtual void createCells();
    virtual void updateData();

protected:
    friend struct rt::Access;
    XQCalendarMonthNamesPresenter() = default;
    void init(const gfx::Rect& frame);

private:
    MonthYearGrid grid() const;

    long _columns = 3;
    std::shared_ptr<XQCalendarTitleCell> _titleCell;
    std::shared_ptr<ui::View> _content;
    long _createdColumns = 0;
    std::optional<fnd::Date> _presentedDate;
    std::vector<std::shared_ptr<XQCalendarMonthNameCell>> _cells;
    // The displayed year's months (their first days).
    std::vector<fnd::Date> _months;
};
