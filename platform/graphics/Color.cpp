#include "platform/graphics/Color.h"

namespace gfx {
namespace {
Appearance gAppearance = Appearance::light;
}

Appearance currentAppearance() { return gAppearance; }
void setCurrentAppearance(Appearance appearance) { gAppearance = appearance; }

} // namespace gfx
