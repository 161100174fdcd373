#pragma once

// Fonts: a family, weight, style and size, with the metrics that layout needs. Fonts are
// immutable and shared (`FontRef`); the factories never answer null. The toolkit's names map
// onto installed families: the system font and Helvetica-style names ("HelveticaNeue-Light",
// "Helvetica-Bold", "Arial") use Liberation Sans (Helvetica-metric), Times- and Courier-style
// names Liberation Serif and Mono, other names an installed family of that name, and anything
// else the system font. DejaVu Sans is the fallback for characters a family lacks.

#include "platform/graphics/Geometry.h"

#include <memory>
#include <string>
#include <string_view>

typedef struct _PangoFontDescription PangoFontDescription;

namespace gfx {
namespace detail {
struct FontSpec;
}

class Font;
using FontRef = std::shared_ptr<const Font>;

// Weights on the toolkit's scale (-1...1, regular 0).
struct FontWeight {
    static constexpr double ultraLight = -0.8;
    static constexpr double thin = -0.6;
    static constexpr double light = -0.4;
    static constexpr double regular = 0;
    static constexpr double medium = 0.23;
    static constexpr double semibold = 0.3;
    static constexpr double bold = 0.4;
    static constexpr double heavy = 0.56;
    static constexpr double black = 0.62;
};

class Font {
public:
    // Sizes that are not finite or not above zero become 12 (the default size); sizes are
    // capped at 4096.
    static FontRef systemFont(Float size, double weight = FontWeight::regular);
    static FontRef boldSystemFont(Float size);
    // A PostScript-style name "Family-Style" (style: Light, Medium, Bold, Italic, ...).
    static FontRef named(std::string_view name, Float size);
    // The size used when none is given (the toolkit's string drawing default).
    static FontRef defaultFont();

    FontRef withSize(Float size) const;

    // The name asked for ("HelveticaNeue-Light"), or "System-<Weight>" for system fonts.
    const std::string& fontName() const { return _fontName; }
    // The installed family the font draws with.
    const std::string& familyName() const { return _familyName; }
    Float pointSize() const { return _pointSize; }
    // Heights from the baseline: ascender above it (positive), descender below it (negative,
    // as the toolkit reports it); lineHeight = ascender - descender, the height of one line
    // of text laid out in the font.
    Float ascender() const { return _ascender; }
    Float descender() const { return _descender; }
    Float lineHeight() const { return _ascender - _descender; }
    // CSS-style weight 100...900 and slant.
    int weightClass() const { return _weightClass; }
    bool isItalic() const { return _italic; }

    // For the text layout: the Pango description and a key naming the font uniquely.
    const PangoFontDescription* description() const { return _description; }
    const std::string& key() const { return _key; }

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

private:
    explicit Font(const detail::FontSpec& spec);
    static FontRef make(const detail::FontSpec& spec);

    std::string _fontName;
    std::string _familyName;
    std::string _key;
    Float _pointSize = 12;
    Float _ascender = 0;
    Float _descender = 0;
    int _weightClass = 400;
    bool _italic = false;
    bool _system = false;
    double _systemWeight = 0;
    PangoFontDescription* _description = nullptr;
};

} // namespace gfx
