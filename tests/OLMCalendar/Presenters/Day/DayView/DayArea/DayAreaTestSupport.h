#pragma once

// An events view with its layout in a 320 x 600 window, fed by a data source that binds
// stock event cells, and helpers that make events at wall-clock times of a calendar.

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventCell.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsLayout.h"
#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

#include <optional>

namespace cal::test {

class EventCellSource : public ui::CollectionViewDataSource {
public:
    XQCalendarDayViewEventsView* view = nullptr;
    std::optional<long> count; // the events' count unless set
    long collectionViewNumberOfItemsInSection(ui::CollectionView&, long) override;
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                                 const fnd::IndexPath& path) override;
};

class EventsViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A wall-clock time of the calendar (hour may pass 24: the next day).
    fnd::Date at(long y, long m, long d, long hour, long minute = 0) const;
    XQCalendarEventRef event(fnd::Date start, fnd::Date end, std::string title = "Event") const;
    // Shows the day with the events and lays it out.
    void show(const XQCalendarEvents& events, fnd::Date date);
    // Makes the label column 40 wide, as if the labels measured so (labelOffset 55 − width).
    void fixLabelColumn();
    // The frame the layout gave item i (null rect when it has none).
    gfx::Rect frameOf(long item) const;

    std::unique_ptr<ui::TestDriver> driver;
    fnd::CalendarRef calendar = fnd::Calendar::current();
    std::shared_ptr<XQCalendarDayViewEventsLayout> layout;
    std::shared_ptr<XQCalendarDayViewEventsView> view;
    std::shared_ptr<EventCellSource> source = std::make_shared<EventCellSource>();
    XQCalendarEvents shown;
};

} // namespace cal::test
