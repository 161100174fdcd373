#include "OLMCalendar/Themes/Styles/XQCalendarDayViewEventsViewStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarDayViewEventsViewStyle, XQStyleNode)

void XQCalendarDayViewEventsViewStyle::registerKeys(rt::Keys<XQCalendarDayViewEventsViewStyle>& keys) {
    using S = XQCalendarDayViewEventsViewStyle;
    keys.add("bottomOffset", &S::setBottomOffset, &S::bottomOffset)
        .add("topOffset", &S::setTopOffset, &S::topOffset)
        .add("labelOffset", &S::setLabelOffset, &S::labelOffset)
        .add("separatorLeadingOffset", &S::setSeparatorLeadingOffset, &S::separatorLeadingOffset)
        .add("separatorTrailingOffset", &S::setSeparatorTrailingOffset, &S::separatorTrailingOffset)
        .add("labelTextColor", &S::setLabelTextColor, &S::labelTextColor)
        .add("labelTextSize", &S::setLabelTextSize, &S::labelTextSize)
        .add("labelTextAlignment", &S::setLabelTextAlignment, &S::labelTextAlignment)
        .add("separatorColor", &S::setSeparatorColor, &S::separatorColor)
        .add("separatorWidth", &S::setSeparatorWidth, &S::separatorWidth)
        .add("separatorSpacing", &S::setSeparatorSpacing, &S::separatorSpacing)
        .add("minEventHeight", &S::setMinEventHeight, &S::minEventHeight)
        .add("eventsLeadingOffset", &S::setEventsLeadingOffset, &S::eventsLeadingOffset)
        .add("eventsTrailingOffset", &S::setEventsTrailingOffset, &S::eventsTrailingOffset)
        .add("eventsSpacing", &S::setEventsSpacing, &S::eventsSpacing);
}

void XQCalendarDayViewEventsViewStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    namespace sys = gfx::systemColors;
    _bottomOffset = 10;
    _topOffset = 10;
    _labelOffset = 15;
    _separatorLeadingOffset = 5;
    _separatorTrailingOffset = 0;
    _labelTextColor = gfx::systemColorOr(sys::systemGray(), gfx::Color::rgba(0.42, 0.42, 0.42));
    _labelTextSize = 11;
    _labelTextAlignment = 2;
    _separatorColor = gfx::systemColorOr(sys::systemGray4(), gfx::Color::rgba(0.8, 0.8, 0.8));
    _separatorWidth = 0.5;
    _separatorSpacing = 80;
    _minEventHeight = 22;
    _eventsLeadingOffset = 8;
    _eventsTrailingOffset = 3;
    _eventsSpacing = 3;
    _labelFormatter = fnd::DateFormatter::make();
    _labelFormatter->setTimeStyle(fnd::DateFormatterShortStyle);
    _labelFormatter->setDateStyle(fnd::DateFormatterNoStyle);
}
