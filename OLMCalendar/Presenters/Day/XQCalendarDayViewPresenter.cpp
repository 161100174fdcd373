#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"

#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarDayViewPresenter, XQCalendarPresenterBase)

namespace {

// The flags of a cell's selection (selected, first, last and inside a range).
constexpr long selectionFlags = 16 | 32 | 64 | 128;

// The noon of a date's day: days counted between noons are calendar days, whatever a change
// of the clock does to the day's start or length.
std::optional<fnd::Date> noonOfDay(const fnd::Calendar& calendar, const fnd::Date& date) {
    auto comps = calendar.components(fnd::CalendarUnitEra | XQCalendar::dayUnits, date);
    comps.hour = 12;
    return calendar.dateFromComponents(comps);
}

} // namespace

// --- Creation.

void XQCalendarDayViewPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenterBase::init(frame);
    _style = XQCalendarDayViewPresenterStyle::make();
    _titleView = ui::View::make();
    addSubview(_titleView);
    _dayNamesView = ui::View::make();
    addSubview(_dayNamesView);
    _weekView = ui::View::make();
    addSubview(_weekView);
    _dayView = XQCalendarDayView::make();
    addSubview(_dayView);
}

XQCalendarDayViewPresenter::~XQCalendarDayViewPresenter() = default;

long XQCalendarDayViewPresenter::daysInWeek() const {
    XQCalendar* calendar = owner();
    const long d = calendar ? calendar->daysInWeek() : 7;
    return d < 1 ? 7 : d;
}

// --- Cells.

std::shared_ptr<XQCalendarCell> XQCalendarDayViewPresenter::createCellWithType(XQCalendarCellType type) {
    XQCalendar* calendar = owner();
    if (auto cell = _supportsCustomCells && calendar ? delegateCellOfKind(*calendar, type) : nullptr) return cell;
    return stockCellOfKind(type);
}

void XQCalendarDayViewPresenter::createCells() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    _supportsCustomCells = calendar->delegate() != nullptr;
    const long n = daysInWeek();
    if (!_titleCell) {
        _titleCell = createCellWithType(XQCalendarCellTypeTitle);
        _titleView->addSubview(_titleCell);
    }
    if (_dayNamesView->subviews().empty()) {
        for (long c = 0; c < n; ++c) _dayNamesView->addSubview(createCellWithType(XQCalendarCellTypeDayName));
    }
    if (_weekView->subviews().empty()) {
        _weekView->addSubview(createCellWithType(XQCalendarCellTypeWeekNumber));
        for (long c = 0; c < n; ++c) _weekView->addSubview(createCellWithType(XQCalendarCellTypeDay));
    }
    _cellsCreated = true;
}

// --- Update.

void XQCalendarDayViewPresenter::update(bool force) {
    XQCalendarPresenterBase::update(force);
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);
    if (!_cellsCreated) force = true;
    const fnd::Date displayed = calendar->displayedDate();
    if (force || !_presentedDate || *_presentedDate != displayed) {
        createCells();
        updateData();
        _presentedDate = displayed;
        // Selecting toggles in multiple selection: the displayed day is selected only when
        // it is not already, and never outside minDate...maxDate.
        if (!calendar->isDateSelected(displayed) && isDateSelectable(displayed)) calendar->setSelectedDate(displayed);
        updateState(calendar->selectedDate());
    } else {
        updateData();
        // The cells were bound again and may hold other events.
        showDisplayedDayEvents();
    }
    setNeedsLayout();
}

