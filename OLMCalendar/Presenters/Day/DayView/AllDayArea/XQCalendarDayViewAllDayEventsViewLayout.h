#pragma once

// The flow layout of the all-day strip. Its items are sized by the day view from the strip's
// width, so a change of the collection view's size (not a scroll) asks the delegate for the
// item sizes and metrics again.

#include "platform/ui/CollectionViewFlowLayout.h"

class XQCalendarDayViewAllDayEventsViewLayout : public ui::CollectionViewFlowLayout {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewAllDayEventsViewLayout)
    static std::shared_ptr<XQCalendarDayViewAllDayEventsViewLayout> make() {
        return rt::create<XQCalendarDayViewAllDayEventsViewLayout>();
    }

    // YES when the width or the height differs from the collection view's bounds.
    bool shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const override;
    // The base's context, asking for the delegate's metrics again when the size changed.
    ui::CollectionViewLayoutInvalidationContextRef invalidationContextForBoundsChange(
        const gfx::Rect& newBounds) const override;

protected:
    friend struct rt::Access;
    XQCalendarDayViewAllDayEventsViewLayout() = default;

private:
    bool sizeChanges(const gfx::Rect& newBounds) const;
};
