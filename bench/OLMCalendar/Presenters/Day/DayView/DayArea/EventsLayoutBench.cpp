// The day view's timed-events area at the size of a phone screen (390 x 844 points at scale 3,
// 1170 x 2532 pixels):
//   - the events layout's pass after an invalidation for 100, 1,000 and 10,000 events of one
//     seeded day (0 to 3 hours long, some of no length, some touching the one before, some
//     crossing midnight), and for 10,000 that all overlap (10,000 columns);
//   - showing another day of 180 events (labels, layout, cells) with its frame;
//   - a frame that scrolls the time line of a day of 180 events by a few points;
//   - a zoom step (setZoom with an interaction point) on that day, with its frame.

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsLayout.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/Window.h"

#include "../../../../../PixelKernelCap.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

constexpr gfx::Size kScreen{390, 844};

class BoundCells : public ui::CollectionViewDataSource {
public:
    XQCalendarDayViewEventsView* view = nullptr;
    long collectionViewNumberOfItemsInSection(ui::CollectionView&, long) override {
        return static_cast<long>(view->events().size());
    }
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                                 const fnd::IndexPath& path) override {
        auto cell = collectionView.dequeueReusableCell("eventCell", path);
        if (auto* bound = dynamic_cast<XQCalendarDayViewEventCellProtocol*>(cell.get()))
            bound->attachWithEvent(view->events()[static_cast<std::size_t>(path.item())]);
        return cell;
    }
};

struct DayArea {
    fnd::CalendarRef calendar = fnd::Calendar::make();
    fnd::Date day;
    std::unique_ptr<ui::TestDriver> driver;
    std::shared_ptr<XQCalendarDayViewEventsLayout> layout = XQCalendarDayViewEventsLayout::make();
    std::shared_ptr<XQCalendarDayViewEventsView> view;
    std::shared_ptr<BoundCells> source = std::make_shared<BoundCells>();

    // In a window when `shown`; otherwise only the view, for the layout alone.
    explicit DayArea(bool shown) {
        gfx::setScreenScale(3);
        fnd::DateComponents c;
        c.year = 2026;
        c.month = 12;
        c.day = 15;
        day = *calendar->dateFromComponents(c);
        // Under a 110-point header, as in the day view.
        view = XQCalendarDayViewEventsView::make({0, 110, kScreen.width, kScreen.height - 110}, layout);
        view->registerClass(&ui::CollectionReusableView::reusableClass<XQCalendarDayViewEventCell>(), "eventCell");
        source->view = view.get();
        view->setDataSource(source);
        if (shown) {
            driver = std::make_unique<ui::TestDriver>(kScreen);
            driver->window()->addSubview(view);
        }
    }
    ~DayArea() {
        driver.reset();
        fnd::mainQueue().drain();
    }

    // One run-loop turn and its frame, composited in the window's frame buffer (not copied out).
    const ui::CompositorStatistics& frame() {
        driver->step();
        return driver->window()->compositor().statistics();
    }

    // A seeded day: starts on a 5-minute grid from 3 hours before the day to its end, 0 to
    // 3 hours long (a tenth of no length), a sixth starting where the one before ended.
    static XQCalendarEvents randomDay(const fnd::Date& day, long count, unsigned seed) {
        std::mt19937 random(seed);
        const auto pick = [&](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(random); };
        const gfx::Color palette[] = {gfx::systemColors::systemRed(), gfx::systemColors::systemGreen(),
                                      gfx::systemColors::systemBlue(), gfx::systemColors::systemOrange()};
        XQCalendarEvents events;
        for (long i = 0; i < count; ++i) {
            const double start = !events.empty() && pick(0, 5) == 0
                                     ? events.back()->endDate()->timeIntervalSince1970()
                                     : day.timeIntervalSince1970() + 300.0 * static_cast<double>(pick(-36, 287));
            const double length = pick(0, 9) == 0 ? 0 : 300.0 * static_cast<double>(pick(1, 36));
            events.push_back(make(start, start + length, palette[i % 4]));
        }
        sortByStart(events);
        return events;
    }
    // Every event overlaps every other: one cluster of `count` columns.
    static XQCalendarEvents overlappingDay(const fnd::Date& day, long count) {
        XQCalendarEvents events;
        for (long i = 0; i < count; ++i)
            events.push_back(make(day.timeIntervalSince1970() + 8 * 3600 + static_cast<double>(i),
                                  day.timeIntervalSince1970() + 20 * 3600, gfx::systemColors::systemBlue()));
        return events;
    }
    static XQCalendarEventRef make(double start, double end, const gfx::Color& color) {
        auto event = XQCalendarEvent::make();
        event->setStartDate(fnd::Date::fromTimeIntervalSince1970(start));
        event->setEndDate(fnd::Date::fromTimeIntervalSince1970(end));
        event->setTitle("Design review");
        event->setDetail("Room 4, second floor");
        event->setEventColor(color);
        return event;
    }
    static void sortByStart(XQCalendarEvents& events) {
        std::stable_sort(events.begin(), events.end(),
                         [](const auto& a, const auto& b) { return *a->startDate() < *b->startDate(); });
    }
};

