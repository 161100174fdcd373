#include "OLMCalendar/Themes/Styles/XQCalendarMonthPresenterStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarMonthPresenterStyle, XQStyleNode)

void XQCalendarMonthPresenterStyle::registerKeys(rt::Keys<XQCalendarMonthPresenterStyle>& keys) {
    using S = XQCalendarMonthPresenterStyle;
    keys.add("columnSpacing", &S::setColumnSpacing, &S::columnSpacing)
        .add("rowSpacing", &S::setRowSpacing, &S::rowSpacing)
        .add("backgroundColor", &S::setBackgroundColor, &S::backgroundColor)
        .add("monthNameTextEffect", &S::setMonthNameTextEffect, &S::monthNameTextEffect)
        .add("popoverColor", &S::setPopoverColor, &S::popoverColor)
        .add("titleCellHeight", &S::setTitleCellHeight, &S::titleCellHeight)
        .add("dayNameCellHeight", &S::setDayNameCellHeight, &S::dayNameCellHeight)
        .add("weekNumberCellWidth", &S::setWeekNumberCellWidth, &S::weekNumberCellWidth)
        .add("dayNameTextEffect", &S::setDayNameTextEffect, &S::dayNameTextEffect);
}

void XQCalendarMonthPresenterStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    _columnSpacing = -0.5;
    _rowSpacing = -0.5;
    _backgroundColor = gfx::systemColorOr(gfx::systemColors::systemBackground(), gfx::Color::rgb8(247, 247, 247));
    _monthNameTextEffect = XQCalendarTextEffectNone;
    _popoverColor = gfx::Color::rgba(0.212, 0.212, 0.212, 1);
    _titleCellHeight = 30;
    _dayNameCellHeight = 20;
    _weekNumberCellWidth = 15;
}
