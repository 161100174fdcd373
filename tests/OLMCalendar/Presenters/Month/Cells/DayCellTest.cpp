#include "CellTestSupport.h"

#include "OLMCore/XQDateRange.h"

namespace cal::test {
namespace {

constexpr long selectionFlags = 16 | 32 | 64 | 128;

class DayCellTest : public CellTest {
protected:
    long selectionOf(const fnd::Date& date) { return dayCell(date)->state() & selectionFlags; }
    void selectRange(const fnd::Date& first, const fnd::Date& last) {
        calendar->setSelectionMode(XQCalendarSelectionModeRange);
        calendar->setSelectedDatesRange(XQDateRange::make(first, last));
    }
};

TEST_F(DayCellTest, RangeFlagsCountDays) {
    selectRange(day(2026, 12, 7, 15), day(2026, 12, 9, 8));
    EXPECT_EQ(selectionOf(day(2026, 12, 6)), 0);
    EXPECT_EQ(selectionOf(day(2026, 12, 7)), 32);
    EXPECT_EQ(selectionOf(day(2026, 12, 8)), 128);
    EXPECT_EQ(selectionOf(day(2026, 12, 9)), 80);
    EXPECT_EQ(selectionOf(day(2026, 12, 10)), 0);

    selectRange(day(2026, 12, 7, 9), day(2026, 12, 7, 18));
    EXPECT_EQ(selectionOf(day(2026, 12, 7)), 16);

    calendar->setSelectionMode(XQCalendarSelectionModeSingle);
    calendar->setSelectedDate(day(2026, 12, 8));
    EXPECT_EQ(selectionOf(day(2026, 12, 8)), 16);
}

TEST_F(DayCellTest, StateFlagsFromNowTheDisplayedMonthAndTheBounds) {
    // Tuesday 15 December 2026 is today; Saturday the 19th a weekend day; both this month and year.
    EXPECT_EQ(dayCell(day(2026, 12, 15))->state(), 1 | 4 | 8);
    EXPECT_EQ(dayCell(day(2026, 12, 19))->state(), 2 | 4 | 8);
    EXPECT_EQ(dayCell(day(2027, 1, 4))->state(), 0);
    grid().everyDayDisplayed = true;
    EXPECT_EQ(dayCell(day(2027, 1, 4))->state(), 4);

    calendar->setMinDate(day(2026, 12, 10));
    calendar->setMaxDate(day(2026, 12, 20));
    EXPECT_EQ(dayCell(day(2026, 12, 9, 23, 59))->state() & 256, 256);
    EXPECT_EQ(dayCell(day(2026, 12, 20))->state() & 256, 0);
    EXPECT_EQ(dayCell(day(2026, 12, 20, 0, 1))->state() & 256, 256);
    calendar->setMinDate(std::nullopt);
    calendar->setMaxDate(std::nullopt);
    EXPECT_EQ(dayCell(day(1900, 1, 1))->state() & 256, 0);
}

TEST_F(DayCellTest, StateStacksTheCellAndRestylesEvenWhenUnchanged) {
    auto cell = dayCell(day(2026, 12, 15));
    EXPECT_EQ(cell->layer()->zPosition(), 10000);
    selectRange(day(2026, 12, 14), day(2026, 12, 16));
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 15));
    EXPECT_EQ(cell->layer()->zPosition(), 20000);
    EXPECT_EQ(cell->style().styleID()->state(), cell->state());
    selectRange(day(2026, 12, 15), day(2026, 12, 15));
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 15));
    EXPECT_EQ(cell->layer()->zPosition(), 30000);
    cell->setState(0);
    EXPECT_EQ(cell->layer()->zPosition(), 0);

    // An attach that leaves the state as it was still styles the cell anew.
    auto other = dayCell(day(2026, 12, 3));
    theme->addStyleGroupWithClass(XQCalendarDayCell::staticClass(), {{"textColor", gfx::colors::red()}});
    other->attachWithCalendar(calendar.get(), day(2026, 12, 3));
    EXPECT_EQ(other->label()->textColor(), gfx::colors::red());
}

