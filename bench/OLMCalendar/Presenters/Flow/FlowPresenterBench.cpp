// The flow view at the size of a phone screen (390 x 844 points at scale 3, 1170 x 2532
// pixels) in a window of the headless host, default theme:
//   - a scrolling frame: the content moved by 47 points (a new week row comes in every frame
//     or two), then one run-loop turn compositing the full screen;
//   - making the calendar in flow mode and compositing its first frame, for 1, 10 and 100
//     years between minDate and maxDate, with the views made and the cells shown as counters
//     (they must not grow with the span).

#include "bench/OLMCalendar/Presenters/PresenterBenchSupport.h"
#include "bench/PixelKernelCap.h"
#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/TestDriver.h"

namespace {


using bench::at;
using bench::compositeFrame;
using bench::timeFrames;

struct FlowScreen : bench::CalendarScreen {
    explicit FlowScreen(long years) : CalendarScreen(at(2026, 12, 15)) {
        calendar->setMinDate(at(2026 - years / 2, 1, 1));
        calendar->setMaxDate(at(2026 - years / 2 + years - 1, 12, 31));
        calendar->setSelectedDate(at(2026, 12, 22));
        calendar->setViewMode(XQCalendarViewModeFlow);
        show();
    }
    XQCalendarFlowPresenter& flow() const { return presenter<XQCalendarFlowPresenter>(); }
};

// Argument "avx2": 1 caps the pixel loops at AVX2.
void BM_FlowScrollFrame(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) == 1);
    FlowScreen screen(3);
    auto& collection = *screen.flow().collectionView();
    const double start = collection.contentOffset().y;
    int i = 0;
    timeFrames(state, [&] {
        // Down a screen and a half, then back up, 47 points a frame.
        const int k = i++ % 54;
        collection.setContentOffset({0, start + 47.0 * (k < 27 ? k : 54 - k)});
        screen.driver->step();
        compositeFrame(*screen.driver);
    });
}
BENCHMARK(BM_FlowScrollFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

// Argument: the years between minDate and maxDate.
void BM_FlowFirstFrame(benchmark::State& state) {
    long views = 0, cells = 0;
    for (auto _ : state) {
        {
            FlowScreen screen(state.range(0));
            compositeFrame(*screen.driver);
            const auto& collection = *screen.flow().collectionView();
            views = collection.createdViewCount();
            cells = static_cast<long>(collection.visibleCells().size());
            state.PauseTiming(); // not the teardown
        }
        state.ResumeTiming();
    }
    state.counters["views"] = static_cast<double>(views);
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_FlowFirstFrame)->Arg(1)->Arg(10)->Arg(100)->ArgName("years")->Unit(benchmark::kMillisecond);

} // namespace
