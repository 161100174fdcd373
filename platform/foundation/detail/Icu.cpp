#include "platform/foundation/detail/Icu.h"

#include <unicode/stringpiece.h>

#include <array>
#include <climits>
#include <utility>

namespace fnd::detail {

icu::UnicodeString toUnicode(std::string_view utf8) {
    // ICU lengths are 32-bit; longer text is cut rather than wrapped around.
    const auto length = static_cast<int32_t>(std::min<std::size_t>(utf8.size(), INT32_MAX));
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), length));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

icu::Locale icuLocale(const Locale& locale) {
    // createFromName("") is the root locale, never the ICU default.
    return icu::Locale::createFromName(locale.identifier().c_str());
}

namespace {

// Calendar identifiers as the calendar code names them, and the ICU type of each.
constexpr std::array<std::pair<std::string_view, std::string_view>, 16> kCalendarTypes{{
    {"gregorian", "gregorian"},
    {"buddhist", "buddhist"},
    {"chinese", "chinese"},
    {"coptic", "coptic"},
    {"ethiopicAmeteMihret", "ethiopic"},
    {"ethiopicAmeteAlem", "ethiopic-amete-alem"},
    {"hebrew", "hebrew"},
    {"indian", "indian"},
    {"islamic", "islamic"},
    {"islamicCivil", "islamic-civil"},
    {"islamicTabular", "islamic-tbla"},
    {"islamicUmmAlQura", "islamic-umalqura"},
    {"iso8601", "iso8601"},
    {"japanese", "japanese"},
    {"persian", "persian"},
    {"republicOfChina", "roc"},
}};

std::atomic<std::uint64_t> gDefaultsGeneration{1};

} // namespace

std::string icuCalendarType(std::string_view identifier) {
    for (const auto& [name, type] : kCalendarTypes) {
        if (identifier == name || identifier == type) return std::string(type);
    }
    if (identifier == "dangi") return "dangi";
    return {};
}

std::string calendarIdentifierForType(std::string_view icuType) {
    for (const auto& [name, type] : kCalendarTypes) {
        if (icuType == type) return std::string(name);
    }
    return icuType == "dangi" ? "dangi" : "gregorian";
}

std::string defaultCalendarType(const Locale& locale) {
    std::string type = icuCalendarType(locale.keywordValue("calendar"));
    return type.empty() ? "gregorian" : type;
}

std::uint64_t defaultsGeneration() {
    return gDefaultsGeneration.load(std::memory_order_acquire);
}
void defaultsChanged() {
    gDefaultsGeneration.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace fnd::detail
