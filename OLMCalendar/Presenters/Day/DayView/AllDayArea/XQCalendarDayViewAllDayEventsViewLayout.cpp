#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsViewLayout.h"

OLM_DEFINE_CLASS(XQCalendarDayViewAllDayEventsViewLayout, ui::CollectionViewFlowLayout)

bool XQCalendarDayViewAllDayEventsViewLayout::sizeChanges(const gfx::Rect& newBounds) const {
    const ui::CollectionView* view = collectionView();
    return !view || view->bounds().size != newBounds.size;
}

bool XQCalendarDayViewAllDayEventsViewLayout::shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const {
    return sizeChanges(newBounds);
}

ui::CollectionViewLayoutInvalidationContextRef
XQCalendarDayViewAllDayEventsViewLayout::invalidationContextForBoundsChange(const gfx::Rect& newBounds) const {
    auto context = ui::CollectionViewFlowLayout::invalidationContextForBoundsChange(newBounds);
    context->setInvalidateFlowLayoutDelegateMetrics(sizeChanges(newBounds));
    return context;
}
