#pragma once

// What a cell of the day view answers to be bound to an event: the day view dequeues its
// cells and, when a cell adopts this interface, attaches the item's event to it. The stock
// timed and all-day cells adopt it; an application's own cells may.

#include "OLMCalendar/XQCalendarProtocols.h"

class XQCalendarDayViewEventCellProtocol {
public:
    virtual ~XQCalendarDayViewEventCellProtocol() = default;

    // Binds the cell to the event (held weakly).
    virtual void attachWithEvent(const XQCalendarEventRef& event) = 0;
    // The attached event; null when none was attached or it is gone.
    virtual XQCalendarEventRef event() const = 0;
};
