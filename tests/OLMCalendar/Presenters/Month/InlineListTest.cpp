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
