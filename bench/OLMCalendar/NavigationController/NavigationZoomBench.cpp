// The zoom between a mini month and the month view, at phone size and scale 3: one frame in
// the middle of the push (0.12 s in) and the frame at the same point of the pop. Both views
// are drawn before the zoom starts, so each measured frame only composites (made whole, so
// that every iteration does the full work of that frame).

#include "OLMCalendar/NavigationController/XQCalendarNavigationController.h"
#include "OLMCalendar/NavigationController/XQCalendarYearViewController.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "bench/OLMCalendar/Presenters/PresenterBenchSupport.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/TestDriver.h"

namespace {

constexpr gfx::Size kPhone{390, 844};
constexpr double kHalfWay = 0.12;

void zoomFrame(benchmark::State& state, bool pop) {
    const double savedScale = gfx::screenScale();
    gfx::setScreenScale(3);
    fnd::Clock::setFixedNow(bench::at(2026, 12, 15));
    {
        ui::TestDriver driver(kPhone);
        auto navigation = XQCalendarNavigationController::make();
        auto year = std::dynamic_pointer_cast<XQCalendarYearViewController>(navigation->viewControllers().front());
        driver.window()->setRootViewController(navigation);
        driver.runUntilIdle();
        const auto* presenter =
            year ? dynamic_cast<XQCalendarYearPresenter*>(year->contentView()->presenter().get()) : nullptr;
        const auto may =
            presenter ? presenter->collection()->cellForItemAtIndexPath(fnd::IndexPath::forItem(4, 1)) : nullptr;
        if (may) {
            const gfx::Rect r = may->convertRectToView(may->bounds(), driver.window().get());
            driver.tap({r.midX(), r.midY()});
            if (pop) {
                driver.runUntilIdle();
                navigation->popViewControllerAnimated(true);
            }
            driver.advance(kHalfWay);
            driver.render();
            driver.window()->setFrameMode(ui::FrameMode::whole);
            bench::timeFrames(state, [&] { benchmark::DoNotOptimize(driver.render()); });
            driver.window()->setFrameMode(ui::Compositor::defaultFrameMode());
            driver.runUntilIdle();
        } else {
            state.SkipWithError("the year view shows no mini month for May");
        }
    }
    fnd::Clock::setFixedNow(std::nullopt);
    gfx::setScreenScale(savedScale);
}

void BM_ZoomPushHalfWayFrame(benchmark::State& state) { zoomFrame(state, false); }
void BM_ZoomPopHalfWayFrame(benchmark::State& state) { zoomFrame(state, true); }

} // namespace

BENCHMARK(BM_ZoomPushHalfWayFrame)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ZoomPopHalfWayFrame)->Unit(benchmark::kMillisecond)->MinTime(0.5);
