#include "platform/foundation/Strings.h"

#include "platform/foundation/detail/Icu.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace fnd {

std::string uppercase(std::string_view text) {
    icu::UnicodeString u = detail::toUnicode(text);
    return detail::toUtf8(u.toUpper(icu::Locale::getRoot()));
}

std::string lowercase(std::string_view text) {
    icu::UnicodeString u = detail::toUnicode(text);
    return detail::toUtf8(u.toLower(icu::Locale::getRoot()));
}

std::string localizedString(std::string_view key, std::string_view value, std::string_view /*table*/) {
    return std::string(value.empty() ? key : value);
}

namespace {

using Kind = FormatArgument::Kind;

// Widths and precisions beyond this are clamped: nobody pads a calendar label that far,
// and it bounds the memory one specifier can ask for.
constexpr int kMaxWidth = 4096;

// One conversion directive (%...d and friends), as parsed.
struct Spec {
    std::string flags;
    std::optional<int> width;
    std::optional<int> precision;
    char conversion = 0;
};

std::size_t countCharacters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The first `n` characters of UTF-8 text (never cutting a character in two).
std::string_view firstCharacters(std::string_view text, std::size_t n) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && seen++ == n) return text.substr(0, i);
    }
    return text;
}

void appendText(std::string& out, std::string_view text, const Spec& spec) {
    if (spec.precision) text = firstCharacters(text, static_cast<std::size_t>(*spec.precision));
    const std::size_t length = countCharacters(text);
    const std::size_t pad =
        spec.width && static_cast<std::size_t>(*spec.width) > length ? *spec.width - length : 0;
    const bool left = spec.flags.find('-') != std::string::npos;
    if (!left) out.append(pad, ' ');
    out.append(text);
    if (left) out.append(pad, ' ');
}

// The C printf of one number, with the parsed flags, width and precision.
template <class T>
void appendPrintf(std::string& out, const Spec& spec, const char* length, char conversion, T value) {
    std::string f = "%";
    for (char flag : spec.flags) {
        // '#' is only defined for the octal, hex and floating-point conversions.
        if (flag != '#' || std::string_view("oxXaAeEfFgG").find(conversion) != std::string_view::npos)
            f += flag;
    }
    if (spec.width) f += std::to_string(*spec.width);
    if (spec.precision) {
        f += '.';
        f += std::to_string(*spec.precision);
    }
    f += length;
    f += conversion;
    char buffer[128];
    const int n = std::snprintf(buffer, sizeof buffer, f.c_str(), value);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof buffer) {
        out.append(buffer, static_cast<std::size_t>(n));
        return;
    }
    std::string big(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(big.data(), big.size(), f.c_str(), value);
    big.resize(static_cast<std::size_t>(n));
    out += big;
}

long long toSigned(const FormatArgument& a) {
    switch (a.kind()) {
    case Kind::Signed:
        return a.signedValue();
    case Kind::Unsigned:
        return static_cast<long long>(a.unsignedValue());
    case Kind::Floating: {
        const double v = a.floatingValue();
        if (std::isnan(v)) return 0;
        if (v >= 9.2e18) return LLONG_MAX;
        if (v <= -9.2e18) return LLONG_MIN;
        return static_cast<long long>(v);
    }
    case Kind::Text:
        break;
    }
    return 0;
}

double toFloating(const FormatArgument& a) {
    switch (a.kind()) {
    case Kind::Signed:
        return static_cast<double>(a.signedValue());
    case Kind::Unsigned:
        return static_cast<double>(a.unsignedValue());
    case Kind::Floating:
        return a.floatingValue();
    case Kind::Text:
        break;
    }
    return 0;
}

// A number as %@ writes it: integers in full, floating point in its shortest exact form.
std::string describe(const FormatArgument& a) {
    char buffer[64];
    std::to_chars_result r{};
    switch (a.kind()) {
    case Kind::Signed:
        r = std::to_chars(buffer, buffer + sizeof buffer, a.signedValue());
        break;
    case Kind::Unsigned:
        r = std::to_chars(buffer, buffer + sizeof buffer, a.unsignedValue());
        break;
    case Kind::Floating:
        r = std::to_chars(buffer, buffer + sizeof buffer, a.floatingValue());
        break;
    case Kind::Text:
        return std::string(a.text());
    }
    return std::string(buffer, r.ptr);
}

