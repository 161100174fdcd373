#include "platform/graphics/detail/TextEngine.h"

#include <pango/pangocairo.h>

#include <cctype>
#include <map>

namespace gfx::detail {
namespace {

std::string normalizedName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char ch : name)
        if (ch != ' ' && ch != '-' && ch != '_')
            out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
    return out;
}

struct Engine {
    PangoContext* context = nullptr;
    std::map<std::string, std::string> families; // normalized name -> installed family name

    Engine() {
        PangoFontMap* map = pango_cairo_font_map_get_default();
        context = pango_font_map_create_context(map);
        pango_cairo_context_set_resolution(context, 72);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context, FALSE);

        PangoFontFamily** list = nullptr;
        int count = 0;
        pango_font_map_list_families(map, &list, &count);
        for (int i = 0; i < count; ++i) {
            const char* name = pango_font_family_get_name(list[i]);
            if (name) families.emplace(normalizedName(name), name);
        }
        g_free(list);
    }
    ~Engine() { g_object_unref(context); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
};

Engine& engine() {
    thread_local Engine e;
    return e;
}

} // namespace

PangoContext* pangoContext() {
    return engine().context;
}

std::string installedFamily(std::string_view name) {
    const auto& families = engine().families;
    const auto it = families.find(normalizedName(name));
    return it == families.end() ? std::string() : it->second;
}

void appendValidUtf8(std::string& out, std::string_view in) {
    const char* p = in.data();
    const char* const end = in.data() + in.size();
    while (p < end) {
        const gchar* stop = nullptr;
        const bool valid = g_utf8_validate_len(p, static_cast<gsize>(end - p), &stop);
        out.append(p, stop);
        if (valid) break;
        out.append("\xEF\xBF\xBD");
        p = stop + 1;
    }
}

} // namespace gfx::detail
