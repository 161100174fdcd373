#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsViewLayout.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsLayout.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/TestDriver.h"
#include "tests/OLMCalendar/CalendarTestSupport.h"

#include <algorithm>

namespace cal::test {
namespace {

XQCalendarEventRef event(const std::string& title, const fnd::Date& start, double hours, bool allDay = false) {
    auto e = XQCalendarEvent::make();
    e->setTitle(title);
    e->setStartDate(start);
    e->setEndDate(start.dateByAddingTimeInterval(hours * 3600));
    e->setAllDay(allDay);
    e->setEventColor(gfx::colors::blue());
    return e;
}

XQCalendarEvents allDayEvents(int count) {
    XQCalendarEvents list;
    for (int i = 0; i < count; ++i) list.push_back(event("All day " + std::to_string(i + 1), day(2026, 12, 15), 24, true));
    return list;
}

// --- The all-day strip's height.

TEST(AllDayEventsView, heightFollowsTheLinesUpToTheCapAndTheOfferedHeight) {
    auto strip = XQCalendarDayViewAllDayEventsView::make();
    const auto height = [&](int count, double offered = 1000) {
        strip->attachWithEvents(allDayEvents(count), day(2026, 12, 15));
        return strip->sizeThatFits({300, offered});
    };
    EXPECT_EQ(height(0), (gfx::Size{0, 0}));
    EXPECT_EQ(height(1), (gfx::Size{300, 23}));
    EXPECT_DOUBLE_EQ(height(5).height, 43); // two lines shown, the third scrolls
    EXPECT_DOUBLE_EQ(height(5, 30).height, 30);
    EXPECT_DOUBLE_EQ(strip->lastHeight(), 30);
    strip->style()->setMaxVisibleLines(-1);
    EXPECT_DOUBLE_EQ(height(5).height, 63);
    strip->style()->setMaxVisibleLines(2.5);
    EXPECT_DOUBLE_EQ(height(5).height, 53);
}

TEST(AllDayEventsView, heightCountsTheLinesOfTheEventsPerRow) {
    auto strip = XQCalendarDayViewAllDayEventsView::make();
    strip->style()->setMaxVisibleLines(-1);
    strip->style()->setEventsPerRow(1);
    strip->attachWithEvents(allDayEvents(3), day(2026, 12, 15));
    EXPECT_DOUBLE_EQ(strip->sizeThatFits({300, 1000}).height, 63); // three lines, not two
    strip->style()->setEventsPerRow(3);
    strip->attachWithEvents(allDayEvents(6), day(2026, 12, 15));
    EXPECT_DOUBLE_EQ(strip->sizeThatFits({300, 1000}).height, 43); // two lines, not three
    strip->attachWithEvents(allDayEvents(5), day(2026, 12, 15));
    EXPECT_DOUBLE_EQ(strip->sizeThatFits({300, 1000}).height, 63); // 3, 1, and the odd one across
    strip->style()->setEventsPerRow(0);
    EXPECT_EQ(XQCalendarDayViewAllDayEventsView::lineCount(5, 0), 5);
}

TEST(AllDayEventsView, laysOutTheCaptionColumnAndTheItemsBesideIt) {
    auto strip = XQCalendarDayViewAllDayEventsView::make();
    strip->setFrame({0, 0, 390, 43});
    strip->layoutIfNeeded();
    EXPECT_EQ(strip->labelView()->frame(), (gfx::Rect{2, 0, 53, 43}));
    EXPECT_EQ(strip->eventsView()->frame(), (gfx::Rect{60, 0, 330, 43}));
    strip->setFrame({0, 0, 390, 0});
    strip->layoutIfNeeded();
    EXPECT_EQ(strip->labelView()->frame(), gfx::Rect::zero());
    EXPECT_EQ(strip->eventsView()->frame(), gfx::Rect::zero());
}

TEST(AllDayEventsView, layoutInvalidatesForANewSizeNotForScrolling) {
    auto strip = XQCalendarDayViewAllDayEventsView::make();
    strip->setFrame({0, 0, 390, 43});
    strip->layoutIfNeeded();
    const auto& layout = *strip->eventsView()->collectionViewLayout();
    EXPECT_FALSE(layout.shouldInvalidateLayoutForBoundsChange({0, 20, 330, 43}));
    EXPECT_TRUE(layout.shouldInvalidateLayoutForBoundsChange({0, 0, 300, 43}));
    EXPECT_TRUE(layout.invalidationContextForBoundsChange({0, 0, 330, 60})->invalidateFlowLayoutDelegateMetrics());
    EXPECT_FALSE(layout.invalidationContextForBoundsChange({0, 9, 330, 43})->invalidateFlowLayoutDelegateMetrics());
}

// --- The day view.

class RecordingDayViewSource : public XQCalendarDayViewDataSource, public XQCalendarDayViewDelegate {
public:
    Log log;
    std::optional<long> allDayCount;
    std::shared_ptr<ui::CollectionViewCell> ownCell;
    std::optional<gfx::Size> stripSize;
    std::optional<gfx::EdgeInsets> insets;
    std::shared_ptr<XQCalendarDayViewAllDayEventsView> ownStrip;
    std::shared_ptr<XQCalendarDayViewEventsView> ownEventsView;

