#pragma once

// The presenter of the month view (and the base of the week view): a header (the title cell
// above a row of weekday names) over a grid of rows, each a week-number cell followed by one
// day cell per weekday. It rebuilds its cells when the displayed month or the number of rows
// changes and otherwise re-binds them, lays them out from its style, recomputes the cells'
// selection flags, answers hit tests and the neighbouring periods, and hosts the list of a
// tapped day's events, inline under the day's row or in a popover.
//
// Cells. contentView holds the grid row by row: row i is subviews i*(d+1) ... i*(d+1)+d, the
// week-number cell first, then the d day cells (d = the calendar's daysInWeek). Every row
// holds d day cells, also with weekends hidden (their cells get zero frames and keep their
// old binding). The calendar's delegate may supply cells (calendarViewForCellOfKind); one of
// the wrong class, or one already in use, is replaced by the stock cell.
//
// The inline list. A touch that ends on a day cell with events opens the list under the
// cell's row (inline mode) or in a popover pointing at it (popover mode). In inline mode the
// rows below move down by the list's height, and when the list would run past the grid the
// header and grid move up by the overflow. The listed day, or a day without events, closes
// it; another day of the same row re-targets it in place; a day of another row closes it
// quickly and reopens it there. The list closes whenever the grid it points into changes
// (navigation, a new month, a rebuild, a mode change, leaving the calendar); a close asked for
// while the list animates is done when the animation ends. Every report that the list opened
// is followed by exactly one that it closed, with the same cell.

#include "OLMCalendar/Presenters/Month/MonthGridGeometry.h"
#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Themes/Styles/XQCalendarMonthPresenterStyle.h"
#include "platform/ui/PopoverController.h"

#include <functional>
#include <vector>

class XQCalendarCell;
class XQCalendarDayCell;
class XQCalendarDayNameCell;
class XQCalendarWeekNumberCell;
class XQCalendarTitleCell;
class XQCalendarInlineView;

// How a tapped day's events are listed.
using XQCalendarInlineEventsViewMode = long;
inline constexpr XQCalendarInlineEventsViewMode XQCalendarInlineEventsViewModeNone = 0;
inline constexpr XQCalendarInlineEventsViewMode XQCalendarInlineEventsViewModeInline = 1;
inline constexpr XQCalendarInlineEventsViewMode XQCalendarInlineEventsViewModePopover = 2;

