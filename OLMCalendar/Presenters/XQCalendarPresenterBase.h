#pragma once

// The common base of the week, month, month-names, year-numbers and day presenters. It owns
// a pan and a tap recognizer, turns taps and pans into selection through the calendar, and
// navigates between periods with a view transition of its transition mode, either played at
// once or driven by a swipe.
//
// Subclasses draw their period and override the hooks: nextDate / prevDate (one period on),
// dateFromPoint / cellFromPoint (hit-testing their cells), isDateBefore (direction of a
// programmatic move), update / updateState, and getTransitionFrame. The base is also a
// complete, empty presenter: it stands in for every view mode whose presenter is not built.
//
// Swipes. A swipe saves the displayed date it starts from; when its transition is cancelled
// the presenter returns to exactly that date (stepping back by one period would not: a month
// on from 31 March is 30 April, a month back from there is 30 March). While a transition
// is open (from its begin report to its finish report), new swipes and navigations are
// ignored, also those a delegate asks for while it is told of the transition or of the
// move. What a pan does (select a range, drive a transition, nothing) is decided when it
// begins: settings changed while it runs (the selection or transition mode) do not keep its
// end from ending the transition it started.
//
// Every presenterBeginTransition is balanced by exactly one presenterFinishTransition: a
// swipe that cannot move removes the transition view it made and reports its end cancelled,
// and so does a presenter that leaves its calendar, or whose calendar goes, while its
// transition runs (at once; the displayed date stays where the move put it).

#include "OLMCalendar/Presenters/XQCalendarPresenter.h"
#include "OLMCalendar/Transitions/XQViewTransition.h"
#include "OLMCalendar/XQClassTable.h"

#include <array>

class XQCalendar;
class XQCalendarPresenterBase;
class XQCalendarMonthPresenter;
class XQCalendarDayCell;
class XQCalendarInlineViewTableViewCell;

namespace ui {
class GestureRecognizer;
class PanGestureRecognizer;
class TapGestureRecognizer;
} // namespace ui

// The view transition a presenter navigates with. Mode m >= 1 takes entry m - 1 of the
// transition class table; a mode whose class is not registered navigates as mode 0.
using XQCalendarTransitionMode = long;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeNone = 0;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeFlip = 1;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeFold = 2;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeFloat = 3;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeCard = 4;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeRotate = 5;
inline constexpr XQCalendarTransitionMode XQCalendarTransitionModeScroll = 6;
inline constexpr long XQCalendarTransitionModeCount = 6;

// The presenter's delegate. Every method is optional.
class XQCalendarPresenterDelegate {
public:
    virtual ~XQCalendarPresenterDelegate() = default;

    // A navigation transition was made and its from image taken.
    virtual void presenterBeginTransition(XQCalendarPresenter& presenter, XQViewTransition& transition) {
        (void)presenter;
        (void)transition;
    }
    // The transition ended (cancelled or not).
    virtual void presenterFinishTransition(XQCalendarPresenter& presenter, XQViewTransition& transition,
                                           bool canceled) {
        (void)presenter;
        (void)transition;
        (void)canceled;
    }

    // The month presenter's inline list of a day's events.
    virtual void monthPresenterInlineEventsViewDidShowForCell(XQCalendarMonthPresenter& presenter,
                                                              XQCalendarDayCell& cell) {
        (void)presenter;
        (void)cell;
    }
    virtual void monthPresenterInlineEventsViewDidHideForCell(XQCalendarMonthPresenter& presenter,
                                                              XQCalendarDayCell& cell) {
        (void)presenter;
        (void)cell;
    }
    virtual void monthPresenterUpdateVisualsForInlineEventCell(XQCalendarMonthPresenter& presenter,
                                                               XQCalendarInlineViewTableViewCell& cell) {
        (void)presenter;
        (void)cell;
    }
    virtual void monthPresenterInlineEventSelected(XQCalendarMonthPresenter& presenter,
                                                   const XQCalendarEventRef& event) {
        (void)presenter;
        (void)event;
    }
};