    std::shared_ptr<XQCalendarDayViewEventsView> createEventsViewInDayView(XQCalendarDayView&) override {
        return ownEventsView;
    }

    std::shared_ptr<XQCalendarDayViewAllDayEventsView> createAllDayEventsViewInDayView(XQCalendarDayView&) override {
        return ownStrip;
    }
    std::optional<long> timedCount;
    std::optional<long> dayViewNumberOfAllDayEventsInSection(XQCalendarDayView&, long) override { return allDayCount; }
    std::optional<long> dayViewNumberOfEventsInSection(XQCalendarDayView&, long) override { return timedCount; }
    std::shared_ptr<ui::CollectionViewCell> dayViewAllDayEventCellForItemAtIndexPath(XQCalendarDayView&,
                                                                                     const fnd::IndexPath&) override {
        return ownCell;
    }
    void dayViewUpdateCell(XQCalendarDayView&, ui::CollectionViewCell& cell) override {
        auto* bound = dynamic_cast<XQCalendarDayViewEventCellProtocol*>(&cell);
        log.push_back("updateCell " + (bound && bound->event() ? bound->event()->title() : std::string("-")));
    }
    std::optional<gfx::Size> allDayViewSizeInDayView(XQCalendarDayView&) override { return stripSize; }
    void dayViewDidSelectEvent(XQCalendarDayView&, const XQCalendarEventRef& event) override {
        log.push_back("didSelect " + event->title());
    }
    std::optional<gfx::EdgeInsets> dayViewAllDaylayoutInsetForSectionAtIndex(XQCalendarDayView&, ui::CollectionViewLayout&,
                                                                            long) override {
        return insets;
    }
};

class DayViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<ui::TestDriver>(gfx::Size{390, 600});
        dayView = XQCalendarDayView::make();
        dayView->setFrame({0, 0, 390, 600});
        driver->window()->addSubview(dayView);
        source = std::make_shared<RecordingDayViewSource>();
    }
    void show(const XQCalendarEvents& events) {
        dayView->attachWithEvents(events, day(2026, 12, 15), fnd::Calendar::current());
        driver->runUntilIdle();
    }
    ui::CollectionView& strip() const { return *dayView->allDayEventsView()->eventsView(); }
    gfx::Rect itemFrame(long item) const {
        return strip().layoutAttributesForItemAtIndexPath(fnd::IndexPath::forItem(item, 0))->frame();
    }

    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendarDayView> dayView;
    std::shared_ptr<RecordingDayViewSource> source;
};

