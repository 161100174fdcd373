#include "OLMCalendar/XQCalendar.h"

#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNamesPresenter.h"
#include "OLMCalendar/Presenters/Week/XQCalendarWeekPresenter.h"
#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumbersPresenter.h"
#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/PinchGestureRecognizer.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendar, XQView)

// --- The presenter class table.

XQCalendar::PresenterTable& XQCalendar::presenterTable() {
    // Every mode shows the empty base presenter until its own presenter is built and takes
    // its entry here, one line each.
    static PresenterTable table = [] {
        PresenterTable t;
        t.fill(&classWithFactory<XQCalendarPresenter, XQCalendarPresenterBase>());
        t[XQCalendarViewModeWeek] = &classWithFactory<XQCalendarPresenter, XQCalendarWeekPresenter>();
        t[XQCalendarViewModeMonth] = &classWithFactory<XQCalendarPresenter, XQCalendarMonthPresenter>();
        t[XQCalendarViewModeMonthNames] = &classWithFactory<XQCalendarPresenter, XQCalendarMonthNamesPresenter>();
        t[XQCalendarViewModeYearNumbers] = &classWithFactory<XQCalendarPresenter, XQCalendarYearNumbersPresenter>();
        t[XQCalendarViewModeFlow] = &classWithFactory<XQCalendarPresenter, XQCalendarFlowPresenter>();
        t[XQCalendarViewModeDay] = &classWithFactory<XQCalendarPresenter, XQCalendarDayViewPresenter>();
        t[XQCalendarViewModeYear] = &classWithFactory<XQCalendarPresenter, XQCalendarYearPresenter>();
        return t;
    }();
    return table;
}

const rt::Class& XQCalendar::presenterClass(XQCalendarViewMode mode) {
    auto& table = presenterTable();
    if (mode < 0 || mode >= XQCalendarViewModeCount) return XQCalendarPresenterBase::staticClass();
    return *table[static_cast<std::size_t>(mode)];
}

void XQCalendar::registerPresenterClass(XQCalendarViewMode mode, const rt::Class& cls) {
    if (mode < 0 || mode >= XQCalendarViewModeCount) return;
    presenterTable()[static_cast<std::size_t>(mode)] = &cls;
}

std::shared_ptr<XQCalendarPresenter> XQCalendar::makePresenter(XQCalendarViewMode mode) const {
    return presenterClass(mode).make<XQCalendarPresenter::Factory>(bounds());
}

// --- Creation.

void XQCalendar::init(const gfx::Rect& frame) {
    XQView::init(frame);
    // The view-mode transition reports through this; it does not keep the calendar alive.
    _transitionDelegate = XQWeakTransitionDelegate::make(rt::sharedFrom(this));
    setup();
}

XQCalendar::~XQCalendar() {
    // Presenters whose transition still runs end it now (their delegates hear its end), and
    // no longer reach this calendar.
    std::vector<std::shared_ptr<ui::View>> presenters{_presenter};
    for (const auto& entry : _presenterInstances)
        presenters.push_back(entry.second);
    for (const auto& subview : subviews())
        presenters.push_back(subview);
    for (const auto& presenter : presenters) {
        if (auto* base = dynamic_cast<XQCalendarPresenterBase*>(presenter.get())) base->calendarWillGo();
    }
}

void XQCalendar::setup() {
    _presenterInstances.clear();
    _theme = XQCalendarDefaultTheme::make();
    _viewMode = XQCalendarViewModeNone;
    _selectedDatesDict.clear();
    _calendar = fnd::Calendar::current();
    _displayedDate = fnd::Date::now();

    // minDate: 1 January of the previous year; maxDate: 31 December of the next year, both at
    // 00:00. The last day is that of the last month of the next year, whatever month the
    // calendar starts in.
    auto comps = _calendar->components(dayUnits, _displayedDate);
    comps.month = 1;
    comps.year = comps.year.value_or(1) - 1;
    comps.day = 1;
    _minDate = _calendar->dateFromComponents(comps);

    const long months =
        _calendar->rangeOfUnit(fnd::CalendarUnitMonth, fnd::CalendarUnitYear, _displayedDate).length;
    comps.year = *comps.year + 2;
    comps.month = std::max(months, 1L);
    comps.day = 1;
    if (auto firstOfLastMonth = _calendar->dateFromComponents(comps)) {
        comps.day = std::max(
            _calendar->rangeOfUnit(fnd::CalendarUnitDay, fnd::CalendarUnitMonth, *firstOfLastMonth).length,
            1L);
        _maxDate = _calendar->dateFromComponents(comps);
    }

    _selectionMode = XQCalendarSelectionModeSingle;
    _dateRange = XQDateRange::make();
    layer()->setNeedsDisplayOnBoundsChange(true);
    setBackgroundColor(gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::colors::white()));
    setViewMode(XQCalendarViewModeMonth);

    _pinchRecognizer = ui::PinchGestureRecognizer::make();
    std::weak_ptr<XQCalendar> weakSelf = rt::weakFrom(this);
    _pinchRecognizer->addAction([weakSelf](ui::GestureRecognizer& recognizer) {
        if (auto self = weakSelf.lock()) self->pinch(static_cast<ui::PinchGestureRecognizer&>(recognizer));
    });
    addGestureRecognizer(_pinchRecognizer);
    setAllowPinchZoom(true);
}

