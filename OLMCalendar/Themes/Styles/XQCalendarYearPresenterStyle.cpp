#include "OLMCalendar/Themes/Styles/XQCalendarYearPresenterStyle.h"

#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarYearPresenterStyle, XQStyleNode)

void XQCalendarYearPresenterStyle::registerKeys(rt::Keys<XQCalendarYearPresenterStyle>& keys) {
    using S = XQCalendarYearPresenterStyle;
    keys.add("monthsPerPage", &S::setMonthsPerPage, &S::monthsPerPage)
        .add("dayTextColor", &S::setDayTextColor, &S::dayTextColor)
        .add("weekendTextColor", &S::setWeekendTextColor, &S::weekendTextColor)
        .add("todayTextColor", &S::setTodayTextColor, &S::todayTextColor)
        .add("dayNameTextColor", &S::setDayNameTextColor, &S::dayNameTextColor)
        .add("monthNameTextColor", &S::setMonthNameTextColor, &S::monthNameTextColor)
        .add("dayFont", &S::setDayFont, &S::dayFont)
        .add("dayNameFont", &S::setDayNameFont, &S::dayNameFont)
        .add("monthNameFont", &S::setMonthNameFont, &S::monthNameFont)
        .add("todayShape", &S::setTodayShape, &S::todayShape)
        .add("todayShapeFill", &S::setTodayShapeFill, &S::todayShapeFill)
        .add("todayShapeStroke", &S::setTodayShapeStroke, &S::todayShapeStroke)
        .add("monthNameTextEffect", &S::setMonthNameTextEffect, &S::monthNameTextEffect)
        .add("dayNameTextEffect", &S::setDayNameTextEffect, &S::dayNameTextEffect)
        .add("monthNameTextAlignment", &S::setMonthNameTextAlignment, &S::monthNameTextAlignment);
}

void XQCalendarYearPresenterStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    namespace sys = gfx::systemColors;
    using gfx::Color;
    using gfx::systemColorOr;
    const Color blue = systemColorOr(sys::systemBlue(), Color::rgb8(3, 121, 255));
    _monthsPerPage = 12;
    _dayTextColor = systemColorOr(sys::label(), Color::rgb8(51, 51, 51));
    _weekendTextColor = systemColorOr(sys::systemGray(), Color::rgb8(94, 94, 94));
    _todayTextColor = gfx::colors::white();
    _dayNameTextColor = systemColorOr(sys::systemGray2(), Color::rgb8(163, 163, 163));
    _monthNameTextColor = blue;
    _dayFont = nullptr;
    _dayNameFont = nullptr;
    _monthNameFont = nullptr;
    _todayShape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, gfx::Size{0, 0});
    _todayShapeFill = XQSolidFill::solidFillWithColor(blue);
    _todayShapeStroke = nullptr;
    _monthNameTextEffect = XQCalendarTextEffectUppercase;
    _dayNameTextEffect = XQCalendarTextEffectLowercase;
    _monthNameTextAlignment = 0;
}