void XQCalendarDayViewPresenter::updateData() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    const fnd::CalendarRef& cal = calendar->calendar();
    const fnd::Date displayed = calendar->displayedDate();

    if (auto* title = dynamic_cast<XQCalendarTitleCell*>(_titleCell.get()); title && !_titleHidden) {
        auto formatter = fnd::DateFormatter::make();
        if (calendar->locale()) formatter->setLocale(calendar->locale());
        formatter->setCalendar(cal);
        if (_weekHidden)
            formatter->setDateStyle(fnd::DateFormatterLongStyle);
        else
            formatter->setDateFormat("MMMM yyyy");
        title->attachWithCalendar(calendar, formatter->stringFromDate(displayed));
    }
    if (!_weekHidden) {
        if (!_dayNamesHidden) {
            long c = 0;
            for (const auto& view : std::vector(_dayNamesView->subviews())) {
                const long column = c++;
                if (_weekendsHidden && calendar->isWeekend(column)) continue;
                if (auto* cell = dynamic_cast<XQCalendarDayNameCell*>(view.get()))
                    cell->attachWithCalendar(calendar, column);
            }
        }
        if (!_weekNumbersHidden && !_weekView->subviews().empty()) {
            auto* number = dynamic_cast<XQCalendarWeekNumberCell*>(_weekView->subviews().front().get());
            if (const auto first = dateForColumn(0); number && first)
                number->attachWithCalendar(calendar, cal->component(fnd::CalendarUnitWeekOfYear, *first));
        }
    }
    // Every column, hidden weekends too: the day view is fed from the displayed day's cell,
    // which may be a hidden one.
    const auto cells = std::vector(_weekView->subviews());
    const long n = std::min(daysInWeek(), static_cast<long>(cells.size()) - 1);
    for (long i = 0; i < n; ++i) {
        auto* cell = dynamic_cast<XQCalendarDayCell*>(cells[static_cast<std::size_t>(i + 1)].get());
        if (const auto date = dateForColumn(i); cell && date) cell->attachWithCalendar(calendar, *date);
    }
}

void XQCalendarDayViewPresenter::updateState(const std::optional<fnd::Date>& date) {
    XQCalendarPresenterBase::updateState(date);
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);
    for (const auto& view : std::vector(_weekView->subviews())) {
        auto* cell = dynamic_cast<XQCalendarDayCell*>(view.get());
        if (!cell || !cell->date()) continue;
        cell->setState((cell->state() & ~selectionFlags) |
                       XQCalendarDayCell::selectionStateForDate(*calendar, *cell->date()));
    }
    showDisplayedDayEvents();
}

void XQCalendarDayViewPresenter::showDisplayedDayEvents() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto cell = cellForDate(_presentedDate);
    // The data source's list as it came: the cell cuts it for its own drawing.
    _dayView->attachWithEvents(cell ? cell->allEvents() : XQCalendarEvents{}, cell ? cell->date() : std::nullopt,
                               calendar->calendar());
}

void XQCalendarDayViewPresenter::dayCellTouched(XQCalendarDayCell& cell) {
    updateState(cell.date());
}

void XQCalendarDayViewPresenter::dayCellEventsChanged(XQCalendarDayCell& cell) {
    if (cellForDate(_presentedDate).get() == &cell) showDisplayedDayEvents();
}

// --- Dates.

std::optional<fnd::Date> XQCalendarDayViewPresenter::dateForColumn(long column) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const fnd::CalendarRef& cal = calendar->calendar();
    const fnd::Date displayed = calendar->displayedDate();
    const long w = cal->component(fnd::CalendarUnitWeekday, displayed);
    const long f = cal->firstWeekday();
    const long back = w < f ? daysInWeek() + w - f : w - f;
    const auto day = calendar->dateWithoutTime(displayed);
    return day ? cal->dateByAddingUnit(fnd::CalendarUnitDay, column - back, *day) : std::nullopt;
}

std::optional<long> XQCalendarDayViewPresenter::daysFromColumnZero(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    const auto first = dateForColumn(0);
    if (!calendar || !first) return std::nullopt;
    const fnd::Calendar& cal = *calendar->calendar();
    const auto from = noonOfDay(cal, *first);
    const auto to = noonOfDay(cal, date);
    if (!from || !to) return std::nullopt;
    return cal.components(fnd::CalendarUnitDay, *from, *to).day;
}

std::shared_ptr<XQCalendarDayCell> XQCalendarDayViewPresenter::cellForDate(const std::optional<fnd::Date>& date) {
    if (!date) return nullptr;
    const auto days = daysFromColumnZero(*date);
    if (!days) return nullptr;
    const long k = *days + 1;
    const auto& cells = _weekView->subviews();
    if (k <= 0 || k >= static_cast<long>(cells.size())) return nullptr;
    return std::dynamic_pointer_cast<XQCalendarDayCell>(cells[static_cast<std::size_t>(k)]);
}

