#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"

#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"

#include <algorithm>
#include <cmath>
#include <utility>

OLM_DEFINE_CLASS(XQCalendarPresenter, ui::View)
OLM_DEFINE_CLASS(XQCalendarPresenterBase, XQCalendarPresenter)

namespace {

// A swipe whose finger moves faster than this along the axis when it starts plays its
// transition on its own (points per second).
constexpr double flickVelocity = 300;
// At the end of a swipe, a finger moving back faster than this cancels (points per second).
constexpr double returnVelocity = 7;
// The share of the axis length a swipe travels for the whole transition.
constexpr double swipeLengthFactor = 0.7;

} // namespace

// --- The transition class table.

XQCalendarPresenterBase::TransitionTable& XQCalendarPresenterBase::transitionTable() {
    // Filled by XQViewTransition::registerTransitionClasses when the program starts (flip 1,
    // fold 2, float 3, card 4, rotate 5, scroll 6); a mode without a class navigates without
    // animation.
    static TransitionTable table = [] {
        TransitionTable t{};
        return t;
    }();
    return table;
}

const rt::Class* XQCalendarPresenterBase::transitionClass(XQCalendarTransitionMode mode) {
    if (mode < 1 || mode > XQCalendarTransitionModeCount) return nullptr;
    return transitionTable()[static_cast<std::size_t>(mode - 1)];
}

void XQCalendarPresenterBase::registerTransitionClass(XQCalendarTransitionMode mode, const rt::Class* cls) {
    if (mode < 1 || mode > XQCalendarTransitionModeCount) return;
    transitionTable()[static_cast<std::size_t>(mode - 1)] = cls;
}

// --- Creation.

void XQCalendarPresenterBase::init(const gfx::Rect& frame) {
    XQCalendarPresenter::init(frame);
    // Navigation transitions report through this; it does not keep the presenter alive.
    _transitionDelegate = XQWeakTransitionDelegate::make(rt::sharedFrom(this));
    // The recognizers call back through a weak reference, and virtually: subclasses that
    // override pan or tap get the gestures.
    std::weak_ptr<XQCalendarPresenterBase> weakSelf = rt::weakFrom(this);
    _panRecognizer = ui::PanGestureRecognizer::make();
    _panRecognizer->addAction([weakSelf](ui::GestureRecognizer& recognizer) {
        if (auto self = weakSelf.lock()) self->pan(static_cast<ui::PanGestureRecognizer&>(recognizer));
    });
    addGestureRecognizer(_panRecognizer);

    _tapRecognizer = ui::TapGestureRecognizer::make();
    _tapRecognizer->setCancelsTouchesInView(false);
    _tapRecognizer->addAction([weakSelf](ui::GestureRecognizer& recognizer) {
        if (auto self = weakSelf.lock()) self->tap(static_cast<ui::TapGestureRecognizer&>(recognizer));
    });
    addGestureRecognizer(_tapRecognizer);
}

XQCalendarPresenterBase::~XQCalendarPresenterBase() = default;

XQCalendar* XQCalendarPresenterBase::owner() const {
    return _calendarGone ? nullptr : dynamic_cast<XQCalendar*>(superview());
}

void XQCalendarPresenterBase::calendarWillGo() {
    _calendarGone = true;
    discardTransition();
}

void XQCalendarPresenterBase::didMoveToSuperview() {
    XQCalendarPresenter::didMoveToSuperview();
    _calendarGone = false;
    // Taken out of its calendar: the transition ends, once the move is complete (its report
    // may reach a delegate that puts the presenter back at once).
    discardTransition();
}

// --- The presenter contract.

void XQCalendarPresenterBase::update(bool force) {
    (void)force;
}

void XQCalendarPresenterBase::updateState(const std::optional<fnd::Date>& date) {
    XQCalendar* calendar = owner();
    if (calendar && calendar->selectionMode() == XQCalendarSelectionModeRange && !date) _anchorDate.reset();
}

bool XQCalendarPresenterBase::navigateForward(bool animated) {
    return navigateByStep(nextDate(), true, animated);
}

bool XQCalendarPresenterBase::navigateBack(bool animated) {
    return navigateByStep(prevDate(), false, animated);
}

