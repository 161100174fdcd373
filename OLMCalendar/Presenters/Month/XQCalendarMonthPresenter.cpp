#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarMonthPresenter, XQCalendarPresenterBase)

namespace {

// The row of a closed list: below every row.
constexpr long closedRow = 10000;
// The flags of a cell's selection (selected, first, last and inside a range).
constexpr long selectionFlags = 16 | 32 | 64 | 128;

} // namespace

// --- Creation.

void XQCalendarMonthPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenterBase::init(frame);
    _style = XQCalendarMonthPresenterStyle::make();
    _headerView = ui::View::make();
    addSubview(_headerView);
    _dayNamesView = ui::View::make();
    _headerView->addSubview(_dayNamesView);
    _inlineEventsView = XQCalendarInlineView::make();
    _inlineEventsView->setOwner(rt::sharedFrom(this));
    addSubview(_inlineEventsView);
    // Above the list, which opens from under a row.
    _contentView = ui::View::make();
    addSubview(_contentView);
}

XQCalendarMonthPresenter::~XQCalendarMonthPresenter() = default;

// --- Settings.

void XQCalendarMonthPresenter::setStyle(std::shared_ptr<XQCalendarMonthPresenterStyle> style) {
    if (style) _style = std::move(style);
}

void XQCalendarMonthPresenter::setTitleHidden(bool hidden) {
    _titleHidden = hidden;
    _presentedMonth.reset();
}

void XQCalendarMonthPresenter::setDayNamesHidden(bool hidden) {
    _dayNamesHidden = hidden;
    _presentedMonth.reset();
}

void XQCalendarMonthPresenter::setInlineEventsViewMode(XQCalendarInlineEventsViewMode mode) {
    hideInlineEvents(false);
    // A popover still fading out gives its list back now, before the new mode reads it.
    returnInlineListFromPopover();
    _inlineEventsViewMode = mode;
}

void XQCalendarMonthPresenter::setInlineEventsView(std::shared_ptr<XQCalendarInlineView> view) {
    if (!view || view == _inlineEventsView) return;
    hideInlineEvents(false);
    returnInlineListFromPopover();
    _inlineEventsView->removeFromSuperview();
    _inlineEventsView = std::move(view);
    _inlineEventsView->setOwner(rt::sharedFrom(this));
    addSubview(_inlineEventsView);
    setNeedsLayout();
}

// --- Cell queries.

XQCalendarTextEffect XQCalendarMonthPresenter::monthNameTextEffect() const {
    return _style->monthNameTextEffect();
}

XQCalendarTextEffect XQCalendarMonthPresenter::dayNameTextEffect() const {
    return _style->dayNameTextEffect();
}

void XQCalendarMonthPresenter::dayCellTouched(XQCalendarDayCell& cell) {
    showInlineEventsForCell(cell, true);
}

void XQCalendarMonthPresenter::dayCellEventsChanged(XQCalendarDayCell& cell) {
    if (_inlineHidden || _inlineEventsView->dayCell().get() != &cell) return;
    // The listed day's events came late: the list shows them, or closes when there are none.
    if (cell.events().empty()) {
        hideInlineEvents(true);
        return;
    }
    _inlineEventsView->reloadData();
    if (_popover && _inlineEventsView->superview() != this) {
        _popover->setPopoverContentSize(placeListInPopover(cell.events().size()), true);
    } else if (!_animating) {
        setNeedsLayout();
    }
}

// --- Rows and dates.

long XQCalendarMonthPresenter::gridDaysInWeek() {
    XQCalendar* calendar = owner();
    const long d = calendar ? calendar->daysInWeek() : 7;
    return d < 1 ? 7 : d;
}

std::optional<fnd::Date> XQCalendarMonthPresenter::dateForRow(long row, long col) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    return calendar->dateWithOffset(row * gridDaysInWeek() + col, 0, calendar->displayedDate());
}

long XQCalendarMonthPresenter::rowCount() const {
    return _equalWeekNumber ? std::max(6L, _weeksInMonth) : std::max(1L, _weeksInMonth);
}

std::optional<long> XQCalendarMonthPresenter::daysFromGridStart(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    const auto first = dateForRow(0, 0);
    if (!calendar || !first) return std::nullopt;
    const auto& cal = calendar->calendar();
    return cal->components(fnd::CalendarUnitDay, cal->startOfDayForDate(*first), cal->startOfDayForDate(date))
        .day;
}

