#include "platform/ui/Screen.h"

#include "platform/graphics/Screen.h"

#include <cmath>

namespace ui {

Screen& Screen::mainScreen() {
    static Screen screen;
    return screen;
}

void Screen::setSize(gfx::Size size) {
    if (std::isfinite(size.width) && std::isfinite(size.height) && size.width >= 0 && size.height >= 0)
        _size = size;
}

double Screen::scale() const {
    return gfx::screenScale();
}

void Screen::setScale(double scale) {
    gfx::setScreenScale(scale);
}

Device& Device::currentDevice() {
    static Device device;
    return device;
}

} // namespace ui
