// A calendar on a phone-sized window (390 x 844 points at scale 3, 1170 x 2532 pixels), one
// thread, whose presenter draws nothing (the calendar's background is all there is) and steps
// a month at a time: the run-loop turns after `navigateForward`, while its transition (a
// scroll, the presenters' default) slides the two screenshots across the window. What a
// frame of the calendar costs beyond the drawing of a view mode.
//
// The transition is made long enough never to end; the clock steps back and forth by what a
// sixtieth of a second is in a transition of 0.35 s, so every frame shows a new pose.

#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Host/RunLoop.h"
#include "platform/ui/MediaClock.h"
#include "platform/ui/Window.h"

#include "../PixelKernelCap.h"
#include "bench/FrameTiming.h"

#include <benchmark/benchmark.h>

namespace {

constexpr gfx::Size kScreen{390, 844};
constexpr double kScale = 3;

// Shows nothing; steps a month forward or back.
class EmptyPresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(EmptyPresenter)
    static std::shared_ptr<EmptyPresenter> make(const gfx::Rect& frame) { return rt::create<EmptyPresenter>(frame); }

    std::optional<fnd::Date> nextDate() override { return step(1); }
    std::optional<fnd::Date> prevDate() override { return step(-1); }
    bool isDateBefore(const fnd::Date& date) override {
        const XQCalendar* calendar = owner();
        return calendar != nullptr && date < calendar->displayedDate();
    }

protected:
    EmptyPresenter() = default;
    friend struct rt::Access;

private:
    std::optional<fnd::Date> step(long months) {
        const XQCalendar* calendar = owner();
        if (calendar == nullptr) return std::nullopt;
        return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, months, calendar->displayedDate());
    }
};
OLM_DEFINE_CLASS(EmptyPresenter, XQCalendarPresenterBase)

void BM_EmptyCalendarFrameAfterNavigateForward(benchmark::State& state) {
    const PixelKernelCap cap(state.range(0) != 0);
    const rt::Class& monthPresenter = XQCalendar::presenterClass(XQCalendarViewModeMonth);
    XQCalendar::registerPresenterClass<EmptyPresenter>(XQCalendarViewModeMonth);
    gfx::setScreenScale(kScale);
    ui::MediaClock::setTime(1000);
    auto window = ui::Window::make({{0, 0}, kScreen});
    auto calendar = XQCalendar::make({{0, 0}, kScreen});
    auto& presenter = static_cast<EmptyPresenter&>(*calendar->presenter());
    presenter.setTransitionDuration(1e6);
    window->setRootView(calendar);
    window->makeKeyAndVisible();
    ui::RunLoop::main().step();

    calendar->navigateForward(true);
    ui::RunLoop::main().step();
    ui::MediaClock::advance(3e5); // about a third of the way
    ui::RunLoop::main().step();
    const double third = ui::currentMediaTime(), step = 1e6 / 0.35 / 60;
    bool odd = false;
    bench::timeFrames(state, [&] {
        ui::MediaClock::setTime(third + (odd ? step : 0));
        odd = !odd;
        ui::RunLoop::main().step();
    });
    const ui::CompositorStatistics& stats = window->compositor().statistics();
    state.counters["damaged"] = stats.damagedPixels;
    state.counters["layers"] = static_cast<double>(stats.layersDrawn);
    if (!presenter.isTransitionRunning()) state.SkipWithError("the transition did not run");

    window->orderOut();
    window.reset();
    calendar.reset();
    fnd::mainQueue().drain();
    XQCalendar::registerPresenterClass(XQCalendarViewModeMonth, monthPresenter);
}
BENCHMARK(BM_EmptyCalendarFrameAfterNavigateForward)->Arg(0)->Arg(1)->ArgName("avx2")->Unit(benchmark::kMillisecond);

} // namespace
