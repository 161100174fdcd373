#include "OLMCalendar/Themes/Styles/XQCalendarDayCellStyle.h"

#include "platform/graphics/SystemColors.h"
#include "platform/runtime/KeyValue.h"

OLM_DEFINE_CLASS(XQCalendarDayCellStyle, XQCalendarCellStyle)

void XQCalendarDayCellStyle::registerKeys(rt::Keys<XQCalendarDayCellStyle>& keys) {
    using S = XQCalendarDayCellStyle;
    keys.add("eventInsets", &S::setEventInsets, &S::eventInsets)
        .add("eventFont", &S::setEventFont, &S::eventFont)
        .add("eventTextColor", &S::setEventTextColor, &S::eventTextColor)
        .add("allDayEventTextColor", &S::setAllDayEventTextColor, &S::allDayEventTextColor)
        .add("eventAlignment", &S::setEventAlignment, &S::eventAlignment)
        .add("eventShape", &S::setEventShape, &S::eventShape)
        .add("eventSpacing", &S::setEventSpacing, &S::eventSpacing)
        .add("eventOrientation", &S::setEventOrientation, &S::eventOrientation)
        .add("useDefaultSelectionStyle", &S::setUseDefaultSelectionStyle, &S::useDefaultSelectionStyle)
        .add("defaultSelectionColor", &S::setDefaultSelectionColor, &S::defaultSelectionColor)
        .add("stretchEvents", &S::setStretchEvents, &S::stretchEvents)
        .add("displayEventsAsText", &S::setDisplayEventsAsText, &S::displayEventsAsText)
        .add("maxEventsCount", &S::setMaxEventsCount, &S::maxEventsCount)
        .add("wrapEventText", &S::setWrapEventText, &S::wrapEventText);
}

void XQCalendarDayCellStyle::resetLocalValues() {
    XQCalendarCellStyle::resetLocalValues();
    _eventInsets = {2, 2, 2, 2};
    _eventFont = gfx::Font::systemFont(12);
    _eventTextColor = gfx::Color::rgb8(3, 3, 3);
    _allDayEventTextColor = gfx::systemColorOr(gfx::systemColors::label(), gfx::colors::black());
    _eventAlignment = XQCalendarCellAlignmentBottom | XQCalendarCellAlignmentHorizontalCenter;
    _eventShape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {4, 4});
    _eventSpacing = 2;
    _eventOrientation = XQCalendarEventOrientationHorizontal;
    _useDefaultSelectionStyle = true;
    _defaultSelectionColor = gfx::systemColorOr(gfx::systemColors::systemGray4(), gfx::Color::rgb8(208, 208, 208));
    _stretchEvents = false;
    _displayEventsAsText = false;
}
