#include "platform/graphics/Font.h"

#include "platform/graphics/detail/TextEngine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <mutex>
#include <unordered_map>

namespace gfx {

namespace detail {
struct FontSpec {
    std::string fontName;
    std::string family;
    int weightClass = 400;
    bool italic = false;
    Float size = 12;
    bool system = false;
    double systemWeight = 0;

    std::string key() const {
        return fontName + '\x1f' + family + '\x1f' + std::to_string(weightClass) + (italic ? "i" : "") +
               '\x1f' + std::to_string(size);
    }
};
} // namespace detail

using detail::FontSpec;

namespace {

constexpr Float kDefaultSize = 12;
constexpr Float kMaxSize = 4096;

Float sanitizedSize(Float size) {
    if (!std::isfinite(size) || size <= 0) return kDefaultSize;
    return std::min(size, kMaxSize);
}

struct WeightStep {
    double weight;
    int weightClass;
    const char* name;
};
constexpr std::array<WeightStep, 9> kWeights{{{FontWeight::ultraLight, 100, "UltraLight"},
                                              {FontWeight::thin, 200, "Thin"},
                                              {FontWeight::light, 300, "Light"},
                                              {FontWeight::regular, 400, "Regular"},
                                              {FontWeight::medium, 500, "Medium"},
                                              {FontWeight::semibold, 600, "Semibold"},
                                              {FontWeight::bold, 700, "Bold"},
                                              {FontWeight::heavy, 800, "Heavy"},
                                              {FontWeight::black, 900, "Black"}}};

const WeightStep& nearestWeight(double weight) {
    if (!std::isfinite(weight)) weight = FontWeight::regular;
    const WeightStep* best = &kWeights[3];
    for (const WeightStep& step : kWeights)
        if (std::abs(step.weight - weight) < std::abs(best->weight - weight)) best = &step;
    return *best;
}

std::string lower(std::string_view s) {
    std::string out;
    for (const char ch : s)
        if (ch != ' ') out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
    return out;
}

// The first installed family of the list, or the last entry when none is installed.
std::string firstInstalled(std::initializer_list<const char*> families) {
    for (const char* family : families) {
        std::string found = detail::installedFamily(family);
        if (!found.empty()) return found;
    }
    return *(families.end() - 1);
}

const std::string& sansFamily() {
    static const std::string family =
        firstInstalled({"Liberation Sans", "Nimbus Sans", "DejaVu Sans", "Sans"});
    return family;
}

// Families the toolkit's fonts stand for, keyed by the name's family part without spaces.
std::string aliasedFamily(const std::string& family) {
    static const std::unordered_map<std::string, int> aliases{
        {"helveticaneue", 0}, {"helvetica", 0}, {"arial", 0},           {"system", 0},    {".sfui", 0},
        {"sfui", 0},          {"sfuitext", 0},  {"sfuidisplay", 0},     {"sfprotext", 0}, {"sfprodisplay", 0},
        {"timesnewroman", 1}, {"times", 1},     {"timesnewromanps", 1}, {"georgia", 1},   {"courier", 2},
        {"couriernew", 2},    {"menlo", 2},     {"couriernewps", 2}};
    const auto it = aliases.find(family);
    if (it == aliases.end()) return {};
    switch (it->second) {
    case 1:
        return firstInstalled({"Liberation Serif", "DejaVu Serif", "Serif"});
    case 2:
        return firstInstalled({"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
    default:
        return sansFamily();
    }
}

// The weight class of a style part ("Light", "BoldItalic", ...); sets `italic`.
int styleWeight(std::string style, bool& italic) {
    for (const char* slant : {"italic", "oblique"}) {
        const auto at = style.find(slant);
        if (at != std::string::npos) {
            italic = true;
            style.erase(at, std::char_traits<char>::length(slant));
        }
    }
    static const std::unordered_map<std::string, int> weights{
        {"ultralight", 100}, {"extralight", 200}, {"thin", 200},     {"light", 300},
        {"medium", 500},     {"semibold", 600},   {"demibold", 600}, {"bold", 700},
        {"heavy", 800},      {"extrabold", 800},  {"black", 900}};
    const auto it = weights.find(style);
    return it == weights.end() ? 400 : it->second;
}

FontSpec systemSpec(Float size, double weight, bool italic = false) {
    const WeightStep& step = nearestWeight(weight);
    FontSpec spec;
    spec.fontName = std::string("System-") + step.name;
    spec.family = sansFamily();
    spec.weightClass = step.weightClass;
    spec.italic = italic;
    spec.size = sanitizedSize(size);
    spec.system = true;
    spec.systemWeight = step.weight;
    return spec;
}

std::mutex gCacheMutex;

} // namespace

Font::Font(const FontSpec& spec)
    : _fontName(spec.fontName), _familyName(spec.family), _key(spec.key()), _pointSize(spec.size),
      _weightClass(spec.weightClass), _italic(spec.italic), _system(spec.system),
      _systemWeight(spec.systemWeight) {
    _description = pango_font_description_new();
    // The family first, DejaVu Sans for whatever characters it lacks.
    const std::string families = _familyName == "DejaVu Sans" ? _familyName : _familyName + ",DejaVu Sans";
    pango_font_description_set_family(_description, families.c_str());
    pango_font_description_set_weight(_description, static_cast<PangoWeight>(_weightClass));
    pango_font_description_set_style(_description, _italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(_description, _pointSize * PANGO_SCALE);

    PangoFontMetrics* metrics =
        pango_context_get_metrics(detail::pangoContext(), _description, pango_language_from_string("en"));
    _ascender = static_cast<Float>(pango_font_metrics_get_ascent(metrics)) / PANGO_SCALE;
    _descender = -static_cast<Float>(pango_font_metrics_get_descent(metrics)) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
}

Font::~Font() {
    pango_font_description_free(_description);
}

FontRef Font::make(const FontSpec& spec) {
    static std::unordered_map<std::string, FontRef> cache;
    const std::string key = spec.key();
    std::lock_guard<std::mutex> lock(gCacheMutex);
    if (const auto it = cache.find(key); it != cache.end()) return it->second;
    // Sizes vary freely (zooming): keep the cache bounded.
    if (cache.size() >= 1024) cache.clear();
    FontRef font(new Font(spec));
    cache.emplace(key, font);
    return font;
}

FontRef Font::systemFont(Float size, double weight) {
    return make(systemSpec(size, weight));
}

FontRef Font::boldSystemFont(Float size) {
    return systemFont(size, FontWeight::bold);
}

FontRef Font::defaultFont() {
    return systemFont(kDefaultSize);
}

FontRef Font::named(std::string_view name, Float size) {
    const std::size_t dash = name.find('-');
    const std::string familyPart = lower(name.substr(0, dash));
    const std::string stylePart =
        dash == std::string_view::npos ? std::string() : lower(name.substr(dash + 1));
    bool italic = false;
    const int weightClass = styleWeight(stylePart, italic);

    std::string family = aliasedFamily(familyPart);
    if (family.empty()) family = detail::installedFamily(familyPart);
    if (family.empty() && dash != std::string_view::npos) family = detail::installedFamily(name);
    if (family.empty() || name.empty()) {
        // Unknown: the system font, keeping the weight and slant the name asked for.
        FontSpec spec = systemSpec(size, FontWeight::regular, italic);
        for (const WeightStep& step : kWeights)
            if (step.weightClass == weightClass) spec = systemSpec(size, step.weight, italic);
        return make(spec);
    }
    FontSpec spec;
    spec.fontName = std::string(name);
    spec.family = family;
    spec.weightClass = weightClass;
    spec.italic = italic;
    spec.size = sanitizedSize(size);
    return make(spec);
}

FontRef Font::withSize(Float size) const {
    if (_system) return make(systemSpec(size, _systemWeight, _italic));
    FontSpec spec;
    spec.fontName = _fontName;
    spec.family = _familyName;
    spec.weightClass = _weightClass;
    spec.italic = _italic;
    spec.size = sanitizedSize(size);
    return make(spec);
}

} // namespace gfx
