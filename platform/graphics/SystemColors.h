#pragma once

// The named colours of the toolkit.
//
// `gfx::colors` holds the fixed class colours (white, black, gray, ...): the same in both
// appearances. `gfx::systemColors` holds the dynamic system colours, each with its light and
// its dark value; they resolve through `gfx::currentAppearance()` when drawn.
//
// The system colours exist only where `gfx::systemColorsAvailable()` says so; code that must
// also run without them picks with `gfx::systemColorOr(system, fallback)`, e.g.
// `systemColorOr(systemColors::label(), colors::black())`.

#include "platform/graphics/Color.h"

namespace gfx {

namespace colors {
constexpr Color clear() {
    return Color();
}
constexpr Color black() {
    return Color::white(0);
}
constexpr Color darkGray() {
    return Color::white(1.0 / 3.0);
}
constexpr Color gray() {
    return Color::white(0.5);
}
constexpr Color lightGray() {
    return Color::white(2.0 / 3.0);
}
constexpr Color white() {
    return Color::white(1);
}
constexpr Color red() {
    return Color::rgba(1, 0, 0);
}
constexpr Color green() {
    return Color::rgba(0, 1, 0);
}
constexpr Color blue() {
    return Color::rgba(0, 0, 1);
}
constexpr Color cyan() {
    return Color::rgba(0, 1, 1);
}
constexpr Color yellow() {
    return Color::rgba(1, 1, 0);
}
constexpr Color magenta() {
    return Color::rgba(1, 0, 1);
}
constexpr Color orange() {
    return Color::rgba(1, 0.5, 0);
}
constexpr Color purple() {
    return Color::rgba(0.5, 0, 0.5);
}
constexpr Color brown() {
    return Color::rgba(0.6, 0.4, 0.2);
}
} // namespace colors

namespace systemColors {
namespace detail {
constexpr RGBA rgb8(int r, int g, int b, double a = 1) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
}
constexpr Color pair(RGBA light, RGBA dark) {
    return Color::dynamic(light, dark);
}
} // namespace detail

// Text.
constexpr Color label() {
    return detail::pair(detail::rgb8(0, 0, 0), detail::rgb8(255, 255, 255));
}
constexpr Color secondaryLabel() {
    return detail::pair(detail::rgb8(60, 60, 67, 0.6), detail::rgb8(235, 235, 245, 0.6));
}
constexpr Color tertiaryLabel() {
    return detail::pair(detail::rgb8(60, 60, 67, 0.3), detail::rgb8(235, 235, 245, 0.3));
}
constexpr Color quaternaryLabel() {
    return detail::pair(detail::rgb8(60, 60, 67, 0.18), detail::rgb8(235, 235, 245, 0.16));
}
constexpr Color link() {
    return detail::pair(detail::rgb8(0, 122, 255), detail::rgb8(9, 132, 255));
}

// Backgrounds.
constexpr Color systemBackground() {
    return detail::pair(detail::rgb8(255, 255, 255), detail::rgb8(0, 0, 0));
}
constexpr Color secondarySystemBackground() {
    return detail::pair(detail::rgb8(242, 242, 247), detail::rgb8(28, 28, 30));
}
constexpr Color tertiarySystemBackground() {
    return detail::pair(detail::rgb8(255, 255, 255), detail::rgb8(44, 44, 46));
}
constexpr Color systemGroupedBackground() {
    return detail::pair(detail::rgb8(242, 242, 247), detail::rgb8(0, 0, 0));
}
constexpr Color secondarySystemGroupedBackground() {
    return detail::pair(detail::rgb8(255, 255, 255), detail::rgb8(28, 28, 30));
}
constexpr Color tertiarySystemGroupedBackground() {
    return detail::pair(detail::rgb8(242, 242, 247), detail::rgb8(44, 44, 46));
}

// Fills and separators.
constexpr Color systemFill() {
    return detail::pair(detail::rgb8(120, 120, 128, 0.2), detail::rgb8(120, 120, 128, 0.36));
}
constexpr Color separator() {
    return detail::pair(detail::rgb8(60, 60, 67, 0.29), detail::rgb8(84, 84, 88, 0.6));
}
constexpr Color opaqueSeparator() {
    return detail::pair(detail::rgb8(198, 198, 200), detail::rgb8(56, 56, 58));
}

// Greys: systemGray is the same in both appearances, the others darken in dark mode.
constexpr Color systemGray() {
    return detail::pair(detail::rgb8(142, 142, 147), detail::rgb8(142, 142, 147));
}
constexpr Color systemGray2() {
    return detail::pair(detail::rgb8(174, 174, 178), detail::rgb8(99, 99, 102));
}
constexpr Color systemGray3() {
    return detail::pair(detail::rgb8(199, 199, 204), detail::rgb8(72, 72, 74));
}
constexpr Color systemGray4() {
    return detail::pair(detail::rgb8(209, 209, 214), detail::rgb8(58, 58, 60));
}
constexpr Color systemGray5() {
    return detail::pair(detail::rgb8(229, 229, 234), detail::rgb8(44, 44, 46));
}
constexpr Color systemGray6() {
    return detail::pair(detail::rgb8(242, 242, 247), detail::rgb8(28, 28, 30));
}

// Tints.
constexpr Color systemBlue() {
    return detail::pair(detail::rgb8(0, 122, 255), detail::rgb8(10, 132, 255));
}
constexpr Color systemGreen() {
    return detail::pair(detail::rgb8(52, 199, 89), detail::rgb8(48, 209, 88));
}
constexpr Color systemIndigo() {
    return detail::pair(detail::rgb8(88, 86, 214), detail::rgb8(94, 92, 230));
}
constexpr Color systemOrange() {
    return detail::pair(detail::rgb8(255, 149, 0), detail::rgb8(255, 159, 10));
}
constexpr Color systemPink() {
    return detail::pair(detail::rgb8(255, 45, 85), detail::rgb8(255, 55, 95));
}
constexpr Color systemPurple() {
    return detail::pair(detail::rgb8(175, 82, 222), detail::rgb8(191, 90, 242));
}
constexpr Color systemRed() {
    return detail::pair(detail::rgb8(255, 59, 48), detail::rgb8(255, 69, 58));
}
constexpr Color systemTeal() {
    return detail::pair(detail::rgb8(90, 200, 250), detail::rgb8(100, 210, 255));
}
constexpr Color systemYellow() {
    return detail::pair(detail::rgb8(255, 204, 0), detail::rgb8(255, 214, 10));
}

// The default tint of controls.
constexpr Color tint() {
    return systemBlue();
}
} // namespace systemColors

// `system` where the system colours exist, `fallback` otherwise.
Color systemColorOr(const Color& system, const Color& fallback);

} // namespace gfx
