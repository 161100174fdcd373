#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNameCell.h"
#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumberCell.h"
#include "OLMCalendar/Themes/MonthYearCellStyles.h"
#include "OLMCalendar/Themes/YearViewStyles.h"
#include "OLMCore/XQShape.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarIPadTheme, XQTheme)

namespace {

using Settings = XQTheme::Settings;
using gfx::Color;

Color gray8(int v) {
    return Color::rgb8(v, v, v);
}

// Day-cell states the groups are keyed on.
constexpr long today = XQCalendarDayCellStateToday, weekend = XQCalendarDayCellStateWeekend,
               currentMonth = XQCalendarDayCellStateCurrentMonth, selected = XQCalendarDayCellStateSelected,
               firstInRange = XQCalendarDayCellStateFirstInRange, lastInRange = XQCalendarDayCellStateLastInRange,
               midInRange = XQCalendarDayCellStateMidInRange;

// The four border colours, left, right, top, bottom, each its own value.
void addBorders(Settings& settings, const Color& color) {
    for (const char* key : {"leftBorderColor", "rightBorderColor", "topBorderColor", "bottomBorderColor"})
        settings.emplace_back(key, color);
}

Settings withBorders(const Color& color, Settings more) {
    Settings settings;
    addBorders(settings, color);
    settings.insert(settings.end(), more.begin(), more.end());
    return settings;
}

themes::MonthYearColors iPadMonthYearColors() {
    return {gray8(3), gfx::colors::white(), XQSolidFill::solidFillWithColor(gray8(54)), gfx::colors::gray()};
}

} // namespace

void XQCalendarIPadTheme::init() {
    XQTheme::init();
    const auto& day = XQCalendarDayCell::staticClass();
    const Color blue = Color::rgb8(3, 121, 255);

    Settings all{{"textColor", gray8(163)},
                 {"eventTextColor", gfx::colors::black()},
                 {"textAlignment", 6L},
                 {"textFont", gfx::Font::systemFont(18)}};
    addBorders(all, gray8(207));
    for (const char* key : {"leftBorderWidth", "rightBorderWidth", "topBorderWidth", "bottomBorderWidth"})
        all.emplace_back(key, 1);
    all.insert(all.end(), {{"eventAlignment", 9L},
                           {"backgroundColor", gfx::colors::clear()},
                           {"stretchEvents", false},
                           {"eventSpacing", 1},
                           {"displayEventsAsText", true},
                           {"eventInsets", gfx::EdgeInsets{30, 2, 10, 2}},
                           {"eventShape", rt::Value(XQPredefinedShape::shapeWithType(2, gfx::Size{4, 4}))},
                           {"textInsets", gfx::EdgeInsets{10, 4, 4, 10}}});
    addStyleGroupWithClass(day, all);
    addStyleGroupWithClassState(day, currentMonth, {{"textColor", gray8(3)}});
    addStyleGroupWithClassState(day, today, withBorders(blue, {{"textColor", blue}}));
    addStyleGroupWithClassState(day, weekend, {{"backgroundColor", gray8(239)}, {"textColor", gray8(90)}});
    addStyleGroupWithClassState(day, selected,
                                withBorders(gray8(91), {{"textColor", gfx::colors::white()},
                                                        {"eventTextColor", gfx::colors::white()},
                                                        {"backgroundColor", gray8(54)}}));
    for (long state : {midInRange, firstInRange, lastInRange})
        addStyleGroupWithClassState(day, state, withBorders(gray8(129), {{"backgroundColor", gray8(54)}}));
    // A selected day stands out from the band of a range it ends.
    addStyleGroupWithClassState(day, selected,
                                withBorders(gray8(91), {{"textColor", gfx::colors::white()},
                                                        {"eventTextColor", gfx::colors::white()},
                                                        {"backgroundColor", gray8(102)}}));
    addStyleGroupWithClassState(day, selected | today,
                                withBorders(blue, {{"backgroundColor", Color::rgb8(3, 122, 255)}}));
    addStyleGroupWithClass(XQCalendarDayNameCell::staticClass(), {{"textColor", gray8(163)},
                                                                  {"textFont", gfx::Font::systemFont(16)},
                                                                  {"textAlignment", 6L},
                                                                  {"textInsets", gfx::EdgeInsets{0, 10, 0, 10}},
                                                                  {"topBorderColor", rt::Value::null()},
                                                                  {"bottomBorderColor", rt::Value::null()}});
    addStyleGroupWithClass(XQCalendarMonthPresenter::staticClass(),
                           {{"columnSpacing", -1}, {"rowSpacing", -1}, {"backgroundColor", gray8(247)}});
    addMonthNamesViewStyles();
    addYearNumbersViewStyles();
    addYearViewStyles();
}

void XQCalendarIPadTheme::addMonthNamesViewStyles() {
    themes::addMonthYearCellStyles(*this, XQCalendarMonthNameCell::staticClass(), iPadMonthYearColors());
}

void XQCalendarIPadTheme::addYearNumbersViewStyles() {
    themes::addMonthYearCellStyles(*this, XQCalendarYearNumberCell::staticClass(), iPadMonthYearColors());
}

void XQCalendarIPadTheme::addYearViewStyles() {
    // No landscape group: twelve months per page in both orientations.
    themes::addYearTitleStyles(*this, gfx::Color::rgb8(3, 121, 255), gfx::Color::rgb8(204, 204, 204));
    themes::addYearPresenterStyles(*this);
}
