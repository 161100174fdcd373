#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"
#include "OLMCalendar/Presenters/Day/XQCalendarDayViewPresenter.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/ProcessDefaults.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

#include <algorithm>

namespace cal::test {
namespace {

// The day presenter in a 390 x 844 calendar: the title row 0...30, the day names 30...50,
// the strip 50...100 and the day view below.
class DayViewPresenterTest : public MonthPresenterTest {
protected:
    void SetUp() override {
        MonthPresenterTest::SetUp();
        calendar->setViewMode(XQCalendarViewModeDay);
        presenter().setDelegate(delegate);
        show(day(2026, 12, 16, 10, 30)); // a Wednesday
    }
    XQCalendarDayViewPresenter& presenter() const {
        return dynamic_cast<XQCalendarDayViewPresenter&>(*calendar->presenter());
    }
    void show(const fnd::Date& date) {
        calendar->setDisplayedDate(date, true);
        drain();
        takeLog();
    }
    XQCalendarDayCell& stripCell(long column) const {
        return dynamic_cast<XQCalendarDayCell&>(*presenter().weekView()->subviews()[static_cast<std::size_t>(column + 1)]);
    }
    gfx::Point stripPoint(long column) const {
        const gfx::Rect frame = stripCell(column).convertRectToView(stripCell(column).bounds(), &presenter());
        return {frame.midX(), frame.midY()};
    }
    std::vector<std::string> dayViewTitles() const {
        std::vector<std::string> titles;
        for (const auto* list : {&presenter().dayView()->allDayEvents(), &presenter().dayView()->events()})
            for (const auto& event : *list) titles.push_back(event->title());
        return titles;
    }
    // The presenter's transition views still shown.
    long transitionViews() const {
        return std::count_if(presenter().subviews().begin(), presenter().subviews().end(),
                             [](const auto& view) { return dynamic_cast<XQViewTransition*>(view.get()) != nullptr; });
    }
};

TEST_F(DayViewPresenterTest, laysTheHeaderOutByTheThreeWidthRules) {
    auto& p = presenter();
    EXPECT_EQ(p.titleView()->frame(), (gfx::Rect{0, 0, 390, 30}));
    EXPECT_EQ(p.dayNamesView()->frame(), (gfx::Rect{0, 30, 390, 20}));
    EXPECT_EQ(p.weekView()->frame(), (gfx::Rect{0, 50, 390, 50}));
    EXPECT_EQ(p.dayView()->frame(), (gfx::Rect{0, 100, 390, 744}));
    const double cw = (390 + 3) / 7.0;
    EXPECT_DOUBLE_EQ(stripCell(1).frame().origin.x, cw - 0.5);
    EXPECT_DOUBLE_EQ(stripCell(1).frame().size.width, cw);

    p.setWeekNumbersHidden(false);
    p.style()->setDayCellHeight(-1);
    p.setNeedsLayout();
    p.layoutIfNeeded();
    EXPECT_DOUBLE_EQ(p.weekView()->frame().size.height, (844 - 30 - 20) / 6.0);
    EXPECT_EQ(p.weekView()->subviews().front()->frame().size.width, 15);
    EXPECT_DOUBLE_EQ(stripCell(0).frame().origin.x, 14.5);
    EXPECT_DOUBLE_EQ(stripCell(0).frame().size.width, (390 - 15 + 3.5) / 7);
    EXPECT_DOUBLE_EQ(p.dayNamesView()->subviews()[0]->frame().origin.x, 14.5);

    p.style()->setWeekNumberCellWidth(-1);
    p.setTitleHidden(true); // the automatic row still counts the title's height
    p.setNeedsLayout();
    p.layoutIfNeeded();
    EXPECT_DOUBLE_EQ(p.weekView()->frame().size.height, (844 - 30 - 20) / 6.0);
    EXPECT_DOUBLE_EQ(p.weekView()->subviews().front()->frame().size.width, stripCell(0).frame().size.width);
    EXPECT_DOUBLE_EQ(stripCell(0).frame().size.width, (390 + 3.5) / 8);

    p.setWeekNumbersHidden(true);
    p.setWeekendsHidden(true);
    p.setNeedsLayout();
    p.layoutIfNeeded();
    EXPECT_EQ(stripCell(0).frame(), gfx::Rect::zero());
    EXPECT_EQ(stripCell(6).frame(), gfx::Rect::zero());
    EXPECT_EQ(p.dayNamesView()->subviews()[6]->frame(), gfx::Rect::zero());
    EXPECT_DOUBLE_EQ(stripCell(1).frame().origin.x, 0);
    EXPECT_DOUBLE_EQ(stripCell(1).frame().size.width, (390 + 2) / 5.0);
}

TEST_F(DayViewPresenterTest, titleNamesTheCalendarYearAndTheLongDateWithoutTheStrip) {
    auto& title = dynamic_cast<XQCalendarTitleCell&>(*presenter().titleCell());
    show(day(2024, 12, 30));
    EXPECT_EQ(title.label()->text(), "December 2024");
    presenter().setWeekHidden(true);
    show(day(2024, 12, 31));
    EXPECT_EQ(title.label()->text(), "December 31, 2024");
    EXPECT_EQ(presenter().weekView()->frame(), gfx::Rect::zero());
    EXPECT_EQ(presenter().dayView()->frame().origin.y, 30);
}

TEST_F(DayViewPresenterTest, aLongLocalizedTitleKeepsToItsRowAndIsCutAtItsTailWhenNarrow) {
    calendar->setLocale(fnd::Locale("pt_BR"));
    presenter().setWeekHidden(true);
    show(day(2026, 9, 30));
    const ui::Label& label = *dynamic_cast<XQCalendarTitleCell&>(*presenter().titleCell()).label();
    EXPECT_EQ(label.text(), "30 de setembro de 2026");
    EXPECT_LE(label.sizeThatFits({}).width, label.frame().size.width);

    calendar->setFrame({0, 0, 120, 844});
    drain();
    EXPECT_EQ(label.text(), "30 de setembro de 2026");
    EXPECT_LE(label.frame().maxX(), 120);
    EXPECT_LE(label.frame().maxY(), 30);
    EXPECT_GT(label.sizeThatFits({}).width, label.frame().size.width);
    EXPECT_EQ(label.numberOfLines(), 1);
    EXPECT_EQ(label.lineBreakMode(), gfx::LineBreakMode::truncatingTail);
}

TEST_F(DayViewPresenterTest, dayStepsReachTheFirstAndTheLastDayAndGoNoFurther) {
    calendar->setMinDate(day(2026, 12, 15));
    calendar->setMaxDate(day(2026, 12, 17));
    driver->panAndRest({300, 400}, {100, 400}, 1.5); // from now on steps move a day
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-17"); // the last day, at its bound
    EXPECT_FALSE(presenter().navigateForward(false));
    EXPECT_TRUE(presenter().navigateBack(false));
    EXPECT_TRUE(presenter().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15");
    EXPECT_FALSE(presenter().navigateBack(false));
    driver->panAndRest({100, 400}, {300, 400}, 1.5);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-15");
    EXPECT_EQ(transitionViews(), 0);
}

TEST_F(DayViewPresenterTest, theDayViewGetsTheDisplayedDaysWholeListEvenWhenTheCellCutsIt) {
    events->add(day(2026, 12, 17), 3);
    for (long c = 0; c < 7; ++c) {
        stripCell(c).style().setDisplayEventsAsText(true);
        stripCell(c).style().setMaxEventsCount(1);
    }
    show(day(2026, 12, 17, 8));
    EXPECT_EQ(stripCell(4).events().size(), 1u);
    EXPECT_EQ(dayViewTitles(), (std::vector<std::string>{"Event 1", "Event 2", "Event 3"}));
    EXPECT_EQ(text(presenter().dayView()->date()), "2026-12-17");
    EXPECT_TRUE(stripCell(4).state() & XQCalendarDayCellStateSelected);
}

TEST_F(DayViewPresenterTest, aStripTapMovesTheDayViewOnlyThenSelectsAndReportsOnce) {
    presenter().setTransitionMode(XQCalendarTransitionModeScroll);
    driver->tap(stripPoint(5));
    EXPECT_EQ(transitionViews(), 1);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-18");
    EXPECT_EQ(text(calendar->selectedDate()), "2026-12-18");
    const Log expected{"didTapCell 0",           "willNavigate 2026-12-18", "shouldSelect 2026-12-18",
                       "didDeselect 2026-12-16 10:30", "didSelect 2026-12-18", "didNavigate 2026-12-18"};
    EXPECT_EQ(takeLog(), expected);
    EXPECT_EQ(transitionViews(), 0);

    // The displayed day itself neither moves nor selects.
    driver->tap(stripPoint(5));
    drain();
    EXPECT_EQ(takeLog(), (Log{"didTapCell 0"}));

    // Without a transition, the move is reported at once.
    presenter().setTransitionMode(XQCalendarTransitionModeNone);
    driver->tap(stripPoint(1));
    drain();
    const Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "didNavigate 2026-12-14"), 1);
}

TEST_F(DayViewPresenterTest, inMultipleSelectionATappedDayStaysSelected) {
    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    driver->tap(stripPoint(2));
    drain();
    EXPECT_TRUE(calendar->isDateSelected(day(2026, 12, 15)));
    EXPECT_TRUE(stripCell(2).state() & XQCalendarDayCellStateSelected);
}

TEST_F(DayViewPresenterTest, rangeFlagsComeFromTheDaysOfTheRange) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 14, 9), day(2026, 12, 16)));
    presenter().updateState(std::nullopt);
    EXPECT_EQ(stripCell(1).state() & 240, XQCalendarDayCellStateFirstInRange);
    EXPECT_EQ(stripCell(2).state() & 240, XQCalendarDayCellStateMidInRange);
    EXPECT_EQ(stripCell(3).state() & 240, XQCalendarDayCellStateLastInRange | XQCalendarDayCellStateSelected);
    EXPECT_EQ(stripCell(4).state() & 240, 0);
}