bool XQCalendarPresenterBase::navigateByStep(std::optional<fnd::Date> date, bool forward, bool animated) {
    XQCalendar* calendar = owner();
    if (!calendar || !date || (_transitionOpen && !_ownStepAllowed)) return false;

    const fnd::Date displayed = calendar->displayedDate();
    date = presenters::stepWithinBounds(*calendar, *date, forward);
    if (!calendar->isValidDate(date) || *date == displayed || isDateInDisplayedPeriod(*date)) return false;
    navigateToDate(*date, animated);
    return true;
}

void XQCalendarPresenterBase::navigateToDate(const fnd::Date& date, bool animated) {
    XQCalendar* calendar = owner();
    if (!calendar || date == calendar->displayedDate()) return;
    // While a transition is open, only the swipe's own step moves (and only once): a delegate
    // told of it must not start another transition under it.
    if (_transitionOpen && !std::exchange(_ownStepAllowed, false)) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);

    const gfx::Rect frame = animated ? getTransitionFrame() : gfx::Rect{};
    auto transition = animated ? createTransition(frame) : nullptr;
    if (!transition) {
        // Without animation, or with no transition class for the mode.
        calendar->setDisplayedDate(date, true);
        if (!_interactive) tellDidNavigate(*calendar, date);
        return;
    }

    _transition = transition;
    _swipeStartDate.reset();
    gfx::ImageRef from = takeScreenshot(frame);
    beginTransition();
    const bool backward = isDateBefore(date);
    calendar->setDisplayedDate(date, true);
    if (_transition != transition) return; // the calendar's delegate took the presenter away
    gfx::ImageRef to = takeScreenshot(frame);
    _transitionRunning = true;
    transition->beginTransitionFrom(
        from, to, backward ? XQViewTransitionDirectionBackward : XQViewTransitionDirectionForward);
    transition->transitionWithAnimation();
}

std::optional<fnd::Date> XQCalendarPresenterBase::dateFromPoint(gfx::Point point) {
    (void)point;
    return std::nullopt;
}

// --- Hooks.

std::shared_ptr<ui::View> XQCalendarPresenterBase::cellFromPoint(gfx::Point point) {
    (void)point;
    return nullptr;
}

std::optional<fnd::Date> XQCalendarPresenterBase::nextDate() {
    return std::nullopt;
}

std::optional<fnd::Date> XQCalendarPresenterBase::prevDate() {
    return std::nullopt;
}

bool XQCalendarPresenterBase::isDateInDisplayedPeriod(const fnd::Date& date) {
    (void)date;
    return false;
}

bool XQCalendarPresenterBase::isDateBefore(const fnd::Date& date) {
    (void)date;
    return false;
}

bool XQCalendarPresenterBase::isDateSelectable(const std::optional<fnd::Date>& date) {
    if (!date) return false;
    XQCalendar* calendar = owner();
    if (!calendar) return true;
    if (calendar->minDate() && *date < *calendar->minDate()) return false;
    if (calendar->maxDate() && *date > *calendar->maxDate()) return false;
    return true;
}

gfx::Rect XQCalendarPresenterBase::getTransitionFrame() {
    return bounds();
}

std::shared_ptr<XQViewTransition> XQCalendarPresenterBase::createTransition(const gfx::Rect& frame) {
    const rt::Class* cls = transitionClass(_transitionMode);
    auto transition = cls ? cls->make<XQViewTransition::Factory>(frame) : nullptr;
    if (!transition) return nullptr;
    transition->setTransitionDuration(_transitionDuration);
    transition->setOrientation(_transitionIsVertical ? XQViewTransitionOrientationVertical
                                                     : XQViewTransitionOrientationHorizontal);
    transition->setDelegate(_transitionDelegate);
    addSubview(transition);
    return transition;
}

gfx::ImageRef XQCalendarPresenterBase::takeScreenshot(const gfx::Rect& rect) {
    XQCalendar* calendar = owner();
    return calendar ? calendar->takeScreenshot(rect) : nullptr;
}

