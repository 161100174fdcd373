#include "platform/graphics/Text.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/detail/TextEngine.h"

#include <pango/pangocairo.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>

namespace gfx {
namespace {

// ---- Attributes -------------------------------------------------------------------------

ParagraphStyle paragraphStyleOf(const AttributedString& text) {
    for (const AttributedString::Run& run : text.runs())
        if (run.attributes.paragraphStyle) return *run.attributes.paragraphStyle;
    return ParagraphStyle::defaultStyle();
}

LineBreakMode sanitized(LineBreakMode mode) {
    const long v = static_cast<long>(mode);
    return v >= 0 && v <= 5 ? mode : LineBreakMode::wordWrapping;
}

TextAlignment sanitized(TextAlignment alignment) {
    const long v = static_cast<long>(alignment);
    return v >= 0 && v <= 4 ? alignment : TextAlignment::natural;
}

bool isTruncating(LineBreakMode mode) {
    return mode == LineBreakMode::truncatingHead || mode == LineBreakMode::truncatingTail ||
           mode == LineBreakMode::truncatingMiddle;
}

// String drawing lays truncated and clipped text out on one line.
long stringDrawingLines(const AttributedString& text) {
    const LineBreakMode mode = sanitized(paragraphStyleOf(text).lineBreakMode);
    return isTruncating(mode) || mode == LineBreakMode::clipping ? 1 : 0;
}

RGBA colorOf(const TextAttributes& attributes) {
    return attributes.foregroundColor ? attributes.foregroundColor->resolved() : RGBA{0, 0, 0, 1};
}

bool hasUniformColor(const AttributedString& text) {
    const auto& runs = text.runs();
    return std::all_of(runs.begin(), runs.end(), [&](const AttributedString::Run& r) {
        return colorOf(r.attributes) == colorOf(runs[0].attributes);
    });
}

guint16 channel16(double v) {
    return static_cast<guint16>(std::lround(std::clamp(v, 0.0, 1.0) * 65535));
}

double limit(double v) {
    return std::isfinite(v) && v > 0 ? v : -1;
}

// ---- Layout -----------------------------------------------------------------------------

struct Line {
    PangoLayoutLine* line = nullptr; // owned by the layout
    double x = 0;                    // left of the line's logical box, from the box's left
    double baseline = 0;             // from the box's top
    double width = 0;
};

struct Laid {
    PangoLayout* layout = nullptr;
    std::vector<Line> lines; // the lines shown
    double width = 0;        // widest line shown
    double height = 0;       // down to the bottom of the last line shown
    double firstBaseline = 0;
    bool clipToWidth = false;
    bool truncated = false;
    bool uniformColor = true;
};

struct Box {
    double width = -1;  // -1: unlimited
    double height = -1; // -1: unlimited
    long maxLines = 0;  // 0: unlimited
};

void appendBytes(std::string& key, const void* p, std::size_t n) {
    key.append(static_cast<const char*>(p), n);
}

std::string layoutKey(const AttributedString& text, const Box& box, bool uniformColor) {
    std::string key = text.string();
    key.push_back('\0');
    for (const AttributedString::Run& run : text.runs()) {
        appendBytes(key, &run.start, sizeof run.start);
        appendBytes(key, &run.length, sizeof run.length);
        key += run.attributes.font ? run.attributes.font->key() : std::string();
        key.push_back('\x1e');
        if (!uniformColor) {
            const RGBA c = colorOf(run.attributes);
            appendBytes(key, &c, sizeof c);
        }
    }
    const ParagraphStyle style = paragraphStyleOf(text);
    for (const double v : {static_cast<double>(style.alignment), static_cast<double>(style.lineBreakMode),
                           box.width, box.height, static_cast<double>(box.maxLines)})
        appendBytes(key, &v, sizeof v);
    return key;
}

// The direction of the first character with a strong direction (left to right without one).
bool isRightToLeft(const std::string& text) {
    for (const char* p = text.c_str(); *p; p = g_utf8_next_char(p)) {
        switch (u_charDirection(static_cast<UChar32>(g_utf8_get_char(p)))) {
        case U_LEFT_TO_RIGHT:
            return false;
        case U_RIGHT_TO_LEFT:
        case U_RIGHT_TO_LEFT_ARABIC:
            return true;
        default:
            break;
        }
    }
    return false;
}

PangoAlignment pangoAlignment(TextAlignment alignment, bool rtl) {
    // Pango mirrors left and right for right-to-left paragraphs; the toolkit's left and
    // right are visual, its natural follows the writing direction.
    switch (alignment) {
    case TextAlignment::left:
        return rtl ? PANGO_ALIGN_RIGHT : PANGO_ALIGN_LEFT;
    case TextAlignment::right:
        return rtl ? PANGO_ALIGN_LEFT : PANGO_ALIGN_RIGHT;
    case TextAlignment::center:
        return PANGO_ALIGN_CENTER;
    default:
        return PANGO_ALIGN_LEFT;
    }
}

// Where in the box an unwrapped line goes, as a fraction of the space left over.
double alignmentFactor(TextAlignment alignment, bool rtl) {
    switch (alignment) {
    case TextAlignment::center:
        return 0.5;
    case TextAlignment::right:
        return 1;
    case TextAlignment::left:
        return 0;
    default:
        return rtl ? 1 : 0;
    }
}

PangoLayout* buildLayout(const AttributedString& text, bool uniformColor, std::string& shown) {
    PangoLayout* layout = pango_layout_new(detail::pangoContext());
    pango_layout_set_font_description(layout, Font::defaultFont()->description());
    PangoAttrList* attrs = pango_attr_list_new();
    for (const AttributedString::Run& run : text.runs()) {
        const auto start = static_cast<guint>(shown.size());
        detail::appendValidUtf8(shown, std::string_view(text.string()).substr(run.start, run.length));
        const auto end = static_cast<guint>(shown.size());
        if (run.attributes.font) {
            PangoAttribute* a = pango_attr_font_desc_new(run.attributes.font->description());
            a->start_index = start;
            a->end_index = end;
            pango_attr_list_insert(attrs, a);
        }
        if (!uniformColor) {
            const RGBA c = colorOf(run.attributes);
            PangoAttribute* fg = pango_attr_foreground_new(channel16(c.r), channel16(c.g), channel16(c.b));
            PangoAttribute* alpha = pango_attr_foreground_alpha_new(std::max<guint16>(1, channel16(c.a)));
            fg->start_index = alpha->start_index = start;
            fg->end_index = alpha->end_index = end;
            pango_attr_list_insert(attrs, fg);
            pango_attr_list_insert(attrs, alpha);
        }
    }
    pango_layout_set_text(layout, shown.data(), static_cast<int>(shown.size()));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    return layout;
}

Laid layOut(const AttributedString& text, const Box& box, bool uniformColor) {
    Laid laid;
    laid.uniformColor = uniformColor;
    if (text.empty()) return laid;

    std::string shown;
    PangoLayout* layout = buildLayout(text, uniformColor, shown);
    laid.layout = layout;

    const ParagraphStyle style = paragraphStyleOf(text);
    const LineBreakMode mode = sanitized(style.lineBreakMode);
    const TextAlignment alignment = sanitized(style.alignment);
    const bool rtl = isRightToLeft(shown);
    const bool limitedWidth = box.width > 0;
    const bool oneLine = box.maxLines == 1;

    pango_layout_set_alignment(layout, pangoAlignment(alignment, rtl));
    pango_layout_set_justify(layout, alignment == TextAlignment::justified);
    bool manualAlignment = !limitedWidth;
    if (limitedWidth) {
        const int width = static_cast<int>(std::min(box.width * PANGO_SCALE, double(G_MAXINT / 2)));
        if (mode == LineBreakMode::clipping && oneLine) {
            manualAlignment = true;
            laid.clipToWidth = true;
        } else {
            pango_layout_set_width(layout, width);
            pango_layout_set_wrap(layout, mode == LineBreakMode::charWrapping ? PANGO_WRAP_CHAR
                                                                              : PANGO_WRAP_WORD_CHAR);
        }
        if (isTruncating(mode)) {
            pango_layout_set_ellipsize(layout, mode == LineBreakMode::truncatingHead ? PANGO_ELLIPSIZE_START
                                               : mode == LineBreakMode::truncatingMiddle
                                                   ? PANGO_ELLIPSIZE_MIDDLE
                                                   : PANGO_ELLIPSIZE_END);
            if (box.maxLines > 0)
                pango_layout_set_height(layout,
                                        static_cast<int>(-std::min<long>(box.maxLines, G_MAXINT / 2)));
            else if (box.height > 0)
                pango_layout_set_height(
                    layout, static_cast<int>(std::min(box.height * PANGO_SCALE, double(G_MAXINT / 2))));
            else
                pango_layout_set_height(layout, G_MAXINT / 2);
        }
    }

    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        const double top = static_cast<double>(logical.y) / PANGO_SCALE;
        const double bottom = static_cast<double>(logical.y + logical.height) / PANGO_SCALE;
        const bool fits = box.height <= 0 || bottom <= box.height + 1e-3;
        const bool allowed = box.maxLines <= 0 || static_cast<long>(laid.lines.size()) < box.maxLines;
        if (!laid.lines.empty() && (!fits || !allowed)) break;
        Line line;
        line.line = pango_layout_iter_get_line_readonly(it);
        line.x = static_cast<double>(logical.x) / PANGO_SCALE;
        line.baseline = static_cast<double>(pango_layout_iter_get_baseline(it)) / PANGO_SCALE;
        line.width = static_cast<double>(logical.width) / PANGO_SCALE;
        laid.lines.push_back(line);
        laid.width = std::max(laid.width, line.width);
        laid.height = bottom - std::min(0.0, top);
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);

