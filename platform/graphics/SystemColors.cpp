#include "platform/graphics/SystemColors.h"

#include "platform/graphics/Screen.h"

namespace gfx {

Color systemColorOr(const Color& system, const Color& fallback) {
    return systemColorsAvailable() ? system : fallback;
}

} // namespace gfx