// --- Settings.

void XQCalendar::setDelegate(const std::shared_ptr<XQCalendarDelegate>& delegate) {
    _delegate = delegate;
    updatePresenter(true);
}

void XQCalendar::setDataSource(const std::shared_ptr<XQCalendarDataSource>& dataSource) {
    _dataSource = dataSource;
    updatePresenter(false);
}

void XQCalendar::setCalendar(const fnd::CalendarRef& calendar) {
    if (!calendar) return;
    _calendar = calendar;
    _daysInWeek = 0;
    updatePresenter(false);
}

void XQCalendar::setMinDate(const std::optional<fnd::Date>& date) {
    _minDate = dateWithoutTime(date);
    updatePresenter(false);
}

void XQCalendar::setMaxDate(const std::optional<fnd::Date>& date) {
    _maxDate = date;
    updatePresenter(false);
}

bool XQCalendar::allowPinchZoom() const {
    return _pinchRecognizer && _pinchRecognizer->isEnabled();
}

void XQCalendar::setAllowPinchZoom(bool allow) {
    if (_pinchRecognizer) _pinchRecognizer->setEnabled(allow);
}

std::shared_ptr<XQCalendarPresenter> XQCalendar::cachedPresenter(XQCalendarViewMode mode) const {
    auto it = _presenterInstances.find(mode);
    return it == _presenterInstances.end() ? nullptr : it->second;
}

void XQCalendar::updatePresenter(bool force) {
    if (auto presenter = _presenter) presenter->update(force);
}

void XQCalendar::updatePresenterState(const std::optional<fnd::Date>& date) {
    if (auto presenter = _presenter) presenter->updateState(date);
}

void XQCalendar::tellDelegate(const std::function<void(XQCalendarDelegate&)>& message) {
    if (auto delegate = _delegate.lock()) message(*delegate);
}

// --- View modes.

void XQCalendar::setViewMode(XQCalendarViewMode mode) {
    setViewMode(mode, false, XQViewTransitionDirectionForward, false);
}

void XQCalendar::setViewMode(XQCalendarViewMode mode, bool animated) {
    setViewMode(mode, animated, XQViewTransitionDirectionForward, false);
}

void XQCalendar::setViewMode(XQCalendarViewMode mode, bool animate, XQViewTransitionDirection direction,
                             bool interactive) {
    if (mode < 0 || mode >= XQCalendarViewModeCount || mode == _viewMode) return;
    auto self = rt::sharedFrom(this); // the delegate may drop the calendar while it is told

    // A view-mode transition that a pinch (or a caller) still drives ends first: it would
    // otherwise stay over the calendar with its old snapshots, never ended.
    endPinchTransition();

    const XQCalendarViewMode oldMode = _viewMode;
    gfx::ImageRef from = animate ? takeScreenshot() : nullptr;

    // The new state stands before the old presenter is taken away: taking it away ends its
    // transition, whose report may reach a delegate that changes the mode again. Such a
    // change supersedes this one, which then stops.
    const auto old = _presenter;
    if (old) _presenterInstances.try_emplace(oldMode, old);
    _viewMode = mode;
    auto presenter = cachedPresenter(mode);
    if (presenter)
        presenter->setFrame(bounds());
    else
        presenter = makePresenter(mode);
    _presenter = presenter;
    if (old) old->removeFromSuperview();
    if (_presenter != presenter) return;
    if (presenter) {
        // Below a view-mode transition that may still run.
        insertSubview(presenter, 0);
        presenter->update(false);
    }

    tellDelegate([&](XQCalendarDelegate& d) { d.calendarDidChangedViewModeFrom(*this, oldMode, mode); });

    if (!animate) return;
    gfx::ImageRef to = takeScreenshot();
    const rt::Class* cls = XQCalendarPresenterBase::transitionClass(XQCalendarTransitionModeFloat);
    auto transition = cls ? cls->make<XQViewTransition::Factory>(bounds()) : nullptr;
    if (!transition) return; // no float transition built: the change stands without animation
    transition->setDelegate(_transitionDelegate);
    _transition = transition;
    addSubview(transition);
    transition->beginTransitionFrom(from, to, direction);
    if (interactive)
        _pinchTransition = transition;
    else
        transition->transitionWithAnimation();
}