    if (manualAlignment && limitedWidth) {
        PangoRectangle logical;
        pango_layout_get_extents(layout, nullptr, &logical);
        const double offset =
            (box.width - static_cast<double>(logical.width) / PANGO_SCALE) * alignmentFactor(alignment, rtl);
        for (Line& line : laid.lines)
            line.x += offset;
    }
    laid.firstBaseline = laid.lines.empty() ? 0 : laid.lines.front().baseline;
    laid.truncated = pango_layout_is_ellipsized(layout);
    return laid;
}

// Layouts by text, attributes and box, most recently used first.
class LayoutCache {
public:
    ~LayoutCache() {
        for (Entry& e : _entries)
            release(e.laid);
    }

    const Laid& get(const AttributedString& text, const Box& box) {
        const bool uniform = hasUniformColor(text);
        std::string key = layoutKey(text, box, uniform);
        if (const auto found = _index.find(key); found != _index.end()) {
            _entries.splice(_entries.begin(), _entries, found->second);
            return found->second->laid;
        }
        if (_entries.size() >= kCapacity) {
            release(_entries.back().laid);
            _index.erase(_entries.back().key);
            _entries.pop_back();
        }
        _entries.push_front(Entry{key, layOut(text, box, uniform)});
        _index.emplace(std::move(key), _entries.begin());
        return _entries.front().laid;
    }

private:
    static constexpr std::size_t kCapacity = 512;
    struct Entry {
        std::string key;
        Laid laid;
    };
    static void release(Laid& laid) {
        if (laid.layout) g_object_unref(laid.layout);
        laid.layout = nullptr;
    }

