#include "OLMCalendar/Themes/Styles/XQCalendarDayViewEventCellStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarDayViewEventCellStyle, XQStyleNode)

void XQCalendarDayViewEventCellStyle::registerKeys(rt::Keys<XQCalendarDayViewEventCellStyle>& keys) {
    using S = XQCalendarDayViewEventCellStyle;
    keys.add("insets", &S::setInsets, &S::insets)
        .add("decorationWidth", &S::setDecorationWidth, &S::decorationWidth)
        .add("titleInsets", &S::setTitleInsets, &S::titleInsets)
        .add("detailInsets", &S::setDetailInsets, &S::detailInsets)
        .add("textColor", &S::setTextColor, &S::textColor)
        .add("titleFont", &S::setTitleFont, &S::titleFont)
        .add("detailFont", &S::setDetailFont, &S::detailFont)
        .add("titleNumberOfLines", &S::setTitleNumberOfLines, &S::titleNumberOfLines)
        .add("detailNumberOfLines", &S::setDetailNumberOfLines, &S::detailNumberOfLines)
        .add("transparency", &S::setTransparency, &S::transparency);
}

void XQCalendarDayViewEventCellStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    _insets = {3, 0, 3, 0};
    _decorationWidth = 3;
    _titleInsets = {6, 6, 3, 3};
    _detailInsets = {0, 6, 3, 3};
    _textColor = gfx::systemColorOr(gfx::systemColors::systemBlue(), gfx::Color::rgba(0.262, 0.3, 0.508));
    _titleFont = gfx::Font::systemFont(13, gfx::FontWeight::medium);
    _detailFont = gfx::Font::systemFont(11);
    _titleNumberOfLines = 0;
    _detailNumberOfLines = 0;
    _transparency = 0.3;
}
