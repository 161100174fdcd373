#pragma once

// The style of the plain calendar cells (titles, weekday names, week numbers) and the base of
// the day cell's style: text, background, the four borders and an optional shape behind the
// text. Every setter is guarded by its own bit (see XQStyleNode), so a value the application
// sets survives re-theming. Themes set the properties by name ("textColor", "shape", ...).

#include "OLMCore/XQShape.h"
#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Font.h"

#include <optional>

// Where a cell's text (and a day cell's events) sit; a set of flags, first match wins on
// each axis.
using XQCalendarCellAlignment = long;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentLeft = 1;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentRight = 2;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentTop = 4;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentBottom = 8;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentHorizontalCenter = 16;
inline constexpr XQCalendarCellAlignment XQCalendarCellAlignmentVerticalCenter = 32;

class XQCalendarCellStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarCellStyle)
    static std::shared_ptr<XQCalendarCellStyle> make() { return rt::create<XQCalendarCellStyle>(); }
    static void registerKeys(rt::Keys<XQCalendarCellStyle>& keys);

    const gfx::EdgeInsets& textInsets() const { return _textInsets; }
    void setTextInsets(const gfx::EdgeInsets& insets) { guardedSet(0x8000, _textInsets, insets); }
    // Null: the label keeps its font.
    const gfx::FontRef& textFont() const { return _textFont; }
    void setTextFont(gfx::FontRef font) { guardedSet(0x1, _textFont, std::move(font)); }
    const std::optional<gfx::Color>& textColor() const { return _textColor; }
    void setTextColor(std::optional<gfx::Color> color) { guardedSet(0x2, _textColor, color); }
    XQCalendarCellAlignment textAlignment() const { return _textAlignment; }
    void setTextAlignment(XQCalendarCellAlignment alignment) { guardedSet(0x800, _textAlignment, alignment); }
    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color) { guardedSet(0x4, _backgroundColor, color); }

    // A nil border colour hides that border.
    const std::optional<gfx::Color>& leftBorderColor() const { return _leftBorderColor; }
    void setLeftBorderColor(std::optional<gfx::Color> color) { guardedSet(0x8, _leftBorderColor, color); }
    const std::optional<gfx::Color>& rightBorderColor() const { return _rightBorderColor; }
    void setRightBorderColor(std::optional<gfx::Color> color) { guardedSet(0x10, _rightBorderColor, color); }
    const std::optional<gfx::Color>& topBorderColor() const { return _topBorderColor; }
    void setTopBorderColor(std::optional<gfx::Color> color) { guardedSet(0x20, _topBorderColor, color); }
    const std::optional<gfx::Color>& bottomBorderColor() const { return _bottomBorderColor; }
    void setBottomBorderColor(std::optional<gfx::Color> color) { guardedSet(0x40, _bottomBorderColor, color); }
    gfx::Float leftBorderWidth() const { return _leftBorderWidth; }
    void setLeftBorderWidth(gfx::Float width) { guardedSet(0x80, _leftBorderWidth, width); }
    gfx::Float topBorderWidth() const { return _topBorderWidth; }
    void setTopBorderWidth(gfx::Float width) { guardedSet(0x100, _topBorderWidth, width); }
    gfx::Float rightBorderWidth() const { return _rightBorderWidth; }
    void setRightBorderWidth(gfx::Float width) { guardedSet(0x200, _rightBorderWidth, width); }
    gfx::Float bottomBorderWidth() const { return _bottomBorderWidth; }
    void setBottomBorderWidth(gfx::Float width) { guardedSet(0x400, _bottomBorderWidth, width); }

    // The shape drawn behind the text, painted with the fill, then the stroke.
    const std::shared_ptr<XQShape>& shape() const { return _shape; }
    void setShape(std::shared_ptr<XQShape> shape) { guardedSet(0x1000, _shape, std::move(shape)); }
    const std::shared_ptr<XQFill>& shapeFill() const { return _shapeFill; }
    void setShapeFill(std::shared_ptr<XQFill> fill) { guardedSet(0x2000, _shapeFill, std::move(fill)); }
    const std::shared_ptr<XQStroke>& shapeStroke() const { return _shapeStroke; }
    void setShapeStroke(std::shared_ptr<XQStroke> stroke) { guardedSet(0x4000, _shapeStroke, std::move(stroke)); }

    // The system colours where they exist, fixed ones otherwise; the bottom border is half a
    // point on a screen of scale 2 (the scale when the defaults are set), a point elsewhere.
    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarCellStyle() = default;

private:
    gfx::EdgeInsets _textInsets;
    gfx::FontRef _textFont;
    std::optional<gfx::Color> _textColor;
    XQCalendarCellAlignment _textAlignment = 0;
    std::optional<gfx::Color> _backgroundColor;
    std::optional<gfx::Color> _leftBorderColor;
    std::optional<gfx::Color> _rightBorderColor;
    std::optional<gfx::Color> _topBorderColor;
    std::optional<gfx::Color> _bottomBorderColor;
    gfx::Float _leftBorderWidth = 0;
    gfx::Float _topBorderWidth = 0;
    gfx::Float _rightBorderWidth = 0;
    gfx::Float _bottomBorderWidth = 0;
    std::shared_ptr<XQShape> _shape;
    std::shared_ptr<XQFill> _shapeFill;
    std::shared_ptr<XQStroke> _shapeStroke;
};
