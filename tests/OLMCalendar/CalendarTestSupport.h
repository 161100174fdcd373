#pragma once

// Helpers of the calendar tests: a small presenter that lays a month grid of dates over its
// bounds (standing in for the real presenters), a transition that ends when the main queue
// is drained, delegates that log every call in order, and a fixture that installs them.

#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace cal::test {

using Log = std::vector<std::string>;

// A date in the default time zone (New York in the tests).
fnd::Date day(long year, long month, long dayOfMonth, long hour = 0, long minute = 0);
// "2026-12-15", or "2026-12-15 10:30" when the time is not midnight; "nil" for nullopt.
std::string text(const std::optional<fnd::Date>& date);

// 7 x 6 cells over the bounds; cell i shows the calendar's dateWithOffset(i, 0, displayed).
// A period is a month, or `stepDays` days when that is set. `update` lays the cells out again
// (at the next layout pass), colouring the first one by the month shown.
class GridPresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(GridPresenter)
    static std::shared_ptr<GridPresenter> make(const gfx::Rect& frame) {
        return rt::create<GridPresenter>(frame);
    }

    static constexpr int columns = 7;
    static constexpr int rows = 6;

    Log* log = nullptr;
    long stepDays = 0;
    std::vector<bool> updates;
    std::vector<std::optional<fnd::Date>> stateDates;
    // What the cells ask of the presenter.
    bool everyDayDisplayed = false;
    XQCalendarTextEffect monthEffect = XQCalendarTextEffectNone;
    XQCalendarTextEffect dayEffect = XQCalendarTextEffectNone;
    std::vector<XQCalendarDayCell*> touchedCells;

    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;
    std::shared_ptr<ui::View> cellFromPoint(gfx::Point point) override;
    std::optional<fnd::Date> nextDate() override;
    std::optional<fnd::Date> prevDate() override;
    bool isDateBefore(const fnd::Date& date) override;
    void layoutSubviews() override;
    bool showsEveryDayAsDisplayed() const override { return everyDayDisplayed; }
    XQCalendarTextEffect monthNameTextEffect() const override { return monthEffect; }
    XQCalendarTextEffect dayNameTextEffect() const override { return dayEffect; }
    void dayCellTouched(XQCalendarDayCell& cell) override { touchedCells.push_back(&cell); }

    // The centre of the cell that shows `date` (in the presenter), if it is on the grid.
    std::optional<gfx::Point> pointOfDate(const fnd::Date& date);
    const std::vector<std::shared_ptr<ui::View>>& cells() const { return _cells; }

protected:
    friend struct rt::Access;
    GridPresenter() = default;
    void init(const gfx::Rect& frame);

private:
    long cellIndex(gfx::Point point) const;
    std::optional<fnd::Date> step(long direction);
    std::vector<std::shared_ptr<ui::View>> _cells;
};

// Records its hooks and ends when the main queue is next drained, as an animation would
// at its end.
class FakeTransition : public XQViewTransition {
public:
    OLM_DECLARE_CLASS(FakeTransition)
    static std::shared_ptr<FakeTransition> make(const gfx::Rect& frame) {
        return rt::create<FakeTransition>(frame);
    }

    // While set, ends wait for releaseHeldEnds() instead of the next drain of the main queue,
    // as a long animation would.
    static bool holdEnds;
    static void releaseHeldEnds();

    Log calls;
    std::vector<double> progress;
    gfx::ImageRef from;
    gfx::ImageRef to;

    void transitionWithAnimation() override;
    void updateTransition(double value) override;
    void finishTransition() override;
    void cancelTransition() override;

protected:
    friend struct rt::Access;
    FakeTransition() = default;
    void beginTransition(const gfx::ImageRef& fromImage, const gfx::ImageRef& toImage,
                         XQViewTransitionDirection direction) override;

private:
    void endLater(bool canceled);
};

// Logs every calendar-delegate call as "<method> <arguments>".
class RecordingDelegate : public XQCalendarDelegate, public XQCalendarPresenterDelegate {
public:
    explicit RecordingDelegate(Log* log) : log(log) {}
    Log* log;
    // Days (as text) whose selection is refused.
    std::set<std::string> refused;

    bool calendarShouldSelectDate(XQCalendar&, const std::optional<fnd::Date>& date) override;
    void calendarDidSelectDate(XQCalendar&, const fnd::Date& date) override;
    void calendarDidDeselectedDate(XQCalendar&, const fnd::Date& date) override;
    void calendarWillNavigateToDate(XQCalendar&, const fnd::Date& date) override;
    void calendarDidNavigateToDate(XQCalendar&, const fnd::Date& date) override;
    void calendarDidChangedViewModeFrom(XQCalendar&, XQCalendarViewMode from, XQCalendarViewMode to) override;
    void calendarDidTapCell(XQCalendar&, ui::View& cell) override;
    void presenterBeginTransition(XQCalendarPresenter&, XQViewTransition&) override;
    void presenterFinishTransition(XQCalendarPresenter&, XQViewTransition&, bool canceled) override;
};

// Installs the grid presenter for every view mode and the fake transition for scroll (6) and
// float (3), and makes a 350 x 300 calendar with a recording delegate on it and on its
// presenter. Restores the class tables afterwards.
class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    GridPresenter& grid() const;
    // Runs what the main queue holds until it is empty (transitions end through it).
    static void drain();
    Log takeLog();

    Log log;
    std::shared_ptr<RecordingDelegate> delegate;
    std::shared_ptr<XQCalendar> calendar;

private:
    std::vector<const rt::Class*> _savedPresenters;
    std::vector<const rt::Class*> _savedTransitions;
};

// The same calendar in a 350 x 300 window of the headless host, laid out and drawn once.
class HostedCalendarTest : public CalendarTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Two fingers pinched together over five frames around (175, 150), still down.
    void startPinch();

    std::unique_ptr<ui::TestDriver> driver;
};

} // namespace cal::test
