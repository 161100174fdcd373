#pragma once

// Internal: the Pango context shared by fonts and text layout (one per thread, as Pango's
// objects are not thread-safe). Fonts are laid out at 72 units per inch, so a font size in
// points is a size in user-space units, and without metric hinting, so a layout measured once
// draws the same at any pixel scale.

#include <pango/pango.h>

#include <string>
#include <string_view>

namespace gfx::detail {

PangoContext* pangoContext();

// The installed family whose name equals `name` ignoring case and spaces, or empty.
std::string installedFamily(std::string_view name);

// Appends `in` to `out` with every byte that is not part of valid UTF-8, and every NUL,
// replaced by U+FFFD (Pango requires valid UTF-8).
void appendValidUtf8(std::string& out, std::string_view in);

} // namespace gfx::detail
