// The month-names and year-numbers grids at the size of a phone screen (390 x 844 points at
// scale 3, 1170 x 2532 pixels) in a window of the headless host, default theme: one
// navigation frame, the grid bound to the next year (or page) and back, every cell restyled
// and redrawn, then one run-loop turn compositing the full screen. Arguments: the view mode
// (2 month names, 4 year numbers) and "avx2" (1 caps the pixel loops at AVX2).

#include "bench/OLMCalendar/Presenters/PresenterBenchSupport.h"
#include "bench/PixelKernelCap.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/TestDriver.h"

namespace {

constexpr gfx::Size kScreen{390, 844};

using bench::at;
using bench::compositeFrame;
using bench::timeFrames;

void BM_ZoomedOutNavigateFrame(benchmark::State& state) {
    const PixelKernelCap cap(state.range(1) == 1);
    gfx::setScreenScale(3);
    fnd::Clock::setFixedNow(at(2026, 12, 15));
    {
        ui::TestDriver driver(kScreen);
        auto calendar = XQCalendar::make(gfx::Rect{{0, 0}, kScreen});
        calendar->setMinDate(at(2000, 1, 1));
        calendar->setMaxDate(at(2060, 12, 31));
        calendar->setSelectedDate(at(2026, 6, 15));
        calendar->setViewMode(state.range(0));
        driver.window()->addSubview(calendar);
        driver.runUntilIdle();
        const fnd::Date dates[] = {at(2026, 6, 15), at(2042, 6, 15)};
        int i = 0;
        timeFrames(state, [&] {
            calendar->setDisplayedDate(dates[++i % 2], true);
            driver.step();
            compositeFrame(driver);
        });
    }
    fnd::mainQueue().drain();
    fnd::Clock::setFixedNow(std::nullopt);
}
BENCHMARK(BM_ZoomedOutNavigateFrame)
    ->ArgsProduct({{2, 4}, {0, 1}})
    ->ArgNames({"mode", "avx2"})
    ->Unit(benchmark::kMillisecond);

} // namespace
