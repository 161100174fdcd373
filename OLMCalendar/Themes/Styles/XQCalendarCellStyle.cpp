#include "OLMCalendar/Themes/Styles/XQCalendarCellStyle.h"

#include "platform/graphics/SystemColors.h"
#include "platform/runtime/KeyValue.h"
#include "platform/ui/Screen.h"

OLM_DEFINE_CLASS(XQCalendarCellStyle, XQStyleNode)

void XQCalendarCellStyle::registerKeys(rt::Keys<XQCalendarCellStyle>& keys) {
    using S = XQCalendarCellStyle;
    keys.add("textInsets", &S::setTextInsets, &S::textInsets)
        .add("textFont", &S::setTextFont, &S::textFont)
        .add("textColor", &S::setTextColor, &S::textColor)
        .add("textAlignment", &S::setTextAlignment, &S::textAlignment)
        .add("backgroundColor", &S::setBackgroundColor, &S::backgroundColor)
        .add("leftBorderColor", &S::setLeftBorderColor, &S::leftBorderColor)
        .add("rightBorderColor", &S::setRightBorderColor, &S::rightBorderColor)
        .add("topBorderColor", &S::setTopBorderColor, &S::topBorderColor)
        .add("bottomBorderColor", &S::setBottomBorderColor, &S::bottomBorderColor)
        .add("leftBorderWidth", &S::setLeftBorderWidth, &S::leftBorderWidth)
        .add("topBorderWidth", &S::setTopBorderWidth, &S::topBorderWidth)
        .add("rightBorderWidth", &S::setRightBorderWidth, &S::rightBorderWidth)
        .add("bottomBorderWidth", &S::setBottomBorderWidth, &S::bottomBorderWidth)
        .add("shape", &S::setShape, &S::shape)
        .add("shapeFill", &S::setShapeFill, &S::shapeFill)
        .add("shapeStroke", &S::setShapeStroke, &S::shapeStroke);
}

void XQCalendarCellStyle::resetLocalValues() {
    XQStyleNode::resetLocalValues();
    const gfx::Color border = gfx::systemColorOr(gfx::systemColors::systemGray4(), gfx::Color::rgb8(204, 204, 204));
    _textInsets = gfx::EdgeInsets::zero();
    _textColor = gfx::systemColorOr(gfx::systemColors::label(), gfx::colors::black());
    _textAlignment = XQCalendarCellAlignmentHorizontalCenter | XQCalendarCellAlignmentVerticalCenter;
    _backgroundColor = gfx::colors::clear();
    _leftBorderColor = std::nullopt;
    _rightBorderColor = std::nullopt;
    _topBorderColor = border;
    _bottomBorderColor = border;
    _leftBorderWidth = 0.5;
    _topBorderWidth = 0.5;
    _rightBorderWidth = 0.5;
    _bottomBorderWidth = ui::Screen::mainScreen().scale() == 2.0 ? 0.5 : 1.0;
    _shape = nullptr;
    _shapeFill = nullptr;
    _shapeStroke = nullptr;
}
