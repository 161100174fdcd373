// The navigation controller half-way through the zoom from a tapped mini month (May) into the
// month view, at phone size and scale 3, in the default theme and in the iPad theme.

#include "Demo.h"

#include "OLMCalendar/NavigationController/XQCalendarMonthViewController.h"
#include "OLMCalendar/NavigationController/XQCalendarNavigationController.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/TestDriver.h"

namespace {

using namespace gfx;

constexpr Size kPhone{390, 844};

// Gives each month controller the iPad theme.
class IPadMonths : public XQCalendarYearViewControllerDelegate {
public:
    void navigatedToMonthViewController(XQCalendarMonthViewController& controller) override {
        controller.contentView()->setTheme(XQCalendarIPadTheme::make());
        controller.contentView()->update(true);
    }
};

std::string zoomPicture(const std::string& path, const std::string& caption, bool iPad) {
    ui::TestDriver driver(kPhone);
    auto navigation = XQCalendarNavigationController::make();
    auto year = std::dynamic_pointer_cast<XQCalendarYearViewController>(navigation->viewControllers().front());
    if (iPad) {
        year->contentView()->setTheme(XQCalendarIPadTheme::make());
        year->setDelegate(std::make_shared<IPadMonths>());
    }
    driver.window()->setRootViewController(navigation);
    driver.runUntilIdle();
    ImageRef frame;
    const auto* presenter = dynamic_cast<XQCalendarYearPresenter*>(year->contentView()->presenter().get());
    if (const auto may = presenter ? presenter->collection()->cellForItemAtIndexPath(fnd::IndexPath::forItem(4, 1))
                                   : nullptr) {
        const Rect r = may->convertRectToView(may->bounds(), driver.window().get());
        driver.tap({r.midX(), r.midY()});
        driver.advance(0.15 - ui::TestDriver::tapDuration);
        frame = driver.render();
    }
    driver.runUntilIdle();
    year->setDelegate(nullptr);
    return frame ? olm::demo::captionedPicture(path, caption, {frame}, kPhone) : std::string();
}

std::vector<std::string> renderZoom(const std::string& outDir) {
    const double savedScale = screenScale();
    setScreenScale(3);
    fnd::Clock::setFixedNow(olm::demo::at(2026, 12, 15, 10, 30));
    std::vector<std::string> written;
    for (bool iPad : {false, true}) {
        std::string path = zoomPicture(outDir + (iPad ? "/zoom-push-ipad.png" : "/zoom-push.png"),
                                       std::string("Tapped May: half-way into the month") + (iPad ? " (iPad theme)" : ""),
                                       iPad);
        if (!path.empty()) written.push_back(std::move(path));
    }
    fnd::Clock::setFixedNow(std::nullopt);
    setScreenScale(savedScale);
    return written;
}

} // namespace

OLM_DEMO_PAGE("24-zoom", renderZoom);
