#pragma once

// Slides the two snapshots side by side, like a paging scroll view: by one page width, or
// by one page height when the orientation is vertical. The presenters navigate with it
// unless told otherwise.
//
// Forward the from page leaves towards the left (or top) while the to page follows it in
// from the right (or bottom); backward the to page comes in from the left (or top) and the
// from page leaves towards the right (or bottom). The system background shows wherever the
// pages leave a gap (a progress past the ends).

#include "OLMCalendar/Transitions/XQViewTransitionSliding.h"

class XQViewTransitionScroll : public XQViewTransitionSliding {
public:
    OLM_DECLARE_CLASS(XQViewTransitionScroll)
    static std::shared_ptr<XQViewTransitionScroll> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionScroll>(frame);
    }

protected:
    XQViewTransitionScroll() = default;
    friend struct rt::Access;
    using XQViewTransitionSliding::init;

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;
    gfx::Point travel() const override;
};
