#include "tests/OLMCalendar/Presenters/Day/DayView/DayArea/DayAreaTestSupport.h"

#include <random>

namespace cal::test {
namespace {

// The layout as first written, step by step on dates and calendar components: clusters that
// absorb what an event meets, columns by first fit, frames from the time of day. It re-sorts
// on every add and scans every cluster and column; equal starts keep the list's order.
std::vector<gfx::Rect> referenceFrames(const XQCalendarDayViewEventsView& view, const XQCalendarEvents& events) {
    struct Cluster {
        std::vector<std::size_t> items;
        fnd::Date start, end;
        bool meets(fnd::Date s, fnd::Date e) const { return s > start ? s < end : e > start; }
        void add(const XQCalendarEvents& all, std::size_t item) {
            items.push_back(item);
            std::stable_sort(items.begin(), items.end(), [&](std::size_t a, std::size_t b) {
                return *all[a]->startDate() < *all[b]->startDate() ||
                       (*all[a]->startDate() == *all[b]->startDate() && a < b);
            });
            if (*all[item]->startDate() < start) start = *all[item]->startDate();
            if (*all[item]->endDate() > end) end = *all[item]->endDate();
        }
    };
    std::vector<Cluster> clusters;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const fnd::Date s = *events[i]->startDate(), e = *events[i]->endDate();
        std::vector<std::size_t> met;
        for (std::size_t c = 0; c < clusters.size(); ++c)
            if (clusters[c].meets(s, e)) met.push_back(c);
        if (met.empty()) {
            clusters.push_back({{i}, s, e});
            continue;
        }
        clusters[met[0]].add(events, i);
        for (std::size_t k = met.size(); k-- > 1;) {
            for (std::size_t item : clusters[met[k]].items) clusters[met[0]].add(events, item);
            clusters.erase(clusters.begin() + static_cast<long>(met[k]));
        }
    }
    const auto& style = *view.style();
    const fnd::Calendar& calendar = *view.calendar();
    const double width = view.bounds().size.width;
    const double height = view.timeLineHeight() + style.topOffset() + style.bottomOffset();
    const double left = style.labelOffset() + view.labelSize().width + style.eventsLeadingOffset();
    const double available = width - left - style.eventsTrailingOffset();
    const auto dayOf = [&](fnd::Date d) { return calendar.components(28, d); };
    const auto y = [&](fnd::Date d) {
        return style.topOffset() + view.timeLineHeight() * view.offsetForComponents(calendar.components(252, d));
    };
    std::vector<gfx::Rect> frames(events.size());
    for (const Cluster& cluster : clusters) {
        std::vector<std::vector<std::size_t>> columns;
        for (std::size_t item : cluster.items) {
            auto column = std::find_if(columns.begin(), columns.end(), [&](const auto& c) {
                return !(*events[item]->startDate() < *events[c.back()]->endDate());
            });
            if (column == columns.end())
                columns.push_back({item});
            else
                column->push_back(item);
        }
        const double n = static_cast<double>(columns.size());
        const double w = (available - style.eventsSpacing() * (n - 1)) / n;
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (std::size_t item : columns[c]) {
                const fnd::Date s = *events[item]->startDate(), e = *events[item]->endDate();
                const double top = dayOf(s) == dayOf(*view.date()) ? y(s) : 0;
                const double bottom = dayOf(e) == dayOf(*view.date()) ? y(e) : height;
                const gfx::Rect frame{left + w * static_cast<double>(c) + style.eventsSpacing() * static_cast<double>(c),
                                      top, w, std::max(bottom - top, style.minEventHeight())};
                frames[item] = frame.intersection({0, 0, width, height});
            }
    }
    return frames;
}

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

namespace cal::test {
namespace {

TEST_F(EventsLayoutTest, placesEventsAsTheStepByStepLayoutOnDaysWithoutAClockChange) {
    std::mt19937 random(20261215);
    const auto pick = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(random); };
    long compared = 0;
    for (int round = 0; round < 1500; ++round) {
        const fnd::Date date = at(2026, pick(1, 12), pick(1, 28), 12);
        const fnd::Date dayStart = calendar->startOfDayForDate(date);
        const fnd::TimeZone zone = calendar->timeZone();
        if (zone.secondsFromGMTForDate(dayStart.dateByAddingTimeInterval(-86400)) !=
            zone.secondsFromGMTForDate(dayStart.dateByAddingTimeInterval(2 * 86400)))
            continue;
        XQCalendarEvents events;
        const long count = pick(0, 30);
        for (long i = 0; i < count; ++i) {
            // On a 5-minute grid from 4 hours before the day, so that starts and ends meet.
            const double start = !events.empty() && pick(0, 5) == 0
                                     ? events.back()->endDate()->timeIntervalSince1970()
                                     : dayStart.timeIntervalSince1970() + 300.0 * static_cast<double>(pick(-48, 287));
            const double length = pick(0, 6) == 0 ? 0 : 300.0 * static_cast<double>(pick(1, 36));
            const double day = dayStart.timeIntervalSince1970();
            if (start + length < day || start >= day + 86400) continue; // wholly off the day
            events.push_back(event(fnd::Date::fromTimeIntervalSince1970(start),
                                   fnd::Date::fromTimeIntervalSince1970(start + length)));
        }
        std::stable_sort(events.begin(), events.end(),
                         [](const auto& a, const auto& b) { return *a->startDate() < *b->startDate(); });
        view->attachWithEvents(events, date, calendar);
        layout->prepareLayout();
        const std::vector<gfx::Rect> expected = referenceFrames(*view, events);
        for (std::size_t i = 0; i < events.size(); ++i, ++compared)
            ASSERT_EQ(frameOf(static_cast<long>(i)), expected[i]) << "round " << round << " item " << i;
    }
    EXPECT_GT(compared, 15000);
}

} // namespace
} // namespace cal::test
