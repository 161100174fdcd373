#pragma once

// Text helpers: case mapping with the root locale's rules (as the calendar's month and
// weekday names need them), a printf-style formatter that checks every argument against
// its specifier at run time, and the localized-string look-up.

#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace fnd {

// Upper / lower case of UTF-8 text with locale-independent (root) rules: "straße" becomes
// "STRASSE", "İ" lower-cases to "i̇". Malformed UTF-8 is replaced by U+FFFD.
std::string uppercase(std::string_view text);
std::string lowercase(std::string_view text);

// One argument of stringWithFormat: an integer, a floating-point number or text. Text is
// referenced, not copied: the argument lives only for the call.
class FormatArgument {
public:
    enum class Kind { Signed, Unsigned, Floating, Text };

    FormatArgument(bool value) : _kind(Kind::Signed), _signed(value ? 1 : 0) {}
    template <std::signed_integral T> FormatArgument(T value) : _kind(Kind::Signed), _signed(value) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) FormatArgument(T value) : _kind(Kind::Unsigned), _unsigned(value) {}
    template <std::floating_point T>
    FormatArgument(T value) : _kind(Kind::Floating), _floating(static_cast<double>(value)) {}
    // A null C string is the text "(null)".
    FormatArgument(const char* text) : _kind(Kind::Text), _text(text ? std::string_view(text) : "(null)") {}
    FormatArgument(std::string_view text) : _kind(Kind::Text), _text(text) {}
    FormatArgument(const std::string& text) : _kind(Kind::Text), _text(text) {}

    Kind kind() const { return _kind; }
    long long signedValue() const { return _signed; }
    unsigned long long unsignedValue() const { return _unsigned; }
    double floatingValue() const { return _floating; }
    std::string_view text() const { return _text; }

private:
    Kind _kind;
    union {
        long long _signed;
        unsigned long long _unsigned;
        double _floating = 0;
    };
    std::string_view _text;
};

// Formats like printf / stringWithFormat: %d %i %u %o %x %X %c %f %F %e %E %g %G %a %A %s %@
// %p %% with flags (-+ 0#), width, precision ('*' takes an argument) and positional
// arguments (%2$@); length modifiers (l, ll, h, hh, q, z, t, j, L) are accepted and ignored,
// since each argument carries its own type. Defined output for every mistake:
// - an argument of another kind is converted (numbers between integer and floating
//   point, truncating toward zero; numbers under %s/%@ are written out; text under a
//   number specifier is inserted as text),
// - a specifier without an argument is copied literally, extra arguments are ignored,
// - an unknown or unfinished specifier is copied literally.
// Widths and precisions of text count characters, not bytes. Pass user text only as an
// argument, never as the format.
std::string formatWithArguments(std::string_view format, std::span<const FormatArgument> arguments);

namespace detail {
template <class... Args> std::string formatPack(std::string_view format, const Args&... args) {
    if constexpr (sizeof...(Args) == 0) {
        return formatWithArguments(format, {});
    } else {
        const FormatArgument arguments[] = {FormatArgument(args)...};
        return formatWithArguments(format, arguments);
    }
}
} // namespace detail

// A null format gives "".
template <class... Args> std::string stringWithFormat(const char* format, const Args&... args) {
    return detail::formatPack(format ? std::string_view(format) : std::string_view(), args...);
}

template <class... Args> std::string stringWithFormat(const std::string& format, const Args&... args) {
    return detail::formatPack(std::string_view(format), args...);
}

// The translation of a key in the application's string table, falling back to `value`
// when that is not empty, else to the key itself. There are no tables yet, so every key
// comes back as it is ("%d more...").
std::string localizedString(std::string_view key, std::string_view value = {}, std::string_view table = {});

} // namespace fnd
