#pragma once

// Building dates from their fields, for readable expectations.

#include "platform/foundation/DateComponents.h"

#include <optional>

namespace fnd::test {

inline DateComponents ymd(long y, long m, long d, std::optional<long> h = {}, std::optional<long> mi = {},
                          std::optional<long> s = {}) {
    DateComponents c;
    c.year = y;
    c.month = m;
    c.day = d;
    c.hour = h;
    c.minute = mi;
    c.second = s;
    return c;
}

} // namespace fnd::test
