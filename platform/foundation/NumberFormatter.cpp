#include "platform/foundation/NumberFormatter.h"

#include "platform/foundation/detail/Icu.h"

#include <unicode/numberformatter.h>

namespace fnd {

namespace {

// ICU's localized number formatters are immutable and thread-safe: one per locale and
// style serves every NumberFormatter.
detail::SharedCache<icu::number::LocalizedNumberFormatter>& formatters() {
    static detail::SharedCache<icu::number::LocalizedNumberFormatter> cache;
    return cache;
}

} // namespace

struct NumberFormatter::Impl {
    std::shared_ptr<const icu::number::LocalizedNumberFormatter> format;
    std::uint64_t generation = 0;

    const icu::number::LocalizedNumberFormatter* get(const NumberFormatter& f) {
        if (format && (f._locale || generation == detail::defaultsGeneration())) return format.get();
        generation = detail::defaultsGeneration();
        const icu::Locale locale = detail::icuLocale(f._locale.value_or(Locale::current()));
        const bool decimal = f._numberStyle == NumberFormatterDecimalStyle;
        format = formatters().get(std::string(locale.getName()) + (decimal ? "\nd" : "\nn"), [&] {
            namespace number = icu::number;
            auto lnf =
                decimal
                    ? number::NumberFormatter::withLocale(locale).precision(number::Precision::maxFraction(3))
                    : number::NumberFormatter::withLocale(locale)
                          .grouping(UNUM_GROUPING_OFF)
                          .precision(number::Precision::integer());
            return std::make_unique<number::LocalizedNumberFormatter>(std::move(lnf));
        });
        return format.get();
    }

    template <class Format> std::string run(const NumberFormatter& f, Format&& formatValue) {
        const auto* lnf = get(f);
        if (!lnf) return {};
        UErrorCode status = U_ZERO_ERROR;
        const icu::UnicodeString text = formatValue(*lnf, status).toString(status);
        return U_SUCCESS(status) ? detail::toUtf8(text) : std::string();
    }
};

NumberFormatter::NumberFormatter() : _impl(std::make_unique<Impl>()) {}
NumberFormatter::~NumberFormatter() = default;

NumberFormatterRef NumberFormatter::make() {
    return NumberFormatterRef(new NumberFormatter());
}

Locale NumberFormatter::locale() const {
    std::lock_guard lock(_mutex);
    return _locale.value_or(Locale::current());
}

void NumberFormatter::setLocale(const std::optional<Locale>& locale) {
    std::lock_guard lock(_mutex);
    _locale = locale;
    _impl->format.reset();
}

void NumberFormatter::setNumberStyle(NumberFormatterStyle style) {
    std::lock_guard lock(_mutex);
    _numberStyle = style;
    _impl->format.reset();
}

std::string NumberFormatter::stringFromNumber(long value) const {
    std::lock_guard lock(_mutex);
    return _impl->run(*this, [value](const auto& lnf, UErrorCode& status) {
        return lnf.formatInt(static_cast<int64_t>(value), status);
    });
}

std::string NumberFormatter::stringFromNumber(double value) const {
    std::lock_guard lock(_mutex);
    return _impl->run(
        *this, [value](const auto& lnf, UErrorCode& status) { return lnf.formatDouble(value, status); });
}

} // namespace fnd
