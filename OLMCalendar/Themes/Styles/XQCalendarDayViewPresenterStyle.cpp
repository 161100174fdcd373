#include "OLMCalendar/Themes/Styles/XQCalendarDayViewPresenterStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarDayViewPresenterStyle, XQStyleNode)

void XQCalendarDayViewPresenterStyle::registerKeys(rt::Keys<XQCalendarDayViewPresenterStyle>& keys) {
    using S = XQCalendarDayViewPresenterStyle;
    keys.add("backgroundColor", &S::setBackgroundColor, &S::backgroundColor)
        .add("titleCellHeight", &S::setTitleCellHeight, &S::titleCellHeight)
        .add("dayNameCellHeight", &S::setDayNameCellHeight, &S::dayNameCellHeight)
        .add("dayCellHeight", &S::setDayCellHeight, &S::dayCellHeight)
        .add("weekNumberCellWidth", &S::setWeekNumberCellWidth, &S::weekNumberCellWidth)
        .add("columnSpacing", &S::setColumnSpacing, &S::columnSpacing)
        .add("dayNameTextEffect", &S::setDayNameTextEffect, &S::dayNameTextEffect);
}

void XQCalendarDayViewPresenterStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    _backgroundColor = gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::Color::rgb8(247, 247, 247));
    _titleCellHeight = 30;
    _dayNameCellHeight = 20;
    _dayCellHeight = 50;
    _weekNumberCellWidth = 15;
    _columnSpacing = -0.5;
    _dayNameTextEffect = XQCalendarTextEffectNone;
}