class XQCalendarMonthPresenter : public XQCalendarPresenterBase, public ui::PopoverControllerDelegate {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthPresenter)
    static std::shared_ptr<XQCalendarMonthPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarMonthPresenter>(frame);
    }
    ~XQCalendarMonthPresenter() override;

    // --- Settings.
    const std::shared_ptr<XQCalendarMonthPresenterStyle>& style() const { return _style; }
    // nullptr is ignored.
    void setStyle(std::shared_ptr<XQCalendarMonthPresenterStyle> style);
    // The next update rebuilds.
    bool titleHidden() const { return _titleHidden; }
    void setTitleHidden(bool hidden);
    bool dayNamesHidden() const { return _dayNamesHidden; }
    void setDayNamesHidden(bool hidden);
    // These take effect at the next update or layout.
    bool weekNumbersHidden() const { return _weekNumbersHidden; }
    void setWeekNumbersHidden(bool hidden) { _weekNumbersHidden = hidden; }
    bool weekendsHidden() const { return _weekendsHidden; }
    void setWeekendsHidden(bool hidden) { _weekendsHidden = hidden; }
    // Every month shows 6 rows (or more, should a month need them); false: as many as it needs.
    bool equalWeekNumber() const { return _equalWeekNumber; }
    void setEqualWeekNumber(bool equal) { _equalWeekNumber = equal; }
    // The header stays in place during navigation transitions.
    bool headerIsSticky() const { return _headerIsSticky; }
    void setHeaderIsSticky(bool sticky) { _headerIsSticky = sticky; }

    XQCalendarInlineEventsViewMode inlineEventsViewMode() const { return _inlineEventsViewMode; }
    // Closes the list (without animation) first.
    void setInlineEventsViewMode(XQCalendarInlineEventsViewMode mode);
    const std::shared_ptr<XQCalendarInlineView>& inlineEventsView() const { return _inlineEventsView; }
    // nullptr is ignored. Closes an open list first.
    void setInlineEventsView(std::shared_ptr<XQCalendarInlineView> view);
    // The popover of the popover mode: a new one per tap, nil again when the user dismisses it.
    const std::shared_ptr<ui::PopoverController>& popover() const { return _popover; }

    // --- Views and computed state.
    const std::shared_ptr<ui::View>& headerView() const { return _headerView; }
    const std::shared_ptr<ui::View>& dayNamesView() const { return _dayNamesView; }
    const std::shared_ptr<ui::View>& contentView() const { return _contentView; }
    const std::shared_ptr<XQCalendarTitleCell>& titleCell() const { return _titleCell; }
    const std::vector<std::shared_ptr<XQCalendarDayNameCell>>& dayNameCells() const { return _dayNameCells; }
    // Row-major, rowCount() * daysInWeek cells.
    const std::vector<std::shared_ptr<XQCalendarDayCell>>& dayCells() const { return _dayCells; }
    const std::vector<std::shared_ptr<XQCalendarWeekNumberCell>>& weekNumberCells() const {
        return _weekNumberCells;
    }
    double rowHeight() const { return _rowHeight; }
    // The rows of the grid that hold a day of the displayed month (computed by update).
    long weeksInMonth() const { return _weeksInMonth; }
    long daysInWeekPresented() const { return _daysInWeekPresented; }
    // The displayed date at the last rebuild (nullopt: the next update rebuilds).
    const std::optional<fnd::Date>& presentedMonth() const { return _presentedMonth; }
    // Whether the delegate supplies cells (as found by the last createCells).
    bool supportsCustomCells() const { return _supportsCustomCells; }

    // --- The presenter contract and the base's hooks.
    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    void layoutSubviews() override;
    std::optional<fnd::Date> nextDate() override;
    // One month back, clamped to minDate.
    std::optional<fnd::Date> prevDate() override;
    bool navigateForward(bool animated) override;
    bool navigateBack(bool animated) override;
    void navigateToDate(const fnd::Date& date, bool animated) override;
    bool isDateBefore(const fnd::Date& date) override;
    gfx::Rect getTransitionFrame() override;
    std::shared_ptr<ui::View> cellFromPoint(gfx::Point point) override;
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;
    // The grid's cell of a date's day, or nullptr outside the grid.
    std::shared_ptr<XQCalendarDayCell> cellForDate(const fnd::Date& date);
    // Whether the date's month lies within the months of minDate...maxDate.
    virtual bool isDateInPresenterRange(const fnd::Date& date);
    void willMoveToSuperview(ui::View* newSuperview) override;
    // The base shows every subview when a transition ends; a closed list stays hidden.
    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override;

    XQCalendarTextEffect monthNameTextEffect() const override;
    XQCalendarTextEffect dayNameTextEffect() const override;
    void dayCellTouched(XQCalendarDayCell& cell) override;
    void dayCellEventsChanged(XQCalendarDayCell& cell) override;

    // --- Building blocks (the week presenter overrides some).
    virtual void createCells();
    // The delegate's cell of the kind when it supplies a fitting one, else the stock cell.
    std::shared_ptr<XQCalendarCell> createCellWithType(XQCalendarCellType type);
    virtual void updateData();
    virtual std::optional<fnd::Date> dateForRow(long row, long col);
    virtual long rowCount() const;
    // The grid's numbers at the current size and settings.
    MonthGridGeometry gridGeometry();

    // --- The list of a tapped day's events.
    // Opens, moves or closes the list for a cell by the mode; a cell without events closes it.
    void showInlineEventsForCell(XQCalendarDayCell& cell, bool animated);
    void showInlineViewForCell(XQCalendarDayCell& cell, bool animated);
    void showPopoverForCell(XQCalendarDayCell& cell, bool animated);
    void hideInlineEvents(bool animated);
    // `completion` runs when an open list has closed; nothing open runs nothing.
    void hideInlineEvents(bool animated, double duration, std::function<void()> completion);
    // Sets the list's height and the shift of header and grid; answers the list's top.
    double calcInlineViewOffset();

    // The list's state: whether no list is open, whether it animates, the row it is open
    // under (10000 when closed), its top, height, and the shift of header and grid.
    bool inlineHidden() const { return _inlineHidden; }
    bool isInlineAnimating() const { return _animating; }
    long presenterRow() const { return _presenterRow; }
    double presenterY() const { return _presenterY; }
    double inlinePreviewHeight() const { return _inlinePreviewHeight; }
    double inlinePreviewDelta() const { return _inlinePreviewDelta; }
    // The cell whose events are listed (nullptr when closed).
    const std::shared_ptr<XQCalendarDayCell>& listedCell() const { return _listedCell; }

    // The user dismissed the popover.
    void popoverControllerDidDismissPopover(ui::PopoverController& popover) override;