bool XQCalendarDayViewPresenter::isDateInCurrentView(const fnd::Date& date) {
    const auto days = daysFromColumnZero(date);
    return days && *days >= 0 && *days < daysInWeek();
}

bool XQCalendarDayViewPresenter::isDateInDisplayedPeriod(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    return calendar && calendar->isDate(date, calendar->displayedDate(), XQCalendar::dayUnits);
}

bool XQCalendarDayViewPresenter::isDateBefore(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const auto day = calendar->dateWithoutTime(date);
    const auto displayed = calendar->dateWithoutTime(calendar->displayedDate());
    return day && displayed && *day < *displayed;
}

bool XQCalendarDayViewPresenter::isWeekend(const fnd::Date& date, const fnd::Calendar& calendar) {
    const long weekday = calendar.component(fnd::CalendarUnitWeekday, date);
    const fnd::Range range = calendar.maximumRangeOfUnit(fnd::CalendarUnitWeekday);
    return weekday == static_cast<long>(range.location) || weekday == static_cast<long>(range.length);
}

std::optional<fnd::Date> XQCalendarDayViewPresenter::nextDate(const fnd::Date& date, bool isForward,
                                                              XQCalendarDayViewNavigationMode mode) {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const fnd::Calendar& cal = *calendar->calendar();
    const long sign = isForward ? 1 : -1;
    if (mode == XQCalendarDayViewNavigationModeWeek) return cal.dateByAddingUnit(fnd::CalendarUnitDay, sign * daysInWeek(), date);
    if (mode != XQCalendarDayViewNavigationModeDay) return std::nullopt;
    auto next = cal.dateByAddingUnit(fnd::CalendarUnitDay, sign, date);
    // Past the weekend; a week's worth of steps bounds a calendar whose every day would count.
    for (long steps = 0; next && _weekendsHidden && isWeekend(*next, cal) && steps < daysInWeek(); ++steps)
        next = cal.dateByAddingUnit(fnd::CalendarUnitDay, sign, *next);
    return next;
}

std::optional<fnd::Date> XQCalendarDayViewPresenter::nextDate() {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const bool week = !_dayView->frame().contains(_initialPoint) && !_weekHidden;
    return nextDate(calendar->displayedDate(), true,
                    week ? XQCalendarDayViewNavigationModeWeek : XQCalendarDayViewNavigationModeDay);
}

std::optional<fnd::Date> XQCalendarDayViewPresenter::prevDate() {
    XQCalendar* calendar = owner();
    if (!calendar) return std::nullopt;
    const bool week = !_dayView->frame().contains(_initialPoint) && !_weekHidden;
    return nextDate(calendar->displayedDate(), false,
                    week ? XQCalendarDayViewNavigationModeWeek : XQCalendarDayViewNavigationModeDay);
}

// --- Navigation.

gfx::Rect XQCalendarDayViewPresenter::headerRect() const {
    const gfx::Rect b = bounds();
    return {b.origin.x, b.origin.y, b.size.width, _dayView->frame().origin.y};
}

gfx::Rect XQCalendarDayViewPresenter::getTransitionFrame() {
    // The area of the last swipe's start.
    return _dayView->frame().contains(_initialPoint) ? _dayView->frame() : headerRect();
}

bool XQCalendarDayViewPresenter::startInteractiveTransition() {
    XQCalendar* calendar = owner();
    if (!calendar || _transitionOpen) return false;
    auto self = rt::sharedFrom(this);

    const bool forward = (_transitionDirection == XQViewTransitionDirectionForward) != transitionIsReverse();
    const bool inDayView = _dayView->frame().contains(_initialPoint);
    bool needed = true;
    if (inDayView) {
        const auto target = forward ? nextDate() : prevDate();
        needed = target && !isDateInCurrentView(*target);
    }
    // The other area, when it changes too: taken before the move, begun after it.
    const gfx::Rect secondaryRect = inDayView ? headerRect() : _dayView->frame();
    gfx::ImageRef secondaryFrom;
    if (needed) {
        _secondaryTransition = createTransition(secondaryRect);
        _secondaryBegun = false;
        if (_secondaryTransition) secondaryFrom = takeScreenshot(secondaryRect);
    }
    const auto secondary = _secondaryTransition;
    const bool moved = XQCalendarPresenterBase::startInteractiveTransition();
    if (!secondary || _secondaryTransition != secondary) return moved;
    if (!moved) {
        dropSecondaryTransition();
        return false;
    }
    secondary->beginTransitionFrom(secondaryFrom, takeScreenshot(secondaryRect), _transitionDirection);
    _secondaryBegun = true;
    return true;
}

