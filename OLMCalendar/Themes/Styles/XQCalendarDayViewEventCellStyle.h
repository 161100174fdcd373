#pragma once

// The look of a timed event's cell in the day view: the block's insets and opacity, the
// opaque strip at its left, and the fonts, colour, insets and line counts of the title and
// the detail. No theme styles it; each cell makes its own.

#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarDayViewEventCellStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewEventCellStyle)
    static std::shared_ptr<XQCalendarDayViewEventCellStyle> make() {
        return rt::create<XQCalendarDayViewEventCellStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarDayViewEventCellStyle>& keys);

    // The drawn block is the cell's rectangle inset by these.
    gfx::EdgeInsets insets() const { return _insets; }
    void setInsets(gfx::EdgeInsets insets) { _insets = insets; }
    // The width of the opaque strip at the block's left; the texts start right of it.
    double decorationWidth() const { return _decorationWidth; }
    void setDecorationWidth(double width) { _decorationWidth = width; }
    gfx::EdgeInsets titleInsets() const { return _titleInsets; }
    void setTitleInsets(gfx::EdgeInsets insets) { _titleInsets = insets; }
    gfx::EdgeInsets detailInsets() const { return _detailInsets; }
    void setDetailInsets(gfx::EdgeInsets insets) { _detailInsets = insets; }
    // The colour of both texts.
    const std::optional<gfx::Color>& textColor() const { return _textColor; }
    void setTextColor(std::optional<gfx::Color> color) { _textColor = color; }
    const gfx::FontRef& titleFont() const { return _titleFont; }
    void setTitleFont(gfx::FontRef font) { _titleFont = std::move(font); }
    const gfx::FontRef& detailFont() const { return _detailFont; }
    void setDetailFont(gfx::FontRef font) { _detailFont = std::move(font); }
    // 0: as many lines as fit.
    long titleNumberOfLines() const { return _titleNumberOfLines; }
    void setTitleNumberOfLines(long lines) { _titleNumberOfLines = lines; }
    long detailNumberOfLines() const { return _detailNumberOfLines; }
    void setDetailNumberOfLines(long lines) { _detailNumberOfLines = lines; }
    // The alpha of the block's fill (the strip stays opaque).
    double transparency() const { return _transparency; }
    void setTransparency(double transparency) { _transparency = transparency; }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewEventCellStyle() = default;

private:
    gfx::EdgeInsets _insets;
    double _decorationWidth = 0;
    gfx::EdgeInsets _titleInsets;
    gfx::EdgeInsets _detailInsets;
    std::optional<gfx::Color> _textColor;
    gfx::FontRef _titleFont;
    gfx::FontRef _detailFont;
    long _titleNumberOfLines = 0;
    long _detailNumberOfLines = 0;
    double _transparency = 0;
};
