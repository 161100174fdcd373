#include "OLMCalendar/Themes/YearViewStyles.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "platform/graphics/Font.h"

namespace themes {

void addYearTitleStyles(XQTheme& theme, const std::optional<gfx::Color>& textColor,
                        const std::optional<gfx::Color>& bottomBorderColor) {
    auto group = XQStyleGroup::make(XQCalendarTitleCell::staticClass());
    group->styleID()->setConditionClass(XQCalendarYearPresenter::staticClass());
    group->setPropertyValue(rt::Value(gfx::Font::named("HelveticaNeue-Light", 17)), "textFont");
    group->setPropertyValue(textColor, "textColor");
    // Left and vertically centred.
    group->setPropertyValue(rt::Value(33L), "textAlignment");
    group->setPropertyValue(rt::Value(), "topBorderColor");
    group->setPropertyValue(bottomBorderColor, "bottomBorderColor");
    theme.addStyleGroup(std::move(group));
}

void addYearPresenterStyles(XQTheme& theme) {
    theme.addStyleGroupWithClass(XQCalendarYearPresenter::staticClass(),
                                 {{"dayFont", gfx::Font::named("HelveticaNeue-Medium", 8)},
                                  {"dayNameFont", gfx::Font::named("HelveticaNeue-Medium", 8)},
                                  {"monthNameFont", gfx::Font::named("HelveticaNeue-Light", 14)},
                                  {"monthsPerPage", 12L}});
}

} // namespace themes
