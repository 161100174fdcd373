#include "tests/OLMCalendar/Presenters/Day/DayView/DayArea/DayAreaTestSupport.h"

namespace cal::test {
namespace {

using EventsLayoutTest = EventsViewTest;

TEST_F(EventsLayoutTest, overlappingEventsShareTheWidthInColumns) {
    const auto d = [&](long h, long m = 0) { return at(2026, 12, 15, h, m); };
    show({event(d(9), d(10)), event(d(9, 30), d(11)), event(d(10), d(10, 30)), event(d(12), d(12))}, d(0));
    fixLabelColumn();
    EXPECT_EQ(layout->collectionViewContentSize(), (gfx::Size{320, 1940}));
    EXPECT_EQ(frameOf(0), (gfx::Rect{63, 730, 125.5, 80}));
    EXPECT_EQ(frameOf(2), (gfx::Rect{63, 810, 125.5, 40}));
    EXPECT_EQ(frameOf(1), (gfx::Rect{191.5, 770, 125.5, 120}));
    EXPECT_EQ(frameOf(3), (gfx::Rect{63, 970, 254, 22}));
    // Cells in cluster, column and row order, the time line last and under them.
    const auto& cache = layout->cachedAttributes();
    ASSERT_EQ(cache.size(), 5u);
    EXPECT_EQ(cache[1]->indexPath().item(), 2);
    EXPECT_EQ(cache[0]->zIndex(), 1);
    EXPECT_EQ(cache[4]->representedElementKind(), "timeline");
    EXPECT_EQ(cache[4]->frame(), (gfx::Rect{0, 0, 320, 1940}));
    EXPECT_EQ(cache[4]->zIndex(), 0);
    EXPECT_EQ(layout->layoutAttributesForItemAtIndexPath(fnd::IndexPath::forItem(0, 0)), nullptr);
}

TEST_F(EventsLayoutTest, touchingAndZeroLengthEventsDoNotOverlap) {
    const auto d = [&](long h, long m = 0) { return at(2026, 12, 15, h, m); };
    show({event(d(9), d(10)), event(d(10), d(11)), event(d(13), d(14)), event(d(13), d(13)),
          event(d(15), d(15, 5))},
         d(0));
    fixLabelColumn();
    for (long i : {0, 1, 2, 3, 4}) EXPECT_EQ(frameOf(i).size.width, 254) << i;
    EXPECT_EQ(frameOf(3), (gfx::Rect{63, 1050, 254, 22}));
    EXPECT_EQ(frameOf(4).size.height, 22); // five minutes
    // Equal starts keep the list's order: A 9-11 and B 9-10 then C 10-11 give {A}, {B, C}.
    show({event(d(9), d(11)), event(d(9), d(10)), event(d(10), d(11))}, d(0));
    EXPECT_EQ(frameOf(0).origin.x, 63);
    EXPECT_EQ(frameOf(1).origin.x, 191.5);
    EXPECT_EQ(frameOf(2).origin.x, 191.5);
    const auto clusters = layout->buildEventClusters();
    ASSERT_EQ(clusters.size(), 1u);
    const auto columns = layout->buildColumnsForCluster(*clusters[0]);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[1], (XQCalendarEvents{shown[1], shown[2]}));
}

TEST_F(EventsLayoutTest, eventsOfOtherDaysRunFromTheTopOrToTheBottom) {
    const auto d = [&](long day, long h, long m = 0) { return at(2026, 12, day, h, m); };
    auto noEnd = event(d(15, 8), d(15, 9));
    noEnd->setEndDate(std::nullopt);
    show({event(d(14, 23), d(15, 1, 30)), event(d(15, 23), d(16, 1)), event(d(14, 12), d(16, 12)),
          event(d(14, 8), d(14, 9)), event(d(16, 8), d(16, 9)), noEnd, event(d(15, 20), d(15, 19))},
         d(15, 12));
    fixLabelColumn();
    EXPECT_EQ(frameOf(0).origin.y, 0);
    EXPECT_EQ(frameOf(0).maxY(), 130);
    EXPECT_EQ(frameOf(1).origin.y, 1850);
    EXPECT_EQ(frameOf(1).maxY(), 1940);
    EXPECT_EQ(frameOf(2).origin.y, 0); // the whole day, beside the others
    EXPECT_EQ(frameOf(2).maxY(), 1940);
    EXPECT_EQ(frameOf(3), gfx::Rect::zero()); // wholly before
    EXPECT_EQ(frameOf(4), gfx::Rect::zero()); // wholly after
    EXPECT_EQ(frameOf(5), gfx::Rect::zero()); // no end
    EXPECT_EQ(frameOf(6), (gfx::Rect{frameOf(6).origin.x, 1610, frameOf(6).size.width, 22})); // end before start
    const auto clusters = layout->buildEventClusters(); // the whole-day event joins them all
    ASSERT_EQ(clusters.size(), 1u);
    EXPECT_EQ(clusters[0]->events().size(), 4u);
}

TEST_F(EventsLayoutTest, badInputGetsDefinedFrames) {
    const auto d = [&](long h, long m = 0) { return at(2026, 12, 15, h, m); };
    const auto e = event(d(9), d(10));
    // The same event listed twice: each item has its own frame, side by side.
    show({e, e}, d(0));
    fixLabelColumn();
    EXPECT_EQ(frameOf(0).origin.x, 63);
    EXPECT_EQ(frameOf(1).origin.x, 191.5);
    // A count past the list: nothing beyond it.
    source->count = 5;
    view->setContentOffset({0, 600});
    view->reloadData();
    driver->runUntilIdle();
    EXPECT_EQ(layout->cachedAttributes().size(), 3u);
    EXPECT_EQ(view->visibleCells().size(), 2u);
    source->count.reset();
    // Columns that do not fit: zero width, never negative.
    view->style()->setEventsSpacing(400);
    view->updateLayout();
    driver->runUntilIdle();
    EXPECT_EQ(frameOf(0), gfx::Rect::zero());
    // An unusable range: zero frames, the time line has no height.
    view->style()->setEventsSpacing(3);
    for (auto [start, end, interval] : {std::tuple{0.0, 86400.0, 0.0}, {0.0, 86400.0, -60.0}, {3600.0, 3600.0, 60.0},
                                        {7200.0, 3600.0, 60.0}, {0.0, 86400.0, 1e-9}}) {
        view->setStartTime(start);
        view->setEndTime(end);
        view->setInterval(interval);
        view->updateLayout();
        driver->runUntilIdle();
        EXPECT_EQ(view->slotsCount(), 0);
        EXPECT_TRUE(view->labels().empty());
        EXPECT_EQ(frameOf(0), gfx::Rect::zero());
        EXPECT_EQ(layout->collectionViewContentSize(), (gfx::Size{320, 20}));
    }
}

TEST_F(EventsLayoutTest, wallClockPositionsOnDaylightSavingDays) {
    calendar->setTimeZone(fnd::TimeZone::named("America/Sao_Paulo"));
    // 16 October 2016 starts at 01:00.
    show({event(at(2016, 10, 16, 1), at(2016, 10, 16, 2)), event(at(2016, 10, 15, 23), at(2016, 10, 16, 1, 30))},
         at(2016, 10, 16, 12));
    EXPECT_EQ(frameOf(0).origin.y, 90);
    EXPECT_EQ(frameOf(0).maxY(), 170);
    EXPECT_EQ(frameOf(1).origin.y, 0);
    EXPECT_EQ(frameOf(1).maxY(), 130);

    // London, 29 October 2017: 01:00 to 02:00 comes twice.
    calendar->setTimeZone(fnd::TimeZone::named("Europe/London"));
    const fnd::Date bst = at(2017, 10, 29, 1, 10); // the first 01:10
    const fnd::Date gmt = bst.dateByAddingTimeInterval(3600);
    show({event(bst, bst.dateByAddingTimeInterval(40 * 60)), event(gmt, gmt.dateByAddingTimeInterval(40 * 60)),
          event(bst.dateByAddingTimeInterval(35 * 60), gmt.dateByAddingTimeInterval(5 * 60))},
         at(2017, 10, 29, 12));
    fixLabelColumn();
    EXPECT_EQ(frameOf(0).origin.y, frameOf(1).origin.y);
    EXPECT_NE(frameOf(0).origin.x, frameOf(1).origin.x); // side by side, not one over the other
    EXPECT_DOUBLE_EQ(frameOf(0).origin.y, 10 + 70 * 80.0 / 60);
    EXPECT_EQ(frameOf(2).size.height, 22); // 01:45 BST to 01:15 GMT
}

TEST_F(EventsLayoutTest, aResizeLaysOutAgainAndScrollingDoesNot) {
    const auto d = [&](long h) { return at(2026, 12, 15, h); };
    show({event(d(9), d(10)), event(d(20), d(21))}, d(0));
    const auto before = layout->cachedAttributes()[0];
    view->setContentOffset({0, 800});
    driver->runUntilIdle();
    EXPECT_EQ(layout->cachedAttributes()[0], before);
    EXPECT_EQ(view->visibleCells().size(), 1u);
    view->setFrame({0, 0, 200, 600});
    driver->runUntilIdle();
    EXPECT_NE(layout->cachedAttributes()[0], before);
    EXPECT_EQ(layout->collectionViewContentSize().width, 200);
}

} // namespace
} // namespace cal::test