void XQCalendarPresenterBase::beginTransition() {
    if (!_transition) return;
    _transitionOpen = true;
    if (auto delegate = _delegate.lock()) delegate->presenterBeginTransition(*this, *_transition);
}

void XQCalendarPresenterBase::finishTransition(XQViewTransition& transition, bool canceled) {
    if (auto delegate = _delegate.lock()) delegate->presenterFinishTransition(*this, transition, canceled);
}

bool XQCalendarPresenterBase::startInteractiveTransition() {
    XQCalendar* calendar = owner();
    if (!calendar || _transitionOpen) return false;
    auto self = rt::sharedFrom(this);

    _interactive = true;
    const gfx::Rect frame = getTransitionFrame();
    _transition = createTransition(frame);
    auto transition = _transition;
    if (!transition) {
        _interactive = false;
        return false;
    }
    gfx::ImageRef from = takeScreenshot(frame);
    beginTransition();

    _swipeStartDate = calendar->displayedDate();
    const bool forward = (_transitionDirection == XQViewTransitionDirectionForward) != _transitionIsReverse;
    _ownStepAllowed = true;
    bool moved = forward ? navigateForward(false) : navigateBack(false);
    _ownStepAllowed = false;
    // The calendar's delegate may have taken the presenter away while it moved (a view-mode
    // change in calendarWillNavigateToDate): the transition is over already.
    if (_transition != transition) moved = false;
    if (moved) {
        gfx::ImageRef to = takeScreenshot(frame);
        _transitionRunning = true;
        transition->beginTransitionFrom(from, to, _transitionDirection);
    } else {
        discardTransition();
    }
    _interactive = false;
    return moved;
}

void XQCalendarPresenterBase::discardTransition() {
    if (!_transitionOpen) return;
    auto self = rt::sharedFrom(this);
    auto transition = std::move(_transition);
    _transition = nullptr;
    _transitionOpen = false;
    _transitionRunning = false;
    _interactiveTransition = false;
    _panStarted = true; // the rest of the pan that drove it is ignored
    _swipeStartDate.reset();
    if (!transition) return;
    // Its animation may still run: it must not report.
    transition->setDelegate(nullptr);
    transition->removeFromSuperview();
    for (const auto& subview : subviews())
        subview->setHidden(false);
    finishTransition(*transition, true);
}

void XQCalendarPresenterBase::tellDidNavigate(XQCalendar& calendar, const fnd::Date& date) {
    if (auto delegate = calendar.delegate()) delegate->calendarDidNavigateToDate(calendar, date);
}

double XQCalendarPresenterBase::axisLength() const {
    return _transitionIsVertical ? bounds().size.height : bounds().size.width;
}

// --- Gestures.