long XQCalendarMonthPresenter::computeWeeksInMonth() {
    // The rows that hold a day of the displayed month: the days before the 1st in its first
    // row, plus the month's days, in whole rows.
    XQCalendar* calendar = owner();
    if (!calendar) return 0;
    const auto& cal = calendar->calendar();
    const fnd::Date displayed = calendar->displayedDate();
    const long dayOfMonth = cal->component(fnd::CalendarUnitDay, displayed);
    const auto first = cal->dateByAddingUnit(fnd::CalendarUnitDay, 1 - dayOfMonth, displayed);
    const long days = cal->rangeOfUnit(fnd::CalendarUnitDay, fnd::CalendarUnitMonth, displayed).length;
    const auto lead = first ? daysFromGridStart(*first) : std::nullopt;
    const long d = gridDaysInWeek();
    const long cells = std::max(0L, lead.value_or(0)) + std::max(1L, days);
    return (cells + d - 1) / d;
}

bool XQCalendarMonthPresenter::isColumnHidden(long column) {
    XQCalendar* calendar = owner();
    return _weekendsHidden && calendar && calendar->isWeekend(column);
}

// --- Update.

void XQCalendarMonthPresenter::update(bool force) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);

    const long oldRows = rowCount();
    _weeksInMonth = computeWeeksInMonth();
    const bool rebuild = force || rowCount() != oldRows || _gridDays != gridDaysInWeek();
    // A new calendar (another first weekday) moves the grid under an unchanged date.
    const auto gridStart = dateForRow(0, 0);
    const bool changed = rebuild || !_presentedMonth || calendar->displayedDate() != *_presentedMonth ||
                         gridStart != _presentedGridStart;
    if (changed) {
        // The list points into the grid that is about to change: it closes first, at once
        // when its cells go.
        hideInlineEvents(!rebuild);
    }
    if (rebuild) {
        _daysInWeekPresented = 0;
        removeGridCells();
    }
    if (!changed) {
        updateData();
        // The listed cell was bound again: its events may have changed.
        if (!_inlineHidden) _inlineEventsView->reloadData();
        return;
    }
    createCells();
    updateData();
    updateState(calendar->selectedDate());
    setNeedsLayout();
    _presentedMonth = calendar->displayedDate();
    _presentedGridStart = gridStart;
}

void XQCalendarMonthPresenter::removeGridCells() {
    for (const auto& cell : _weekNumberCells) cell->removeFromSuperview();
    for (const auto& cell : _dayCells) cell->removeFromSuperview();
    _weekNumberCells.clear();
    _dayCells.clear();
    // Views the application put into the grid go as well.
    while (!_contentView->subviews().empty()) _contentView->subviews().back()->removeFromSuperview();
}

std::shared_ptr<XQCalendarCell> XQCalendarMonthPresenter::customCellWithType(XQCalendarCellType type) {
    XQCalendar* calendar = owner();
    return _supportsCustomCells && calendar ? delegateCellOfKind(*calendar, type) : nullptr;
}

std::shared_ptr<XQCalendarCell> XQCalendarMonthPresenter::createCellWithType(XQCalendarCellType type) {
    if (auto cell = customCellWithType(type)) return cell;
    return stockCellWithType(type);
}

std::shared_ptr<XQCalendarCell> XQCalendarMonthPresenter::stockCellWithType(XQCalendarCellType type) {
    // The month's title has arrows.
    if (type == XQCalendarCellTypeTitle) return XQCalendarMonthTitleCell::make();
    return stockCellOfKind(type);
}

