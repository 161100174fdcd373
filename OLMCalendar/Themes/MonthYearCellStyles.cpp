#include "OLMCalendar/Themes/MonthYearCellStyles.h"

#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthYearCell.h"
#include "OLMCore/XQShape.h"
#include "platform/graphics/Font.h"

namespace themes {

void addMonthYearCellStyles(XQTheme& theme, const rt::Class& cell, const MonthYearColors& colors) {
    const rt::Value none = rt::Value::null();
    theme.addStyleGroupWithClass(cell, {{"shape", none},
                                        {"textColor", colors.text},
                                        {"textFont", gfx::Font::named("HelveticaNeue-Light", 25)},
                                        {"topBorderColor", none},
                                        {"bottomBorderColor", none}});
    theme.addStyleGroupWithClassState(
        cell, XQCalendarMonthYearCellStateSelected,
        {{"textColor", colors.selectedText},
         {"shape", rt::Value(XQPredefinedShape::shapeWithType(2, gfx::Size{0, 0}))},
         {"shapeFill", rt::Value(colors.selectedFill)}});
    theme.addStyleGroupWithClassState(cell, XQCalendarMonthYearCellStateOutOfRange,
                                      {{"textColor", colors.outOfRangeText}});
}

} // namespace themes