void appendCodePoint(std::string& out, long long cp) {
    if (cp < 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    const auto c = static_cast<char32_t>(cp);
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendArgument(std::string& out, const Spec& spec, const FormatArgument& a) {
    const char c = spec.conversion;
    if (c == 's' || c == 'S' || c == '@') return appendText(out, describe(a), spec);
    if (a.kind() == Kind::Text) return appendText(out, a.text(), spec);
    switch (c) {
    case 'd':
    case 'i':
        return appendPrintf(out, spec, "ll", 'd', toSigned(a));
    case 'u':
    case 'o':
    case 'x':
    case 'X':
        return appendPrintf(out, spec, "ll", c, static_cast<unsigned long long>(toSigned(a)));
    case 'p': {
        Spec hex = spec;
        hex.flags += '#';
        return appendPrintf(out, hex, "ll", 'x', static_cast<unsigned long long>(toSigned(a)));
    }
    case 'c':
    case 'C': {
        std::string ch;
        appendCodePoint(ch, toSigned(a));
        Spec plain = spec;
        plain.precision.reset();
        return appendText(out, ch, plain);
    }
    default:
        return appendPrintf(out, spec, "", c, toFloating(a)); // f F e E g G a A
    }
}

// Reads a decimal number at `i`; nullopt when there is none.
std::optional<long> readNumber(std::string_view s, std::size_t& i) {
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return std::nullopt;
    long n = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        n = std::min<long>(n * 10 + (s[i] - '0'), 1'000'000);
        ++i;
    }
    return n;
}

constexpr std::string_view kConversions = "diuoxXcCsS@pfFeEgGaA";

} // namespace

std::string formatWithArguments(std::string_view format, std::span<const FormatArgument> arguments) {
    std::string out;
    out.reserve(format.size() + 16);
    std::size_t next = 0; // the next sequential argument
    auto take = [&](std::optional<long> position) -> const FormatArgument* {
        if (position)
            return *position >= 1 && static_cast<std::size_t>(*position) <= arguments.size()
                       ? &arguments[static_cast<std::size_t>(*position) - 1]
                       : nullptr;
        return next < arguments.size() ? &arguments[next++] : nullptr;
    };
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find('%', i);
        out.append(
            format.substr(i, percent == std::string_view::npos ? std::string_view::npos : percent - i));
        if (percent == std::string_view::npos) break;
        std::size_t j = percent + 1;
        if (j < format.size() && format[j] == '%') {
            out += '%';
            i = j + 1;
            continue;
        }
        Spec spec;
        bool missing = false;
        // Positional argument: digits followed by '$'.
        std::optional<long> position;
        {
            std::size_t k = j;
            const auto n = readNumber(format, k);
            if (n && k < format.size() && format[k] == '$') {
                position = n;
                j = k + 1;
            }
        }
        while (j < format.size() && std::string_view("-+ 0#").find(format[j]) != std::string_view::npos) {
            if (spec.flags.find(format[j]) == std::string::npos) spec.flags += format[j];
            ++j;
        }
        // A '*' takes the next argument (an integer) as the width or precision.
        auto starValue = [&]() -> std::optional<int> {
            const FormatArgument* a = take(std::nullopt);
            if (!a) {
                missing = true;
                return std::nullopt;
            }
            return static_cast<int>(std::clamp<long long>(toSigned(*a), -kMaxWidth, kMaxWidth));
        };
        if (j < format.size() && format[j] == '*') {
            ++j;
            spec.width = starValue();
            if (spec.width && *spec.width < 0) { // a negative width means left-justified
                spec.flags += '-';
                spec.width = -*spec.width;
            }
        } else if (auto w = readNumber(format, j)) {
            spec.width = static_cast<int>(std::min<long>(*w, kMaxWidth));
        }
        if (j < format.size() && format[j] == '.') {
            ++j;
            if (j < format.size() && format[j] == '*') {
                ++j;
                spec.precision = starValue();
                if (spec.precision && *spec.precision < 0) spec.precision.reset(); // as if omitted
            } else {
                spec.precision =
                    static_cast<int>(std::min<long>(readNumber(format, j).value_or(0), kMaxWidth));
            }
        }
        while (j < format.size() && std::string_view("hlqLztj").find(format[j]) != std::string_view::npos)
            ++j;
        if (j >= format.size() || kConversions.find(format[j]) == std::string_view::npos) {
            // Unfinished or unknown: copied as it stands, conversion character included.
            const std::size_t end = std::min(j + 1, format.size());
            out.append(format.substr(percent, end - percent));
            i = end;
            continue;
        }
        spec.conversion = format[j];
        i = j + 1;
        const FormatArgument* argument = missing ? nullptr : take(position);
        if (!argument) {
            out.append(format.substr(percent, i - percent));
            continue;
        }
        appendArgument(out, spec, *argument);
    }
    return out;
}

} // namespace fnd
