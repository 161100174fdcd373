// A calendar on a phone-sized window (390 x 844 points at scale 3, 1170 x 2532 pixels), one
// thread: the run-loop turn after `navigateForward` without animation, with the presenters
// the calendar has by default (nothing drawn but the calendar's background): what a frame
// costs beyond the drawing of a view mode.

#include "OLMCalendar/XQCalendar.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/Window.h"

#include <benchmark/benchmark.h>

namespace {

constexpr gfx::Size kScreen{390, 844};
constexpr double kScale = 3;

void BM_EmptyCalendarFrameAfterNavigateForward(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    auto window = ui::Window::make({{0, 0}, kScreen});
    auto calendar = XQCalendar::make({{0, 0}, kScreen});
    calendar->setBackgroundColor(gfx::Color::white(1));
    window->setRootView(calendar);
    window->makeKeyAndVisible();
    ui::RunLoop::main().step();
    for (auto _ : state) {
        calendar->navigateForward(false);
        ui::RunLoop::main().step();
    }
    state.counters["damaged"] = window->compositor().statistics().damagedPixels;
    window->orderOut();
}
BENCHMARK(BM_EmptyCalendarFrameAfterNavigateForward)->Unit(benchmark::kMillisecond);

} // namespace
