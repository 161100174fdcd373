#include "OLMCalendar/Themes/Styles/XQCalendarInlineViewTableViewCellStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarInlineViewTableViewCellStyle, XQStyleNode)

void XQCalendarInlineViewTableViewCellStyle::registerKeys(rt::Keys<XQCalendarInlineViewTableViewCellStyle>& keys) {
    using S = XQCalendarInlineViewTableViewCellStyle;
    keys.add("eventColor", &S::setEventColor, &S::eventColor)
        .add("timeColor", &S::setTimeColor, &S::timeColor)
        .add("eventFont", &S::setEventFont, &S::eventFont)
        .add("timeFont", &S::setTimeFont, &S::timeFont)
        .add("separatorColor", &S::setSeparatorColor, &S::separatorColor)
        .add("shapeSize", &S::setShapeSize, &S::shapeSize)
        .add("backgroundColor", &S::setBackgroundColor, &S::backgroundColor);
}

void XQCalendarInlineViewTableViewCellStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    namespace sys = gfx::systemColors;
    _eventColor = gfx::systemColorOr(sys::label(), gfx::colors::white());
    _timeColor = gfx::systemColorOr(sys::systemGray2(), gfx::colors::lightGray());
    _eventFont = gfx::Font::systemFont(16);
    _timeFont = gfx::Font::systemFont(10);
    _separatorColor = gfx::systemColorOr(sys::systemGray(), gfx::colors::gray());
    _shapeSize = {8, 8};
    _backgroundColor = gfx::systemColorOr(sys::secondarySystemBackground(), gfx::Color::rgba(0.212, 0.212, 0.212));
}
