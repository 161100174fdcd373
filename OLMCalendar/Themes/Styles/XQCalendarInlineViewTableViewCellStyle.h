#pragma once

// The look of a row of the inline event list: the event's title and its times, and the size
// of the coloured dot before them.

#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarInlineViewTableViewCellStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarInlineViewTableViewCellStyle)
    static std::shared_ptr<XQCalendarInlineViewTableViewCellStyle> make() {
        return rt::create<XQCalendarInlineViewTableViewCellStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarInlineViewTableViewCellStyle>& keys);

    static constexpr PropertyBits eventColorBit = 0x1, timeColorBit = 0x2, eventFontBit = 0x4, timeFontBit = 0x8,
                                  separatorColorBit = 0x10, shapeSizeBit = 0x20, backgroundColorBit = 0x40;

    const std::optional<gfx::Color>& eventColor() const { return _eventColor; }
    void setEventColor(std::optional<gfx::Color> color) {
        if (canSetValue(eventColorBit, _eventColor)) _eventColor = color;
    }
    const std::optional<gfx::Color>& timeColor() const { return _timeColor; }
    void setTimeColor(std::optional<gfx::Color> color) {
        if (canSetValue(timeColorBit, _timeColor)) _timeColor = color;
    }
    const gfx::FontRef& eventFont() const { return _eventFont; }
    void setEventFont(gfx::FontRef font) {
        if (canSetValue(eventFontBit, _eventFont)) _eventFont = std::move(font);
    }
    const gfx::FontRef& timeFont() const { return _timeFont; }
    void setTimeFont(gfx::FontRef font) {
        if (canSetValue(timeFontBit, _timeFont)) _timeFont = std::move(font);
    }
    // Kept for the application; the list does not read it.
    const std::optional<gfx::Color>& separatorColor() const { return _separatorColor; }
    void setSeparatorColor(std::optional<gfx::Color> color) {
        if (canSetValue(separatorColorBit, _separatorColor)) _separatorColor = color;
    }
    gfx::Size shapeSize() const { return _shapeSize; }
    void setShapeSize(gfx::Size size) {
        if (canSetValue(shapeSizeBit, _shapeSize)) _shapeSize = size;
    }
    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color) {
        if (canSetValue(backgroundColorBit, _backgroundColor)) _backgroundColor = color;
    }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarInlineViewTableViewCellStyle() = default;

private:
    std::optional<gfx::Color> _eventColor;
    std::optional<gfx::Color> _timeColor;
    gfx::FontRef _eventFont;
    gfx::FontRef _timeFont;
    std::optional<gfx::Color> _separatorColor;
    gfx::Size _shapeSize;
    std::optional<gfx::Color> _backgroundColor;
};
