#include "support/TestEnvironment.h"

#include "platform/foundation/Date.h"
#include "platform/foundation/Dispatch.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Screen.h"

namespace olm::test {

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
}

} // namespace olm::test
