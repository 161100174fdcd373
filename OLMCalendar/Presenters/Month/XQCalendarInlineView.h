#pragma once

// The list of one day's events that the month presenter opens under a tapped day's row or in
// a popover pointing at it: a table with a row per event of its day cell.

#include "OLMCore/XQView.h"

#include <memory>

class XQCalendarMonthPresenter;
class XQCalendarDayCell;

class XQCalendarInlineView : public XQView {
public:
    OLM_DECLARE_CLASS(XQCalendarInlineView)
    static std::shared_ptr<XQCalendarInlineView> make() { return rt::create<XQCalendarInlineView>(); }

    // The presenter whose delegate hears of the rows (weak).
    std::shared_ptr<XQCalendarMonthPresenter> owner() const { return _owner.lock(); }
    void setOwner(const std::shared_ptr<XQCalendarMonthPresenter>& owner) { _owner = owner; }
    // The day whose events are listed (weak).
    std::shared_ptr<XQCalendarDayCell> dayCell() const { return _dayCell.lock(); }
    void setDayCell(const std::shared_ptr<XQCalendarDayCell>& cell);

    // Width of the list in a popover.
    double desiredWidthInPopoverMode() const { return _desiredWidthInPopoverMode; }
    void setDesiredWidthInPopoverMode(double width) { _desiredWidthInPopoverMode = width; }
    // Largest height of the list.
    double maxHeight() const { return _maxHeight; }
    void setMaxHeight(double height) { _maxHeight = height; }
    // Height of one event row, used to size the list.
    double rowHeight() const { return _rowHeight; }
    void setRowHeight(double height) { _rowHeight = height; }
    // The list is always maxHeight high.
    bool fixedHeight() const { return _fixedHeight; }
    void setFixedHeight(bool fixed) { _fixedHeight = fixed; }

    // The list's height for a number of events: maxHeight when fixed, else the rows' height
    // up to maxHeight (single precision, as the rows are laid out).
    double heightForEventCount(std::size_t count) const;

    // Shows the day cell's events afresh.
    void reloadData();

protected:
    friend struct rt::Access;
    XQCalendarInlineView() = default;
    void init();

private:
    std::weak_ptr<XQCalendarMonthPresenter> _owner;
    std::weak_ptr<XQCalendarDayCell> _dayCell;
    double _desiredWidthInPopoverMode = 300;
    double _maxHeight = 130;
    double _rowHeight = 44;
    bool _fixedHeight = false;
};