TEST_F(DayViewTest, withoutADateOnlyTheLabelShowsOverTheWholeView) {
    driver->runUntilIdle();
    EXPECT_EQ(dynamic_cast<ui::Label&>(*dayView->emptyView()).text(), "Select a date to display events");
    EXPECT_EQ(dayView->emptyView()->frame(), (gfx::Rect{0, 0, 390, 600}));
    EXPECT_EQ(dayView->allDayEventsView()->frame(), gfx::Rect::zero());
    show({});
    EXPECT_EQ(dayView->emptyView()->frame(), gfx::Rect::zero());
    EXPECT_EQ(dayView->allDayEventsView()->frame(), gfx::Rect::zero()); // no all-day events: no strip
    EXPECT_EQ(dayView->eventsView()->frame(), (gfx::Rect{0, 0, 390, 600}));
}

TEST_F(DayViewTest, splitsTheEventsAndSortsEachListByStartKeepingEqualStartsInOrder) {
    const auto a = event("A", day(2026, 12, 15, 11), 1);
    const auto b = event("B", day(2026, 12, 15, 9), 1);
    const auto c = event("C", day(2026, 12, 15, 9), 2);
    const auto d = event("D", day(2026, 12, 15), 24, true);
    const auto e = event("E", day(2026, 12, 14), 48, true);
    show({a, d, b, e, c});
    EXPECT_EQ(dayView->events(), (XQCalendarEvents{b, c, a}));
    EXPECT_EQ(dayView->allDayEvents(), (XQCalendarEvents{e, d}));
    EXPECT_EQ(dayView->allDayEventsView()->events(), (XQCalendarEvents{e, d}));
    EXPECT_EQ(dayView->allDayEventsView()->frame(), (gfx::Rect{0, 0, 390, 23}));
    EXPECT_EQ(dayView->eventsView()->frame(), (gfx::Rect{0, 23, 390, 577}));
    EXPECT_EQ(dayView->eventsView()->events(), (XQCalendarEvents{b, c, a}));
    EXPECT_EQ(dayView->subviews()[1], dayView->eventsView());
}