void XQCalendarPresenterBase::pan(ui::PanGestureRecognizer& recognizer) {
    // What the pan does is decided when it begins; its end must end whatever it started, even
    // when the selection or transition mode changed meanwhile.
    if (recognizer.state() == ui::GestureRecognizerStateBegan) _panSelects = panSelectsRange();
    if (_panSelects) {
        selectWithPan(recognizer);
        return;
    }
    auto self = rt::sharedFrom(this);

    const gfx::Point location = recognizer.locationInView(this);
    const gfx::Point velocity = recognizer.velocityInView(this);

    switch (recognizer.state()) {
    case ui::GestureRecognizerStateBegan: {
        _initialDelta = location;
        _interactiveTransition = false;
        const bool across = _transitionIsVertical ? std::fabs(velocity.y) < std::fabs(velocity.x)
                                                  : std::fabs(velocity.x) < std::fabs(velocity.y);
        // A pan outside a calendar, without a transition class (swipes are ignored), across
        // the axis, or one that starts while the last transition still runs, is ignored to
        // its end.
        if (!owner() || !transitionClass(_transitionMode) || across || _transitionOpen) {
            _panStarted = true;
            return;
        }
        _initialPoint = location;
        _velocityFactor = axisValue(velocity);
        _panStarted = false;
        _transitionDirection =
            _velocityFactor > 0 ? XQViewTransitionDirectionBackward : XQViewTransitionDirectionForward;
        return;
    }
    case ui::GestureRecognizerStateChanged: {
        if (!_panStarted) {
            if (std::fabs(axisValue(location) - axisValue(_initialDelta)) < _panGestureSensitivity) return;
            _panStarted = true;
            if (!startInteractiveTransition()) {
                _interactiveTransition = false;
                return;
            }
            if (std::fabs(_velocityFactor) > flickVelocity) {
                playSwipeTransition();
                _interactiveTransition = false;
                return;
            }
            _interactiveTransition = true;
        }
        if (!_interactiveTransition) return;
        const bool forward = _transitionDirection == XQViewTransitionDirectionForward;
        const double position =
            axisValue(location) + (forward ? _panGestureSensitivity : -_panGestureSensitivity);
        const double length = swipeLengthFactor * axisLength();
        double progress = length > 0 ? (position - axisValue(_initialDelta)) / length : 0;
        // The finger went back past where it started.
        if (forward ? position > axisValue(_initialPoint) : position < axisValue(_initialPoint)) progress = 0;
        const double shown = std::min(std::fabs(static_cast<double>(static_cast<float>(progress))), 1.0);
        if (auto transition = _transition) transition->updateTransition(shown);
        return;
    }
    case ui::GestureRecognizerStateEnded:
        if (_interactiveTransition && _panStarted) {
            const double v = axisValue(velocity);
            const bool finish = _transitionDirection == XQViewTransitionDirectionForward
                                    ? v < returnVelocity
                                    : v > -returnVelocity;
            endSwipeTransition(finish);
        }
        _interactiveTransition = false;
        return;
    case ui::GestureRecognizerStateCancelled:
    case ui::GestureRecognizerStateFailed:
        // An interrupted swipe goes back to where it started.
        if (_interactiveTransition && _panStarted) endSwipeTransition(false);
        _interactiveTransition = false;
        return;
    default:
        return;
    }
}

bool XQCalendarPresenterBase::panSelectsRange() {
    XQCalendar* calendar = owner();
    return calendar && calendar->selectionMode() == XQCalendarSelectionModeRange;
}

void XQCalendarPresenterBase::playSwipeTransition() {
    if (auto transition = _transition) transition->transitionWithAnimation();
}

void XQCalendarPresenterBase::endSwipeTransition(bool finish) {
    if (auto transition = _transition) finish ? transition->finishTransition() : transition->cancelTransition();
}

namespace {

// A selectable date of a month or a year (its first day) may lie before minDate or after
// maxDate: what is selected is the bound.
std::optional<fnd::Date> clampedToBounds(const XQCalendar& calendar, std::optional<fnd::Date> date) {
    if (date && calendar.minDate() && *date < *calendar.minDate()) date = calendar.minDate();
    if (date && calendar.maxDate() && *date > *calendar.maxDate()) date = calendar.maxDate();
    return date;
}

} // namespace

void XQCalendarPresenterBase::selectWithPan(ui::PanGestureRecognizer& recognizer) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    const gfx::Point location = recognizer.locationInView(this);
    if (recognizer.state() == ui::GestureRecognizerStateBegan) {
        const auto date = dateFromPoint(location);
        _anchorDate = isDateSelectable(date) ? clampedToBounds(*calendar, date) : std::nullopt;
    } else if (recognizer.state() == ui::GestureRecognizerStateChanged && _anchorDate) {
        // Dates the presenter refuses (outside minDate...maxDate) are passed over: the range
        // keeps its last selectable end.
        const auto date = dateFromPoint(location);
        if (date && isDateSelectable(date)) {
            auto keepCalendar = rt::sharedFrom(calendar);
            const auto end = clampedToBounds(*calendar, date);
            calendar->setSelectedDatesRange(XQDateRange::make(_anchorDate, end), end);
        }
    }
}

