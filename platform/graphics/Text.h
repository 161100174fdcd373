#pragma once

// Attributed text: measuring and drawing strings with a font, a colour and a paragraph style
// (alignment, line-break mode), laid out by Pango. Strings are UTF-8; invalid bytes show as
// U+FFFD. Drawing goes to the current context (gfx::currentContext()) unless a context is
// given; without one, drawing does nothing while measuring still works. Layouts are cached,
// so drawing the same short strings again and again (day numbers) does not lay them out anew.
//
// Rules shared by the functions below:
// - No font means the system font of size 12, no colour black, no paragraph style the
//   default one (natural alignment, word wrapping).
// - Word and character wrapping break lines at the width of the box; the truncating modes
//   and clipping lay the text out as one line, which truncation ends in an ellipsis and
//   clipping cuts at the box's edge.
// - In a box of limited height only the lines that fit whole are drawn, but always the first.
// - The empty string measures (0, 0) and draws nothing.

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

class GraphicsContext;

// Values as the toolkit numbers them; any other value acts as `natural` / `wordWrapping`.
enum class TextAlignment : long { left = 0, center = 1, right = 2, justified = 3, natural = 4 };
enum class LineBreakMode : long {
    wordWrapping = 0,
    charWrapping = 1,
    clipping = 2,
    truncatingHead = 3,
    truncatingTail = 4,
    truncatingMiddle = 5
};

struct ParagraphStyle {
    TextAlignment alignment = TextAlignment::natural;
    LineBreakMode lineBreakMode = LineBreakMode::wordWrapping;

    static ParagraphStyle defaultStyle() { return {}; }
    friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

struct TextAttributes {
    FontRef font;
    std::optional<Color> foregroundColor;
    std::optional<ParagraphStyle> paragraphStyle;
};

// Options of boundingRectWithSize.
using StringDrawingOptions = unsigned;
// Lay out in lines from the top left of the box (otherwise: one line, origin on the baseline).
inline constexpr StringDrawingOptions StringDrawingUsesLineFragmentOrigin = 1;
// Accepted for compatibility; line heights always include the font's leading here.
inline constexpr StringDrawingOptions StringDrawingUsesFontLeading = 2;

// Text with runs of attributes. Runs cover the string without gaps, in order; offsets and
// lengths are in bytes of the UTF-8 text.
class AttributedString {
public:
    struct Run {
        std::size_t start = 0;
        std::size_t length = 0;
        TextAttributes attributes;
    };

    AttributedString() = default;
    explicit AttributedString(std::string text, TextAttributes attributes = {});

    const std::string& string() const { return _text; }
    std::size_t length() const { return _text.size(); }
    bool empty() const { return _text.empty(); }
    const std::vector<Run>& runs() const { return _runs; }

    void append(const AttributedString& other);
    void append(std::string_view text, const TextAttributes& attributes);
    // Replaces the attributes of every run (the toolkit's setAttributes over the whole range).
    void setAttributes(const TextAttributes& attributes);

    // As the free functions below.
    Size size() const;
    Rect boundingRectWithSize(Size size, StringDrawingOptions options) const;
    void drawAtPoint(Point point) const;
    void drawInRect(const Rect& rect) const;

private:
    std::string _text;
    std::vector<Run> _runs;
};

// The size of the text on one line (hard line breaks still start new lines).
Size sizeWithAttributes(std::string_view text, const TextAttributes& attributes = {});
Size sizeWithAttributes(const AttributedString& text);

// With StringDrawingUsesLineFragmentOrigin: the rectangle (origin 0, 0) of the text laid out
// in a box of `size` (a width or height that is not above zero or not finite is unlimited).
// Without it: one line, with the origin at the baseline (y = -ascender).
Rect boundingRectWithSize(std::string_view text, Size size, StringDrawingOptions options,
                          const TextAttributes& attributes = {});
Rect boundingRectWithSize(const AttributedString& text, Size size, StringDrawingOptions options);

// Draws the text on one line from `point` (its top left).
void drawAtPoint(std::string_view text, Point point, const TextAttributes& attributes = {});
void drawAtPoint(const AttributedString& text, Point point);
void drawAtPoint(GraphicsContext& context, const AttributedString& text, Point point);

// Draws the text laid out in `rect`, aligned and broken by its paragraph style.
void drawInRect(std::string_view text, const Rect& rect, const TextAttributes& attributes = {});
void drawInRect(const AttributedString& text, const Rect& rect);
void drawInRect(GraphicsContext& context, const AttributedString& text, const Rect& rect);

// For labels: as drawInRect but with at most `numberOfLines` lines (0: as many as fit). With
// a truncating mode and more than one line the text wraps and the last line shown is
// truncated; with one line it is truncated as above.
Size sizeThatFits(const AttributedString& text, Size size, long numberOfLines);
void drawInRect(GraphicsContext& context, const AttributedString& text, const Rect& rect, long numberOfLines);

// How many lines the text takes in the box, after truncation and the height limit, and
// whether it was shortened with an ellipsis; for checks of wrapping and truncation.
// `numberOfLines` as for labels; 0 follows the string-drawing rule (one line when truncating
// or clipping, otherwise as many as fit).
long lineCount(const AttributedString& text, Size size, long numberOfLines = 0);
bool isTruncated(const AttributedString& text, Size size, long numberOfLines = 0);

} // namespace gfx
