#pragma once

// Colours. A colour is a value: fixed RGBA, or dynamic (one RGBA for the light and one for
// the dark appearance, resolved when it is drawn, as the system colours are).

namespace gfx {

struct RGBA {
    double r = 0, g = 0, b = 0, a = 0;
    friend constexpr bool operator==(const RGBA&, const RGBA&) = default;
};

enum class Appearance { light, dark };

// The appearance dynamic colours resolve against (light by default).
Appearance currentAppearance();
void setCurrentAppearance(Appearance appearance);

class Color {
public:
    // Fully transparent black: the clear colour.
    constexpr Color() = default;
    constexpr explicit Color(RGBA c) : _light(c), _dark(c) {}

    // Components as fractions 0..1 (clamped when resolved).
    static constexpr Color rgba(double r, double g, double b, double a = 1) { return Color(RGBA{r, g, b, a}); }
    // 8-bit components, each divided by 255 (the "RGB r, g, b" of the themes).
    static constexpr Color rgb8(int r, int g, int b, double a = 1) {
        return rgba(r / 255.0, g / 255.0, b / 255.0, a);
    }
    static constexpr Color white(double w, double a = 1) { return rgba(w, w, w, a); }
    static constexpr Color dynamic(RGBA light, RGBA dark) {
        Color c(light);
        c._dark = dark;
        return c;
    }

    // Replaces the alpha of both appearances.
    constexpr Color withAlpha(double a) const {
        Color c = *this;
        c._light.a = a;
        c._dark.a = a;
        return c;
    }

    constexpr bool isDynamic() const { return !(_light == _dark); }
    constexpr RGBA resolved(Appearance appearance) const {
        return appearance == Appearance::dark ? _dark : _light;
    }
    RGBA resolved() const { return resolved(currentAppearance()); }
    constexpr const RGBA& light() const { return _light; }
    constexpr const RGBA& dark() const { return _dark; }

    friend constexpr bool operator==(const Color&, const Color&) = default;

private:
    RGBA _light;
    RGBA _dark;
};

} // namespace gfx
