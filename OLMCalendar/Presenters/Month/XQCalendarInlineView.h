#pragma once

// The list of one day's events that the month presenter opens under a tapped day's row or in
// a popover pointing at it: a table with a row per event of its day cell.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "OLMCore/XQView.h"
#include "platform/foundation/Calendar.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

class XQCalendarMonthPresenter;
class XQCalendarDayCell;

// The times of an event as its row in the list shows them on one day: "all day" when it is an
// all-day event or covers the whole day, else "hh:mm a - hh:mm a" clamped to the day. A
// missing start or end reaches past the day.
std::string inlineEventTimeText(const XQCalendarEventProtocol& event, const fnd::Date& day,
                                const fnd::CalendarRef& calendar);

class XQCalendarInlineView : public XQView, public ui::TableViewDataSource, public ui::TableViewDelegate {
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

    const std::shared_ptr<ui::TableView>& tableView() const { return _tableView; }

    // Shows the day cell's events afresh: the rows are the events the cell holds now.
    void reloadData();

    // The table's data source and delegate.
    long tableViewNumberOfRowsInSection(ui::TableView& tableView, long section) override;
    std::shared_ptr<ui::TableViewCell> tableViewCellForRowAtIndexPath(ui::TableView& tableView,
                                                                      const fnd::IndexPath& indexPath) override;
    void tableViewDidSelectRowAtIndexPath(ui::TableView& tableView, const fnd::IndexPath& indexPath) override;

protected:
    friend struct rt::Access;
    XQCalendarInlineView() = default;
    void init();

private:
    std::weak_ptr<XQCalendarMonthPresenter> _owner;
    std::weak_ptr<XQCalendarDayCell> _dayCell;
    std::shared_ptr<ui::TableView> _tableView;
    // The events the rows show (those of the day cell at the last reload).
    XQCalendarEvents _events;
    double _desiredWidthInPopoverMode = 300;
    double _maxHeight = 130;
    double _rowHeight = 44;
    bool _fixedHeight = false;
};
