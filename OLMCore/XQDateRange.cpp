#include "OLMCore/XQDateRange.h"

OLM_DEFINE_CLASS(XQDateRange, rt::Object)

void XQDateRange::init(std::optional<fnd::Date> start, std::optional<fnd::Date> end) {
    _normalized = start && end && *end < *start;
    if (_normalized) std::swap(start, end);
    _startDate = start;
    _endDate = end;
}