    std::list<Entry> _entries;
    std::unordered_map<std::string, std::list<Entry>::iterator> _index;
};

const Laid& layoutFor(const AttributedString& text, const Box& box) {
    thread_local LayoutCache cache;
    return cache.get(text, box);
}

// ---- Drawing ----------------------------------------------------------------------------

void draw(GraphicsContext& context, const AttributedString& text, const Laid& laid, Point origin,
          double boxWidth) {
    if (laid.lines.empty() || !context.canDraw() || !std::isfinite(origin.x) || !std::isfinite(origin.y))
        return;
    // What the lines may touch: their ink and logical boxes, with a point to spare for
    // decorations.
    Rect area = Rect::null();
    for (const Line& line : laid.lines) {
        PangoRectangle ink, logical;
        pango_layout_line_get_extents(line.line, &ink, &logical);
        const double x0 = std::min(ink.x, logical.x), y0 = std::min(ink.y, logical.y);
        const double x1 = std::max(ink.x + ink.width, logical.x + logical.width);
        const double y1 = std::max(ink.y + ink.height, logical.y + logical.height);
        const Rect box{origin.x + line.x + x0 / PANGO_SCALE, origin.y + line.baseline + y0 / PANGO_SCALE,
                       (x1 - x0) / PANGO_SCALE, (y1 - y0) / PANGO_SCALE};
        area = area.isNull() ? box : area.unionWith(box);
    }
    cairo_t* cr = context.cairoDrawingIn(area.insetBy(-1, -1));
    cairo_save(cr);
    cairo_new_path(cr);
    if (laid.clipToWidth) {
        cairo_rectangle(cr, origin.x, origin.y - laid.height, boxWidth, 3 * laid.height);
        cairo_clip(cr);
    }
    const bool group = !laid.uniformColor && context.alpha() < 1;
    if (group) cairo_push_group(cr);
    if (laid.uniformColor) {
        const RGBA c = colorOf(text.runs().front().attributes);
        cairo_set_source_rgba(cr, std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0),
                              std::clamp(c.b, 0.0, 1.0), std::clamp(c.a, 0.0, 1.0) * context.alpha());
    } else {
        cairo_set_source_rgb(cr, 0, 0, 0);
    }
    for (const Line& line : laid.lines) {
        cairo_move_to(cr, origin.x + line.x, origin.y + line.baseline);
        pango_cairo_show_layout_line(cr, line.line);
    }
    if (group) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, context.alpha());
    }
    cairo_new_path(cr);
    cairo_restore(cr);
}

Box stringBox(const AttributedString& text, Size size) {
    return {limit(size.width), limit(size.height), stringDrawingLines(text)};
}

