#pragma once

// Instants in time. A Date is a number of seconds (double precision) since the Unix epoch;
// it carries no time zone or calendar: those belong to fnd::Calendar and the formatters.
// "Now" comes from fnd::Clock, which tests fix so that "today" never depends on the
// machine's clock.

#include <optional>

namespace fnd {

// The three-way result of comparisons, with the integer values callers switch on.
enum ComparisonResult : long {
    OrderedAscending = -1, // the receiver is earlier / smaller
    OrderedSame = 0,
    OrderedDescending = 1, // the receiver is later / larger
};

// Seconds; negative intervals point into the past.
using TimeInterval = double;

// Seconds from 1970-01-01 00:00 UTC to 2001-01-01 00:00 UTC.
inline constexpr TimeInterval TimeIntervalSince1970AtReferenceDate = 978307200.0;

class Date {
public:
    // 1970-01-01 00:00:00 UTC.
    constexpr Date() = default;

    // A NaN interval is stored as 0 so that every Date orders totally and converts to a
    // calendar date; infinities are kept (they order before and after every finite date).
    static constexpr Date fromTimeIntervalSince1970(TimeInterval seconds) {
        Date d;
        d._seconds = seconds != seconds ? 0.0 : seconds;
        return d;
    }
    static constexpr Date fromTimeIntervalSinceReferenceDate(TimeInterval seconds) {
        return fromTimeIntervalSince1970(seconds + TimeIntervalSince1970AtReferenceDate);
    }
    // The clock's current instant (fixed in tests, the real time otherwise).
    static Date now();
    // Far-away instants, used as open bounds (about 4001-01-01 and 0001-01-01).
    static constexpr Date distantFuture() { return fromTimeIntervalSinceReferenceDate(63113904000.0); }
    static constexpr Date distantPast() { return fromTimeIntervalSinceReferenceDate(-63114076800.0); }

    constexpr TimeInterval timeIntervalSince1970() const { return _seconds; }
    constexpr TimeInterval timeIntervalSinceReferenceDate() const {
        return _seconds - TimeIntervalSince1970AtReferenceDate;
    }
    constexpr TimeInterval timeIntervalSinceDate(const Date& other) const {
        return _seconds - other._seconds;
    }
    TimeInterval timeIntervalSinceNow() const { return timeIntervalSinceDate(now()); }

    constexpr Date dateByAddingTimeInterval(TimeInterval seconds) const {
        return fromTimeIntervalSince1970(_seconds + seconds);
    }

    constexpr ComparisonResult compare(const Date& other) const {
        if (_seconds < other._seconds) return OrderedAscending;
        if (_seconds > other._seconds) return OrderedDescending;
        return OrderedSame;
    }
    constexpr bool isEqualToDate(const Date& other) const { return _seconds == other._seconds; }
    constexpr const Date& earlierDate(const Date& other) const {
        return other._seconds < _seconds ? other : *this;
    }
    constexpr const Date& laterDate(const Date& other) const {
        return other._seconds > _seconds ? other : *this;
    }

    friend constexpr bool operator==(const Date& a, const Date& b) { return a._seconds == b._seconds; }
    friend constexpr bool operator<(const Date& a, const Date& b) { return a._seconds < b._seconds; }
    friend constexpr bool operator>(const Date& a, const Date& b) { return b < a; }
    friend constexpr bool operator<=(const Date& a, const Date& b) { return !(b < a); }
    friend constexpr bool operator>=(const Date& a, const Date& b) { return !(a < b); }

private:
    TimeInterval _seconds = 0;
};

// The source of Date::now(). Thread-safe.
class Clock {
public:
    // A fixed instant that now() answers from then on; nullopt returns to the real time.
    static void setFixedNow(std::optional<Date> date);
    static std::optional<Date> fixedNow();
    // Moves a fixed "now" by some seconds (no effect on the real time).
    static void advance(TimeInterval seconds);
};

} // namespace fnd
