#pragma once

// The presenter of the week view: the month view's header over a single row, the week of
// the displayed date, navigated a week at a time with a horizontal scroll transition. Every
// day of the row counts as in the displayed period, also in a week that spans two months.

#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"

class XQCalendarWeekPresenter : public XQCalendarMonthPresenter {
public:
    OLM_DECLARE_CLASS(XQCalendarWeekPresenter)
    static std::shared_ptr<XQCalendarWeekPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarWeekPresenter>(frame);
    }

    long rowCount() const override { return 1; }
    // The row is ignored: the day `col` of the displayed date's week.
    std::optional<fnd::Date> dateForRow(long row, long col) override;
    // A week on and back (daysInWeek days), unclamped.
    std::optional<fnd::Date> nextDate() override;
    std::optional<fnd::Date> prevDate() override;
    // Whether the date's week lies within the weeks of minDate...maxDate.
    bool isDateInPresenterRange(const fnd::Date& date) override;
    bool showsEveryDayAsDisplayed() const override { return true; }

protected:
    friend struct rt::Access;
    XQCalendarWeekPresenter() = default;
    void init(const gfx::Rect& frame);

    std::shared_ptr<XQCalendarCell> stockCellWithType(XQCalendarCellType type) override;
    bool isDateInDisplayedPeriod(const fnd::Date& date) override;

private:
    // (week-based year, week of year) of a date.
    std::array<long, 2> weekKey(const fnd::Date& date) const;
    std::optional<fnd::Date> step(long weeks);
};
