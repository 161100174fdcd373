#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsLayout.h"

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewTimeLine.h"
#include "platform/ui/CollectionView.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <queue>

OLM_DEFINE_CLASS(XQCalendarDayViewEventsLayout, ui::CollectionViewLayout)

namespace {

// The shown day's bounds and wall clock, taken once per layout: the time of day of an
// instant comes from the zone's offset, which changes at most once within a day.
class DayClock {
public:
    static std::optional<DayClock> make(const fnd::Calendar& calendar, const fnd::Date& date) {
        DayClock c;
        const fnd::Date dayStart = calendar.startOfDayForDate(date);
        const auto tomorrow = calendar.dateByAddingUnit(fnd::CalendarUnitDay, 1, dayStart);
        if (!tomorrow) return std::nullopt;
        const fnd::Date next = calendar.startOfDayForDate(*tomorrow);
        if (!(next > dayStart)) return std::nullopt;
        const fnd::TimeZone zone = calendar.timeZone();
        c._dayStart = dayStart.timeIntervalSince1970();
        c._next = next.timeIntervalSince1970();
        c._offsetBefore = static_cast<double>(zone.secondsFromGMTForDate(dayStart));
        c._offsetAfter = static_cast<double>(zone.secondsFromGMTForDate(next.dateByAddingTimeInterval(-1)));
        c._transition = c._next;
        if (c._offsetAfter != c._offsetBefore) {
            // The first second at the new offset.
            double lo = c._dayStart, hi = c._next - 1;
            while (hi - lo > 1) {
                const double mid = std::floor((lo + hi) / 2);
                if (static_cast<double>(zone.secondsFromGMTForDate(fnd::Date::fromTimeIntervalSince1970(mid))) ==
                    c._offsetBefore)
                    lo = mid;
                else
                    hi = mid;
            }
            c._transition = hi;
        }
        // The day may start after midnight (a skipped midnight starts it at 01:00).
        const fnd::DateComponents start = calendar.components(
            fnd::CalendarUnitHour | fnd::CalendarUnitMinute | fnd::CalendarUnitSecond, dayStart);
        const double startOfDayWall = static_cast<double>(start.hour.value_or(0) * 3600 +
                                                          start.minute.value_or(0) * 60 + start.second.value_or(0));
        c._localMidnight = c.local(c._dayStart) - startOfDayWall;
        return c;
    }

    bool isOnDay(double t) const { return t >= _dayStart && t < _next; }
    bool isBeforeDay(double t) const { return t < _dayStart; }
    bool isAfterDay(double t) const { return t >= _next; }
    // Local (wall-clock) seconds: monotonic but for the hour a fall-back change repeats.
    double local(double t) const { return t + (t < _transition ? _offsetBefore : _offsetAfter); }
    // Whole seconds of the wall-clock time of day of an instant of the day.
    double secondsOfDay(double t) const { return std::floor(local(t) - _localMidnight); }

private:
    DayClock() = default;
    double _dayStart = 0, _next = 0, _transition = 0;
    double _offsetBefore = 0, _offsetAfter = 0;
    double _localMidnight = 0;
};

// An event as the layout sees it: its place in the events view's list, its wall-clock
// interval (for overlap) and its top and bottom on the content (for the frame).
struct Span {
    long item = 0;
    double start = 0, end = 0;
    double top = 0, bottom = 0;
};

// What a layout pass reads of the events view, taken once.
struct DayGeometry {
    std::optional<DayClock> clock;
    double topOffset = 0;
    double timeLineHeight = 0;
    double contentHeight = 0;
    const XQCalendarDayViewEventsView* view = nullptr;

    static DayGeometry of(const XQCalendarDayViewEventsView& view, double contentHeight) {
        DayGeometry g;
        g.view = &view;
        g.contentHeight = contentHeight;
        g.topOffset = view.style()->topOffset();
        g.timeLineHeight = view.timeLineHeight();
        const fnd::CalendarRef calendar = view.calendar();
        if (calendar && view.date() && view.hasUsableRange()) g.clock = DayClock::make(*calendar, *view.date());
        return g;
    }

    double y(double t) const { return topOffset + timeLineHeight * view->offsetForSecondsOfDay(clock->secondsOfDay(t)); }

