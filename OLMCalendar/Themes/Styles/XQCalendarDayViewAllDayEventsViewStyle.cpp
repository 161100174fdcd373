#include "OLMCalendar/Themes/Styles/XQCalendarDayViewAllDayEventsViewStyle.h"

OLM_DEFINE_CLASS(XQCalendarDayViewAllDayEventsViewStyle, XQStyleNode)

void XQCalendarDayViewAllDayEventsViewStyle::registerKeys(rt::Keys<XQCalendarDayViewAllDayEventsViewStyle>& keys) {
    using S = XQCalendarDayViewAllDayEventsViewStyle;
    keys.add("eventsPerRow", &S::setEventsPerRow, &S::eventsPerRow)
        .add("lineSpacing", &S::setLineSpacing, &S::lineSpacing)
        .add("itemSpacing", &S::setItemSpacing, &S::itemSpacing)
        .add("eventHeight", &S::setEventHeight, &S::eventHeight)
        .add("maxVisibleLines", &S::setMaxVisibleLines, &S::maxVisibleLines)
        .add("labelWidth", &S::setLabelWidth, &S::labelWidth)
        .add("eventsViewInsets", &S::setEventsViewInsets, &S::eventsViewInsets)
        .add("labelInsets", &S::setLabelInsets, &S::labelInsets);
}

void XQCalendarDayViewAllDayEventsViewStyle::resetLocalValues() {
    // No guarded properties: nothing of the base's bookkeeping to reset.
    _eventsPerRow = 2;
    _lineSpacing = 3;
    _itemSpacing = 3;
    _eventHeight = 17;
    _maxVisibleLines = 2;
    _labelWidth = 60;
    _eventsViewInsets = {3, 3, 3, 3};
    _labelInsets = {0, 2, 0, 5};
}