void XQCalendarPresenterBase::tap(ui::TapGestureRecognizer& recognizer) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);

    const gfx::Point point = recognizer.locationInView(this);
    std::optional<fnd::Date> date = dateFromPoint(point);
    if (auto delegate = calendar->delegate()) {
        if (auto cell = cellFromPoint(point)) delegate->calendarDidTapCell(*calendar, *cell);
    }
    if (!date || !isDateSelectable(date)) return;

    // Zoomed out, a tap on a month or a year keeps the selected day where it can: the day of
    // month is capped by the length of the month it lands in (29 February in a year that has
    // no such day becomes 28 February).
    const XQCalendarViewMode mode = calendar->viewMode();
    if (const auto selected = calendar->selectedDate();
        selected && (mode == XQCalendarViewModeMonthNames || mode == XQCalendarViewModeYearNumbers)) {
        const fnd::CalendarRef& cal = calendar->calendar();
        // The tapped year with its era; the month tapped or kept.
        auto comps = cal->components(XQCalendar::dayUnits, *date);
        const auto kept = cal->components(XQCalendar::dayUnits, *selected);
        if (mode == XQCalendarViewModeYearNumbers) comps.month = kept.month;
        comps.day = 1;
        long days = 0;
        if (const auto first = cal->dateFromComponents(comps))
            days = cal->rangeOfUnit(fnd::CalendarUnitDay, fnd::CalendarUnitMonth, *first).length;
        comps.day = std::min(kept.day.value_or(1), std::max(days, 1L));
        if (const auto adjusted = cal->dateFromComponents(comps)) date = adjusted;
    }

    date = clampedToBounds(*calendar, date);

    if (!calendar->allowPinchZoom()) {
        selectDate(date);
        return;
    }
    bool moved = *date != calendar->displayedDate();
    if (mode == XQCalendarViewModeMonthNames) {
        calendar->setDisplayedDate(date, true);
        calendar->setViewMode(XQCalendarViewModeMonth, true, XQViewTransitionDirectionForward, false);
    } else if (mode == XQCalendarViewModeYearNumbers) {
        calendar->setDisplayedDate(date, true);
        calendar->setViewMode(XQCalendarViewModeMonthNames, true, XQViewTransitionDirectionForward, false);
    } else {
        selectDate(date);
        moved = false;
    }
    if (moved) tellDidNavigate(*calendar, *date);
}

void XQCalendarPresenterBase::selectDate(const std::optional<fnd::Date>& date) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    if (calendar->selectionMode() != XQCalendarSelectionModeRange) {
        calendar->setSelectedDate(date);
        return;
    }
    if (date && calendar->selectedDate() == date) return;
    // An anchor that the bounds have left behind since it was set starts no range: the date
    // starts a new one.
    if (!_anchorDate || !date || !isDateSelectable(_anchorDate)) {
        _anchorDate = date;
        calendar->setSelectedDate(date);
        return;
    }
    calendar->setSelectedDatesRange(XQDateRange::make(_anchorDate, date));
    updateState(date);
    _anchorDate.reset();
}

// --- The end of a navigation transition.

void XQCalendarPresenterBase::transitionIsCanceled(XQViewTransition& transition, bool canceled) {
    auto self = rt::sharedFrom(this);
    XQCalendar* calendar = owner();
    std::shared_ptr<XQCalendar> keepCalendar = calendar ? rt::sharedFrom(calendar) : nullptr;

    if (_transition.get() != &transition) {
        // Not the transition this presenter runs (one it ended already reports no more).
        transition.removeFromSuperview();
        return;
    }
    // Closed before anything below may hand control to a delegate.
    _transitionRunning = false;
    _transitionOpen = false;
    _interactiveTransition = false;

    if (canceled) {
        if (_swipeStartDate) {
            // Back to exactly where the swipe started, with the reports a move brings.
            const fnd::Date start = *_swipeStartDate;
            _swipeStartDate.reset();
            navigateToDate(start, false);
        } else {
            // Undo the step the other way (with transitionIsReverse the swipe's own step was
            // the opposite one).
            const bool stepBack =
                (_transitionDirection == XQViewTransitionDirectionForward) != _transitionIsReverse;
            stepBack ? navigateBack(false) : navigateForward(false);
        }
    } else {
        _swipeStartDate.reset();
    }

    finishTransition(transition, canceled);
    transition.removeFromSuperview();
    for (const auto& subview : subviews())
        subview->setHidden(false);
    if (!canceled && calendar) tellDidNavigate(*calendar, calendar->displayedDate());
}
