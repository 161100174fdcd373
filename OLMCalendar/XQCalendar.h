#pragma once

// The calendar view an application places in its interface. It holds the settings (dates,
// calendar, locale, selection mode, theme, delegate, data source), owns one presenter per
// view mode and shows the current one over its bounds, switches view modes (animated with
// a float transition, or driven by a pinch), keeps the selection, does the date arithmetic
// that presenters and cells share, and answers the events of a day from its data source.
//
//     auto calendar = XQCalendar::make(gfx::Rect{0, 0, 320, 400});
//     calendar->setDelegate(myDelegate);          // held weakly
//     calendar->setDataSource(myDataSource);      // held weakly
//     calendar->setSelectionMode(XQCalendarSelectionModeRange);
//     calendar->setViewMode(XQCalendarViewModeWeek, true);
//
// Views are made in code only: there is no initialiser from an interface archive.
//
// Main thread only. `eventsForDate` is normally asked on the main thread too; asked on
// another thread, it waits for the data source without running the main queue.

#include "OLMCalendar/Presenters/XQCalendarPresenter.h"
#include "OLMCalendar/Transitions/XQViewTransition.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "OLMCalendar/XQClassTable.h"
#include "OLMCore/XQDateRange.h"
#include "OLMCore/XQTheme.h"
#include "OLMCore/XQView.h"
#include "platform/foundation/Calendar.h"
#include "platform/foundation/Locale.h"

#include <array>
#include <map>
#include <string>

namespace ui {
class PinchGestureRecognizer;
}

class XQCalendar : public XQView, public XQViewTransitionDelegate {
public:
    OLM_DECLARE_CLASS(XQCalendar)
    static std::shared_ptr<XQCalendar> make(const gfx::Rect& frame) { return rt::create<XQCalendar>(frame); }
    static std::shared_ptr<XQCalendar> make() { return rt::create<XQCalendar>(); }
    ~XQCalendar() override;

    // The build's version string.
    static std::string versionString() { return "%VERSION%"; }

    // --- The presenter class table: the class whose factory makes the presenter of each
    // view mode. Every mode starts with XQCalendarPresenterBase (an empty presenter); the
    // real presenters take their entry as they are built. A class without a factory of the
    // signature XQCalendarPresenter::Factory leaves its mode without a presenter.
    static const rt::Class& presenterClass(XQCalendarViewMode mode);
    // Ignored for a mode outside 0...6.
    static void registerPresenterClass(XQCalendarViewMode mode, const rt::Class& cls);
    // Registers T with a factory that runs `T::make(frame)`.
    template <class T> static void registerPresenterClass(XQCalendarViewMode mode) {
        registerPresenterClass(mode, classWithFactory<XQCalendarPresenter, T>());
    }

    // --- Settings.
    std::shared_ptr<XQCalendarDelegate> delegate() const { return _delegate.lock(); }
    // Held weakly; the presenter then rebuilds fully.
    void setDelegate(const std::shared_ptr<XQCalendarDelegate>& delegate);
    std::shared_ptr<XQCalendarDataSource> dataSource() const { return _dataSource.lock(); }
    // Held weakly; the presenter then rebuilds.
    void setDataSource(const std::shared_ptr<XQCalendarDataSource>& dataSource);

    const std::shared_ptr<XQCalendarPresenter>& presenter() const { return _presenter; }
    // The presenter kept for a mode (the current one included once it was left); nullptr when
    // the mode has not been left yet.
    std::shared_ptr<XQCalendarPresenter> cachedPresenter(XQCalendarViewMode mode) const;

    XQCalendarViewMode viewMode() const { return _viewMode; }
    // Changes the view mode without animation. A mode outside 0...6 changes nothing.
    void setViewMode(XQCalendarViewMode mode);
    // An animated change plays its transition on its own.
    void setViewMode(XQCalendarViewMode mode, bool animated);
    // The full operation: when `interactive` the caller drives the transition (the pinch does).
    // Any change first ends (finishes) an interactive transition still driven.
    void setViewMode(XQCalendarViewMode mode, bool animate, XQViewTransitionDirection direction,
                     bool interactive);

    const fnd::Date& displayedDate() const { return _displayedDate; }
    // Moves the displayed date; nothing happens for nil or for the displayed day itself.
    // Tells the delegate calendarWillNavigateToDate, then, when `update`, updates the presenter.
    void setDisplayedDate(const std::optional<fnd::Date>& date, bool update);

