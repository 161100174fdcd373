#pragma once

// Slides the two snapshots vertically, the arriving page over the leaving one, by the page
// height less `offset`: the arriving page starts with `offset` points of it already on
// screen (its top edge going forward, its bottom edge going backward). The orientation is
// not looked at. Nothing in the calendar makes this transition; it is offered to
// applications.

#include "OLMCalendar/Transitions/XQViewTransitionSliding.h"

class XQViewTransitionFlow : public XQViewTransitionSliding {
public:
    OLM_DECLARE_CLASS(XQViewTransitionFlow)
    static std::shared_ptr<XQViewTransitionFlow> make(const gfx::Rect& frame = {}) {
        return rt::create<XQViewTransitionFlow>(frame);
    }

    // Points, 0 by default; set before the transition begins. Taken as it is: a negative
    // offset or one above the height makes the slide longer or reverses it.
    double offset() const { return _offset; }
    void setOffset(double offset) { _offset = offset; }

protected:
    XQViewTransitionFlow() = default;
    friend struct rt::Access;
    using XQViewTransitionSliding::init;

    void beginTransition(const gfx::ImageRef& from, const gfx::ImageRef& to,
                         XQViewTransitionDirection direction) override;
    gfx::Point travel() const override;

private:
    double _offset = 0;
};
