#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"
#include "tests/OLMCalendar/Presenters/Month/MonthPresenterTestSupport.h"

namespace cal::test {
namespace {

class InlineListTest : public MonthPresenterTest {
protected:
    void SetUp() override {
        MonthPresenterTest::SetUp();
        // December 2026: row 2 holds 13 ... 19, row 4 holds 27 ... 31, row 5 only January.
        events->add(day(2026, 12, 15), 1);
        events->add(day(2026, 12, 16), 2);
        events->add(day(2026, 12, 24), 3);
        events->add(day(2027, 1, 5), 3);
        calendar->reloadData();
        month().setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
        drain();
        takeLog();
    }
    XQCalendarDayCell& cell(long d, long m = 12, long y = 2026) { return *month().cellForDate(day(y, m, d)); }
    void tapDay(long d, long m = 12, long y = 2026) {
        driver->tap(centre(cell(d, m, y)));
        drain();
    }
};

TEST_F(InlineListTest, opensUnderTheRowWithTheHeightOfItsEvents) {
    auto& m = month();
    tapDay(15);
    EXPECT_EQ(takeLog(), (Log{"didTapCell 0", "shouldSelect 2026-12-15", "didSelect 2026-12-15", "listShown 2026-12-15"}));
    EXPECT_FALSE(m.inlineHidden());
    EXPECT_EQ(m.presenterRow(), 2);
    EXPECT_EQ(m.inlinePreviewHeight(), 44);
    const double rowBottom = 50 + 2 * (132.75 - 0.5) + 132.75;
    EXPECT_EQ(m.inlineEventsView()->frame(), (gfx::Rect{0, rowBottom, 390, 44}));
    EXPECT_DOUBLE_EQ(cell(20).frame().origin.y, 3 * 132.25 + 44); // the rows below move down
    EXPECT_DOUBLE_EQ(cell(13).frame().origin.y, 2 * 132.25);

    tapDay(16); // same row: re-targeted in place
    EXPECT_EQ(m.inlinePreviewHeight(), 88);
    tapDay(24); // another row: closes and reopens there
    EXPECT_EQ(m.presenterRow(), 3);
    EXPECT_EQ(m.inlinePreviewHeight(), 130);
    tapDay(24); // the listed day closes it
    EXPECT_TRUE(m.inlineHidden());
    EXPECT_TRUE(m.inlineEventsView()->isHidden());
    EXPECT_EQ(m.presenterRow(), 10000);
    Log reports;
    for (const auto& line : takeLog())
        if (line.rfind("list", 0) == 0) reports.push_back(line);
    EXPECT_EQ(reports, (Log{"listHidden 2026-12-15", "listShown 2026-12-16", "listHidden 2026-12-16",
                            "listShown 2026-12-24", "listHidden 2026-12-24"}));
}

TEST_F(InlineListTest, aListUnderTheLastRowShiftsHeaderAndGridUp) {
    auto& m = month();
    tapDay(5, 1, 2027);
    const double overflow = 5 * 132.25 + 132.75 + 130 - 794;
    EXPECT_DOUBLE_EQ(m.inlinePreviewDelta(), -overflow);
    EXPECT_DOUBLE_EQ(m.headerView()->frame().origin.y, -overflow);
    EXPECT_DOUBLE_EQ(m.inlineEventsView()->frame().origin.y, 844 - 130);
    EXPECT_EQ(text(m.dateFromPoint(centre(cell(5, 1, 2027)))), "2027-01-05");
    EXPECT_FALSE(m.dateFromPoint({100, 844 - 60})); // inside the list
    m.hideInlineEvents(true);
    drain();
    EXPECT_EQ(m.headerView()->frame().origin.y, 0);
    EXPECT_EQ(m.inlinePreviewDelta(), 0);
}

TEST_F(InlineListTest, aDayWithoutEventsOpensNothingAndClosesAnOpenList) {
    tapDay(14);
    EXPECT_TRUE(month().inlineHidden());
    tapDay(15);
    tapDay(14);
    EXPECT_TRUE(month().inlineHidden());
    bool ran = false;
    month().hideInlineEvents(true, 0.3, [&] { ran = true; });
    drain();
    EXPECT_FALSE(ran); // nothing open: no completion
}

// Every close of the grid's world closes the list, with exactly one report per opening.
TEST_F(InlineListTest, navigationRebuildsModeChangesAndRemovalCloseTheList) {
    auto& m = month();
    const std::function<void()> closes[] = {
        [&] { calendar->navigateForward(false); },
        [&] { calendar->update(true); },
        [&] { m.setInlineEventsViewMode(XQCalendarInlineEventsViewModePopover); },
        [&] { calendar->setViewMode(XQCalendarViewModeWeek); },
    };
    for (const auto& close : closes) {
        calendar->setViewMode(XQCalendarViewModeMonth);
        m.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
        show(day(2026, 12, 15));
        tapDay(16);
        takeLog();
        close();
        drain();
        EXPECT_TRUE(m.inlineHidden());
        Log reports;
        for (const auto& line : takeLog())
            if (line.rfind("list", 0) == 0) reports.push_back(line);
        EXPECT_EQ(reports, (Log{"listHidden 2026-12-16"}));
    }
}

TEST_F(InlineListTest, aCloseAskedForDuringTheOpeningIsDoneWhenItEnds) {
    auto& m = month();
    driver->tap(centre(cell(16)));
    driver->step(0.1); // opening
    ASSERT_TRUE(m.isInlineAnimating());
    bool closed = false;
    m.hideInlineEvents(false, 0.3, [&] { closed = true; });
    EXPECT_FALSE(m.inlineHidden());
    drain();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(m.inlineHidden());
    Log reports;
    for (const auto& line : takeLog())
        if (line.rfind("list", 0) == 0) reports.push_back(line);
    EXPECT_EQ(reports, (Log{"listShown 2026-12-16", "listHidden 2026-12-16"}));
}

TEST_F(InlineListTest, theListHeights) {
    auto view = month().inlineEventsView();
    EXPECT_EQ(view->heightForEventCount(1), 44);
    EXPECT_EQ(view->heightForEventCount(2), 88);
    EXPECT_EQ(view->heightForEventCount(5), 130);
    view->setFixedHeight(true);
    EXPECT_EQ(view->heightForEventCount(1), 130);
}

} // namespace
} // namespace cal::test

