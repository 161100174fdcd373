#pragma once

// A range of selected dates. The range keeps its dates in order (start no later than end)
// and remembers whether making it swapped them, so that the date the user selected last is
// known whichever way the range was dragged.

#include "platform/foundation/Date.h"
#include "platform/runtime/Object.h"

#include <optional>

class XQDateRange : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQDateRange)
    // An empty range: no start, no end.
    static std::shared_ptr<XQDateRange> make() { return rt::create<XQDateRange>(); }
    // A range from `start` to `end`, put in order. The date given as `end` is taken as the last
    // selected one: when it is earlier than `start` the two are swapped and isNormalized() says
    // so. A range with a nil end is kept as given.
    static std::shared_ptr<XQDateRange> make(std::optional<fnd::Date> start, std::optional<fnd::Date> end) {
        return rt::create<XQDateRange>(start, end);
    }

    const std::optional<fnd::Date>& startDate() const { return _startDate; }
    const std::optional<fnd::Date>& endDate() const { return _endDate; }
    // YES: the last selected date is startDate() (the dates were given backwards); NO: it is
    // endDate().
    bool isNormalized() const { return _normalized; }

protected:
    friend struct rt::Access;
    XQDateRange() = default;
    void init() {}
    void init(std::optional<fnd::Date> start, std::optional<fnd::Date> end);

private:
    std::optional<fnd::Date> _startDate;
    std::optional<fnd::Date> _endDate;
    bool _normalized = false;
};