void XQCalendarDayViewPresenter::dropSecondaryTransition() {
    auto transition = std::move(_secondaryTransition);
    _secondaryTransition = nullptr;
    _secondaryBegun = false;
    if (!transition) return;
    transition->setDelegate(nullptr);
    transition->removeFromSuperview();
}


void XQCalendarDayViewPresenter::playSwipeTransition() {
    XQCalendarPresenterBase::playSwipeTransition();
    if (auto secondary = _secondaryTransition; secondary && _secondaryBegun) secondary->transitionWithAnimation();
}

void XQCalendarDayViewPresenter::endSwipeTransition(bool finish) {
    XQCalendarPresenterBase::endSwipeTransition(finish);
    // The other area ends as the finger's does.
    if (auto secondary = _secondaryTransition; secondary && _secondaryBegun)
        finish ? secondary->finishTransition() : secondary->cancelTransition();
}

void XQCalendarDayViewPresenter::finishTransition(XQViewTransition& transition, bool canceled) {
    // A tap's transition was never reported as begun.
    if (&transition == _tapTransition) {
        _tapTransition = nullptr;
        return;
    }
    XQCalendarPresenterBase::finishTransition(transition, canceled);
}

void XQCalendarDayViewPresenter::transitionIsCanceled(XQViewTransition& transition, bool canceled) {
    auto self = rt::sharedFrom(this);
    if (&transition == _secondaryTransition.get()) {
        // The main transition reports for both.
        dropSecondaryTransition();
        return;
    }
    // The main one ends: the other area, at its end pose in the same frame, goes with it
    // (before a cancel is undone).
    if (&transition == _transition.get()) dropSecondaryTransition();
    XQCalendarPresenterBase::transitionIsCanceled(transition, canceled);
}

void XQCalendarDayViewPresenter::tap(ui::TapGestureRecognizer& recognizer) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);

    const gfx::Point point = recognizer.locationInView(this);
    if (auto delegate = calendar->delegate())
        if (auto cell = cellFromPoint(point)) delegate->calendarDidTapCell(*calendar, *cell);
    std::optional<fnd::Date> date = dateFromPoint(point);
    // The displayed day itself (at another time of day) neither moves nor selects; while a
    // transition runs, nothing moves.
    if (!date || !isDateSelectable(date) || isDateInDisplayedPeriod(*date) || _transitionOpen) return;
    if (calendar->minDate() && *date < *calendar->minDate()) date = calendar->minDate();
    if (calendar->maxDate() && *date > *calendar->maxDate()) date = calendar->maxDate();

    // Only the day view is animated; the strip changes at once.
    const gfx::Rect frame = _dayView->frame();
    const bool backward = isDateBefore(*date);
    auto transition = createTransition(frame);
    gfx::ImageRef from = transition ? takeScreenshot(frame) : nullptr;
    if (transition) {
        _transition = transition;
        _tapTransition = transition.get();
        _swipeStartDate.reset();
        _transitionOpen = true;
    }
    calendar->setDisplayedDate(date, true);
    if (transition && _transition == transition) {
        _transitionRunning = true;
        transition->beginTransitionFrom(from, takeScreenshot(frame),
                                        backward ? XQViewTransitionDirectionBackward : XQViewTransitionDirectionForward);
        transition->finishTransition();
    } else if (!transition) {
        // Without a transition the move is complete now.
        tellDidNavigate(*calendar, calendar->displayedDate());
    }
    if (!calendar->isDateSelected(date)) calendar->setSelectedDate(date);
}

// --- Hit tests.

