// XQCalendar: the events of one day, from either form of the data source.

#include "OLMCalendar/XQCalendar.h"

#include "platform/foundation/Dispatch.h"

#include <mutex>

namespace {

// What the callback form answers. Shared between the waiting call and the callback, so a
// callback that comes after the wait gave up, comes twice or comes from another thread
// only ever touches live state.
struct PendingEvents {
    std::mutex mutex;
    XQCalendarEvents events;
    bool answered = false;
    fnd::Semaphore answeredSignal{0};
};

} // namespace

XQCalendarEvents XQCalendar::eventsForDate(const fnd::Date& date) {
    auto dataSource = _dataSource.lock();
    if (!dataSource) return {};
    auto self = rt::sharedFrom(this);

    if (auto events = dataSource->calendarEventsForDate(*this, date)) return std::move(*events);

    // The whole day: 00:00 to 23:59:59.
    auto comps = _calendar->components(dayUnits, date);
    comps.hour = 0;
    comps.minute = 0;
    const auto from = _calendar->dateFromComponents(comps);
    comps.hour = 23;
    comps.minute = 59;
    comps.second = 59;
    const auto to = _calendar->dateFromComponents(comps);
    if (!from || !to) return {};

    auto pending = std::make_shared<PendingEvents>();
    auto callback = [pending](XQCalendarEvents events) {
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            if (pending->answered) return; // only the first answer counts
            pending->answered = true;
            pending->events = std::move(events);
        }
        pending->answeredSignal.signal();
    };
    if (!dataSource->calendarEventsFromDate(*this, *from, *to, callback)) return {};

    // On the main thread, keep running the main queue while waiting: a data source that hands
    // its answer to the main queue would otherwise never be heard. The wait is bounded, so one
    // that never answers cannot hang the caller.
    const bool answered = fnd::isMainThread()
                              ? fnd::waitDrainingMainQueue(pending->answeredSignal, _eventsWaitTimeout)
                              : pending->answeredSignal.waitFor(_eventsWaitTimeout);
    if (!answered) return {};
    std::lock_guard<std::mutex> lock(pending->mutex);
    return std::move(pending->events);
}
