#include "tests/OLMCalendar/Presenters/Day/DayView/DayArea/DayAreaTestSupport.h"

namespace cal::test {

long EventCellSource::collectionViewNumberOfItemsInSection(ui::CollectionView&, long) {
    return count.value_or(view ? static_cast<long>(view->events().size()) : 0);
}

std::shared_ptr<ui::CollectionViewCell> EventCellSource::collectionViewCellForItemAtIndexPath(
    ui::CollectionView& collectionView, const fnd::IndexPath& path) {
    auto cell = collectionView.dequeueReusableCell("eventCell", path);
    if (auto* bound = dynamic_cast<XQCalendarDayViewEventCellProtocol*>(cell.get());
        bound && view && path.item() < static_cast<long>(view->events().size()))
        bound->attachWithEvent(view->events()[static_cast<std::size_t>(path.item())]);
    return cell;
}

void EventsViewTest::SetUp() {
    driver = std::make_unique<ui::TestDriver>(gfx::Size{320, 600});
    layout = XQCalendarDayViewEventsLayout::make();
    view = XQCalendarDayViewEventsView::make({0, 0, 320, 600}, layout);
    view->registerClass(&ui::CollectionReusableView::reusableClass<XQCalendarDayViewEventCell>(), "eventCell");
    source->view = view.get();
    view->setDataSource(source);
    driver->window()->addSubview(view);
}

void EventsViewTest::TearDown() {
    view->removeFromSuperview();
    driver.reset();
}

fnd::Date EventsViewTest::at(long y, long m, long d, long hour, long minute) const {
    fnd::DateComponents c;
    c.year = y;
    c.month = m;
    c.day = d;
    c.hour = hour;
    c.minute = minute;
    return calendar->dateFromComponents(c).value();
}

XQCalendarEventRef EventsViewTest::event(fnd::Date start, fnd::Date end, std::string title) const {
    auto e = XQCalendarEvent::make();
    e->setStartDate(start);
    e->setEndDate(end);
    e->setTitle(std::move(title));
    e->setEventColor(gfx::Color::rgb8(40, 120, 220));
    return e;
}

void EventsViewTest::show(const XQCalendarEvents& events, fnd::Date date) {
    shown = events;
    view->attachWithEvents(events, date, calendar);
    driver->runUntilIdle();
}

void EventsViewTest::fixLabelColumn() {
    view->style()->setLabelOffset(55 - view->labelSize().width);
    view->updateLayout();
    driver->runUntilIdle();
}

gfx::Rect EventsViewTest::frameOf(long item) const {
    for (const auto& a : layout->cachedAttributes())
        if (a->representedElementCategory() == ui::CollectionElementCategoryCell && a->indexPath().item() == item)
            return a->frame();
    return gfx::Rect::null();
}

} // namespace cal::test