void XQCalendarMonthPresenter::createCells() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    const long d = gridDaysInWeek();
    auto delegate = calendar->delegate();
    _supportsCustomCells = delegate != nullptr;

    if (!_titleCell || _supportsCustomCells) {
        // The delegate is asked anew at every rebuild; when it has no title of its own, the
        // stock title made before stays.
        if (_titleCell) _titleCell->removeFromSuperview();
        auto title = std::dynamic_pointer_cast<XQCalendarTitleCell>(customCellWithType(XQCalendarCellTypeTitle));
        if (title || !_titleCell || !_titleCell->isMemberOf(XQCalendarMonthTitleCell::staticClass()))
            _titleCell = title ? title : std::dynamic_pointer_cast<XQCalendarTitleCell>(
                                             stockCellWithType(XQCalendarCellTypeTitle));
        if (_titleCell) _headerView->insertSubview(_titleCell, 0);
    }
    if (_daysInWeekPresented != d) {
        for (const auto& cell : _dayNameCells) cell->removeFromSuperview();
        while (!_dayNamesView->subviews().empty()) _dayNamesView->subviews().front()->removeFromSuperview();
        _dayNameCells.clear();
        for (long k = 0; k < d; ++k) {
            auto cell = std::dynamic_pointer_cast<XQCalendarDayNameCell>(createCellWithType(XQCalendarCellTypeDayName));
            _dayNamesView->addSubview(cell);
            _dayNameCells.push_back(std::move(cell));
        }
        _daysInWeekPresented = d;
    }
    if (_dayCells.empty()) {
        const long rows = rowCount();
        _weekNumberCells.reserve(static_cast<std::size_t>(rows));
        _dayCells.reserve(static_cast<std::size_t>(rows * d));
        for (long i = 0; i < rows; ++i) {
            auto number =
                std::dynamic_pointer_cast<XQCalendarWeekNumberCell>(createCellWithType(XQCalendarCellTypeWeekNumber));
            _contentView->addSubview(number);
            _weekNumberCells.push_back(std::move(number));
            for (long j = 0; j < d; ++j) {
                auto cell = std::dynamic_pointer_cast<XQCalendarDayCell>(createCellWithType(XQCalendarCellTypeDay));
                _contentView->addSubview(cell);
                _dayCells.push_back(std::move(cell));
            }
        }
        _gridDays = d;
    }
}

void XQCalendarMonthPresenter::updateData() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    const auto& cal = calendar->calendar();
    const fnd::Date displayed = calendar->displayedDate();

    if (!_titleHidden && _titleCell) {
        auto formatter = fnd::DateFormatter::make();
        if (calendar->locale()) formatter->setLocale(calendar->locale());
        formatter->setCalendar(cal);
        formatter->setDateFormat("MMMM");
        const long year = cal->component(fnd::CalendarUnitYear, displayed);
        _titleCell->attachWithCalendar(calendar, fnd::stringWithFormat("%@ %d", formatter->stringFromDate(displayed),
                                                                        static_cast<int>(year)));
    }
    if (!_dayNamesHidden) {
        for (std::size_t k = 0; k < _dayNameCells.size(); ++k) {
            if (isColumnHidden(static_cast<long>(k))) continue;
            _dayNameCells[k]->attachWithCalendar(calendar, static_cast<long>(k));
        }
    }
    const long d = _gridDays;
    const long rows = static_cast<long>(_weekNumberCells.size());
    for (long i = 0; i < rows; ++i) {
        if (const auto first = dateForRow(i, 0))
            _weekNumberCells[static_cast<std::size_t>(i)]->attachWithCalendar(
                calendar, cal->component(fnd::CalendarUnitWeekOfYear, *first));
        for (long j = 0; j < d; ++j) {
            if (isColumnHidden(j)) continue;
            if (const auto date = dateForRow(i, j))
                _dayCells[static_cast<std::size_t>(i * d + j)]->attachWithCalendar(calendar, *date);
        }
    }
}

// --- Selection.

void XQCalendarMonthPresenter::updateState(const std::optional<fnd::Date>& date) {
    XQCalendarPresenterBase::updateState(date);
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);
    const bool range = calendar->selectionMode() == XQCalendarSelectionModeRange;
    // Cells are re-read by index each step: a delegate told of a change may change the grid.
    // Cells of hidden weekend columns are marked too: they show until the next layout hides
    // them, and show again, with their marks, when the weekends do.
    for (std::size_t i = 0; i < _dayCells.size(); ++i) {
        auto cell = _dayCells[i];
        const std::optional<fnd::Date> cellDate = cell->date();
        if (!cellDate) continue;
        const long old = cell->state();
        const long now = (old & ~selectionFlags) | XQCalendarDayCell::selectionStateForDate(*calendar, *cellDate);
        if (range && ((old & 240) != 0) != ((now & 240) != 0)) {
            if (auto delegate = calendar->delegate()) {
                if (now & 240)
                    delegate->calendarDidSelectDate(*calendar, *cellDate);
                else
                    delegate->calendarDidDeselectedDate(*calendar, *cellDate);
            }
            if (i >= _dayCells.size() || _dayCells[i] != cell) return;
            // Moved to another month meanwhile: the cell took its new date's state then.
            if (cell->date() != cellDate) continue;
        }
        cell->setState(now);
    }
}