TEST_F(DayViewPresenterTest, aSwipeInTheDayViewStepsADayWithTheHeaderOnlyWhenTheWeekChanges) {
    driver->panAndRest({300, 400}, {100, 400}, 1.5);
    EXPECT_EQ(presenter().secondaryTransition(), nullptr); // Thursday is in the strip
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-17 10:30");
    Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterBegin"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "didNavigate 2026-12-17 10:30"), 1);

    show(day(2026, 12, 19, 10, 30)); // a Saturday: the next day opens another week
    driver->panAndRest({300, 400}, {100, 400}, 1.5);
    EXPECT_NE(presenter().secondaryTransition(), nullptr);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-20 10:30");
    EXPECT_EQ(text(stripCell(0).date()), "2026-12-20");
    log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish"), 1);
    EXPECT_EQ(transitionViews(), 0);

    // A programmatic step now moves a day, as the last swipe did.
    EXPECT_TRUE(presenter().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-21 10:30");
}

TEST_F(DayViewPresenterTest, aSwipeInTheHeaderStepsAWeekAndTheDayViewGoesAlong) {
    EXPECT_TRUE(presenter().navigateForward(false)); // before any swipe: a week
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-23 10:30");
    driver->panAndRest({100, 70}, {300, 70}, 1.5);
    EXPECT_NE(presenter().secondaryTransition(), nullptr);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30");
    const Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterBegin"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "didNavigate 2026-12-16 10:30"), 1);
    EXPECT_EQ(transitionViews(), 0);
}

TEST_F(DayViewPresenterTest, aFlickPlaysBothTransitionsAtOnce) {
    driver->panAtSpeed({200, 70}, {100, 70}, 1000, 3);
    ASSERT_NE(presenter().secondaryTransition(), nullptr);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-23 10:30");
    EXPECT_EQ(transitionViews(), 0);
}

TEST_F(DayViewPresenterTest, aCancelledSwipeReturnsEitherWayAndReportsOnlyTheMain) {
    for (const bool reverse : {false, true}) {
        presenter().setTransitionIsReverse(reverse);
        // Leftwards, then back to the right while still moving: cancelled.
        driver->pan({{300, 70}, {200, 70}, {260, 70}}, 1.2, 12);
        drain();
        EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30") << reverse;
        const Log log = takeLog();
        EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish canceled"), 1) << reverse;
        EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish"), 0) << reverse;
        EXPECT_EQ(transitionViews(), 0);
    }
}

TEST_F(DayViewPresenterTest, aSwipeThatCannotMoveLeavesNothingBehind) {
    calendar->setMaxDate(day(2026, 12, 16));
    driver->panAndRest({300, 400}, {100, 400}, 1.5);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30");
    EXPECT_EQ(transitionViews(), 0);
    EXPECT_EQ(presenter().secondaryTransition(), nullptr);
    const Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterBegin"),
              std::count(log.begin(), log.end(), "presenterFinish canceled"));
}