    // The span of an event that has a place on the shown day.
    std::optional<Span> span(const XQCalendarEventProtocol* event, long item) const {
        if (!clock || event == nullptr) return std::nullopt;
        const auto startDate = event->startDate();
        const auto endDate = event->endDate();
        if (!startDate || !endDate) return std::nullopt;
        const double s = startDate->timeIntervalSince1970();
        const double e = std::max(s, endDate->timeIntervalSince1970());
        if (!std::isfinite(s) || !std::isfinite(e) || clock->isAfterDay(s) || clock->isBeforeDay(e)) return std::nullopt;
        Span span;
        span.item = item;
        span.start = clock->local(s);
        span.end = std::max(span.start, clock->local(e));
        span.top = clock->isOnDay(s) ? y(s) : 0;
        span.bottom = clock->isOnDay(e) ? y(e) : contentHeight;
        return span;
    }
};

bool overlaps(double clusterStart, double clusterEnd, double s, double e) {
    return s > clusterStart ? s < clusterEnd : e > clusterStart;
}

// Groups spans (sorted by start, equal starts in list order) into clusters, in the order the
// clusters began. A sweep: only clusters still open at the current start can take an event,
// and of those at most one spans it; the rest are zero-length clusters at that very start.
std::vector<std::vector<std::size_t>> clusterSpans(const std::vector<Span>& spans) {
    std::vector<std::size_t> parent;
    std::vector<double> cs, ce;
    std::vector<std::size_t> clusterOf(spans.size());
    std::vector<std::size_t> wide, points, matches;
    std::vector<bool> isWide;
    double pointsAt = 0;
    const auto find = [&](std::size_t x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const double s = spans[i].start, e = spans[i].end;
        if (!points.empty() && pointsAt != s) points.clear();
        std::erase_if(wide, [&](std::size_t id) { return find(id) != id || ce[id] <= s; });
        matches.clear();
        for (std::size_t id : wide)
            if (overlaps(cs[id], ce[id], s, e)) matches.push_back(id);
        if (e > s)
            for (std::size_t id : points)
                if (find(id) == id && !isWide[id]) matches.push_back(id);
        if (matches.empty()) {
            const std::size_t id = parent.size();
            parent.push_back(id);
            cs.push_back(s);
            ce.push_back(e);
            isWide.push_back(e > s);
            (e > s ? wide : points).push_back(id);
            if (e == s) pointsAt = s;
            clusterOf[i] = id;
            continue;
        }
        // The first cluster in order takes the event and the others.
        const std::size_t first = *std::min_element(matches.begin(), matches.end());
        for (std::size_t id : matches) {
            if (id == first) continue;
            parent[id] = first;
            cs[first] = std::min(cs[first], cs[id]);
            ce[first] = std::max(ce[first], ce[id]);
        }
        cs[first] = std::min(cs[first], s);
        ce[first] = std::max(ce[first], e);
        if (!isWide[first] && ce[first] > cs[first]) {
            isWide[first] = true;
            wide.push_back(first);
        }
        clusterOf[i] = first;
    }
    std::vector<std::size_t> slot(parent.size(), SIZE_MAX);
    std::vector<std::vector<std::size_t>> clusters;
    for (std::size_t id = 0; id < parent.size(); ++id)
        if (find(id) == id) {
            slot[id] = clusters.size();
            clusters.emplace_back();
        }
    for (std::size_t i = 0; i < spans.size(); ++i)
        clusters[slot[find(clusterOf[i])]].push_back(i);
    return clusters;
}

// First fit in start order: the first column whose last event ends no later than the start.
// Answers each member's column; `columnCount` gets the number of columns.
std::vector<std::size_t> assignColumns(const std::vector<Span>& spans, const std::vector<std::size_t>& members,
                                       std::size_t& columnCount) {
    using Busy = std::pair<double, std::size_t>; // (last end, column)
    std::priority_queue<Busy, std::vector<Busy>, std::greater<>> busy;
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> free;
    std::vector<std::size_t> columns(members.size());
    columnCount = 0;
    for (std::size_t k = 0; k < members.size(); ++k) {
        const Span& span = spans[members[k]];
        while (!busy.empty() && busy.top().first <= span.start) {
            free.push(busy.top().second);
            busy.pop();
        }
        std::size_t column = columnCount;
        if (free.empty())
            ++columnCount;
        else {
            column = free.top();
            free.pop();
        }
        columns[k] = column;
        busy.push({span.end, column});
    }
    return columns;
}

// The spans of the events that have a place on the day, sorted by start (stable).
std::vector<Span> sortedSpans(const DayGeometry& geometry, const XQCalendarEvents& events, long count,
                              std::vector<long>* unplaced) {
    std::vector<Span> spans;
    spans.reserve(static_cast<std::size_t>(count));
    for (long i = 0; i < count; ++i) {
        if (auto span = geometry.span(events[static_cast<std::size_t>(i)].get(), i))
            spans.push_back(*span);
        else if (unplaced)
            unplaced->push_back(i);
    }
    const auto byStart = [](const Span& a, const Span& b) { return a.start < b.start; };
    if (!std::is_sorted(spans.begin(), spans.end(), byStart)) std::stable_sort(spans.begin(), spans.end(), byStart);
    return spans;
}

} // namespace