// --- Layout.

MonthGridGeometry XQCalendarMonthPresenter::gridGeometry() {
    MonthGridGeometry::Input in;
    in.width = _contentView->bounds().size.width;
    in.height = _contentView->bounds().size.height;
    in.daysInWeek = _gridDays > 0 ? _gridDays : gridDaysInWeek();
    in.rows = static_cast<long>(_weekNumberCells.size());
    if (in.rows == 0) in.rows = rowCount();
    in.columnSpacing = _style->columnSpacing();
    in.rowSpacing = _style->rowSpacing();
    in.weekNumbersHidden = _weekNumbersHidden;
    in.weekNumberWidth = _style->weekNumberCellWidth();
    in.weekendsHidden = _weekendsHidden;
    if (XQCalendar* calendar = owner()) {
        in.weekendColumns.resize(static_cast<std::size_t>(in.daysInWeek));
        for (long k = 0; k < in.daysInWeek; ++k) in.weekendColumns[static_cast<std::size_t>(k)] = calendar->isWeekend(k);
    }
    return MonthGridGeometry::make(in);
}

void XQCalendarMonthPresenter::layoutSubviews() {
    XQCalendarPresenterBase::layoutSubviews();
    XQCalendar* calendar = owner();
    if (calendar && calendar->theme()) calendar->theme()->stylesForClass(objectClass())->applyStylesToNode(_style);
    setBackgroundColor(gfx::systemColorsAvailable() ? std::optional<gfx::Color>(gfx::systemColors::systemBackground())
                                                    : _style->backgroundColor());

    const gfx::Size size = bounds().size;
    const double W = size.width;
    const bool open = !_inlineHidden && _inlineEventsViewMode == XQCalendarInlineEventsViewModeInline;
    const double delta = open ? _inlinePreviewDelta : 0;
    const double titleHeight = _style->titleCellHeight();
    const double dayNameHeight = _style->dayNameCellHeight();

    _headerView->setFrame({0, delta, W, titleHeight + dayNameHeight});
    if (_titleCell) _titleCell->setFrame(_titleHidden ? gfx::Rect::zero() : gfx::Rect{0, 0, W, titleHeight});
    const double shownTitle = _titleCell && !_titleHidden ? titleHeight : 0;
    _dayNamesView->setFrame(_dayNamesHidden ? gfx::Rect::zero() : gfx::Rect{0, shownTitle, W, dayNameHeight});
    const double h = shownTitle + _dayNamesView->bounds().size.height;
    _contentView->setFrame({0, h + delta, W, size.height - h});

    _geometry = gridGeometry();
    const MonthGridGeometry& g = *_geometry;
    _rowHeight = g.rowHeight;
    if (!_dayNamesHidden) {
        for (std::size_t k = 0; k < _dayNameCells.size(); ++k) {
            const gfx::Rect cell = g.dayFrame(0, static_cast<long>(k));
            _dayNameCells[k]->setFrame(cell.isEmpty() ? gfx::Rect::zero()
                                                      : gfx::Rect{cell.origin.x, 0, cell.size.width, dayNameHeight});
        }
    }
    const long d = std::max(1L, _gridDays);
    for (std::size_t i = 0; i < _weekNumberCells.size(); ++i) {
        const long row = static_cast<long>(i);
        double y = g.rowTop(row);
        if (open && row > _presenterRow) y += _inlinePreviewHeight;
        _weekNumberCells[i]->setFrame(_weekNumbersHidden ? gfx::Rect::zero()
                                                         : gfx::Rect{0, y, g.weekNumberWidth, g.rowHeight});
        for (long j = 0; j < d; ++j) {
            const std::size_t index = i * static_cast<std::size_t>(d) + static_cast<std::size_t>(j);
            if (index < _dayCells.size()) _dayCells[index]->setFrame(g.dayFrame(y, j));
        }
    }

    if (!_inlineEventsView->isHidden() && !_inlineHidden && !_animating &&
        _inlineEventsViewMode == XQCalendarInlineEventsViewModeInline) {
        _presenterY = calcInlineViewOffset();
        placeInlineList(_presenterY, _inlinePreviewHeight);
    }
}

