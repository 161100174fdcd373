// The year view at the size of a phone screen (390 x 844 points at scale 3, 1170 x 2532
// pixels) in a window of the headless host, default theme:
//   - a full frame after navigating a year: twelve mini months of another year drawn, laid
//     out and the full screen composited;
//   - a scrolling frame: the collection moved by 47 points (a new row of three mini months
//     comes in every few frames, drawn once; the rest are only copied), down one screen and
//     back, then one run-loop turn compositing the full screen.
// Both take an argument "avx2": 1 caps the pixel loops at AVX2.

#include "bench/OLMCalendar/Presenters/PresenterBenchSupport.h"
#include "bench/PixelKernelCap.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/TestDriver.h"

namespace {


using bench::at;
using bench::compositeFrame;
using bench::timeFrames;

struct YearScreen : bench::CalendarScreen {
    YearScreen() : CalendarScreen(at(2026, 12, 15)) {
        calendar->setMinDate(at(2016, 1, 1));
        calendar->setMaxDate(at(2036, 12, 31));
        calendar->setViewMode(XQCalendarViewModeYear);
        show();
        compositeFrame(*driver);
    }
    XQCalendarYearPresenter& year() const { return presenter<XQCalendarYearPresenter>(); }
};

void BM_YearNavigateFrame(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) == 1);
    YearScreen screen;
    bool forward = true;
    timeFrames(state, [&] {
        // Another year every frame: its twelve months are drawn anew.
        if (!(forward ? screen.year().navigateForward(false) : screen.year().navigateBack(false))) {
            forward = !forward;
            forward ? screen.year().navigateForward(false) : screen.year().navigateBack(false);
        }
        screen.driver->step();
        compositeFrame(*screen.driver);
    });
}
BENCHMARK(BM_YearNavigateFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

void BM_YearScrollFrame(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) == 1);
    YearScreen screen;
    auto& collection = *screen.year().collectionView();
    const double start = collection.contentOffset().y;
    const int frames = static_cast<int>(bench::CalendarScreen::size.height / 47) + 1; // one screen
    int i = 0;
    timeFrames(state, [&] {
        const int k = i++ % (2 * frames);
        collection.setContentOffset({0, start + 47.0 * (k < frames ? k : 2 * frames - k)});
        screen.driver->step();
        compositeFrame(*screen.driver);
    });
}
BENCHMARK(BM_YearScrollFrame)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

} // namespace
