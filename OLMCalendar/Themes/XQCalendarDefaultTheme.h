#pragma once

// The theme every calendar starts with. Its initialiser first fills the shared theme colours
// and fills (below), taking the dynamic system colours where they exist and fixed colours
// elsewhere, then registers the style groups of the month and week views and of the
// year-family views.

#include "OLMCore/XQFill.h"
#include "OLMCore/XQTheme.h"
#include "platform/graphics/Color.h"

#include <memory>
#include <optional>

// The process-wide colours and fills the default theme uses. Every default theme made
// assigns them afresh (groups registered earlier keep the objects they were given); they are
// nil until the first one is made. Main thread only.
namespace XQCalendarThemeGlobals {
extern std::shared_ptr<XQSolidFill> fill;
extern std::shared_ptr<XQSolidFill> fill2;
extern std::shared_ptr<XQSolidFill> fill3;
extern std::optional<gfx::Color> textColor;
extern std::optional<gfx::Color> normalTextColor;
extern std::optional<gfx::Color> weekendTextColor;
extern std::optional<gfx::Color> todayTextColor;
extern std::optional<gfx::Color> blueTextColor;
extern std::optional<gfx::Color> invertedNormalTextColor;
extern std::optional<gfx::Color> labelTextColor;
extern std::optional<gfx::Color> grayTextColor;
extern std::optional<gfx::Color> lightGrayColor;
extern std::optional<gfx::Color> customLightGrayColor;
// Never assigned.
extern std::optional<gfx::Color> monthSelectedBackgroundColor;
} // namespace XQCalendarThemeGlobals

class XQCalendarDefaultTheme : public XQTheme {
public:
    OLM_DECLARE_CLASS(XQCalendarDefaultTheme)
    static std::shared_ptr<XQCalendarDefaultTheme> make() { return rt::create<XQCalendarDefaultTheme>(); }

    // Assigns the shared colours and fills.
    void initColors();
    // The groups of the month and week views' cells.
    void addMonthViewStyles();
    // The groups of the month-names, year-numbers and year views.
    void addMonthNamesViewStyles();
    void addYearNumbersViewStyles();
    void addYearViewStyles();

protected:
    friend struct rt::Access;
    XQCalendarDefaultTheme() = default;
    void init();
};