void XQCalendarDayViewEventsLayout::init() {
    ui::CollectionViewLayout::init();
    registerClass(&ui::CollectionReusableView::reusableClass<XQCalendarDayViewTimeLine>(), XQCalendarDayViewTimeLineKind);
}

XQCalendarDayViewEventsView* XQCalendarDayViewEventsLayout::eventsView() const {
    return dynamic_cast<XQCalendarDayViewEventsView*>(collectionView());
}

void XQCalendarDayViewEventsLayout::invalidateLayout() {
    ui::CollectionViewLayout::invalidateLayout();
    if (_attributesCache.empty()) return;
    _spareAttributes = std::move(_attributesCache);
    _attributesCache.clear();
}

ui::CollectionViewLayoutAttributesRef XQCalendarDayViewEventsLayout::cellAttributes(const fnd::IndexPath& path) {
    // Attributes of the last pass that nobody else holds are taken again: a day of many
    // events then costs no allocation per event.
    while (!_spareAttributes.empty()) {
        ui::CollectionViewLayoutAttributesRef spare = std::move(_spareAttributes.back());
        _spareAttributes.pop_back();
        if (spare.use_count() == 1 && &spare->objectClass() == &ui::CollectionViewLayoutAttributes::staticClass() &&
            spare->representedElementCategory() == ui::CollectionElementCategoryCell) {
            spare->setIndexPath(path);
            return spare;
        }
    }
    return ui::CollectionViewLayoutAttributes::layoutAttributesForCell(path);
}

bool XQCalendarDayViewEventsLayout::shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const {
    const ui::CollectionView* view = collectionView();
    return view && !(view->bounds().size == newBounds.size);
}

gfx::Size XQCalendarDayViewEventsLayout::collectionViewContentSize() const {
    const XQCalendarDayViewEventsView* view = eventsView();
    if (!view) return {};
    const XQCalendarDayViewEventsViewStyle& style = *view->style();
    return {view->bounds().size.width, view->timeLineHeight() + style.bottomOffset() + style.topOffset()};
}

void XQCalendarDayViewEventsLayout::prepareLayout() {
    ui::CollectionViewLayout::prepareLayout();
    if (!_attributesCache.empty()) return;
    XQCalendarDayViewEventsView* view = eventsView();
    if (!view) return;
    const XQCalendarDayViewEventsViewStyle& style = *view->style();
    const gfx::Size content = collectionViewContentSize();
    const gfx::Rect contentRect{0, 0, content.width, content.height};
    const double left = style.labelOffset() + view->labelSize().width + style.eventsLeadingOffset();
    const double available = content.width - left - style.eventsTrailingOffset();
    const double spacing = style.eventsSpacing();
    const double minHeight = style.minEventHeight();

    // An item count beyond the list has nothing to show.
    const XQCalendarEvents& events = view->events();
    const long count = std::clamp(view->numberOfItemsInSection(0), 0L, static_cast<long>(events.size()));
    const DayGeometry geometry = DayGeometry::of(*view, content.height);
    std::vector<long> unplaced;
    const std::vector<Span> spans = sortedSpans(geometry, events, count, &unplaced);
    _attributesCache.reserve(static_cast<std::size_t>(count) + 1);

    const auto append = [&](long item, const gfx::Rect& frame) {
        const fnd::IndexPath path = fnd::IndexPath::forItem(item, 0);
        if (auto supplied = layoutAttributesForItemAtIndexPath(path)) {
            _attributesCache.push_back(std::move(supplied));
            return;
        }
        auto attributes = cellAttributes(path);
        attributes->setFrame(frame);
        attributes->setZIndex(1);
        _attributesCache.push_back(std::move(attributes));
    };

    std::vector<std::size_t> byColumn;
    for (const std::vector<std::size_t>& cluster : clusterSpans(spans)) {
        std::size_t n = 0;
        const std::vector<std::size_t> columns = assignColumns(spans, cluster, n);
        const double columnWidth = std::max(0.0, (available - spacing * static_cast<double>(n - 1)) / static_cast<double>(n));
        // Column by column, each in start order.
        byColumn.resize(cluster.size());
        std::iota(byColumn.begin(), byColumn.end(), 0);
        std::stable_sort(byColumn.begin(), byColumn.end(),
                         [&](std::size_t a, std::size_t b) { return columns[a] < columns[b]; });
        for (std::size_t k : byColumn) {
            const Span& span = spans[cluster[k]];
            const double c = static_cast<double>(columns[k]);
            const double height = std::max(span.bottom - span.top, minHeight);
            const gfx::Rect frame{left + columnWidth * c + spacing * c, span.top, columnWidth, height};
            append(span.item, frame.intersects(contentRect) ? frame.intersection(contentRect) : gfx::Rect::zero());
        }
    }
    for (long item : unplaced)
        append(item, gfx::Rect::zero());

    _attributesCache.push_back(
        layoutAttributesForDecorationViewOfKindAtIndexPath(XQCalendarDayViewTimeLineKind, fnd::IndexPath::withIndex(0)));
    _spareAttributes.clear();
}

