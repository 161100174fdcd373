#include "platform/graphics/Screen.h"

#include <atomic>
#include <cmath>

namespace gfx {
namespace {
std::atomic<double> gScreenScale{3.0};
std::atomic<bool> gSystemColorsAvailable{true};
} // namespace

double screenScale() {
    return gScreenScale.load(std::memory_order_relaxed);
}

void setScreenScale(double scale) {
    if (std::isfinite(scale) && scale > 0) gScreenScale.store(scale, std::memory_order_relaxed);
}

bool systemColorsAvailable() {
    return gSystemColorsAvailable.load(std::memory_order_relaxed);
}
void setSystemColorsAvailable(bool available) {
    gSystemColorsAvailable.store(available, std::memory_order_relaxed);
}

} // namespace gfx