namespace cal::test {
namespace {

TEST(InlineEventTimeText, allDayAndClampedTimes) {
    auto cal = fnd::Calendar::make();
    auto event = XQCalendarEvent::make();
    event->setStartDate(day(2026, 12, 14, 20));
    event->setEndDate(day(2026, 12, 16, 8));
    EXPECT_EQ(inlineEventTimeText(*event, day(2026, 12, 15), cal), "all day");
    event->setStartDate(day(2026, 12, 15, 9));
    EXPECT_EQ(inlineEventTimeText(*event, day(2026, 12, 15), cal), "09:00 AM - 11:59 PM");
    event->setEndDate(day(2026, 12, 15, 13, 30));
    EXPECT_EQ(inlineEventTimeText(*event, day(2026, 12, 15), cal), "09:00 AM - 01:30 PM");
    event->setAllDay(true);
    EXPECT_EQ(inlineEventTimeText(*event, day(2026, 12, 15), cal), "all day");
}

} // namespace
} // namespace cal::test

#include "OLMCalendar/Presenters/Month/XQCalendarInlineViewTableViewCell.h"

namespace cal::test {
namespace {

TEST_F(InlineListTest, rowsShowTheDaysEventsAndFollowTheirChanges) {
    struct Selecting : ListDelegate {
        using ListDelegate::ListDelegate;
        void monthPresenterInlineEventSelected(XQCalendarMonthPresenter&, const XQCalendarEventRef& event) override {
            log->push_back("selected " + event->title());
        }
    };
    auto selecting = std::make_shared<Selecting>(&log);
    month().setDelegate(selecting);
    tapDay(16);
    const auto table = month().inlineEventsView()->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 2);
    auto row = std::dynamic_pointer_cast<XQCalendarInlineViewTableViewCell>(
        table->cellForRowAtIndexPath(fnd::IndexPath::forRow(1, 0)));
    ASSERT_TRUE(row);
    EXPECT_EQ(row->textLabel()->text(), "Event 2");
    EXPECT_EQ(row->detailTextLabel()->text(), "10:00 AM - 11:00 AM");
    EXPECT_TRUE(row->imageView()->image());
    // A re-bind with more events reloads the rows.
    events->add(day(2026, 12, 16), 1);
    calendar->update(false);
    drain();
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    takeLog();
    row = std::dynamic_pointer_cast<XQCalendarInlineViewTableViewCell>(
        table->cellForRowAtIndexPath(fnd::IndexPath::forRow(1, 0)));
    ASSERT_TRUE(row);
    const gfx::Rect frame = row->convertRectToView(row->bounds(), nullptr);
    driver->tap({frame.midX(), frame.midY()});
    drain();
    EXPECT_EQ(takeLog(), (Log{"selected Event 2"}));
}

} // namespace
} // namespace cal::test

