#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayView.h"

#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsLayout.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/Presenters/Day/DayView/XQCalendarDayViewEventCellProtocol.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarDayView, ui::View)

namespace {

// Earlier starts first; an event without a start before every other; equal starts keep
// their order (the sort is stable).
void sortByStart(XQCalendarEvents& events) {
    std::stable_sort(events.begin(), events.end(), [](const XQCalendarEventRef& a, const XQCalendarEventRef& b) {
        const auto sa = a ? a->startDate() : std::nullopt;
        const auto sb = b ? b->startDate() : std::nullopt;
        if (!sb) return false;
        return !sa || *sa < *sb;
    });
}

} // namespace

void XQCalendarDayView::init() {
    ui::View::init(gfx::Rect::zero());
    installAllDayEventsView(createAllDayEventsView());
    installEventsView(createEventsView());
    _emptyLabel = createEmptyView();
    addSubview(_emptyLabel);
}

XQCalendarDayView::~XQCalendarDayView() = default;

std::shared_ptr<XQCalendarDayViewAllDayEventsView> XQCalendarDayView::createAllDayEventsView() {
    return XQCalendarDayViewAllDayEventsView::make();
}

std::shared_ptr<XQCalendarDayViewEventsView> XQCalendarDayView::createEventsView() {
    return XQCalendarDayViewEventsView::make(gfx::Rect::zero(), XQCalendarDayViewEventsLayout::make());
}

std::shared_ptr<ui::Label> XQCalendarDayView::createEmptyView() {
    auto label = ui::Label::make();
    label->setText("Select a date to display events");
    return label;
}

template <class T> void XQCalendarDayView::adoptCollectionView(ui::CollectionView& collectionView) {
    auto self = std::static_pointer_cast<XQCalendarDayView>(rt::sharedFrom(this));
    collectionView.registerClass(&ui::CollectionReusableView::reusableClass<T>(), eventCellIdentifier);
    collectionView.setDataSource(self);
    collectionView.setDelegate(self);
}

void XQCalendarDayView::installAllDayEventsView(std::shared_ptr<XQCalendarDayViewAllDayEventsView> view) {
    adoptCollectionView<XQCalendarDayViewAllDayEventCell>(*view->eventsView());
    // In the old strip's place, first among the subviews.
    if (_allDayEventsView) _allDayEventsView->removeFromSuperview();
    _allDayEventsView = std::move(view);
    insertSubview(_allDayEventsView, 0);
    _allDayEventsView->attachWithEvents(_allDayEvents, _date);
    setNeedsLayout();
}

void XQCalendarDayView::installEventsView(std::shared_ptr<XQCalendarDayViewEventsView> view) {
    adoptCollectionView<XQCalendarDayViewEventCell>(*view);
    // Second among the subviews, above the strip.
    if (_eventsView) _eventsView->removeFromSuperview();
    _eventsView = std::move(view);
    insertSubview(_eventsView, 1);
    if (_date) _eventsView->attachWithEvents(_events, _date, _calendar);
    setNeedsLayout();
}

void XQCalendarDayView::setDataSource(std::shared_ptr<XQCalendarDayViewDataSource> dataSource) {
    _dataSource = std::move(dataSource);
    if (!_dataSource) return;
    auto keep = _dataSource;
    if (auto view = keep->createAllDayEventsViewInDayView(*this); view && view != _allDayEventsView)
        installAllDayEventsView(std::move(view));
    if (auto view = keep->createEventsViewInDayView(*this); view && view != _eventsView)
        installEventsView(std::move(view));
}

void XQCalendarDayView::attachWithEvents(const XQCalendarEvents& events, const std::optional<fnd::Date>& date,
                                         const fnd::CalendarRef& calendar) {
    _date = date;
    _calendar = calendar;
    _events.clear();
    _allDayEvents.clear();
    for (const auto& event : events) {
        if (!event) continue;
        (event->isAllDay() ? _allDayEvents : _events).push_back(event);
    }
    sortByStart(_allDayEvents);
    sortByStart(_events);
    _allDayEventsView->attachWithEvents(_allDayEvents, _date);
    _eventsView->attachWithEvents(_events, _date, _calendar);
    setNeedsLayout();
}

gfx::Size XQCalendarDayView::allDayViewSize() {
    if (_delegate)
        if (auto size = _delegate->allDayViewSizeInDayView(*this)) return *size;
    return _allDayEventsView->sizeThatFits(bounds().size);
}

void XQCalendarDayView::layoutSubviews() {
    ui::View::layoutSubviews();
    const gfx::Size bounds = this->bounds().size;
    if (!_date) {
        _allDayEventsView->setFrame(gfx::Rect::zero());
        _eventsView->setFrame(gfx::Rect::zero());
        _emptyLabel->setFrame({0, 0, bounds.width, bounds.height});
        return;
    }
    const gfx::Size size = allDayViewSize();
    _allDayEventsView->setFrame({0, 0, size.width, size.height});
    _eventsView->setFrame({0, size.height, bounds.width, bounds.height - size.height});
    _emptyLabel->setFrame(gfx::Rect::zero());
}