TEST_F(DayViewPresenterTest, hiddenWeekendsAreSkippedAndADisplayedSaturdayShowsItsOwnEvents) {
    presenter().setWeekendsHidden(true);
    events->add(day(2026, 12, 19), 2);
    show(day(2026, 12, 18, 9)); // a Friday
    EXPECT_EQ(text(presenter().nextDate(calendar->displayedDate(), true, XQCalendarDayViewNavigationModeDay)),
              "2026-12-21 09:00");
    EXPECT_EQ(text(presenter().nextDate(day(2026, 12, 21), false, XQCalendarDayViewNavigationModeDay)), "2026-12-18");
    EXPECT_FALSE(presenter().nextDate(day(2026, 12, 21), false, 5));
    show(day(2026, 12, 19, 9));
    EXPECT_EQ(text(stripCell(6).date()), "2026-12-19");
    EXPECT_EQ(dayViewTitles(), (std::vector<std::string>{"Event 1", "Event 2"}));
}

TEST_F(DayViewPresenterTest, cellsAreFoundByCalendarDaysWhereADayStartsAtOne) {
    fnd::ScopedDefaults defaults;
    fnd::TimeZone::setDefaultTimeZone(fnd::TimeZone::named("America/Sao_Paulo").value());
    calendar->setCalendar(fnd::Calendar::current());
    show(day(2016, 10, 17, 10)); // the week of Sunday 16 October, which began at 01:00
    EXPECT_EQ(text(stripCell(0).date()), "2016-10-16 01:00");
    EXPECT_EQ(presenter().cellForDate(day(2016, 10, 17)).get(), &stripCell(1));
    EXPECT_EQ(text(presenter().dayView()->date()), "2016-10-17");
    EXPECT_TRUE(presenter().isDateInCurrentView(day(2016, 10, 22, 23)));
    EXPECT_FALSE(presenter().isDateInCurrentView(day(2016, 10, 23)));
}

