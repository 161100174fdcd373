#pragma once

// What the presenter benchmarks share: dates of the default calendar and per-frame timing.

#include "platform/foundation/Calendar.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/TestDriver.h"
#include "platform/ui/Window.h"

#include "bench/FrameTiming.h"

namespace bench {

// An hour (00:00 unless given) of a day in the default calendar and time zone.
inline fnd::Date at(long year, long month, long day, long hour = 0) {
    fnd::DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    return *fnd::Calendar::make()->dateFromComponents(c);
}

// Composites the frame of the driver's last turn (the window composites on demand) into the
// frame buffer, without copying the buffer out as an image.
inline void compositeFrame(const ui::TestDriver& driver) {
    benchmark::DoNotOptimize(driver.window()->compositor().statistics().damagedPixels);
}

} // namespace bench