void XQCalendar::transitionIsCanceled(XQViewTransition& transition, bool canceled) {
    (void)canceled; // the new view mode stays either way
    transition.removeFromSuperview();
    // An older transition may end after a newer one replaced it: only the stored one is
    // forgotten.
    if (_transition.get() == &transition) _transition = nullptr;
    if (_pinchTransition.lock().get() == &transition) _pinchTransition.reset();
}

// --- Pinch.

void XQCalendar::pinch(ui::PinchGestureRecognizer& recognizer) {
    const double scale = std::isfinite(recognizer.scale()) ? std::clamp(recognizer.scale(), 0.0, 2.0) : 1.0;
    const double progress = std::fabs(scale - 1.0);

    switch (recognizer.state()) {
    case ui::GestureRecognizerStateBegan: {
        // A pinch that starts while an older pinch transition runs ends that one first.
        endPinchTransition();
        XQCalendarViewMode target = XQCalendarViewModeNone;
        XQViewTransitionDirection direction = XQViewTransitionDirectionForward;
        if (scale > 1.0) {
            // Spread: zoom in, years -> months -> month.
            if (_viewMode == XQCalendarViewModeYearNumbers) target = XQCalendarViewModeMonthNames;
            if (_viewMode == XQCalendarViewModeMonthNames) target = XQCalendarViewModeMonth;
        } else {
            // Pinch: zoom out, month -> months -> years.
            direction = XQViewTransitionDirectionBackward;
            if (_viewMode == XQCalendarViewModeMonth) target = XQCalendarViewModeMonthNames;
            if (_viewMode == XQCalendarViewModeMonthNames) target = XQCalendarViewModeYearNumbers;
        }
        if (target != XQCalendarViewModeNone) setViewMode(target, true, direction, true);
        break;
    }
    case ui::GestureRecognizerStateChanged:
        if (auto transition = _pinchTransition.lock()) transition->updateTransition(progress);
        break;
    case ui::GestureRecognizerStateEnded:
    case ui::GestureRecognizerStateCancelled:
    case ui::GestureRecognizerStateFailed:
        // A pinch that is interrupted still ends its transition, so no overlay stays behind.
        endPinchTransition();
        break;
    default:
        break;
    }
}

void XQCalendar::endPinchTransition() {
    auto transition = _pinchTransition.lock();
    _pinchTransition.reset();
    if (transition) transition->finishTransition();
}

// --- Refresh and navigation.

void XQCalendar::update(bool force) {
    updatePresenter(force);
}

void XQCalendar::reloadData() {
    resetSelection();
    updatePresenter(true);
}

void XQCalendar::navigateForward(bool animated) {
    if (auto presenter = _presenter) presenter->navigateForward(animated);
}

void XQCalendar::navigateBack(bool animated) {
    if (auto presenter = _presenter) presenter->navigateBack(animated);
}

void XQCalendar::navigateToDate(const fnd::Date& requested, bool animated) {
    // Clamp first, so that a date beyond the bounds that lands inside the shown period is
    // recognised as such below.
    fnd::Date date = requested;
    if (_minDate && date < *_minDate) date = *_minDate;
    if (_maxDate && date > *_maxDate) date = *_maxDate;

    if (isDate(date, _displayedDate, dayUnits)) return;
    if (_viewMode == XQCalendarViewModeMonth && isDate(date, _displayedDate, monthUnits)) animated = false;
    if (_viewMode == XQCalendarViewModeWeek) {
        // The week's own year (and era), so that the first days of January and the last days
        // of December that share a week count as one week, and week 1 of two years does not.
        if (_calendar->isDateEqualToDate(date, _displayedDate, fnd::CalendarUnitWeekOfYear)) animated = false;
    }
    if (auto presenter = _presenter) presenter->navigateToDate(date, animated);
}

void XQCalendar::setDisplayedDate(const std::optional<fnd::Date>& date, bool update) {
    if (!date) return;
    if (isDate(*date, _displayedDate, dayUnits)) return;
    const fnd::Date newDate = *date;
    tellDelegate([&](XQCalendarDelegate& d) { d.calendarWillNavigateToDate(*this, newDate); });
    _displayedDate = newDate;
    if (update) updatePresenter(false);
}

bool XQCalendar::isValidDate(const std::optional<fnd::Date>& date) const {
    if (!date) return false;
    if (_minDate && *_minDate > *date) return false;
    if (_maxDate && *_maxDate < *date) return false;
    return true;
}

gfx::ImageRef XQCalendar::takeScreenshot() {
    return takeScreenshot(gfx::Rect{{0, 0}, bounds().size});
}

gfx::ImageRef XQCalendar::takeScreenshot(const gfx::Rect& rect) {
    gfx::beginImageContext(rect.size, false, 0);
    if (gfx::GraphicsContext* context = gfx::currentContext()) {
        context->translateCTM(-rect.origin.x, -rect.origin.y);
        layer()->renderInContext(*context);
    }
    return gfx::endImageContextWithImage();
}

void XQCalendar::layoutSubviews() {
    if (_presenter) _presenter->setFrame(bounds());
}
