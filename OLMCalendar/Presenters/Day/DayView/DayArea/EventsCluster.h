#pragma once

// A cluster of a day's timed events that overlap one another, directly or through other
// events of the cluster, with the span from its earliest start to its latest end. Intervals
// that only touch do not overlap; an event without a start or an end overlaps nothing and
// leaves the span as it is; an end before its start counts as the start (no length).

#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/runtime/Object.h"

#include <optional>

class EventsCluster : public rt::Object {
public:
    OLM_DECLARE_CLASS(EventsCluster)
    // A cluster of one event (initWithEvent:).
    static std::shared_ptr<EventsCluster> make(const XQCalendarEventRef& event) {
        return rt::create<EventsCluster>(event);
    }

    void addEvent(const XQCalendarEventRef& event);
    // The events in the order they were added.
    const XQCalendarEvents& events() const { return _events; }
    // The same, sorted by start (equal starts, and events without one last, in the order added).
    const XQCalendarEvents& sortedEvents() const;

    const std::optional<fnd::Date>& start() const { return _start; }
    void setStart(std::optional<fnd::Date> start) { _start = start; }
    const std::optional<fnd::Date>& end() const { return _end; }
    void setEnd(std::optional<fnd::Date> end) { _end = end; }

    // Whether the interval from s to e overlaps the span: when s is later than the span's
    // start, whether s is earlier than its end; otherwise whether e is later than its start.
    bool intersectsWithStart(const std::optional<fnd::Date>& s, const std::optional<fnd::Date>& e) const;
    bool intersectsWithEvent(const XQCalendarEventRef& event) const;
    bool intersectsWithCluster(const EventsCluster& cluster) const;
    // Adds the other cluster's events in its sorted order; the other is left as it is.
    void mergeWithCluster(const EventsCluster& cluster);

protected:
    friend class rt::Access;
    EventsCluster() = default;
    void init(const XQCalendarEventRef& event) { addEvent(event); }

private:
    XQCalendarEvents _events;
    // Sorted on demand: adding many events one by one sorts once.
    mutable XQCalendarEvents _sortedEvents;
    mutable bool _sorted = true;
    std::optional<fnd::Date> _start;
    std::optional<fnd::Date> _end;
};
