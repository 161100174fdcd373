#pragma once

// The theme every calendar starts with. Its style groups for the cells and presenters are
// added as those views are built; for now it is an empty theme.

#include "OLMCore/XQTheme.h"

class XQCalendarDefaultTheme : public XQTheme {
public:
    OLM_DECLARE_CLASS(XQCalendarDefaultTheme)
    static std::shared_ptr<XQCalendarDefaultTheme> make() { return rt::create<XQCalendarDefaultTheme>(); }

protected:
    friend struct rt::Access;
    XQCalendarDefaultTheme() = default;
    void init();
};
