#pragma once

// The look of an all-day event in the day view's strip: its box, its title's colour, font
// and insets. No theme styles it; every setter stores.

#include "OLMCore/XQStyleNode.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/KeyValue.h"

class XQCalendarDayViewAllDayEventCellStyle : public XQStyleNode {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewAllDayEventCellStyle)
    static std::shared_ptr<XQCalendarDayViewAllDayEventCellStyle> make() {
        return rt::create<XQCalendarDayViewAllDayEventCellStyle>();
    }
    static void registerKeys(rt::Keys<XQCalendarDayViewAllDayEventCellStyle>& keys);

    const std::optional<gfx::Color>& backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(std::optional<gfx::Color> color) { _backgroundColor = color; }
    const std::optional<gfx::Color>& textColor() const { return _textColor; }
    void setTextColor(std::optional<gfx::Color> color) { _textColor = color; }
    const gfx::FontRef& textFont() const { return _textFont; }
    void setTextFont(gfx::FontRef font) { _textFont = std::move(font); }
    // The title's insets within the box (0, 6, 0, 6).
    const gfx::EdgeInsets& textInsets() const { return _textInsets; }
    void setTextInsets(const gfx::EdgeInsets& insets) { _textInsets = insets; }

    void resetLocalValues() override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewAllDayEventCellStyle() = default;

private:
    std::optional<gfx::Color> _backgroundColor;
    std::optional<gfx::Color> _textColor;
    gfx::FontRef _textFont;
    gfx::EdgeInsets _textInsets;
};
