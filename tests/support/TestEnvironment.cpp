#include "support/TestEnvironment.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Screen.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/MediaClock.h"

#include <gtest/gtest.h>

namespace olm::test {

namespace {

// Puts the media clock back in manual mode at the same instant before every test, so that
// no test sees wall time, whatever the test before it did with the clock.
class StoppedMediaClock : public ::testing::EmptyTestEventListener {
public:
    static constexpr double kStart = 1000;
    void OnTestStart(const ::testing::TestInfo&) override { ui::MediaClock::setTime(kStart); }
};

} // namespace

void installDeterministicDefaults() {
    fnd::markMainThread();
    fnd::Locale::setCurrent(fnd::Locale("en_US"));
    fnd::TimeZone::setDefaultTimeZone(
        fnd::TimeZone::named("America/New_York").value_or(fnd::TimeZone::utc()));
    fnd::Clock::setFixedNow(fnd::Date::fromTimeIntervalSince1970(1797348600));

    // Graphics: a 2x screen, the light appearance, the system colours available.
    gfx::setScreenScale(2);
    gfx::setCurrentAppearance(gfx::Appearance::light);
    gfx::setSystemColorsAvailable(true);

    // Animations: a media clock that moves only when a test moves it.
    ui::MediaClock::setTime(StoppedMediaClock::kStart);
    ::testing::UnitTest::GetInstance()->listeners().Append(new StoppedMediaClock);

    // Frames: with OLM_FRAMES=verify every frame made by damage is compared with the whole
    // frame, and a difference fails the test that made it.
    ui::Compositor::setMismatchHandler([](const ui::FrameMismatch& m) {
        ADD_FAILURE() << "a frame made by damage differs from the whole frame in " << m.differingPixels
                      << " pixels, first at (" << m.x << ", " << m.y << "): " << std::hex << m.damaged
                      << " instead of " << m.whole;
    });
}

} // namespace olm::test
