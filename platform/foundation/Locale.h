#pragma once

// Locales, identified as ICU reads them ("en_US", "de_DE", "ar_EG", "ja_JP@calendar=japanese";
// "en-US" is accepted too). A Locale is a plain value; the process has a settable current
// locale that calendars and formatters fall back to when they are given none.

#include <string>
#include <string_view>

namespace fnd {

class Locale {
public:
    // The root locale (language-neutral rules).
    Locale() = default;
    explicit Locale(std::string_view identifier);

    // The canonical identifier ("en_US"); empty for the root locale.
    const std::string& identifier() const { return _identifier; }
    // The language ("en") and region ("US") parts; empty when absent.
    std::string languageCode() const;
    std::string countryCode() const;
    // The value of a keyword such as "calendar" or "numbers"; empty when absent.
    std::string keywordValue(std::string_view keyword) const;

    // The process default. Initially the environment's locale; tests set it.
    static Locale current();
    static void setCurrent(const Locale& locale);

    friend bool operator==(const Locale&, const Locale&) = default;

private:
    std::string _identifier;
};

} // namespace fnd
