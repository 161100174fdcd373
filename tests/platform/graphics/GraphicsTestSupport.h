#pragma once

// Helpers of the graphics tests: drawing into a fresh image, reading pixels as 8-bit
// values, and restoring the process settings a test changes.

#include "platform/graphics/Color.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"

#include <cmath>
#include <functional>
#include <ostream>

namespace gfx::test {

// Renders `draw` into a transparent image of `size` points at `scale` and returns it.
inline ImageRef render(Size size, double scale, const std::function<void(GraphicsContext&)>& draw) {
    beginImageContext(size, false, scale);
    if (GraphicsContext* context = currentContext()) draw(*context);
    ImageRef image = imageFromCurrentImageContext();
    endImageContext();
    return image;
}

struct Pixel8 {
    int r, g, b, a;
    friend bool operator==(const Pixel8&, const Pixel8&) = default;
};

inline Pixel8 pixel8(const ImageRef& image, int x, int y) {
    const RGBA c = image->pixel(x, y);
    auto q = [](double v) { return static_cast<int>(std::lround(v * 255)); };
    return {q(c.r), q(c.g), q(c.b), q(c.a)};
}

inline std::ostream& operator<<(std::ostream& os, const Pixel8& p) {
    return os << "(" << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ")";
}

// Puts back the screen scale, appearance and system-colour switch on destruction.
struct ScopedGraphicsSettings {
    double scale = screenScale();
    Appearance appearance = currentAppearance();
    bool systemColors = systemColorsAvailable();
    ~ScopedGraphicsSettings() {
        setScreenScale(scale);
        setCurrentAppearance(appearance);
        setSystemColorsAvailable(systemColors);
    }
};

} // namespace gfx::test
