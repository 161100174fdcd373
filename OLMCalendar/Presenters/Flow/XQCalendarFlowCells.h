#pragma once

// The collection elements of the flow view. Each wraps one of the calendar's own cells in
// `view` and fills itself with it: a day (XQCalendarFlowDayCell), a weekday name
// (XQCalendarFlowDayNameCell) and a month's title (XQCalendarFlowMonthTitleView). A wrapper
// without a view (only the day cell has one from the start) takes the calendar delegate's
// cell of its kind, or the stock cell, at its first attach.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "platform/ui/CollectionViewCell.h"

class XQCalendarFlowDayCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(XQCalendarFlowDayCell)
    static std::shared_ptr<XQCalendarFlowDayCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarFlowDayCell>(frame);
    }

    const std::shared_ptr<XQCalendarDayCell>& view() const { return _view; }
    // Replaces the shown cell (nullptr: a new one at the next attach).
    void setView(std::shared_ptr<XQCalendarDayCell> view);
    void attachWithCalendar(XQCalendar* calendar, const fnd::Date& date);
    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarFlowDayCell() = default;
    void init(const gfx::Rect& frame);

private:
    std::shared_ptr<XQCalendarDayCell> _view;
};

class XQCalendarFlowDayNameCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(XQCalendarFlowDayNameCell)
    static std::shared_ptr<XQCalendarFlowDayNameCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarFlowDayNameCell>(frame);
    }

    const std::shared_ptr<XQCalendarDayNameCell>& view() const { return _view; }
    void setView(std::shared_ptr<XQCalendarDayNameCell> view);
    // `offset` is the column, counted from the week's first day.
    void attachWithCalendar(XQCalendar* calendar, long offset);
    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarFlowDayNameCell() = default;

private:
    std::shared_ptr<XQCalendarDayNameCell> _view;
};

class XQCalendarFlowMonthTitleView : public ui::CollectionReusableView {
public:
    OLM_DECLARE_CLASS(XQCalendarFlowMonthTitleView)
    static std::shared_ptr<XQCalendarFlowMonthTitleView> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarFlowMonthTitleView>(frame);
    }

    const std::shared_ptr<XQCalendarTitleCell>& view() const { return _view; }
    void setView(std::shared_ptr<XQCalendarTitleCell> view);
    void attachWithCalendar(XQCalendar* calendar, const std::string& text);
    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarFlowMonthTitleView() = default;

private:
    std::shared_ptr<XQCalendarTitleCell> _view;
};