protected:
    friend struct rt::Access;
    XQCalendarMonthPresenter() = default;
    void init(const gfx::Rect& frame);

    // The delegate's cell of a kind when it supplies one that fits (of the kind's class, not
    // in use), else nullptr.
    std::shared_ptr<XQCalendarCell> customCellWithType(XQCalendarCellType type);
    // The stock cell of a kind (nullptr for kinds the presenter does not make).
    virtual std::shared_ptr<XQCalendarCell> stockCellWithType(XQCalendarCellType type);
    // Whether a date lies in the displayed period (one step there does not move).
    bool isDateInDisplayedPeriod(const fnd::Date& date) override;
    // Whether column k is a hidden weekend column.
    bool isColumnHidden(long column);
    // The number of whole days from the grid's first date to the date's day.
    std::optional<long> daysFromGridStart(const fnd::Date& date);

private:
    long computeWeeksInMonth();
    long gridDaysInWeek();
    void removeGridCells();
    void placeInlineList(double y, double height);
    void reportInlineShown(const std::shared_ptr<XQCalendarDayCell>& cell);
    void finishInlineAnimation();
    // Puts a list shown in a popover back into the presenter, closed.
    void returnInlineListFromPopover();
    // Sizes the list for a popover of that many events; answers the content size.
    gfx::Size placeListInPopover(std::size_t eventCount);

    std::shared_ptr<XQCalendarMonthPresenterStyle> _style;
    bool _titleHidden = false;
    bool _dayNamesHidden = false;
    bool _weekNumbersHidden = true;
    bool _weekendsHidden = false;
    bool _equalWeekNumber = true;
    bool _headerIsSticky = false;
    XQCalendarInlineEventsViewMode _inlineEventsViewMode = XQCalendarInlineEventsViewModeNone;
    std::shared_ptr<XQCalendarInlineView> _inlineEventsView;
    std::shared_ptr<ui::PopoverController> _popover;
    std::shared_ptr<ui::View> _headerView;
    std::shared_ptr<ui::View> _dayNamesView;
    std::shared_ptr<ui::View> _contentView;
    std::shared_ptr<XQCalendarTitleCell> _titleCell;
    std::vector<std::shared_ptr<XQCalendarDayNameCell>> _dayNameCells;
    std::vector<std::shared_ptr<XQCalendarDayCell>> _dayCells;
    std::vector<std::shared_ptr<XQCalendarWeekNumberCell>> _weekNumberCells;
    double _rowHeight = 0;
    std::optional<MonthGridGeometry> _geometry; // of the last layout
    long _weeksInMonth = 0;
    long _daysInWeekPresented = 0;
    long _gridDays = 0; // the days per row the grid cells were made for
    std::optional<fnd::Date> _presentedMonth;
    std::optional<fnd::Date> _presentedGridStart;
    bool _supportsCustomCells = false;

    // The list.
    bool _inlineHidden = true;
    bool _animating = false;
    long _presenterRow = 0;
    double _presenterY = 0;
    double _inlinePreviewHeight = 130;
    double _inlinePreviewDelta = 0;
    // The cell reported as shown; held until its close is reported.
    std::shared_ptr<XQCalendarDayCell> _listedCell;
    bool _shownReported = false;
    // A close asked for while the list animated, done when the animation ends.
    struct PendingClose {
        bool animated;
        std::function<void()> completion;
    };
    std::vector<PendingClose> _pendingCloses;
};
