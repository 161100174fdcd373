#pragma once

// Labels: a view that draws a text in one font, colour and alignment. The text is laid out
// in the bounds by the line-break mode and the number of lines (0: as many as fit), centred
// vertically; a text too long for its lines ends in an ellipsis on the last line that fits
// (truncating modes). Labels take no touches (user interaction is off by default).
//
// `sizeThatFits` answers the size the text needs: one line as long as the text when the
// label has one line; otherwise wrapped in the offered width. The offered height does not
// limit it. Sizes are rounded up to whole device pixels.

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Text.h"
#include "platform/ui/View.h"

#include <optional>
#include <string>

namespace ui {

class Label : public View {
public:
    OLM_DECLARE_CLASS(Label)
    static std::shared_ptr<Label> make(const gfx::Rect& frame = {}) { return rt::create<Label>(frame); }

    // UTF-8; empty is no text.
    const std::string& text() const { return _text; }
    void setText(std::string text);
    // The system font of size 17 unless set (null restores it).
    const gfx::FontRef& font() const { return _font; }
    void setFont(gfx::FontRef font);
    // The label colour (black where the system colours are missing) unless set (nil restores it).
    gfx::Color textColor() const;
    void setTextColor(std::optional<gfx::Color> color);
    // Natural (left for left-to-right text) unless set.
    gfx::TextAlignment textAlignment() const { return _alignment; }
    void setTextAlignment(gfx::TextAlignment alignment);
    // Truncating the tail unless set.
    gfx::LineBreakMode lineBreakMode() const { return _lineBreakMode; }
    void setLineBreakMode(gfx::LineBreakMode mode);
    // 1 unless set; 0 is no limit; negative values count as 0.
    long numberOfLines() const { return _numberOfLines; }
    void setNumberOfLines(long lines);

    // The text with the label's font, colour, alignment and line-break mode.
    gfx::AttributedString attributedText() const;

    gfx::Size sizeThatFits(gfx::Size size) const override;
    // The size the text would need with the line-break mode `mode`.
    gfx::Size sizeThatFits(gfx::Size size, gfx::LineBreakMode mode) const;

    // Draws the text in `rect` (bounds coordinates), centred vertically. Subclasses move
    // the text by calling it with another rectangle.
    virtual void drawTextInRect(const gfx::Rect& rect);
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;

protected:
    Label() = default;
    void init(const gfx::Rect& frame);
    friend class rt::Access;

private:
    gfx::AttributedString attributedText(gfx::LineBreakMode mode) const;
    std::string _text;
    gfx::FontRef _font;
    std::optional<gfx::Color> _textColor;
    gfx::TextAlignment _alignment = gfx::TextAlignment::natural;
    gfx::LineBreakMode _lineBreakMode = gfx::LineBreakMode::truncatingTail;
    long _numberOfLines = 1;
};

} // namespace ui