gfx::Rect XQCalendarMonthPresenter::getTransitionFrame() {
    const gfx::Rect b = bounds();
    double y = 0;
    if (_headerIsSticky)
        y = (_titleHidden ? 0 : _style->titleCellHeight()) + (_dayNamesHidden ? 0 : _style->dayNameCellHeight());
    return {0, y, b.size.width, b.size.height - y};
}

// --- Hit tests.

std::shared_ptr<ui::View> XQCalendarMonthPresenter::cellFromPoint(gfx::Point p) {
    const bool open = _inlineEventsViewMode == XQCalendarInlineEventsViewModeInline && !_inlineHidden;
    const gfx::Rect list = _inlineEventsView->frame();
    if (open && list.contains(p)) return nullptr;
    const bool below = open && p.y > list.origin.y;

    const gfx::Rect content = _contentView->frame();
    gfx::Point q{p.x - content.origin.x, p.y - content.origin.y};
    if (!_contentView->bounds().contains(q)) return nullptr;
    if (below) q.y -= list.size.height;

    // The numbers the cells were last laid out with: a point finds the cell drawn under it.
    const auto place = (_geometry ? *_geometry : gridGeometry()).placeAt(q);
    if (!place) return nullptr;
    const std::size_t index = static_cast<std::size_t>(place->row * std::max(1L, _gridDays) + place->column);
    return index < _dayCells.size() ? _dayCells[index] : nullptr;
}

std::optional<fnd::Date> XQCalendarMonthPresenter::dateFromPoint(gfx::Point point) {
    auto cell = std::static_pointer_cast<XQCalendarDayCell>(cellFromPoint(point));
    return cell ? cell->date() : std::nullopt;
}

std::shared_ptr<XQCalendarDayCell> XQCalendarMonthPresenter::cellForDate(const fnd::Date& date) {
    const auto n = daysFromGridStart(date);
    if (!n || *n < 0) return nullptr;
    const std::size_t index = static_cast<std::size_t>(*n);
    return index < _dayCells.size() ? _dayCells[index] : nullptr;
}

// --- Navigation.

std::optional<fnd::Date> XQCalendarMonthPresenter::nextDate() {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, 1, calendar->displayedDate());
}

std::optional<fnd::Date> XQCalendarMonthPresenter::prevDate() {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    auto date = calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, -1, calendar->displayedDate());
    if (date && calendar->minDate() && *date < *calendar->minDate()) date = calendar->minDate();
    return date;
}

bool XQCalendarMonthPresenter::isDateInDisplayedPeriod(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    return calendar && calendar->isDate(date, calendar->displayedDate(), XQCalendar::monthUnits);
}

bool XQCalendarMonthPresenter::navigateForward(bool animated) {
    hideInlineEvents(animated);
    return XQCalendarPresenterBase::navigateForward(animated);
}

bool XQCalendarMonthPresenter::navigateBack(bool animated) {
    hideInlineEvents(animated);
    return XQCalendarPresenterBase::navigateBack(animated);
}

void XQCalendarMonthPresenter::navigateToDate(const fnd::Date& date, bool animated) {
    hideInlineEvents(animated);
    XQCalendarPresenterBase::navigateToDate(date, animated);
}

bool XQCalendarMonthPresenter::isDateBefore(const fnd::Date& date) {
    return _presentedMonth && date < *_presentedMonth;
}

bool XQCalendarMonthPresenter::isDateInPresenterRange(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const auto& cal = calendar->calendar();
    const auto key = [&](const fnd::Date& d) {
        const auto c = cal->components(fnd::CalendarUnitEra | fnd::CalendarUnitYear | fnd::CalendarUnitMonth, d);
        return std::array<long, 3>{c.era.value_or(0), c.year.value_or(0), c.month.value_or(0)};
    };
    const auto k = key(date);
    if (calendar->minDate() && k < key(*calendar->minDate())) return false;
    if (calendar->maxDate() && k > key(*calendar->maxDate())) return false;
    return true;
}