// Answers through the callback, later, on the main queue.
class LateEvents : public XQCalendarDataSource {
public:
    XQCalendarEvents list;
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date&, EventsCallback callback) override {
        auto events = text(from) == "2026-12-16" ? list : XQCalendarEvents{};
        fnd::dispatchAsync(fnd::mainQueue(), [callback = std::move(callback), events] { callback(events); });
        return true;
    }
};

TEST_F(DayViewPresenterTest, eventsThatArriveLateReachTheDayView) {
    auto late = std::make_shared<LateEvents>();
    DayEvents source;
    source.add(day(2026, 12, 16), 2);
    late->list = source.days["2026-12-16"];
    calendar->setDataSource(late);
    calendar->update(true);
    EXPECT_TRUE(dayViewTitles().empty());
    drain();
    EXPECT_EQ(dayViewTitles(), (std::vector<std::string>{"Event 1", "Event 2"}));
}

TEST_F(DayViewPresenterTest, aCalendarFreedMidSwipeEndsItsTransitions) {
    driver->touchDown(1, {100, 70});
    for (int i = 1; i <= 5; ++i) {
        driver->touchMove(1, {100 + 20.0 * i, 70});
        driver->step();
    }
    ASSERT_NE(presenter().secondaryTransition(), nullptr);
    std::weak_ptr<XQCalendarPresenter> weak = calendar->presenter();
    calendar->removeFromSuperview();
    calendar.reset();
    driver->touchUp(1, {200, 70});
    drain();
    EXPECT_TRUE(weak.expired());
    const Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish canceled"), 1);
}

TEST_F(DayViewPresenterTest, theDayViewScrollsAndZoomsUnderTheSwipesAndTheCalendarsPinch) {
    auto& view = *presenter().dayView()->eventsView();
    // A vertical drag scrolls the time line and steps nothing.
    driver->panAndRest({200, 600}, {200, 400}, 0.5);
    drain();
    EXPECT_GT(view.contentOffset().y, 150);
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30");
    // A pinch there zooms the time line; the calendar keeps its view mode.
    driver->pinch({200, 500}, 1, 2, 0.3);
    drain();
    EXPECT_DOUBLE_EQ(view.zoom(), 1.25);
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeDay);
}


TEST_F(DayViewPresenterTest, withVerticalTransitionsTheHeaderStepsAndTheDayViewScrolls) {
    presenter().setTransitionIsVertical(true);
    auto& view = *presenter().dayView()->eventsView();
    driver->panAndRest({200, 600}, {200, 400}, 1.5);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30");
    EXPECT_GT(view.contentOffset().y, 150);
    driver->panAndRest({200, 95}, {200, 5}, 1.5);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-23 10:30");
}

TEST_F(DayViewPresenterTest, anInterruptedSwipeCancelsBothTransitions) {
    driver->touchDown(1, {300, 70});
    for (int i = 1; i <= 6; ++i) {
        driver->step(0.05);
        driver->touchMove(1, {300 - 8.0 * i, 70});
    }
    ASSERT_NE(presenter().secondaryTransition(), nullptr);
    driver->touchCancel(1);
    drain();
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-16 10:30");
    EXPECT_EQ(transitionViews(), 0);
    const Log log = takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "presenterFinish canceled"), 1);
}

} // namespace
} // namespace cal::test