    const std::optional<fnd::Date>& minDate() const { return _minDate; }
    // Stored at 00:00 of its day.
    void setMinDate(const std::optional<fnd::Date>& date);
    const std::optional<fnd::Date>& maxDate() const { return _maxDate; }
    // Stored as given.
    void setMaxDate(const std::optional<fnd::Date>& date);

    const fnd::CalendarRef& calendar() const { return _calendar; }
    // Nil is ignored. Resets the days-in-week cache.
    void setCalendar(const fnd::CalendarRef& calendar);
    // Used by the cells for formatting; nullopt = the formatters' default.
    const std::optional<fnd::Locale>& locale() const { return _locale; }
    void setLocale(std::optional<fnd::Locale> locale) { _locale = std::move(locale); }
    const std::shared_ptr<XQTheme>& theme() const { return _theme; }
    // Shows at the next refresh.
    void setTheme(std::shared_ptr<XQTheme> theme) { _theme = std::move(theme); }

    bool allowPinchZoom() const;
    void setAllowPinchZoom(bool allow);
    const std::shared_ptr<ui::PinchGestureRecognizer>& pinchRecognizer() const { return _pinchRecognizer; }

    // The running view-mode transition (nullptr when none).
    const std::shared_ptr<XQViewTransition>& transition() const { return _transition; }

    // How long `eventsForDate` waits for a data source that answers through its callback, in
    // seconds (1 by default). Past it the answer is empty.
    double eventsWaitTimeout() const { return _eventsWaitTimeout; }
    void setEventsWaitTimeout(double seconds) { _eventsWaitTimeout = seconds; }

    // --- Refresh and navigation.
    void update(bool force);
    // Forgets the selection, then rebuilds the presenter fully.
    void reloadData();
    void navigateForward(bool animated);
    void navigateBack(bool animated);
    // Shows the period of `date`, clamped to minDate...maxDate; a date in the shown month (month
    // mode) or week (week mode) moves without animation.
    void navigateToDate(const fnd::Date& date, bool animated);
    // Whether the date lies within minDate...maxDate (full time stamps; a nil bound passes).
    bool isValidDate(const std::optional<fnd::Date>& date) const;

    // An image of the calendar as it is now (layout and display flushed first), at the
    // screen's scale.
    gfx::ImageRef takeScreenshot();
    // The same of the part `rect` (in the calendar's coordinates); the presenters take their
    // transitions' snapshots with it.
    gfx::ImageRef takeScreenshot(const gfx::Rect& rect);

    // --- Selection (XQCalendarSelection.cpp).
    XQCalendarSelectionMode selectionMode() const { return _selectionMode; }
    // The stored selection is kept; the presenter recomputes its cells' states.
    void setSelectionMode(XQCalendarSelectionMode mode);
    const std::optional<fnd::Date>& selectedDate() const { return _selectedDate; }
    // Selects by the selection mode.
    void setSelectedDate(const std::optional<fnd::Date>& date);
    // Single mode: the selected date; multiple mode: the selected dates; otherwise nullopt.
    std::optional<std::vector<fnd::Date>> selectedDates() const;
    // Multiple mode only: replaces the selection.
    void setSelectedDates(const std::vector<fnd::Date>& dates);
    // Single mode: a range of the selected day; range mode: the range; otherwise nullptr.
    std::shared_ptr<XQDateRange> selectedDatesRange() const;
    void setSelectedDatesRange(const std::shared_ptr<XQDateRange>& range);
    // Range mode only: stores the range unless it covers the same days as the stored one.
    void setSelectedDatesRange(const std::shared_ptr<XQDateRange>& range,
                               const std::optional<fnd::Date>& lastSelected);
    // Forgets the selection in every mode (without updating the presenter).
    void resetSelection();
    // Forgets the selection and updates the presenter.
    void clearSelection();
    bool isDateSelected(const std::optional<fnd::Date>& date) const;

    const std::shared_ptr<XQDateRange>& dateRange() const { return _dateRange; }
    void setDateRange(std::shared_ptr<XQDateRange> range) { _dateRange = std::move(range); }
    // The dates of multiple selection by their day key (see dayKey).
    const std::map<std::string, fnd::Date>& selectedDatesDict() const { return _selectedDatesDict; }
    // "day.month.year" of the date in the calendar, without leading zeros (5 March 2024 is
    // "5.3.2024"); a day outside the calendar's last era appends its era ("15.1.2.235" for
    // 15 January of Heisei 2), so that days of different eras never share a key.
    std::string dayKey(const fnd::Date& date) const;