class XQCalendarPresenterBase : public XQCalendarPresenter, public XQViewTransitionDelegate {
public:
    OLM_DECLARE_CLASS(XQCalendarPresenterBase)
    static std::shared_ptr<XQCalendarPresenterBase> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarPresenterBase>(frame);
    }
    ~XQCalendarPresenterBase() override;

    // --- The transition class table (mode 1...6). Mode 0 and unregistered modes have none.
    static const rt::Class* transitionClass(XQCalendarTransitionMode mode);
    // `cls` needs a factory of the signature XQViewTransition::Factory. A mode outside
    // 1...6 is ignored; nullptr clears the entry.
    static void registerTransitionClass(XQCalendarTransitionMode mode, const rt::Class* cls);
    // Registers T with a factory that runs `T::make(frame)`.
    template <class T> static void registerTransitionClass(XQCalendarTransitionMode mode) {
        registerTransitionClass(mode, &classWithFactory<XQViewTransition, T>());
    }

    // --- Properties.
    std::shared_ptr<XQCalendarPresenterDelegate> delegate() const { return _delegate.lock(); }
    void setDelegate(const std::shared_ptr<XQCalendarPresenterDelegate>& delegate) { _delegate = delegate; }
    XQCalendarTransitionMode transitionMode() const { return _transitionMode; }
    void setTransitionMode(XQCalendarTransitionMode mode) { _transitionMode = mode; }
    bool transitionIsVertical() const { return _transitionIsVertical; }
    void setTransitionIsVertical(bool vertical) { _transitionIsVertical = vertical; }
    // A swipe navigates the other way.
    bool transitionIsReverse() const { return _transitionIsReverse; }
    void setTransitionIsReverse(bool reverse) { _transitionIsReverse = reverse; }
    double transitionDuration() const { return _transitionDuration; }
    void setTransitionDuration(double seconds) { _transitionDuration = seconds; }
    // Travel along the axis, in points, before a swipe starts a transition.
    double panGestureSensitivity() const { return _panGestureSensitivity; }
    void setPanGestureSensitivity(double points) { _panGestureSensitivity = points; }

    const std::shared_ptr<ui::PanGestureRecognizer>& panRecognizer() const { return _panRecognizer; }
    const std::shared_ptr<ui::TapGestureRecognizer>& tapRecognizer() const { return _tapRecognizer; }
    // The latest navigation transition (kept until the next one is made).
    const std::shared_ptr<XQViewTransition>& currentTransition() const { return _transition; }
    // Whether a navigation transition has begun and not yet reported its end.
    bool isTransitionRunning() const { return _transitionRunning; }
    // Whether presenterBeginTransition was sent and its presenterFinishTransition not yet.
    bool isTransitionOpen() const { return _transitionOpen; }

    // The calendar: the superview, when it is one (and is not going away).
    XQCalendar* owner() const;
    // Sent by a calendar that is going away: the presenter no longer reaches it (`owner` is
    // nil from now on, also for the delegate told of the end), and ends its transition.
    void calendarWillGo();

    // --- The presenter contract.
    void update(bool force) override;
    // In range selection, a nil date forgets the anchor of the range being selected.
    void updateState(const std::optional<fnd::Date>& date) override;
    bool navigateForward(bool animated) override;
    bool navigateBack(bool animated) override;
    void navigateToDate(const fnd::Date& date, bool animated) override;
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;

    // --- Hooks.
    virtual std::shared_ptr<ui::View> cellFromPoint(gfx::Point point);
    virtual std::optional<fnd::Date> nextDate();
    virtual std::optional<fnd::Date> prevDate();
    // Whether the date lies before the shown period (a move there runs backward).
    virtual bool isDateBefore(const fnd::Date& date);
    // False for nil and for dates outside the calendar's minDate...maxDate.
    virtual bool isDateSelectable(const std::optional<fnd::Date>& date);
    // The part of the presenter a transition animates: the bounds.
    virtual gfx::Rect getTransitionFrame();
    // A new transition of the transition mode over `frame`, configured and added as a subview;
    // nullptr when the mode has no transition class.
    virtual std::shared_ptr<XQViewTransition> createTransition(const gfx::Rect& frame);
    // An image of the part `rect` of the calendar (the superview) as it is now; nullptr
    // outside a calendar.
    gfx::ImageRef takeScreenshot(const gfx::Rect& rect);
    // Reports presenterBeginTransition with the current transition.
    void beginTransition();
    // Reports presenterFinishTransition.
    virtual void finishTransition(XQViewTransition& transition, bool canceled);
    // Sets up the swipe's transition and moves one period without animation; true when it
    // moved.
    virtual bool startInteractiveTransition();

    // --- Gestures.
    virtual void pan(ui::PanGestureRecognizer& recognizer);
    // Whether a pan that begins now selects a range instead of navigating (in range selection).
    virtual bool panSelectsRange();
    // A swipe's transition plays on its own (a flick), or ends (finish or cancel) at the pan's end.
    virtual void playSwipeTransition();
    virtual void endSwipeTransition(bool finish);
    virtual void selectWithPan(ui::PanGestureRecognizer& recognizer);
    virtual void tap(ui::TapGestureRecognizer& recognizer);
    virtual void selectDate(const std::optional<fnd::Date>& date);

    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override;

    // Leaving the calendar ends a running transition.
    void didMoveToSuperview() override;

