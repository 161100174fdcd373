#include "OLMCalendar/Themes/Styles/XQCalendarDayViewAllDayEventCellStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarDayViewAllDayEventCellStyle, XQStyleNode)

void XQCalendarDayViewAllDayEventCellStyle::registerKeys(rt::Keys<XQCalendarDayViewAllDayEventCellStyle>& keys) {
    using S = XQCalendarDayViewAllDayEventCellStyle;
    keys.add("backgroundColor", &S::setBackgroundColor, &S::backgroundColor)
        .add("textColor", &S::setTextColor, &S::textColor)
        .add("textFont", &S::setTextFont, &S::textFont)
        .add("textInsets", &S::setTextInsets, &S::textInsets);
}

void XQCalendarDayViewAllDayEventCellStyle::resetLocalValues() {
    // No guarded properties: nothing of the base's bookkeeping to reset.
    namespace sys = gfx::systemColors;
    _backgroundColor = gfx::systemColorOr(sys::systemBackground(), gfx::Color::rgba(0.83, 0.93, 0.98));
    _textColor = gfx::systemColorOr(sys::label(), gfx::Color::rgba(0.25, 0.3, 0.52));
    _textFont = gfx::Font::systemFont(12, gfx::FontWeight::medium);
    _textInsets = {0, 6, 0, 6};
}
