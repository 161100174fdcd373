#pragma once

// The base view of the framework's own top-level views (the calendar, the inline event
// list). It adds nothing to ui::View but a place for them to share.
//
// `make(frame)` runs `init(frame)` (initWithFrame:); `make()` runs `init()`, which reaches
// `init(frame)` with a zero frame. The initialisers are not virtual: a subclass that defines
// its own `init(frame)` defines `init()` too when it is made with `make()`.

#include "platform/ui/View.h"

class XQView : public ui::View {
public:
    OLM_DECLARE_CLASS(XQView)
    static std::shared_ptr<XQView> make(const gfx::Rect& frame) { return rt::create<XQView>(frame); }
    static std::shared_ptr<XQView> make() { return rt::create<XQView>(); }

protected:
    friend struct rt::Access;
    XQView() = default;
    using ui::View::init;
    void init() { init(gfx::Rect::zero()); }
};
