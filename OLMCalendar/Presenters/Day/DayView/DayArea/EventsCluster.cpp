#include "OLMCalendar/Presenters/Day/DayView/DayArea/EventsCluster.h"

#include <algorithm>

OLM_DEFINE_CLASS(EventsCluster, rt::Object)

namespace {

std::optional<fnd::Date> effectiveEnd(const XQCalendarEventProtocol& event) {
    const auto start = event.startDate();
    const auto end = event.endDate();
    if (start && end && *end < *start) return start;
    return end;
}

} // namespace

void EventsCluster::addEvent(const XQCalendarEventRef& event) {
    if (!event) return;
    _events.push_back(event);
    _sorted = false;
    if (const auto s = event->startDate(); s && (!_start || *s < *_start)) _start = s;
    if (const auto e = effectiveEnd(*event); e && (!_end || *e > *_end)) _end = e;
}

const XQCalendarEvents& EventsCluster::sortedEvents() const {
    if (!_sorted) {
        _sortedEvents = _events;
        std::stable_sort(_sortedEvents.begin(), _sortedEvents.end(),
                         [](const XQCalendarEventRef& a, const XQCalendarEventRef& b) {
                             const auto sa = a->startDate(), sb = b->startDate();
                             if (!sb) return sa.has_value();
                             return sa && *sa < *sb;
                         });
        _sorted = true;
    }
    return _sortedEvents;
}

bool EventsCluster::intersectsWithStart(const std::optional<fnd::Date>& s, const std::optional<fnd::Date>& e) const {
    if (!s || !e || !_start || !_end) return false;
    if (*s > *_start) return *s < *_end;
    return *e > *_start;
}

bool EventsCluster::intersectsWithEvent(const XQCalendarEventRef& event) const {
    return event && intersectsWithStart(event->startDate(), effectiveEnd(*event));
}

bool EventsCluster::intersectsWithCluster(const EventsCluster& cluster) const {
    return intersectsWithStart(cluster._start, cluster._end);
}

void EventsCluster::mergeWithCluster(const EventsCluster& cluster) {
    if (&cluster == this) return;
    const XQCalendarEvents events = cluster.sortedEvents();
    for (const XQCalendarEventRef& event : events)
        addEvent(event);
}
