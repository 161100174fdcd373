#pragma once

// Number formatting on ICU, in the locale's digits ("12" in en_US, "١٢" in ar_EG).

#include "platform/foundation/Locale.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace fnd {

// No style: digits only, rounded to an integer ("1234"). Decimal: grouping separators and
// up to three fraction digits ("1,234.5"). Other values act as no style.
using NumberFormatterStyle = long;
inline constexpr NumberFormatterStyle NumberFormatterNoStyle = 0;
inline constexpr NumberFormatterStyle NumberFormatterDecimalStyle = 1;

class NumberFormatter;
using NumberFormatterRef = std::shared_ptr<NumberFormatter>;

class NumberFormatter {
public:
    // No style, the current locale.
    static NumberFormatterRef make();
    ~NumberFormatter();
    NumberFormatter(const NumberFormatter&) = delete;
    NumberFormatter& operator=(const NumberFormatter&) = delete;

    Locale locale() const;
    // nullopt = the current locale (followed when it changes).
    void setLocale(const std::optional<Locale>& locale);
    NumberFormatterStyle numberStyle() const { return _numberStyle; }
    void setNumberStyle(NumberFormatterStyle style);

    std::string stringFromNumber(long value) const;
    // NaN and infinities are formatted as the locale writes them.
    std::string stringFromNumber(double value) const;

    struct Impl;

private:
    NumberFormatter();

    std::optional<Locale> _locale;
    NumberFormatterStyle _numberStyle = NumberFormatterNoStyle;
    mutable std::mutex _mutex;
    std::unique_ptr<Impl> _impl;
};

} // namespace fnd