// Arguments: the number of events; 1 when they all overlap.
void BM_EventsLayoutPrepare(benchmark::State& state) {
    DayArea area(false);
    const long count = state.range(0);
    area.view->attachWithEvents(state.range(1) == 1 ? DayArea::overlappingDay(area.day, count)
                                                    : DayArea::randomDay(area.day, count, 20261215),
                                area.day, area.calendar);
    for (auto _ : state) {
        area.layout->invalidateLayout();
        area.layout->prepareLayout();
        benchmark::DoNotOptimize(area.layout->cachedAttributes().data());
    }
    state.SetComplexityN(count);
}
BENCHMARK(BM_EventsLayoutPrepare)
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->ArgNames({"events", "overlapping"})
    ->Unit(benchmark::kMicrosecond);

// Frames take an argument "avx2": 1 caps the pixel loops at AVX2.

// Two days of 180 events shown in turn, scrolled to 9:00, each with its frame.
void BM_AttachDayFrame(benchmark::State& state) {
    PixelKernelCap cap(state.range(0) == 1);
    DayArea area(true);
    const fnd::Date days[] = {area.day, area.day.dateByAddingTimeInterval(86400)};
    const XQCalendarEvents events[] = {DayArea::randomDay(days[0], 180, 7), DayArea::randomDay(days[1], 180, 8)};
    area.view->setContentOffset({0, 720});
    for (int k : {1, 0}) { // both days once, untimed: the time line's first drawing
        area.view->attachWithEvents(events[k], days[k], area.calendar);
        area.driver->runUntilIdle();
        area.frame();
    }
    int i = 1;
    for (auto _ : state) {
        const int k = i++ % 2;
        area.view->attachWithEvents(events[k], days[k], area.calendar);
        benchmark::DoNotOptimize(area.frame());
    }
}
BENCHMARK(BM_AttachDayFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// A day of 180 events, scrolled to 9:00; each frame moves the content by 4 points.
void BM_TimeLineScrollFrame(benchmark::State& state) {
    PixelKernelCap cap(state.range(0) == 1);
    DayArea area(true);
    area.view->attachWithEvents(DayArea::randomDay(area.day, 180, 7), area.day, area.calendar);
    area.view->setContentOffset({0, 720});
    area.driver->runUntilIdle();
    area.frame();
    int i = 0;
    for (auto _ : state) {
        area.view->setContentOffset({0, 720.0 + 4 * (i++ % 2)});
        benchmark::DoNotOptimize(area.frame());
    }
}
BENCHMARK(BM_TimeLineScrollFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// One pinch step on that day: zoom 1 ↔ 1.05 about 9:00, laid out, drawn and composited.
void BM_ZoomStepFrame(benchmark::State& state) {
    PixelKernelCap cap(state.range(0) == 1);
    DayArea area(true);
    area.view->attachWithEvents(DayArea::randomDay(area.day, 180, 7), area.day, area.calendar);
    area.view->setContentOffset({0, 600});
    area.driver->runUntilIdle();
    area.frame();
    area.view->setZoom(1.05, {0, 730});
    area.frame();
    int i = 1;
    for (auto _ : state) {
        area.view->setZoom(i++ % 2 ? 1.0 : 1.05, {0, 730});
        benchmark::DoNotOptimize(area.frame());
    }
    const ui::CompositorStatistics& stats = area.driver->window()->compositor().statistics();
    state.counters["drawn"] = static_cast<double>(stats.layersDrawn);
    state.counters["damaged"] = stats.damagedPixels;
}
BENCHMARK(BM_ZoomStepFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

} // namespace
