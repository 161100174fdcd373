#pragma once

// The layout of the day view's events view: one cell per timed event, its top and bottom at
// the event's start and end on the time line, events that overlap side by side; and the time
// line under the whole content.
//
// Events are grouped into clusters of events that overlap one another directly or through
// others, each cluster is split into columns in which no two events overlap (first fit: an
// event goes into the first column whose last event ends no later than it starts), and a
// cluster's columns share the free width equally. Overlap is strict (touching events do not
// overlap, nor does a zero-length event at a cluster's start) and is decided on the events'
// wall-clock positions on the shown day, so that two events of a repeated hour stand side by
// side rather than one over the other. Equal starts keep the events view's order.
//
// Positions: an event of the shown day starts at topOffset + timeLineHeight × the fraction of
// the range at which its start's time of day lies, and ends likewise; one that began on an
// earlier day starts at the top of the content (0), one that ends on a later day runs to its
// bottom. The height is at least minEventHeight, then the frame is clipped to the content.
// Events without a start or an end, wholly before or after the shown day, or laid out without
// a date, a calendar or a usable range get a zero frame and join no cluster. An end before its
// start counts as the start.
//
// The result is computed once per invalidation (new events, a zoom, a new size) in
// O(n log n): one sort, a sweep over the open clusters, and a heap of column ends per cluster.
// Scrolling computes nothing. Main thread only.

#include "OLMCalendar/Presenters/Day/DayView/DayArea/EventsCluster.h"
#include "platform/ui/CollectionViewLayout.h"

#include <string_view>
#include <vector>

class XQCalendarDayViewEventsView;

// The decoration kind of the time line.
inline constexpr std::string_view XQCalendarDayViewTimeLineKind = "timeline";

class XQCalendarDayViewEventsLayout : public ui::CollectionViewLayout {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewEventsLayout)
    static std::shared_ptr<XQCalendarDayViewEventsLayout> make() { return rt::create<XQCalendarDayViewEventsLayout>(); }

    void prepareLayout() override;
    void invalidateLayout() override;
    // A new width or height; scrolling does not invalidate.
    bool shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const override;
    // The collection view's width by the time line's height and its top and bottom offsets.
    gfx::Size collectionViewContentSize() const override;
    std::vector<ui::CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect& rect) const override;
    // The time line's attributes (the whole content, z index 0) for its kind; null otherwise.
    ui::CollectionViewLayoutAttributesRef layoutAttributesForDecorationViewOfKindAtIndexPath(
        std::string_view kind, const fnd::IndexPath& indexPath) const override;

    // The clusters of the events view's events, in the order they began; each event that has
    // a place on the shown day is in exactly one.
    std::vector<std::shared_ptr<EventsCluster>> buildEventClusters() const;
    // The columns of a cluster's events (first fit in start order); at least one for a
    // cluster of events placed on the shown day.
    std::vector<XQCalendarEvents> buildColumnsForCluster(const EventsCluster& cluster) const;

    // The attributes of the last computation: the cells in cluster, column and row order, then
    // the time line; empty after an invalidation.
    const std::vector<ui::CollectionViewLayoutAttributesRef>& cachedAttributes() const { return _attributesCache; }

protected:
    friend class rt::Access;
    XQCalendarDayViewEventsLayout() = default;
    void init();

private:
    XQCalendarDayViewEventsView* eventsView() const;
    ui::CollectionViewLayoutAttributesRef cellAttributes(const fnd::IndexPath& path);

    std::vector<ui::CollectionViewLayoutAttributesRef> _attributesCache;
    // The cache of the pass before the last invalidation, until the next pass.
    std::vector<ui::CollectionViewLayoutAttributesRef> _spareAttributes;
};