void XQCalendarMonthPresenter::willMoveToSuperview(ui::View* newSuperview) {
    XQCalendarPresenterBase::willMoveToSuperview(newSuperview);
    if (!newSuperview) hideInlineEvents(false);
}

void XQCalendarMonthPresenter::transitionIsCanceled(XQViewTransition& transition, bool canceled) {
    auto self = rt::sharedFrom(this);
    XQCalendarPresenterBase::transitionIsCanceled(transition, canceled);
    if (_inlineHidden) _inlineEventsView->setHidden(true);
}

// --- The list of a day's events.

void XQCalendarMonthPresenter::showInlineEventsForCell(XQCalendarDayCell& cell, bool animated) {
    if (cell.events().empty()) {
        hideInlineEvents(true);
        return;
    }
    if (_inlineEventsViewMode == XQCalendarInlineEventsViewModeInline)
        showInlineViewForCell(cell, animated);
    else if (_inlineEventsViewMode == XQCalendarInlineEventsViewModePopover)
        showPopoverForCell(cell, animated);
}

double XQCalendarMonthPresenter::calcInlineViewOffset() {
    const long rows = std::max(1L, static_cast<long>(_weekNumberCells.size()));
    const double spacing = _style->rowSpacing();
    const double rowH = (_contentView->bounds().size.height - static_cast<double>(rows - 1) * spacing) /
                        static_cast<double>(rows);
    auto cell = _inlineEventsView->dayCell();
    const double cellHeight = cell ? cell->frame().size.height : rowH;
    double offset = static_cast<double>(_presenterRow) * (rowH + spacing) + cellHeight;
    _inlinePreviewHeight = _inlineEventsView->heightForEventCount(cell ? cell->events().size() : 0);
    const double contentHeight = _contentView->frame().size.height;
    if (offset + _inlinePreviewHeight > contentHeight) {
        const double overflow = offset + _inlinePreviewHeight - contentHeight;
        offset -= overflow;
        _inlinePreviewDelta = -overflow;
    } else {
        _inlinePreviewDelta = 0;
    }
    const double titleHeight = _titleCell ? _titleCell->bounds().size.height : 0;
    return titleHeight + _dayNamesView->bounds().size.height + offset;
}

void XQCalendarMonthPresenter::placeInlineList(double y, double height) {
    _inlineEventsView->setFrame({0, y, bounds().size.width, height});
}

void XQCalendarMonthPresenter::reportInlineShown(const std::shared_ptr<XQCalendarDayCell>& cell) {
    if (_listedCell == cell && _shownReported) return;
    _listedCell = cell;
    _shownReported = true;
    if (auto delegate = this->delegate()) delegate->monthPresenterInlineEventsViewDidShowForCell(*this, *cell);
}

