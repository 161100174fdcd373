#pragma once

// The month view's title: the title text, arrow buttons that move one month back or forward
// and, in its widest layout, the year between two buttons that move one year. The layout
// mode chooses what shows. An application may put buttons of its own in place; the cell
// wires them to its actions.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "platform/ui/Button.h"

using XQCalendarMonthTitleCellLayoutMode = long;
// The title only. Any value outside 0...2 acts so.
inline constexpr XQCalendarMonthTitleCellLayoutMode XQCalendarMonthTitleCellLayoutModeTitleOnly = 0;
// The title between the month buttons at the edges.
inline constexpr XQCalendarMonthTitleCellLayoutMode XQCalendarMonthTitleCellLayoutModeMonthButtons = 1;
// The month name between its buttons in the left half, the year between its buttons in the
// right half.
inline constexpr XQCalendarMonthTitleCellLayoutMode XQCalendarMonthTitleCellLayoutModeMonthAndYearButtons = 2;

class XQCalendarMonthTitleCell : public XQCalendarTitleCell {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthTitleCell)
    static std::shared_ptr<XQCalendarMonthTitleCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarMonthTitleCell>(frame);
    }

    // Setting a button takes the old one out of the cell and wires the new one (which may be
    // null) to the cell's action; it shows only when the layout mode shows its part.
    const std::shared_ptr<ui::Button>& previousMonthButton() const { return _previousMonthButton; }
    void setPreviousMonthButton(std::shared_ptr<ui::Button> button);
    const std::shared_ptr<ui::Button>& nextMonthButton() const { return _nextMonthButton; }
    void setNextMonthButton(std::shared_ptr<ui::Button> button);
    const std::shared_ptr<ui::Button>& previousYearButton() const { return _previousYearButton; }
    void setPreviousYearButton(std::shared_ptr<ui::Button> button);
    const std::shared_ptr<ui::Button>& nextYearButton() const { return _nextYearButton; }
    void setNextYearButton(std::shared_ptr<ui::Button> button);
    const std::shared_ptr<ui::Label>& yearLabel() const { return _yearLabel; }

    XQCalendarMonthTitleCellLayoutMode layoutMode() const { return _layoutMode; }
    void setLayoutMode(XQCalendarMonthTitleCellLayoutMode mode);

    // Arrow buttons 44 x 40 in the cell's tint colour.
    std::shared_ptr<ui::Button> createPrevButton() const;
    std::shared_ptr<ui::Button> createNextButton() const;

    // The title; in mode 2 the label shows the displayed month's name and the year label
    // its year, both in the calendar's own system.
    void attachWithCalendar(XQCalendar* calendar, const std::string& text) override;
    // Also styles the year label.
    void updateVisuals() override;
    void layoutSubviews() override;

    void prevMonthAction(ui::Button* sender);
    void nextMonthAction(ui::Button* sender);
    // One year back or forward, when that day lies within the calendar's first and last day.
    void prevYearAction(ui::Button* sender);
    void nextYearAction(ui::Button* sender);

protected:
    friend struct rt::Access;
    XQCalendarMonthTitleCell() = default;
    void init(const gfx::Rect& frame);
    void init() { init(gfx::Rect::zero()); }

private:
    using Action = void (XQCalendarMonthTitleCell::*)(ui::Button*);
    void replaceButton(std::shared_ptr<ui::Button>& slot, std::shared_ptr<ui::Button> button, Action action);
    // The mode as it acts (0 for values outside 0...2).
    XQCalendarMonthTitleCellLayoutMode effectiveMode() const;
    void applyHiddenFlags();
    std::shared_ptr<ui::Button> createArrowButton(gfx::Size size, bool left) const;
    void stepYear(long years);

    std::shared_ptr<ui::Button> _previousMonthButton;
    std::shared_ptr<ui::Button> _nextMonthButton;
    std::shared_ptr<ui::Button> _previousYearButton;
    std::shared_ptr<ui::Button> _nextYearButton;
    std::shared_ptr<ui::Label> _yearLabel;
    XQCalendarMonthTitleCellLayoutMode _layoutMode = XQCalendarMonthTitleCellLayoutModeTitleOnly;
};