std::vector<ui::CollectionViewLayoutAttributesRef>
XQCalendarDayViewEventsLayout::layoutAttributesForElementsInRect(const gfx::Rect& rect) const {
    std::vector<ui::CollectionViewLayoutAttributesRef> found;
    for (const auto& attributes : _attributesCache)
        if (attributes && attributes->frame().intersects(rect)) found.push_back(attributes);
    return found;
}

ui::CollectionViewLayoutAttributesRef
XQCalendarDayViewEventsLayout::layoutAttributesForDecorationViewOfKindAtIndexPath(std::string_view kind,
                                                                                  const fnd::IndexPath& indexPath) const {
    if (kind != XQCalendarDayViewTimeLineKind) return nullptr;
    XQCalendarDayViewEventsView* view = eventsView();
    auto attributes = XQCalendarDayViewTimeLineLayoutAttributes::layoutAttributesForDecorationViewOfKind(
        kind, indexPath, view ? rt::sharedFrom(view) : nullptr);
    const gfx::Size content = collectionViewContentSize();
    attributes->setFrame({0, 0, content.width, content.height});
    attributes->setZIndex(0);
    return attributes;
}

std::vector<std::shared_ptr<EventsCluster>> XQCalendarDayViewEventsLayout::buildEventClusters() const {
    std::vector<std::shared_ptr<EventsCluster>> result;
    const XQCalendarDayViewEventsView* view = eventsView();
    if (!view) return result;
    const XQCalendarEvents& events = view->events();
    const long count = std::clamp(view->numberOfItemsInSection(0), 0L, static_cast<long>(events.size()));
    const DayGeometry geometry = DayGeometry::of(*view, collectionViewContentSize().height);
    const std::vector<Span> spans = sortedSpans(geometry, events, count, nullptr);
    for (const std::vector<std::size_t>& members : clusterSpans(spans)) {
        std::shared_ptr<EventsCluster> cluster;
        for (std::size_t k : members) {
            const XQCalendarEventRef& event = events[static_cast<std::size_t>(spans[k].item)];
            if (cluster)
                cluster->addEvent(event);
            else
                cluster = EventsCluster::make(event);
        }
        result.push_back(std::move(cluster));
    }
    return result;
}

std::vector<XQCalendarEvents> XQCalendarDayViewEventsLayout::buildColumnsForCluster(const EventsCluster& cluster) const {
    std::vector<XQCalendarEvents> columns;
    const XQCalendarDayViewEventsView* view = eventsView();
    if (!view) return columns;
    const XQCalendarEvents& events = cluster.sortedEvents();
    const DayGeometry geometry = DayGeometry::of(*view, collectionViewContentSize().height);
    const std::vector<Span> spans = sortedSpans(geometry, events, static_cast<long>(events.size()), nullptr);
    std::vector<std::size_t> members(spans.size());
    std::iota(members.begin(), members.end(), 0);
    std::size_t n = 0;
    const std::vector<std::size_t> assigned = assignColumns(spans, members, n);
    columns.resize(n);
    for (std::size_t k = 0; k < members.size(); ++k)
        columns[assigned[k]].push_back(events[static_cast<std::size_t>(spans[k].item)]);
    return columns;
}
