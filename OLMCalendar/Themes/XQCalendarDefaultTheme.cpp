#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarMonthPresenter.h"
#include "OLMCalendar/Presenters/MonthNames/XQCalendarMonthNameCell.h"
#include "OLMCalendar/Presenters/YearNumbers/XQCalendarYearNumberCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Themes/MonthYearCellStyles.h"
#include "OLMCalendar/Themes/YearViewStyles.h"
#include "OLMCore/XQShape.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

OLM_DEFINE_CLASS(XQCalendarDefaultTheme, XQTheme)

namespace XQCalendarThemeGlobals {
std::shared_ptr<XQSolidFill> fill;
std::shared_ptr<XQSolidFill> fill2;
std::shared_ptr<XQSolidFill> fill3;
std::optional<gfx::Color> textColor;
std::optional<gfx::Color> normalTextColor;
std::optional<gfx::Color> weekendTextColor;
std::optional<gfx::Color> todayTextColor;
std::optional<gfx::Color> blueTextColor;
std::optional<gfx::Color> invertedNormalTextColor;
std::optional<gfx::Color> labelTextColor;
std::optional<gfx::Color> grayTextColor;
std::optional<gfx::Color> lightGrayColor;
std::optional<gfx::Color> customLightGrayColor;
std::optional<gfx::Color> monthSelectedBackgroundColor;
} // namespace XQCalendarThemeGlobals

namespace {

using Settings = XQTheme::Settings;
using gfx::Color;

Color gray8(int v) {
    return Color::rgb8(v, v, v);
}

// Day-cell states the groups are keyed on.
constexpr long today = 1, weekend = 2, currentMonth = 4, selected = 16, firstInRange = 32, lastInRange = 64,
               midInRange = 128, outOfRange = 256;

themes::MonthYearColors defaultMonthYearColors() {
    namespace g = XQCalendarThemeGlobals;
    return {g::normalTextColor, g::invertedNormalTextColor, g::fill, g::grayTextColor};
}

} // namespace

// --- The default theme.

void XQCalendarDefaultTheme::init() {
    XQTheme::init();
    initColors();
    addMonthViewStyles();
    addMonthNamesViewStyles();
    addYearNumbersViewStyles();
    addYearViewStyles();
}

void XQCalendarDefaultTheme::initColors() {
    namespace g = XQCalendarThemeGlobals;
    namespace sys = gfx::systemColors;
    namespace fixed = gfx::colors;
    g::fill2 = XQSolidFill::solidFillWithColor(fixed::clear());
    const bool system = gfx::systemColorsAvailable();
    g::textColor = system ? sys::systemGray2() : gray8(163);
    g::normalTextColor = system ? sys::label() : gray8(3);
    g::weekendTextColor = system ? sys::systemGray() : gray8(94);
    g::todayTextColor = system ? sys::systemBlue() : Color::rgb8(3, 122, 255);
    g::blueTextColor = system ? sys::systemBlue() : Color::rgb8(3, 121, 255);
    g::fill = XQSolidFill::solidFillWithColor(system ? sys::label() : gray8(54));
    g::fill3 = XQSolidFill::solidFillWithColor(*g::blueTextColor);
    g::invertedNormalTextColor = system ? sys::systemBackground() : fixed::white();
    g::labelTextColor = system ? sys::systemGray2() : gray8(163);
    g::grayTextColor = system ? sys::systemGray() : fixed::gray();
    g::lightGrayColor = system ? sys::systemGray2() : fixed::lightGray();
    g::customLightGrayColor = system ? sys::systemGray4() : gray8(204);
}

void XQCalendarDefaultTheme::addMonthViewStyles() {
    namespace g = XQCalendarThemeGlobals;
    const auto& day = XQCalendarDayCell::staticClass();
    // One shape, sized by each cell to its text, marks selections.
    const rt::Value shape(XQPredefinedShape::shapeWithType(2, gfx::Size{0, 0}));
    const rt::Value none = rt::Value::null();

    addStyleGroupWithClass(
        day, {{"shape", none}, {"textColor", g::textColor}, {"textFont", gfx::Font::systemFont(19)}});
    addStyleGroupWithClassState(day, currentMonth, {{"textColor", g::normalTextColor}});
    addStyleGroupWithClassState(day, weekend | currentMonth, {{"textColor", g::weekendTextColor}});
    addStyleGroupWithClassState(day, today,
                                {{"textColor", g::todayTextColor}, {"textFont", gfx::Font::boldSystemFont(19)}});
    for (long state : {midInRange, firstInRange, lastInRange})
        addStyleGroupWithClassState(
            day, state, {{"textColor", g::normalTextColor}, {"shape", shape}, {"shapeFill", rt::Value(g::fill2)}});
    addStyleGroupWithClassState(day, selected,
                                {{"textColor", g::invertedNormalTextColor}, {"shape", shape}, {"shapeFill", rt::Value(g::fill)}});
    addStyleGroupWithClassState(day, selected | today, {{"shapeFill", rt::Value(g::fill3)}});
    addStyleGroupWithClass(XQCalendarDayNameCell::staticClass(), {{"textColor", g::labelTextColor},
                                                                  {"textFont", gfx::Font::systemFont(11)},
                                                                  {"topBorderColor", none},
                                                                  {"bottomBorderColor", none}});
    addStyleGroupWithClass(XQCalendarWeekNumberCell::staticClass(),
                           {{"textColor", g::labelTextColor}, {"textFont", gfx::Font::systemFont(11)}});
    addStyleGroupWithClass(XQCalendarTitleCell::staticClass(), {{"textColor", g::normalTextColor},
                                                                {"textFont", gfx::Font::systemFont(17)},
                                                                {"topBorderColor", none},
                                                                {"bottomBorderColor", none}});
    addStyleGroupWithClassState(day, outOfRange, {{"textColor", g::lightGrayColor}});
}

void XQCalendarDefaultTheme::addMonthNamesViewStyles() {
    themes::addMonthYearCellStyles(*this, XQCalendarMonthNameCell::staticClass(), defaultMonthYearColors());
}

void XQCalendarDefaultTheme::addYearNumbersViewStyles() {
    themes::addMonthYearCellStyles(*this, XQCalendarYearNumberCell::staticClass(), defaultMonthYearColors());
}

void XQCalendarDefaultTheme::addYearViewStyles() {
    namespace g = XQCalendarThemeGlobals;
    themes::addYearTitleStyles(*this, g::blueTextColor, g::customLightGrayColor);
    themes::addYearPresenterStyles(*this);
    addStyleGroupWithClassState(XQCalendarYearPresenter::staticClass(), XQCalendarYearPresenterStyleStateLandscape,
                                {{"monthsPerPage", 6L}});
}