AttributedString wrap(std::string_view text, const TextAttributes& attributes) {
    return AttributedString(std::string(text), attributes);
}

} // namespace

// ---- AttributedString -------------------------------------------------------------------

AttributedString::AttributedString(std::string text, TextAttributes attributes) : _text(std::move(text)) {
    if (!_text.empty()) _runs.push_back(Run{0, _text.size(), std::move(attributes)});
}

void AttributedString::append(const AttributedString& other) {
    const std::size_t base = _text.size();
    _text += other._text;
    for (const Run& run : other._runs)
        _runs.push_back(Run{base + run.start, run.length, run.attributes});
}

void AttributedString::append(std::string_view text, const TextAttributes& attributes) {
    if (text.empty()) return;
    _runs.push_back(Run{_text.size(), text.size(), attributes});
    _text += text;
}

void AttributedString::setAttributes(const TextAttributes& attributes) {
    _runs.clear();
    if (!_text.empty()) _runs.push_back(Run{0, _text.size(), attributes});
}

Size AttributedString::size() const {
    return sizeWithAttributes(*this);
}
Rect AttributedString::boundingRectWithSize(Size size, StringDrawingOptions options) const {
    return gfx::boundingRectWithSize(*this, size, options);
}
void AttributedString::drawAtPoint(Point point) const {
    gfx::drawAtPoint(*this, point);
}
void AttributedString::drawInRect(const Rect& rect) const {
    gfx::drawInRect(*this, rect);
}

// ---- Measuring --------------------------------------------------------------------------

Size sizeWithAttributes(const AttributedString& text) {
    const Laid& laid = layoutFor(text, Box{});
    return {laid.width, laid.height};
}

Size sizeWithAttributes(std::string_view text, const TextAttributes& attributes) {
    return sizeWithAttributes(wrap(text, attributes));
}

Rect boundingRectWithSize(const AttributedString& text, Size size, StringDrawingOptions options) {
    if (!(options & StringDrawingUsesLineFragmentOrigin)) {
        const Laid& laid = layoutFor(text, Box{});
        if (laid.lines.empty()) return {};
        return {0, -laid.firstBaseline, laid.width, laid.height};
    }
    const Laid& laid = layoutFor(text, stringBox(text, size));
    return {0, 0, laid.width, laid.height};
}

Rect boundingRectWithSize(std::string_view text, Size size, StringDrawingOptions options,
                          const TextAttributes& attributes) {
    return boundingRectWithSize(wrap(text, attributes), size, options);
}

Size sizeThatFits(const AttributedString& text, Size size, long numberOfLines) {
    const Laid& laid = layoutFor(text, {limit(size.width), limit(size.height), std::max(0L, numberOfLines)});
    return {laid.width, laid.height};
}

long lineCount(const AttributedString& text, Size size, long numberOfLines) {
    const long lines = numberOfLines > 0 ? numberOfLines : stringDrawingLines(text);
    return static_cast<long>(layoutFor(text, {limit(size.width), limit(size.height), lines}).lines.size());
}

bool isTruncated(const AttributedString& text, Size size, long numberOfLines) {
    const long lines = numberOfLines > 0 ? numberOfLines : stringDrawingLines(text);
    return layoutFor(text, {limit(size.width), limit(size.height), lines}).truncated;
}

// ---- Drawing ----------------------------------------------------------------------------

void drawAtPoint(GraphicsContext& context, const AttributedString& text, Point point) {
    draw(context, text, layoutFor(text, Box{}), point, -1);
}

void drawAtPoint(const AttributedString& text, Point point) {
    if (GraphicsContext* context = currentContext()) drawAtPoint(*context, text, point);
}

void drawAtPoint(std::string_view text, Point point, const TextAttributes& attributes) {
    if (GraphicsContext* context = currentContext()) drawAtPoint(*context, wrap(text, attributes), point);
}

void drawInRect(GraphicsContext& context, const AttributedString& text, const Rect& rect,
                long numberOfLines) {
    if (rect.isNull() || rect.isEmpty()) return;
    const Rect r = rect.standardized();
    const Box box{limit(r.width()), limit(r.height()), std::max(0L, numberOfLines)};
    draw(context, text, layoutFor(text, box), r.origin, r.width());
}

void drawInRect(GraphicsContext& context, const AttributedString& text, const Rect& rect) {
    drawInRect(context, text, rect, stringDrawingLines(text));
}

void drawInRect(const AttributedString& text, const Rect& rect) {
    if (GraphicsContext* context = currentContext()) drawInRect(*context, text, rect);
}

void drawInRect(std::string_view text, const Rect& rect, const TextAttributes& attributes) {
    if (GraphicsContext* context = currentContext()) drawInRect(*context, wrap(text, attributes), rect);
}

} // namespace gfx
