#include "OLMCalendar/XQCalendarEvent.h"

#include "platform/graphics/SystemColors.h"

#include <atomic>

OLM_DEFINE_CLASS(XQCalendarEvent, rt::Object)

namespace {
std::atomic<unsigned long> nextEventId{0};
}

void XQCalendarEvent::init() {
    _eventId = nextEventId.fetch_add(1, std::memory_order_relaxed);
    _eventColor = gfx::systemColorOr(gfx::systemColors::label(), gfx::colors::black());
}
