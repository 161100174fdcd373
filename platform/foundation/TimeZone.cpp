#include "platform/foundation/TimeZone.h"

#include "platform/foundation/detail/Icu.h"
#include "platform/foundation/detail/ProcessDefault.h"

#include <unicode/simpletz.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fnd {

namespace {

std::shared_ptr<const TimeZone::Data> makeData(std::string identifier, icu::TimeZone* zone) {
    auto data = std::make_shared<TimeZone::Data>();
    data->identifier = std::move(identifier);
    data->zone.reset(zone);
    return data;
}

const std::shared_ptr<const TimeZone::Data>& utcData() {
    static const auto data = makeData("UTC", icu::TimeZone::getGMT()->clone());
    return data;
}

detail::ProcessDefault<TimeZone>& defaultZone() {
    static detail::ProcessDefault<TimeZone> zone{TimeZone::system()};
    return zone;
}

// The offset of the zone at an instant: raw (standard) and daylight-saving parts in ms.
std::pair<int32_t, int32_t> offsetsAt(const TimeZone& zone, const Date& date) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t raw = 0, dst = 0;
    detail::icuZone(zone).getOffset(detail::toUDate(date), false, raw, dst, status);
    if (U_FAILURE(status)) return {0, 0};
    return {raw, dst};
}

} // namespace

TimeZone::TimeZone() : _data(utcData()) {}

std::optional<TimeZone> TimeZone::named(std::string_view identifier) {
    if (identifier.empty()) return std::nullopt;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(detail::toUnicode(identifier)));
    if (!zone || *zone == icu::TimeZone::getUnknown()) return std::nullopt;
    return TimeZone(makeData(std::string(identifier), zone.release()));
}

TimeZone TimeZone::forSecondsFromGMT(long seconds) {
    seconds = std::clamp(seconds, -18L * 3600, 18L * 3600);
    char name[32];
    const long magnitude = std::labs(seconds);
    std::snprintf(name, sizeof name, "GMT%c%02ld%02ld", seconds < 0 ? '-' : '+', magnitude / 3600,
                  magnitude / 60 % 60);
    auto* zone = new icu::SimpleTimeZone(static_cast<int32_t>(seconds * 1000), detail::toUnicode(name));
    return TimeZone(makeData(name, zone));
}

TimeZone TimeZone::utc() {
    return TimeZone();
}

TimeZone TimeZone::system() {
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (!host || *host == icu::TimeZone::getUnknown()) return TimeZone();
    icu::UnicodeString id;
    host->getID(id);
    return TimeZone(makeData(detail::toUtf8(id), host.release()));
}

TimeZone TimeZone::defaultTimeZone() {
    return defaultZone().get();
}

void TimeZone::setDefaultTimeZone(const TimeZone& zone) {
    defaultZone().set(zone);
    detail::defaultsChanged();
}

const std::string& TimeZone::identifier() const {
    return _data->identifier;
}

long TimeZone::secondsFromGMTForDate(const Date& date) const {
    const auto [raw, dst] = offsetsAt(*this, date);
    return (static_cast<long>(raw) + dst) / 1000;
}

bool TimeZone::isDaylightSavingTimeForDate(const Date& date) const {
    return offsetsAt(*this, date).second != 0;
}

} // namespace fnd