TEST_F(DayCellTest, TextModeKeepsAllDayEventsFirstAndCutsThem) {
    const fnd::Date d = day(2026, 12, 3);
    auto timed1 = event("one", day(2026, 12, 3, 9), day(2026, 12, 3, 10));
    auto allDay = event("all", d, d, gfx::colors::blue(), true);
    auto timed2 = event("two", day(2026, 12, 3, 11), day(2026, 12, 3, 12));
    source->days["2026-12-03"] = {timed1, allDay, timed2};

    auto cell = dayCell(d);
    EXPECT_EQ(cell->events(), (XQCalendarEvents{timed1, allDay, timed2}));
    cell->style().setMaxEventsCount(2);
    cell->attachWithCalendar(calendar.get(), d);
    EXPECT_EQ(cell->events().size(), 3u); // shapes keep them all

    cell->style().setDisplayEventsAsText(true);
    cell->attachWithCalendar(calendar.get(), d);
    EXPECT_EQ(cell->events(), (XQCalendarEvents{allDay, timed1}));
    EXPECT_EQ(cell->originalEventsCount(), 3);
    EXPECT_EQ(cell->getEventPosition(timed1), 1);
    EXPECT_EQ(cell->getEventPosition(timed2), fnd::NotFound);

    cell->style().setMaxEventsCount(-1);
    EXPECT_EQ(cell->sortEvents({timed1, allDay}, d), (XQCalendarEvents{allDay, timed1}));

    cellDelegate->textFor = [](const XQCalendarEventRef& e) { return "<" + e->title() + ">"; };
    EXPECT_EQ(cell->textForEvent(timed1), "<one>");
    const auto attributes = cell->textAttributesForEvent(allDay);
    EXPECT_EQ(attributes.foregroundColor, cell->style().allDayEventTextColor());
    EXPECT_EQ(attributes.paragraphStyle->lineBreakMode, gfx::LineBreakMode::truncatingTail);
}

TEST_F(DayCellTest, CallbackFormIsAskedForTheWholeDay) {
    useSource(EventSource::Form::callbackNow);
    dayCell(day(2026, 12, 3, 14));
    ASSERT_EQ(source->asked.size(), 1u);
    EXPECT_EQ(source->asked[0].first, day(2026, 12, 3));
    EXPECT_EQ(source->asked[0].second, day(2026, 12, 3, 23, 59).dateByAddingTimeInterval(59));
}

TEST_F(DayCellTest, AnswersAreTakenOnTheMainQueueForTheCurrentAttachOnly) {
    auto a = event("a", day(2026, 12, 3, 9), day(2026, 12, 3, 10));
    auto b = event("b", day(2026, 12, 4, 9), day(2026, 12, 4, 10));
    source->days["2026-12-03"] = {a};
    source->days["2026-12-04"] = {b};

    // From another thread: nothing changes until the main queue runs.
    useSource(EventSource::Form::callbackThread);
    source->days = {{"2026-12-03", {a}}};
    auto cell = dayCell(day(2026, 12, 3));
    EXPECT_TRUE(cell->events().empty());
    drain();
    EXPECT_EQ(cell->events(), XQCalendarEvents{a});

    // Late: the 3rd's answer comes after the cell moved to the 4th, whose events it keeps.
    useSource(EventSource::Form::callbackLater);
    source->days = {{"2026-12-03", {a}}, {"2026-12-04", {b}}};
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 3));
    EXPECT_EQ(cell->events(), XQCalendarEvents{a}); // the same day keeps its events meanwhile
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 4));
    EXPECT_TRUE(cell->events().empty()); // another day's are dropped at once
    EXPECT_EQ(cell->originalEventsCount(), 0);
    source->answerHeld();
    drain();
    EXPECT_EQ(cell->events(), XQCalendarEvents{b});

    // Twice: the later answer replaces the first.
    useSource(EventSource::Form::callbackTwice);
    source->days = {{"2026-12-03", {a}}};
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 3));
    drain();
    EXPECT_EQ(cell->events(), XQCalendarEvents{a});

    // Never: the cell shows no events and does not wait.
    useSource(EventSource::Form::never);
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 4));
    drain();
    EXPECT_TRUE(cell->events().empty());

    // The cell goes away before its answer.
    useSource(EventSource::Form::callbackLater);
    dayCell(day(2026, 12, 3));
    source->answerHeld();
    drain();
}

TEST_F(DayCellTest, NoDataSourceOrCalendarClearsTheEvents) {
    auto a = event("a", day(2026, 12, 3, 9), day(2026, 12, 3, 10));
    source->days["2026-12-03"] = {a};
    auto cell = dayCell(day(2026, 12, 3));
    calendar->setDataSource(nullptr);
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 3));
    EXPECT_TRUE(cell->events().empty());

    calendar->setDataSource(source);
    cell->attachWithCalendar(calendar.get(), day(2026, 12, 3));
    cell->attachWithCalendar(nullptr, day(2026, 12, 3));
    EXPECT_TRUE(cell->events().empty());
    EXPECT_EQ(cell->state(), 0);
    EXPECT_EQ(cell->label()->text(), "");
}

TEST_F(DayCellTest, TouchGoesToTheCalendarsPresenter) {
    auto cell = dayCell(day(2026, 12, 3));
    cell->touchesEnded({}, nullptr);
    EXPECT_EQ(grid().touchedCells, std::vector<XQCalendarDayCell*>{cell.get()});
}

} // namespace
} // namespace cal::test