// --- The collection views.

bool XQCalendarDayView::isAllDayCollection(const ui::CollectionView& collectionView) const {
    return _allDayEventsView && _allDayEventsView->eventsView().get() == &collectionView;
}

XQCalendarEventRef XQCalendarDayView::eventAt(const ui::CollectionView& collectionView,
                                              const fnd::IndexPath& indexPath) const {
    const XQCalendarEvents& list = isAllDayCollection(collectionView) ? _allDayEvents : _events;
    const long row = indexPath.row();
    return row >= 0 && row < static_cast<long>(list.size()) ? list[static_cast<std::size_t>(row)] : nullptr;
}

long XQCalendarDayView::collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) {
    if (isAllDayCollection(collectionView)) {
        if (_dataSource)
            if (auto count = _dataSource->dayViewNumberOfAllDayEventsInSection(*this, section)) return std::max(0L, *count);
        return static_cast<long>(_allDayEvents.size());
    }
    if (_dataSource)
        if (auto count = _dataSource->dayViewNumberOfEventsInSection(*this, section)) return std::max(0L, *count);
    return static_cast<long>(_events.size());
}

std::shared_ptr<ui::CollectionViewCell>
XQCalendarDayView::collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                         const fnd::IndexPath& indexPath) {
    auto self = rt::sharedFrom(this);
    const bool allDay = isAllDayCollection(collectionView);
    if (auto dataSource = _dataSource) {
        auto cell = allDay ? dataSource->dayViewAllDayEventCellForItemAtIndexPath(*this, indexPath)
                           : dataSource->dayViewEventCellForItemAtIndexPath(*this, indexPath);
        if (cell) return cell;
    }
    auto cell = collectionView.dequeueReusableCell(eventCellIdentifier, indexPath);
    if (!cell) return nullptr;
    // Items past the day's list (a data source's larger count) show no event.
    if (auto* bindable = dynamic_cast<XQCalendarDayViewEventCellProtocol*>(cell.get()))
        bindable->attachWithEvent(eventAt(collectionView, indexPath));
    if (auto dataSource = _dataSource) dataSource->dayViewUpdateCell(*this, *cell);
    return cell;
}

void XQCalendarDayView::collectionViewDidSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                               const fnd::IndexPath& indexPath) {
    auto event = eventAt(collectionView, indexPath);
    if (event && _delegate) _delegate->dayViewDidSelectEvent(*this, event);
}

std::optional<gfx::Size> XQCalendarDayView::collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                                      ui::CollectionViewLayout& layout,
                                                                                      const fnd::IndexPath& indexPath) {
    if (_delegate)
        if (auto size = _delegate->dayViewAllDaylayoutSizeForItemAtIndexPath(*this, layout, indexPath)) return size;
    const XQCalendarDayViewAllDayEventsViewStyle& style = *_allDayEventsView->style();
    const long section = indexPath.section();
    const gfx::EdgeInsets insets =
        collectionViewLayoutInsetForSectionAtIndex(collectionView, layout, section).value_or(gfx::EdgeInsets{});
    const double available = collectionView.frame().size.width - insets.left - insets.right;
    const long count = static_cast<long>(_allDayEvents.size());
    double width = available;
    // An odd count puts its last event on a line of its own, across the strip.
    if (!(count % 2 == 1 && indexPath.row() == count - 1)) {
        const long perRow = std::max(1L, style.eventsPerRow());
        const double spacing =
            collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(collectionView, layout, section).value_or(0);
        width = (available - static_cast<double>(perRow - 1) * spacing) / static_cast<double>(perRow);
    }
    return gfx::Size{width, style.eventHeight()};
}

std::optional<gfx::EdgeInsets> XQCalendarDayView::collectionViewLayoutInsetForSectionAtIndex(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, long section) {
    (void)collectionView;
    if (_delegate)
        if (auto insets = _delegate->dayViewAllDaylayoutInsetForSectionAtIndex(*this, layout, section)) return insets;
    return _allDayEventsView->style()->eventsViewInsets();
}

std::optional<double> XQCalendarDayView::collectionViewLayoutMinimumLineSpacingForSectionAtIndex(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, long section) {
    (void)collectionView;
    if (_delegate)
        if (auto spacing = _delegate->dayViewAllDaylayoutMinimumLineSpacingForSectionAtIndex(*this, layout, section))
            return spacing;
    return _allDayEventsView->style()->lineSpacing();
}

std::optional<double> XQCalendarDayView::collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, long section) {
    (void)collectionView;
    if (_delegate)
        if (auto spacing =
                _delegate->dayViewAllDaylayoutMinimumInteritemSpacingForSectionAtIndex(*this, layout, section))
            return spacing;
    return _allDayEventsView->style()->itemSpacing();
}