void XQCalendarMonthPresenter::showInlineViewForCell(XQCalendarDayCell& tapped, bool animated) {
    if (_animating) return;
    auto self = rt::sharedFrom(this);
    const bool wasHidden = _inlineHidden;
    const long oldRow = _presenterRow;
    const auto n = tapped.date() ? daysFromGridStart(*tapped.date()) : std::nullopt;
    const long d = std::max(1L, _gridDays);
    if (!n || *n < 0) return;
    const long row = *n / d;

    if (!_inlineHidden) {
        auto listed = _inlineEventsView->dayCell();
        if ((listed && listed->date() && tapped.date() && *listed->date() == *tapped.date()) ||
            tapped.events().empty()) {
            hideInlineEvents(true);
            return;
        }
        if (row != oldRow) {
            if (animated) {
                std::weak_ptr<XQCalendarDayCell> weakCell = rt::weakFrom(&tapped);
                std::weak_ptr<XQCalendarMonthPresenter> weakSelf = self;
                hideInlineEvents(true, 0.1, [weakSelf, weakCell] {
                    auto presenter = weakSelf.lock();
                    auto cell = weakCell.lock();
                    if (presenter && cell) presenter->showInlineViewForCell(*cell, true);
                });
                return;
            }
            // Without animation the list moves there at once: the old cell's report closes.
            hideInlineEvents(false);
        }
    }

    const std::size_t index = static_cast<std::size_t>(*n);
    if (index >= _dayCells.size()) return;
    auto cell = _dayCells[index];
    if (_listedCell && _listedCell != cell && _shownReported) {
        // Re-targeted in place: the old cell's showing ends here.
        auto old = std::move(_listedCell);
        _shownReported = false;
        if (auto delegate = this->delegate()) delegate->monthPresenterInlineEventsViewDidHideForCell(*this, *old);
    }
    setClipsToBounds(true);
    _inlineHidden = false;
    _presenterRow = row;
    _inlineEventsView->setDayCell(cell);
    _inlineEventsView->setHidden(false);
    _presenterY = calcInlineViewOffset();
    const double width = bounds().size.width;

    if (!animated) {
        placeInlineList(_presenterY, _inlinePreviewHeight);
        layoutSubviews();
        _inlineEventsView->reloadData();
        reportInlineShown(cell);
        return;
    }

    _animating = true;
    bringSubviewToFront(_contentView.get());
    if (wasHidden) placeInlineList(_presenterY, 0);
    const bool shifted = _inlinePreviewDelta != 0;
    if (shifted) placeInlineList(_presenterY - _inlinePreviewDelta, 0);
    bringSubviewToFront(_inlineEventsView.get());
    std::weak_ptr<XQCalendarMonthPresenter> weakSelf = self;
    ui::View::animateWithDuration(
        shifted ? 0.3 : 0.4, 0, 0.5, 0.3, 0,
        [this, width] {
            _inlineEventsView->setFrame({0, _presenterY, width, _inlinePreviewHeight});
            layoutSubviews();
        },
        [weakSelf, cell](bool) {
            auto presenter = weakSelf.lock();
            if (!presenter) return;
            presenter->_animating = false;
            presenter->reportInlineShown(cell);
            presenter->finishInlineAnimation();
        });
    _inlineEventsView->reloadData();
}

void XQCalendarMonthPresenter::hideInlineEvents(bool animated) {
    hideInlineEvents(animated, 0.3, nullptr);
}

void XQCalendarMonthPresenter::hideInlineEvents(bool animated, double duration, std::function<void()> completion) {
    if (_animating) {
        // Done when the running animation ends.
        _pendingCloses.push_back({animated, std::move(completion)});
        return;
    }
    auto self = rt::sharedFrom(this);
    if (_inlineEventsViewMode == XQCalendarInlineEventsViewModePopover && _popover && _popover->isPopoverVisible()) {
        // The list comes back when the popover's content has gone (at once without a fade).
        _popover->dismissPopoverAnimated(animated);
    }
    if (_inlineEventsViewMode != XQCalendarInlineEventsViewModeInline || _inlineHidden) return;

    auto listed = _listedCell;
    _inlineHidden = true;
    _presenterRow = closedRow;
    _presenterY = 0;
    const double y = _inlineEventsView->frame().origin.y;
    const double width = bounds().size.width;

    const auto closed = [this, listed, completion = std::move(completion)] {
        setClipsToBounds(false);
        _inlineEventsView->setHidden(true);
        _inlineEventsView->setDayCell(nullptr);
        setNeedsLayout();
        _listedCell.reset();
        const bool report = _shownReported && listed;
        _shownReported = false;
        if (report) {
            if (auto delegate = this->delegate()) delegate->monthPresenterInlineEventsViewDidHideForCell(*this, *listed);
        }
        if (completion) completion();
    };

    if (!animated) {
        placeInlineList(y, 0);
        _inlinePreviewDelta = 0;
        closed();
        return;
    }
    _animating = true;
    std::weak_ptr<XQCalendarMonthPresenter> weakSelf = self;
    ui::View::animateWithDuration(
        duration, 0, 0.8, 0, 0,
        [this, y, width] {
            _inlineEventsView->setFrame({0, y - _inlinePreviewDelta, width, 0});
            _inlinePreviewDelta = 0;
            layoutSubviews();
        },
        [weakSelf, closed](bool) {
            auto presenter = weakSelf.lock();
            if (!presenter) return;
            presenter->_animating = false;
            presenter->bringSubviewToFront(presenter->_contentView.get());
            closed();
            presenter->finishInlineAnimation();
        });
}