TEST_F(DayViewTest, allDayItemsShareTheLineAndAnOddLastOneSpansIt) {
    show(allDayEvents(3));
    // 330 wide beside the caption, 324 inside the insets.
    EXPECT_EQ(itemFrame(0), (gfx::Rect{3, 3, 160.5, 17}));
    EXPECT_EQ(itemFrame(1), (gfx::Rect{166.5, 3, 160.5, 17}));
    EXPECT_EQ(itemFrame(2), (gfx::Rect{3, 23, 324, 17}));
    dayView->allDayEventsView()->style()->setEventsPerRow(3);
    show(allDayEvents(4));
    for (long i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(itemFrame(i).size.width, 106) << i;
    EXPECT_DOUBLE_EQ(itemFrame(2).origin.y, 3); // three fill the first line exactly
    EXPECT_DOUBLE_EQ(itemFrame(3).origin.y, 23);
}

TEST_F(DayViewTest, delegateSizesTheStripAndItsInsetsNarrowTheItems) {
    source->stripSize = gfx::Size{390, 100};
    source->insets = gfx::EdgeInsets{0, 10, 0, 10};
    dayView->setDelegate(source);
    show(allDayEvents(2));
    EXPECT_EQ(dayView->allDayEventsView()->frame(), (gfx::Rect{0, 0, 390, 100}));
    EXPECT_DOUBLE_EQ(itemFrame(0).size.width, (310 - 3) / 2.0);
}

TEST_F(DayViewTest, dataSourceCountsPastTheListShowNoEventAndCellsAreUpdatedAfterBinding) {
    source->allDayCount = 4;
    dayView->setDataSource(source);
    show(allDayEvents(2));
    EXPECT_EQ(strip().numberOfItemsInSection(0), 4);
    std::sort(source->log.begin(), source->log.end());
    EXPECT_EQ(source->log, (Log{"updateCell -", "updateCell -", "updateCell All day 1", "updateCell All day 2"}));
    // A cell of the data source's own is shown as it is.
    source->log.clear();
    source->allDayCount.reset();
    source->ownCell = ui::CollectionViewCell::make();
    show(allDayEvents(1));
    EXPECT_TRUE(source->log.empty());
    EXPECT_EQ(strip().cellForItemAtIndexPath(fnd::IndexPath::forItem(0, 0)), source->ownCell);
}

TEST_F(DayViewTest, tappedEventsOfBothAreasAreReported) {
    dayView->setDelegate(source);
    auto list = allDayEvents(3);
    list.push_back(event("Timed", day(2026, 12, 15, 2), 1));
    show(list);
    const gfx::Rect frame = itemFrame(2);
    driver->tap({60 + frame.midX(), frame.midY()});
    driver->runUntilIdle();
    // 02:00 stands 10 + 2 × 80 into the events view, which starts below the 43-high strip.
    driver->tap({200, 43 + 10 + 160 + 20});
    driver->runUntilIdle();
    EXPECT_EQ(source->log, (Log{"didSelect All day 3", "didSelect Timed"}));
}

TEST_F(DayViewTest, timedCellsAreBoundAndCountsPastTheListBindNothing) {
    source->timedCount = 3;
    dayView->setDataSource(source);
    show({event("Early", day(2026, 12, 15, 1), 1)});
    auto& view = *dayView->eventsView();
    EXPECT_EQ(view.numberOfItemsInSection(0), 3);
    auto cell = std::dynamic_pointer_cast<XQCalendarDayViewEventCell>(view.cellForItemAtIndexPath(fnd::IndexPath::forItem(0, 0)));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->event()->title(), "Early");
    std::sort(source->log.begin(), source->log.end());
    EXPECT_EQ(source->log.front(), "updateCell Early");
}

TEST_F(DayViewTest, aDataSourcesOwnStripReplacesTheStockOneAndIsFed) {
    source->ownStrip = XQCalendarDayViewAllDayEventsView::make();
    show(allDayEvents(1));
    dayView->setDataSource(source);
    EXPECT_EQ(dayView->allDayEventsView(), source->ownStrip);
    EXPECT_EQ(dayView->subviews().front(), source->ownStrip);
    EXPECT_EQ(source->ownStrip->events().size(), 1u);
    driver->runUntilIdle();
    EXPECT_EQ(source->ownStrip->frame(), (gfx::Rect{0, 0, 390, 23}));
}

TEST_F(DayViewTest, aDataSourcesOwnEventsViewReplacesTheStockOneAndShowsTheTimedEvents) {
    source->ownEventsView = XQCalendarDayViewEventsView::make({}, XQCalendarDayViewEventsLayout::make());
    const auto& own = source->ownEventsView;
    const auto timed = event("Timed", day(2026, 12, 15, 2), 1);
    show({timed, event("All day", day(2026, 12, 15), 24, true)});
    dayView->setDataSource(source);
    EXPECT_EQ(dayView->eventsView(), own);
    EXPECT_EQ(dayView->subviews()[1], own);
    driver->runUntilIdle();
    EXPECT_EQ(own->frame(), (gfx::Rect{0, 23, 390, 577}));
    auto cell = std::dynamic_pointer_cast<XQCalendarDayViewEventCell>(
        own->cellForItemAtIndexPath(fnd::IndexPath::forItem(0, 0)));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->event(), timed);
    EXPECT_EQ(cell->frame().origin.y, 10 + 2 * 80);
    // The next day goes to it too.
    show({});
    EXPECT_TRUE(own->events().empty());
    EXPECT_EQ(own->numberOfItemsInSection(0), 0);
}

} // namespace
} // namespace cal::test