    // --- Date arithmetic.
    // The number of weekdays (cached; 0 recomputes).
    long daysInWeek();
    void setDaysInWeek(long days) { _daysInWeek = days; }
    // The number of weeks that the month `months` away from the displayed one touches.
    long weeksInMonth(long months) const;
    // 00:00 of the day; the year counts in the calendar's current era.
    std::optional<fnd::Date> dateWithDay(long day, long month, long year) const;
    // The first cell of the month grid of `fromDate` moved by `months` months, plus `offset`
    // days.
    std::optional<fnd::Date> dateWithOffset(long offset, long months, const fnd::Date& fromDate);
    // Whether grid column `offset` holds Saturday or Sunday.
    bool isWeekend(long offset);
    // The masks of isDate for the same day (28) and the same month (12).
    static constexpr fnd::CalendarUnit dayUnits =
        fnd::CalendarUnitYear | fnd::CalendarUnitMonth | fnd::CalendarUnitDay;
    static constexpr fnd::CalendarUnit monthUnits = fnd::CalendarUnitYear | fnd::CalendarUnitMonth;
    // Whether both dates agree in the units of the mask (28 same day, 12 same month, 4 same
    // year). False when either is nil.
    bool isDate(const std::optional<fnd::Date>& date, const std::optional<fnd::Date>& other,
                fnd::CalendarUnit units) const;
    static bool isDate(const std::optional<fnd::Date>& date, const std::optional<fnd::Date>& other,
                       fnd::CalendarUnit units, fnd::CalendarRef calendar);
    // 00:00 of the date's day.
    std::optional<fnd::Date> dateWithoutTime(const std::optional<fnd::Date>& date) const;
    static std::optional<fnd::Date> dateWithYear(long year, long month, long day, fnd::CalendarRef calendar);

    // --- Events (XQCalendarEvents.cpp).
    // The events of the day of `date` from the data source, empty when it has none. With the
    // callback form the call waits for the callback, at most eventsWaitTimeout seconds, and on
    // the main thread keeps running the main queue meanwhile.
    XQCalendarEvents eventsForDate(const fnd::Date& date);

    // --- View.
    void layoutSubviews() override;
    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override;
    // The pinch recognizer's action.
    void pinch(ui::PinchGestureRecognizer& recognizer);

protected:
    friend struct rt::Access;
    XQCalendar() = default;
    void init(const gfx::Rect& frame);
    void init() { init(gfx::Rect::zero()); }
    // Puts every setting to its start value and shows the month view.
    void setup();

private:
    using PresenterTable = std::array<const rt::Class*, XQCalendarViewModeCount>;
    static PresenterTable& presenterTable();

    std::shared_ptr<XQCalendarPresenter> makePresenter(XQCalendarViewMode mode) const;
    void updatePresenter(bool force);
    void updatePresenterState(const std::optional<fnd::Date>& date);
    void tellDelegate(const std::function<void(XQCalendarDelegate&)>& message);
    void endPinchTransition();

    std::map<XQCalendarViewMode, std::shared_ptr<XQCalendarPresenter>> _presenterInstances;
    std::weak_ptr<XQCalendarDelegate> _delegate;
    std::weak_ptr<XQCalendarDataSource> _dataSource;
    std::shared_ptr<XQCalendarPresenter> _presenter;
    XQCalendarViewMode _viewMode = XQCalendarViewModeNone;
    fnd::Date _displayedDate;
    std::optional<fnd::Date> _minDate;
    std::optional<fnd::Date> _maxDate;
    std::optional<fnd::Date> _selectedDate;
    XQCalendarSelectionMode _selectionMode = XQCalendarSelectionModeSingle;
    fnd::CalendarRef _calendar;
    std::optional<fnd::Locale> _locale;
    std::shared_ptr<XQTheme> _theme;
    long _daysInWeek = 0;
    std::shared_ptr<XQDateRange> _dateRange;
    std::map<std::string, fnd::Date> _selectedDatesDict;
    std::shared_ptr<ui::PinchGestureRecognizer> _pinchRecognizer;
    std::shared_ptr<XQViewTransition> _transition;
    // The interactive view-mode transition (the current pinch's): the only one a pinch
    // drives; ended when the pinch ends and before any other view-mode change.
    std::weak_ptr<XQViewTransition> _pinchTransition;
    std::shared_ptr<XQViewTransitionDelegate> _transitionDelegate;
    double _eventsWaitTimeout = 1.0;
};
