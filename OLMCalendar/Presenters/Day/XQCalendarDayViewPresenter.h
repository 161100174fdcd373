#pragma once

// The presenter of the day view: a header (a title row, a row of weekday names and a strip of
// the displayed day's week, with an optional week-number cell) over an XQCalendarDayView with
// the displayed day's events.
//
// The strip's day cells fetch their events from the calendar's data source; the presenter
// hands the displayed day's cell's events to the day view, also when they arrive later
// through the data source's callback. Cells are made once, at the first update, and never
// re-created: weekView holds the week-number cell first, then one day cell per column.
//
// Navigation. A swipe begun in the day view steps a day, one begun in the header a week
// (skipping hidden weekends when stepping days). Its transition runs over the area where the
// finger went down; when the other area changes too (always for a week, for a day only when
// it leaves the strip's week) a second transition over the other area plays along and ends
// as the first does; only the first reports. A programmatic step moves as the last swipe
// did (a week before any swipe while the strip shows) and animates that area only. A tap on
// a strip day moves there (animating the day view only) and selects it. While a transition
// runs, new swipes, moving taps and navigations are ignored.

#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/Themes/Styles/XQCalendarDayViewPresenterStyle.h"
#include "platform/foundation/Calendar.h"

class XQCalendarCell;
class XQCalendarDayCell;
class XQCalendarDayView;
class XQCalendarTitleCell;

// The step of a day-view navigation.
using XQCalendarDayViewNavigationMode = long;
inline constexpr XQCalendarDayViewNavigationMode XQCalendarDayViewNavigationModeWeek = 0;
inline constexpr XQCalendarDayViewNavigationMode XQCalendarDayViewNavigationModeDay = 1;

class XQCalendarDayViewPresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewPresenter)
    static std::shared_ptr<XQCalendarDayViewPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarDayViewPresenter>(frame);
    }
    ~XQCalendarDayViewPresenter() override;

    // --- Settings; they take effect at the next update and layout.
    bool titleHidden() const { return _titleHidden; }
    void setTitleHidden(bool hidden) { _titleHidden = hidden; }
    bool dayNamesHidden() const { return _dayNamesHidden; }
    void setDayNamesHidden(bool hidden) { _dayNamesHidden = hidden; }
    // Hides the whole strip (day names, week number, day cells); every step is then a day.
    bool weekHidden() const { return _weekHidden; }
    void setWeekHidden(bool hidden) { _weekHidden = hidden; }
    bool weekNumbersHidden() const { return _weekNumbersHidden; }
    void setWeekNumbersHidden(bool hidden) { _weekNumbersHidden = hidden; }
    // Hides the weekend columns and skips weekend days when stepping by day.
    bool weekendsHidden() const { return _weekendsHidden; }
    void setWeekendsHidden(bool hidden) { _weekendsHidden = hidden; }

    const std::shared_ptr<XQCalendarDayViewPresenterStyle>& style() const { return _style; }
    const std::shared_ptr<ui::View>& titleView() const { return _titleView; }
    const std::shared_ptr<ui::View>& dayNamesView() const { return _dayNamesView; }
    // Subview 0 the week-number cell, subviews 1...daysInWeek the day cells of the columns.
    const std::shared_ptr<ui::View>& weekView() const { return _weekView; }
    const std::shared_ptr<XQCalendarDayView>& dayView() const { return _dayView; }
    const std::shared_ptr<XQCalendarCell>& titleCell() const { return _titleCell; }
    // The transition over the area a swipe did not begin in (nullptr when none runs). It
    // never outlives the swipe's own transition, whose open state guards both.
    const std::shared_ptr<XQViewTransition>& secondaryTransition() const { return _secondaryTransition; }
    // Where the last swipe began (the origin before any): decides the area and the step.
    gfx::Point initialPoint() const { return _initialPoint; }

    // --- The presenter contract.
    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;

    // --- Dates.
    std::optional<fnd::Date> nextDate() override;
    std::optional<fnd::Date> prevDate() override;
    // A week or a day (skipping hidden weekends) on from `date`; nullopt for another mode.
    std::optional<fnd::Date> nextDate(const fnd::Date& date, bool isForward, XQCalendarDayViewNavigationMode mode);
    // Whether the date's weekday is the first or last of the calendar's week days (Sunday and
    // Saturday in the Gregorian calendar), whatever the first weekday.
    static bool isWeekend(const fnd::Date& date, const fnd::Calendar& calendar);
    // Whether the date's day lies before the displayed day.
    bool isDateBefore(const fnd::Date& date) override;
    // The strip's date of a column (column 0: the first day of the displayed date's week).
    std::optional<fnd::Date> dateForColumn(long column);
    // Whether the date's day is one of the strip's.
    bool isDateInCurrentView(const fnd::Date& date);
    // The strip's cell of a date's day, or nullptr.
    std::shared_ptr<XQCalendarDayCell> cellForDate(const std::optional<fnd::Date>& date);
    std::shared_ptr<ui::View> cellFromPoint(gfx::Point point) override;

    // --- Building blocks.
    void createCells();
    // The delegate's cell of the kind when it gives a fitting one, else the stock cell.
    std::shared_ptr<XQCalendarCell> createCellWithType(XQCalendarCellType type);
    void updateData();
    // The area above the day view.
    gfx::Rect headerRect() const;

    // --- Transitions and gestures.
    gfx::Rect getTransitionFrame() override;
    bool startInteractiveTransition() override;
    bool panSelectsRange() override { return false; }
    void playSwipeTransition() override;
    void endSwipeTransition(bool finish) override;
    void tap(ui::TapGestureRecognizer& recognizer) override;
    void finishTransition(XQViewTransition& transition, bool canceled) override;
    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override;

    void layoutSubviews() override;

    // --- What the cells ask.
    bool showsEveryDayAsDisplayed() const override { return true; }
    XQCalendarTextEffect dayNameTextEffect() const override { return _style->dayNameTextEffect(); }
    void dayCellTouched(XQCalendarDayCell& cell) override;
    void dayCellEventsChanged(XQCalendarDayCell& cell) override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewPresenter() = default;
    void init(const gfx::Rect& frame);

    bool isDateInDisplayedPeriod(const fnd::Date& date) override;

private:
    long daysInWeek() const;
    // Calendar days from the strip's first day to the date's day (not elapsed time: a day
    // that starts at 01:00 still counts whole).
    std::optional<long> daysFromColumnZero(const fnd::Date& date);
    // Gives the day view the displayed day's events.
    void showDisplayedDayEvents();
    // Ends the secondary transition at once, without its report.
    void dropSecondaryTransition();

    bool _titleHidden = false;
    bool _dayNamesHidden = false;
    bool _weekHidden = false;
    bool _weekNumbersHidden = true;
    bool _weekendsHidden = false;
    std::shared_ptr<XQCalendarDayViewPresenterStyle> _style;
    std::shared_ptr<ui::View> _titleView;
    std::shared_ptr<ui::View> _dayNamesView;
    std::shared_ptr<ui::View> _weekView;
    std::shared_ptr<XQCalendarDayView> _dayView;
    std::shared_ptr<XQCalendarCell> _titleCell;
    std::optional<fnd::Date> _presentedDate;
    bool _supportsCustomCells = false;
    bool _cellsCreated = false;
    std::shared_ptr<XQViewTransition> _secondaryTransition;
    // The secondary transition has its images and waits for the main one's end.
    bool _secondaryBegun = false;
    // The transition a tap plays: it has no begin report, so it gets no finish report.
    XQViewTransition* _tapTransition = nullptr;
};
