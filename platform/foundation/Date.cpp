#include "platform/foundation/Date.h"

#include "platform/foundation/detail/ProcessDefault.h"

#include <chrono>

namespace fnd {

namespace {

detail::ProcessDefault<std::optional<Date>>& fixedNowSetting() {
    static detail::ProcessDefault<std::optional<Date>> value(std::nullopt);
    return value;
}

} // namespace

Date Date::now() {
    if (const auto fixed = fixedNowSetting().get()) return *fixed;
    using namespace std::chrono;
    const auto since = system_clock::now().time_since_epoch();
    return fromTimeIntervalSince1970(duration_cast<duration<double>>(since).count());
}

void Clock::setFixedNow(std::optional<Date> date) {
    fixedNowSetting().set(date);
}

std::optional<Date> Clock::fixedNow() {
    return fixedNowSetting().get();
}

void Clock::advance(TimeInterval seconds) {
    fixedNowSetting().update([seconds](std::optional<Date>& fixed) {
        if (fixed) fixed = fixed->dateByAddingTimeInterval(seconds);
    });
}

} // namespace fnd
