#pragma once

// Time zones from the ICU (Olson) database. A TimeZone is a cheap value (it shares the
// immutable zone data); the process has a settable default time zone that new calendars
// and formatters use.

#include "platform/foundation/Date.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace fnd {

class TimeZone {
public:
    // "UTC".
    TimeZone();

    // A zone by its identifier ("Europe/London", "America/Sao_Paulo", "UTC", "GMT+2");
    // nullopt for identifiers the database does not know.
    static std::optional<TimeZone> named(std::string_view identifier);
    // A fixed offset from GMT in seconds (clamped to ±18 hours).
    static TimeZone forSecondsFromGMT(long seconds);
    static TimeZone utc();
    // The zone of the machine (TZ or the system setting); UTC when it cannot be told.
    static TimeZone system();

    // The process default. Initially system(); tests set it.
    static TimeZone defaultTimeZone();
    static void setDefaultTimeZone(const TimeZone& zone);

    const std::string& identifier() const;
    // The offset of local time from GMT at that instant, daylight saving included.
    long secondsFromGMTForDate(const Date& date) const;
    bool isDaylightSavingTimeForDate(const Date& date) const;

    friend bool operator==(const TimeZone& a, const TimeZone& b) { return a.identifier() == b.identifier(); }

    struct Data;
    const Data& data() const { return *_data; }

private:
    explicit TimeZone(std::shared_ptr<const Data> data) : _data(std::move(data)) {}
    std::shared_ptr<const Data> _data;
};

} // namespace fnd
