#pragma once

#include "OLMCore/XQTheme.h"

#include <memory>

// A theme for larger screens, with fixed colours of its own; it reads and writes none of the
// shared colours.
class XQCalendarIPadTheme : public XQTheme {
public:
    OLM_DECLARE_CLASS(XQCalendarIPadTheme)
    static std::shared_ptr<XQCalendarIPadTheme> make() { return rt::create<XQCalendarIPadTheme>(); }

    void addMonthNamesViewStyles();
    void addYearNumbersViewStyles();
    void addYearViewStyles();

protected:
    friend struct rt::Access;
    XQCalendarIPadTheme() = default;
    void init();
};
