#include "platform/ui/Label.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(Label, View)

namespace {

constexpr double defaultFontSize = 17;

// Rounds a length up to whole device pixels.
double ceilToPixels(double length) {
    const double scale = gfx::screenScale();
    return std::ceil(length * scale - 1e-9) / scale;
}

} // namespace

void Label::init(const gfx::Rect& frame) {
    View::init(frame);
    _font = gfx::Font::systemFont(defaultFontSize);
    setUserInteractionEnabled(false);
    // A label lays its text out anew for every size.
    setContentMode(ViewContentModeRedraw);
}

void Label::setText(std::string text) {
    if (text == _text) return;
    _text = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(gfx::FontRef font) {
    // A value set again changes nothing: restyling passes set every property each time.
    if (font && font == _font) return;
    _font = font ? std::move(font) : gfx::Font::systemFont(defaultFontSize);
    setNeedsDisplay();
}

gfx::Color Label::textColor() const {
    return _textColor.value_or(gfx::systemColorOr(gfx::systemColors::label(), gfx::colors::black()));
}

void Label::setTextColor(std::optional<gfx::Color> color) {
    if (color == _textColor) return;
    _textColor = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(gfx::TextAlignment alignment) {
    if (alignment == _alignment) return;
    _alignment = alignment;
    setNeedsDisplay();
}

void Label::setLineBreakMode(gfx::LineBreakMode mode) {
    if (mode == _lineBreakMode) return;
    _lineBreakMode = mode;
    setNeedsDisplay();
}

void Label::setNumberOfLines(long lines) {
    if (std::max(0L, lines) == _numberOfLines) return;
    _numberOfLines = std::max(0L, lines);
    setNeedsDisplay();
}

gfx::AttributedString Label::attributedText() const {
    return attributedText(_lineBreakMode);
}

gfx::AttributedString Label::attributedText(gfx::LineBreakMode mode) const {
    return gfx::AttributedString(_text, gfx::TextAttributes{_font, textColor(), gfx::ParagraphStyle{_alignment, mode}});
}

gfx::Size Label::sizeThatFits(gfx::Size size) const {
    return sizeThatFits(size, _lineBreakMode);
}

gfx::Size Label::sizeThatFits(gfx::Size size, gfx::LineBreakMode mode) const {
    if (_text.empty()) return {};
    // One line takes the whole text's length; more lines wrap in the offered width.
    const double width = _numberOfLines == 1 ? 0 : size.width;
    const gfx::Size fitted = gfx::sizeThatFits(attributedText(mode), {width, 0}, _numberOfLines);
    return {ceilToPixels(fitted.width), ceilToPixels(fitted.height)};
}

void Label::drawTextInRect(const gfx::Rect& rect) {
    gfx::GraphicsContext* context = gfx::currentContext();
    if (context == nullptr || _text.empty() || rect.isNull()) return;
    const gfx::Rect r = rect.standardized();
    const gfx::AttributedString text = attributedText();
    // The lines that fit (always the first), centred as a block.
    const double height = gfx::sizeThatFits(text, r.size, _numberOfLines).height;
    const gfx::Rect box{r.minX(), r.minY() + (r.height() - height) / 2, r.width(), r.height()};
    gfx::drawInRect(*context, text, box, _numberOfLines);
}

void Label::drawRect(const gfx::Rect&) {
    drawTextInRect(bounds());
}

} // namespace ui