protected:
    friend struct rt::Access;
    XQCalendarPresenterBase() = default;
    void init(const gfx::Rect& frame);

    // One period on: `date` is the next (forward) or previous period's date. Past the calendar's
    // maxDate (forward) or before its minDate (backward), the date becomes that bound when the
    // bound's day still lies ahead of the displayed date, so that the last and first periods
    // are reached although the bounds are at 00:00 and the displayed date has a time of day.
    // Then navigates when the date is valid, not the displayed one and not in the displayed
    // period; true when it did.
    bool navigateByStep(std::optional<fnd::Date> date, bool forward, bool animated);
    // Whether a date lies in the period shown (a step that lands there does not move); the base
    // has no period.
    virtual bool isDateInDisplayedPeriod(const fnd::Date& date);
    // Ends the open transition at once: removed without its report, its begin balanced with a
    // cancelled finish, the pan that drove it ignored to its end. For a swipe that could not
    // move, and for a presenter that leaves its calendar.
    void discardTransition();
    // Tells the calendar's delegate that the displayed period is now `date`.
    static void tellDidNavigate(XQCalendar& calendar, const fnd::Date& date);

    std::shared_ptr<ui::PanGestureRecognizer> _panRecognizer;
    std::shared_ptr<ui::TapGestureRecognizer> _tapRecognizer;
    std::optional<fnd::Date> _anchorDate;
    std::shared_ptr<XQViewTransition> _transition;
    XQViewTransitionDirection _transitionDirection = XQViewTransitionDirectionForward;
    bool _interactive = false;
    bool _interactiveTransition = false;
    bool _panStarted = false;
    bool _transitionRunning = false;
    bool _transitionOpen = false;
    // The swipe's own step may move while its transition is open (once).
    bool _ownStepAllowed = false;
    // The pan under way selects a range (decided when it began).
    bool _panSelects = false;
    double _velocityFactor = 0;
    gfx::Point _initialPoint;
    gfx::Point _initialDelta;
    // The displayed date a swipe started from, restored when its transition is cancelled.
    std::optional<fnd::Date> _swipeStartDate;

private:
    using TransitionTable = std::array<const rt::Class*, XQCalendarTransitionModeCount>;
    static TransitionTable& transitionTable();

    double axisValue(gfx::Point point) const { return _transitionIsVertical ? point.y : point.x; }
    double axisLength() const;

    std::weak_ptr<XQCalendarPresenterDelegate> _delegate;
    XQCalendarTransitionMode _transitionMode = XQCalendarTransitionModeScroll;
    bool _transitionIsVertical = false;
    bool _transitionIsReverse = false;
    double _transitionDuration = 0.35;
    double _panGestureSensitivity = 0;
    std::shared_ptr<XQViewTransitionDelegate> _transitionDelegate;
    bool _calendarGone = false;
};