std::shared_ptr<ui::View> XQCalendarDayViewPresenter::cellFromPoint(gfx::Point point) {
    const gfx::Rect week = _weekView->frame();
    if (!week.contains(point)) return nullptr;
    const gfx::Point p{point.x - week.origin.x, point.y - week.origin.y};
    for (const auto& view : _weekView->subviews())
        if (view->frame().contains(p) && dynamic_cast<XQCalendarDayCell*>(view.get())) return view;
    return nullptr;
}

std::optional<fnd::Date> XQCalendarDayViewPresenter::dateFromPoint(gfx::Point point) {
    auto cell = std::dynamic_pointer_cast<XQCalendarDayCell>(cellFromPoint(point));
    return cell ? cell->date() : std::nullopt;
}

// --- Layout.

void XQCalendarDayViewPresenter::layoutSubviews() {
    XQCalendarPresenterBase::layoutSubviews();
    const XQCalendarDayViewPresenterStyle& s = *_style;
    setBackgroundColor(s.backgroundColor());
    const double W = bounds().size.width;
    const double H = bounds().size.height;
    double y = 0;

    if (!_titleHidden) {
        _titleView->setFrame({0, 0, W, s.titleCellHeight()});
        if (_titleCell) _titleCell->setFrame(_titleView->bounds());
        y += s.titleCellHeight();
    } else {
        _titleView->setFrame(gfx::Rect::zero());
        if (_titleCell) _titleCell->setFrame(gfx::Rect::zero());
    }

    if (_weekHidden) {
        for (const auto* container : {&_dayNamesView, &_weekView}) {
            (*container)->setFrame(gfx::Rect::zero());
            for (const auto& view : (*container)->subviews()) view->setFrame(gfx::Rect::zero());
        }
    } else {
        XQCalendar* calendar = owner();
        const auto hiddenColumn = [&](long c) { return _weekendsHidden && calendar && calendar->isWeekend(c); };
        const long days = daysInWeek();
        const long n = std::max(1L, _weekendsHidden ? days - 2 : days);
        if (!_dayNamesHidden) {
            _dayNamesView->setFrame({0, y, W, s.dayNameCellHeight()});
            y += s.dayNameCellHeight();
        } else {
            _dayNamesView->setFrame(gfx::Rect::zero());
        }
        // An automatic row is a sixth of what the title and day-name rows leave, counted
        // whether they are shown or not.
        const double h = s.dayCellHeight() >= 0 ? s.dayCellHeight() : (H - s.titleCellHeight() - s.dayNameCellHeight()) / 6;
        _weekView->setFrame({0, y, W, h});
        y += h;

        const double spacing = s.columnSpacing();
        const double count = static_cast<double>(n);
        double wn = 0, cw = 0;
        if (_weekNumbersHidden) {
            cw = (W - (count - 1) * spacing) / count;
        } else if (s.weekNumberCellWidth() >= 0) {
            wn = s.weekNumberCellWidth();
            cw = (W - wn - count * spacing) / count;
        } else {
            wn = cw = (W - count * spacing) / (count + 1);
        }
        const double start = _weekNumbersHidden ? 0 : wn + spacing;

        if (!_dayNamesHidden) {
            double x = start;
            long c = 0;
            for (const auto& view : _dayNamesView->subviews()) {
                if (hiddenColumn(c++)) {
                    view->setFrame(gfx::Rect::zero());
                    continue;
                }
                view->setFrame({x, 0, cw, s.dayNameCellHeight()});
                x += cw + spacing;
            }
        }
        const auto& cells = _weekView->subviews();
        if (!cells.empty()) cells.front()->setFrame(_weekNumbersHidden ? gfx::Rect::zero() : gfx::Rect{0, 0, wn, h});
        double x = start;
        for (long i = 0; i < days && i + 1 < static_cast<long>(cells.size()); ++i) {
            const auto& cell = cells[static_cast<std::size_t>(i + 1)];
            if (hiddenColumn(i)) {
                cell->setFrame(gfx::Rect::zero());
                continue;
            }
            cell->setFrame({x, 0, cw, h});
            x += cw + spacing;
        }
    }
    _dayView->setFrame({0, y, W, H - y});
}