void XQCalendarMonthPresenter::finishInlineAnimation() {
    if (_animating || _pendingCloses.empty()) return;
    auto pending = std::move(_pendingCloses);
    _pendingCloses.clear();
    // One close, with every completion asked for meanwhile run when it has closed.
    bool animated = false;
    for (const auto& close : pending) animated = animated || close.animated;
    hideInlineEvents(animated, 0.3, [pending] {
        for (const auto& close : pending)
            if (close.completion) close.completion();
    });
}

namespace {

// The popover's content: the list, handed back to the presenter when it has disappeared.
class InlinePopoverContent : public ui::ViewController {
public:
    OLM_DECLARE_CLASS(InlinePopoverContent)
    static std::shared_ptr<InlinePopoverContent> make(std::function<void()> disappeared) {
        return rt::create<InlinePopoverContent>(std::move(disappeared));
    }
    void viewDidDisappear(bool animated) override {
        ui::ViewController::viewDidDisappear(animated);
        if (_disappeared) _disappeared();
    }

protected:
    friend struct rt::Access;
    InlinePopoverContent() = default;
    void init(std::function<void()> disappeared) {
        ui::ViewController::init();
        _disappeared = std::move(disappeared);
    }

private:
    std::function<void()> _disappeared;
};

} // namespace

OLM_DEFINE_CLASS(InlinePopoverContent, ui::ViewController)

void XQCalendarMonthPresenter::showPopoverForCell(XQCalendarDayCell& cell, bool animated) {
    if (_popover && _popover->isPopoverVisible()) _popover->dismissPopoverAnimated(false);
    auto self = rt::sharedFrom(this);
    std::weak_ptr<XQCalendarMonthPresenter> weakSelf = self;
    std::weak_ptr<XQCalendarInlineView> weakList = _inlineEventsView;
    auto content = InlinePopoverContent::make([weakSelf, weakList] {
        // Only while the list is still this popover's: a newer popover may hold it already.
        auto presenter = weakSelf.lock();
        auto list = weakList.lock();
        if (presenter && list && list == presenter->_inlineEventsView && list->superview() != presenter.get())
            presenter->returnInlineListFromPopover();
    });
    _popover = ui::PopoverController::make(content);
    _popover->setDelegate(std::static_pointer_cast<ui::PopoverControllerDelegate>(self));

    _inlineEventsView->removeFromSuperview();
    content->view()->addSubview(_inlineEventsView);
    _inlineHidden = false;
    _inlineEventsView->setDayCell(rt::sharedFrom(&cell));
    _inlineEventsView->setHidden(false);
    const gfx::Size size = placeListInPopover(cell.events().size());
    _inlineEventsView->reloadData();

    _popover->setPopoverContentSize(size);
    _popover->setBackgroundColor(_style->popoverColor());
    _popover->presentPopoverFromRect(cell.frame(), _contentView.get(), ui::PopoverArrowDirectionUp, animated);
    // Nowhere to show it (the presenter is not in a window): nothing is open.
    if (!_popover->isPopoverVisible()) returnInlineListFromPopover();
}

gfx::Size XQCalendarMonthPresenter::placeListInPopover(std::size_t eventCount) {
    const gfx::Size size{_inlineEventsView->desiredWidthInPopoverMode(),
                         _inlineEventsView->heightForEventCount(eventCount)};
    _inlineEventsView->setFrame({gfx::Point{0, 0}, size});
    return size;
}

void XQCalendarMonthPresenter::popoverControllerDidDismissPopover(ui::PopoverController& popover) {
    if (_popover.get() != &popover) return;
    // Closing the list asked for nothing of the popover: drop it once this call is done.
    auto keep = std::move(_popover);
    returnInlineListFromPopover();
}

void XQCalendarMonthPresenter::returnInlineListFromPopover() {
    if (_inlineEventsView->superview() == this) return;
    _inlineEventsView->removeFromSuperview();
    // Under the grid, which the inline list opens from.
    insertSubviewBelow(_inlineEventsView, _contentView.get());
    _inlineEventsView->setHidden(true);
    _inlineEventsView->setFrame({0, 0, bounds().size.width, 0});
    _inlineEventsView->setDayCell(nullptr);
    _inlineHidden = true;
    _presenterRow = closedRow;
    _presenterY = 0;
    _inlinePreviewDelta = 0;
    setNeedsLayout();
}
