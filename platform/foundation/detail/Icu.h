#pragma once

// Internal glue between the foundation types and ICU. Included by the foundation's .cpp
// files only: the public headers stay free of ICU.

#include "platform/foundation/Date.h"
#include "platform/foundation/Locale.h"
#include "platform/foundation/TimeZone.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fnd {

struct TimeZone::Data {
    std::string identifier;
    std::unique_ptr<const icu::TimeZone> zone;
};

namespace detail {

icu::UnicodeString toUnicode(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& text);

icu::Locale icuLocale(const Locale& locale);
inline const icu::TimeZone& icuZone(const TimeZone& zone) {
    return *zone.data().zone;
}

// ICU counts milliseconds.
inline double toUDate(const Date& date) {
    return date.timeIntervalSince1970() * 1000.0;
}
inline Date fromUDate(double udate) {
    return Date::fromTimeIntervalSince1970(udate / 1000.0);
}

// The ICU calendar type ("gregorian", "roc", ...) of a calendar identifier; empty when the
// identifier names no calendar ICU knows.
std::string icuCalendarType(std::string_view identifier);
// The inverse, for calendars made from a locale's "calendar" keyword.
std::string calendarIdentifierForType(std::string_view icuType);
// The ICU calendar type a locale asks for with its "calendar" keyword; Gregorian otherwise.
std::string defaultCalendarType(const Locale& locale);

// Bumped whenever the current locale or the default time zone changes, so that objects
// that resolved "the default" can tell their cached ICU objects are stale.
std::uint64_t defaultsGeneration();
void defaultsChanged();

// A small process-wide cache of immutable ICU objects that are expensive to build
// (formatters, symbol tables), keyed by a string that names everything they depend on.
// Values are shared read-only; callers that need to mutate one clone it.
template <class V> class SharedCache {
public:
    std::shared_ptr<const V> get(const std::string& key, const std::function<std::unique_ptr<V>()>& make) {
        std::lock_guard lock(_mutex);
        if (auto it = _entries.find(key); it != _entries.end()) return it->second;
        std::shared_ptr<const V> value(make());
        if (!value) return nullptr;
        if (_entries.size() >= kCapacity) _entries.clear(); // rare: many locales or patterns in use
        _entries.emplace(key, value);
        return value;
    }

private:
    static constexpr std::size_t kCapacity = 256;
    std::mutex _mutex;
    std::unordered_map<std::string, std::shared_ptr<const V>> _entries;
};

// A process-wide pool of mutable ICU objects that are expensive to build and to clone
// (date formatters copy their symbol tables), keyed by everything they were configured
// with. An object taken from the pool belongs to the taker alone; giving it back lets the
// next taker with the same key skip the construction.
template <class V> class Pool {
public:
    std::unique_ptr<V> take(const std::string& key) {
        std::lock_guard lock(_mutex);
        auto it = _entries.find(key);
        if (it == _entries.end() || it->second.empty()) return nullptr;
        std::unique_ptr<V> value = std::move(it->second.back());
        it->second.pop_back();
        return value;
    }
    void give(const std::string& key, std::unique_ptr<V> value) {
        if (!value) return;
        std::lock_guard lock(_mutex);
        if (_entries.size() >= kKeys && _entries.find(key) == _entries.end()) _entries.clear();
        auto& list = _entries[key];
        if (list.size() < kPerKey) list.push_back(std::move(value));
    }

private:
    static constexpr std::size_t kKeys = 128;
    static constexpr std::size_t kPerKey = 8;
    std::mutex _mutex;
    std::unordered_map<std::string, std::vector<std::unique_ptr<V>>> _entries;
};

} // namespace detail
} // namespace fnd
