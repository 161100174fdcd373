#include "platform/foundation/Locale.h"

#include "platform/foundation/detail/Icu.h"
#include "platform/foundation/detail/ProcessDefault.h"

namespace fnd {

namespace {

detail::ProcessDefault<Locale>& currentLocale() {
    static detail::ProcessDefault<Locale> current{Locale(icu::Locale::getDefault().getName())};
    return current;
}

} // namespace

Locale::Locale(std::string_view identifier) {
    const icu::Locale locale = icu::Locale::createFromName(std::string(identifier).c_str());
    // Unparseable identifiers give the root locale rather than a broken one.
    if (!locale.isBogus()) _identifier = locale.getName();
}

std::string Locale::languageCode() const {
    return detail::icuLocale(*this).getLanguage();
}

std::string Locale::countryCode() const {
    return detail::icuLocale(*this).getCountry();
}

std::string Locale::keywordValue(std::string_view keyword) const {
    UErrorCode status = U_ZERO_ERROR;
    std::string value = detail::icuLocale(*this).getKeywordValue<std::string>(
        icu::StringPiece(keyword.data(), static_cast<int32_t>(keyword.size())), status);
    return U_SUCCESS(status) ? value : std::string();
}

Locale Locale::current() {
    return currentLocale().get();
}

void Locale::setCurrent(const Locale& locale) {
    currentLocale().set(locale);
    detail::defaultsChanged();
}

} // namespace fnd