namespace cal::test {
namespace {

class InlinePopoverTest : public InlineListTest {
protected:
    void SetUp() override {
        InlineListTest::SetUp();
        month().setInlineEventsViewMode(XQCalendarInlineEventsViewModePopover);
    }
    // Whether the list is back in the presenter, hidden and closed.
    static void expectListReturned(XQCalendarMonthPresenter& m) {
        EXPECT_EQ(m.inlineEventsView()->superview(), &m);
        EXPECT_TRUE(m.inlineEventsView()->isHidden());
        EXPECT_TRUE(m.inlineHidden());
        EXPECT_EQ(m.presenterRow(), 10000);
        EXPECT_EQ(m.inlinePreviewDelta(), 0);
    }
};

TEST_F(InlinePopoverTest, listsTheDayInAPopoverPointingUpAtTheCell) {
    auto& m = month();
    tapDay(16);
    auto popover = m.popover();
    ASSERT_TRUE(popover);
    EXPECT_TRUE(popover->isPopoverVisible());
    EXPECT_EQ(popover->popoverContentSize(), (gfx::Size{300, 88}));
    EXPECT_EQ(popover->popoverArrowDirection(), ui::PopoverArrowDirectionUp);
    const gfx::Rect c = cell(16).convertRectToView(cell(16).bounds(), nullptr);
    EXPECT_EQ(popover->arrowTip(), (gfx::Point{c.midX(), c.maxY()}));
    EXPECT_EQ(popover->backgroundColor(), gfx::Color::rgba(0.212, 0.212, 0.212, 1));
    EXPECT_EQ(m.inlineEventsView()->superview(), popover->contentViewController()->view().get());
    EXPECT_EQ(m.inlineEventsView()->tableView()->numberOfRowsInSection(0), 2);
    EXPECT_FALSE(m.inlineHidden());
    // Every cell shown builds a new popover; the old one goes at once. (A tap on the grid
    // while one is shown only dismisses it.)
    m.showInlineEventsForCell(cell(15), true);
    ASSERT_TRUE(m.popover());
    ASSERT_NE(m.popover(), popover);
    EXPECT_FALSE(popover->isPopoverVisible());
    EXPECT_EQ(m.popover()->popoverContentSize(), (gfx::Size{300, 44}));
    EXPECT_EQ(m.inlineEventsView()->superview(), m.popover()->contentViewController()->view().get());
}

TEST_F(InlinePopoverTest, aDismissalByTheUserReturnsTheListSoTheInlineModeStartsClosed) {
    auto& m = month();
    tapDay(16);
    driver->tap({20, 820}); // outside the popover
    drain();
    EXPECT_FALSE(m.popover());
    expectListReturned(m);
    m.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline);
    m.setNeedsLayout();
    m.layoutIfNeeded();
    EXPECT_DOUBLE_EQ(cell(20).frame().origin.y, 3 * 132.25); // no rows pushed under a missing list
    tapDay(15);
    EXPECT_EQ(m.inlineEventsView()->frame().size.height, 44);
}

TEST_F(InlinePopoverTest, closesInCodeReturnTheList) {
    auto& m = month();
    const std::function<void()> closes[] = {
        [&] { calendar->navigateForward(true); },
        [&] { m.setInlineEventsViewMode(XQCalendarInlineEventsViewModeInline); },
        [&] { calendar->setViewMode(XQCalendarViewModeWeek); },
    };
    for (const auto& close : closes) {
        calendar->setViewMode(XQCalendarViewModeMonth);
        m.setInlineEventsViewMode(XQCalendarInlineEventsViewModePopover);
        show(day(2026, 12, 15));
        tapDay(16);
        SCOPED_TRACE(&close - closes);
        auto popover = m.popover();
        ASSERT_TRUE(popover && popover->isPopoverVisible());
        close();
        EXPECT_FALSE(popover->isPopoverVisible());
        drain();
        expectListReturned(m);
        EXPECT_EQ(m.popover(), popover); // only the user's dismissal clears it
    }
}

// A data source of the callback form whose answers wait until the test sends them.
class LateEvents : public XQCalendarDataSource {
public:
    std::map<std::string, XQCalendarEvents> days;
    std::vector<std::pair<std::string, EventsCallback>> waiting;
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date&,
                                EventsCallback callback) override {
        waiting.emplace_back(text(from), std::move(callback));
        return true;
    }
    void answer() {
        auto answers = std::move(waiting);
        waiting.clear();
        for (auto& [key, callback] : answers) callback(days[key]);
    }
};

TEST_F(InlineListTest, aLateAnswerReloadsTheOpenListAndPopover) {
    auto late = std::make_shared<LateEvents>();
    late->days = events->days;
    calendar->setDataSource(late);
    for (auto mode : {XQCalendarInlineEventsViewModeInline, XQCalendarInlineEventsViewModePopover}) {
        month().setInlineEventsViewMode(mode);
        late->days = events->days;
        calendar->reloadData();
        late->answer();
        drain();
        tapDay(15);
        ASSERT_FALSE(month().inlineHidden());
        const auto table = month().inlineEventsView()->tableView();
        EXPECT_EQ(table->numberOfRowsInSection(0), 1);
        // The day gains two events; the calendar asks again and the answer comes late.
        late->days[text(day(2026, 12, 15))] = events->days[text(day(2026, 12, 24))];
        calendar->update(false);
        EXPECT_EQ(table->numberOfRowsInSection(0), 1);
        late->answer();
        drain();
        EXPECT_EQ(table->numberOfRowsInSection(0), 3);
        if (mode == XQCalendarInlineEventsViewModeInline)
            EXPECT_EQ(month().inlineEventsView()->frame().size.height, 130);
        else
            EXPECT_EQ(month().popover()->popoverContentSize(), (gfx::Size{300, 130}));
        // An answer without events closes the list.
        late->days.clear();
        calendar->update(false);
        late->answer();
        drain();
        EXPECT_TRUE(month().inlineHidden());
    }
}

} // namespace
} // namespace cal::test
