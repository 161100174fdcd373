#pragma once

// The area below the day presenter's header: the events of one day, split into all-day
// events (the strip on top) and timed events (along the time line below), each list sorted
// by start. Without a date it shows a label asking for one.
//
// The day view is the data source and flow-layout delegate of both collection views. An
// application may give it a data source and a delegate of its own: the data source may
// supply its own events and all-day views (asked when it is set), the item counts and the
// cells, and restyle each stock cell; the delegate may size the strip and its items and
// hears of tapped events.
//
// Both are held strongly, so an application object that keeps the day view (or the calendar
// that holds it) and is also its data source or delegate makes a cycle: break it by setting
// them to nullptr when done.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/foundation/Calendar.h"
#include "platform/ui/CollectionViewFlowLayout.h"
#include "platform/ui/Label.h"

class XQCalendarDayView;
class XQCalendarDayViewAllDayEventsView;
class XQCalendarDayViewEventsView;

// Every method is optional; the defaults behave as an object that does not implement it
// (nullptr and nullopt: not implemented).
class XQCalendarDayViewDataSource {
public:
    virtual ~XQCalendarDayViewDataSource() = default;

    // The timed-events view and the all-day strip to use instead of the stock ones (asked
    // when the data source is set).
    virtual std::shared_ptr<XQCalendarDayViewEventsView> createEventsViewInDayView(XQCalendarDayView& dayView) {
        (void)dayView;
        return nullptr;
    }
    virtual std::shared_ptr<XQCalendarDayViewAllDayEventsView> createAllDayEventsViewInDayView(XQCalendarDayView& dayView) {
        (void)dayView;
        return nullptr;
    }
    // Item counts; beyond the day's list, items show no event.
    virtual std::optional<long> dayViewNumberOfEventsInSection(XQCalendarDayView& dayView, long section) {
        (void)dayView;
        (void)section;
        return std::nullopt;
    }
    virtual std::optional<long> dayViewNumberOfAllDayEventsInSection(XQCalendarDayView& dayView, long section) {
        (void)dayView;
        (void)section;
        return std::nullopt;
    }
    // Cells of the data source's own, shown as they are (not bound, not passed to
    // dayViewUpdateCell).
    virtual std::shared_ptr<ui::CollectionViewCell> dayViewEventCellForItemAtIndexPath(XQCalendarDayView& dayView,
                                                                                       const fnd::IndexPath& indexPath) {
        (void)dayView;
        (void)indexPath;
        return nullptr;
    }
    virtual std::shared_ptr<ui::CollectionViewCell>
    dayViewAllDayEventCellForItemAtIndexPath(XQCalendarDayView& dayView, const fnd::IndexPath& indexPath) {
        (void)dayView;
        (void)indexPath;
        return nullptr;
    }
    // Each stock cell after it was bound to its event.
    virtual void dayViewUpdateCell(XQCalendarDayView& dayView, ui::CollectionViewCell& cell) {
        (void)dayView;
        (void)cell;
    }
};

// Every method is optional (nullopt: not implemented).
class XQCalendarDayViewDelegate {
public:
    virtual ~XQCalendarDayViewDelegate() = default;

    // The size of the all-day strip at each layout.
    virtual std::optional<gfx::Size> allDayViewSizeInDayView(XQCalendarDayView& dayView) {
        (void)dayView;
        return std::nullopt;
    }
    // An event of either area was tapped.
    virtual void dayViewDidSelectEvent(XQCalendarDayView& dayView, const XQCalendarEventRef& event) {
        (void)dayView;
        (void)event;
    }
    // The all-day strip's flow-layout metrics.
    virtual std::optional<gfx::Size> dayViewAllDaylayoutSizeForItemAtIndexPath(XQCalendarDayView& dayView,
                                                                              ui::CollectionViewLayout& layout,
                                                                              const fnd::IndexPath& indexPath) {
        (void)dayView;
        (void)layout;
        (void)indexPath;
        return std::nullopt;
    }
    virtual std::optional<double> dayViewAllDaylayoutMinimumLineSpacingForSectionAtIndex(XQCalendarDayView& dayView,
                                                                                        ui::CollectionViewLayout& layout,
                                                                                        long section) {
        (void)dayView;
        (void)layout;
        (void)section;
        return std::nullopt;
    }
    virtual std::optional<double>
    dayViewAllDaylayoutMinimumInteritemSpacingForSectionAtIndex(XQCalendarDayView& dayView,
                                                                ui::CollectionViewLayout& layout, long section) {
        (void)dayView;
        (void)layout;
        (void)section;
        return std::nullopt;
    }
    virtual std::optional<gfx::EdgeInsets> dayViewAllDaylayoutInsetForSectionAtIndex(XQCalendarDayView& dayView,
                                                                                    ui::CollectionViewLayout& layout,
                                                                                    long section) {
        (void)dayView;
        (void)layout;
        (void)section;
        return std::nullopt;
    }
};

class XQCalendarDayView : public ui::View, public ui::CollectionViewDataSource, public ui::CollectionViewDelegateFlowLayout {
public:
    OLM_DECLARE_CLASS(XQCalendarDayView)
    static std::shared_ptr<XQCalendarDayView> make() { return rt::create<XQCalendarDayView>(); }
    ~XQCalendarDayView() override;

    // The reuse identifier of the event cells in both collection views.
    static constexpr const char* eventCellIdentifier = "eventCell";

    const std::shared_ptr<XQCalendarDayViewAllDayEventsView>& allDayEventsView() const { return _allDayEventsView; }
    const std::shared_ptr<XQCalendarDayViewEventsView>& eventsView() const { return _eventsView; }
    // The label shown instead of both areas while there is no date.
    std::shared_ptr<ui::View> emptyView() const { return _emptyLabel; }
    const std::optional<fnd::Date>& date() const { return _date; }
    const fnd::CalendarRef& calendar() const { return _calendar; }
    // The day's timed and all-day events, each sorted by start (equal starts keep their order).
    const XQCalendarEvents& events() const { return _events; }
    const XQCalendarEvents& allDayEvents() const { return _allDayEvents; }

    // Held strongly (see above). Setting a data source asks it for its own views.
    const std::shared_ptr<XQCalendarDayViewDataSource>& dataSource() const { return _dataSource; }
    void setDataSource(std::shared_ptr<XQCalendarDayViewDataSource> dataSource);
    const std::shared_ptr<XQCalendarDayViewDelegate>& delegate() const { return _delegate; }
    void setDelegate(std::shared_ptr<XQCalendarDayViewDelegate> delegate) { _delegate = std::move(delegate); }

    // Shows a day: splits and sorts the events and hands them to both areas. A nil date shows
    // the empty label.
    void attachWithEvents(const XQCalendarEvents& events, const std::optional<fnd::Date>& date,
                          const fnd::CalendarRef& calendar);
    // The all-day strip's size: the delegate's, else the strip's fit to the bounds.
    gfx::Size allDayViewSize();

    void layoutSubviews() override;

    // --- The collection views' data source and delegate.
    long collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) override;
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                                 const fnd::IndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                const fnd::IndexPath& indexPath) override;
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                       ui::CollectionViewLayout& layout,
                                                                       const fnd::IndexPath& indexPath) override;
    std::optional<gfx::EdgeInsets> collectionViewLayoutInsetForSectionAtIndex(ui::CollectionView& collectionView,
                                                                             ui::CollectionViewLayout& layout,
                                                                             long section) override;
    std::optional<double> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(ui::CollectionView& collectionView,
                                                                                 ui::CollectionViewLayout& layout,
                                                                                 long section) override;
    std::optional<double> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, long section) override;

protected:
    friend struct rt::Access;
    XQCalendarDayView() = default;
    void init();

    // The stock views.
    virtual std::shared_ptr<XQCalendarDayViewAllDayEventsView> createAllDayEventsView();
    virtual std::shared_ptr<XQCalendarDayViewEventsView> createEventsView();
    virtual std::shared_ptr<ui::Label> createEmptyView();

private:
    // Wires a strip to this day view and puts it in place of the current one.
    void installAllDayEventsView(std::shared_ptr<XQCalendarDayViewAllDayEventsView> view);
    void installEventsView(std::shared_ptr<XQCalendarDayViewEventsView> view);
    // Makes this day view the data source and delegate of a collection view, its cells of
    // class T under "eventCell".
    template <class T> void adoptCollectionView(ui::CollectionView& collectionView);
    bool isAllDayCollection(const ui::CollectionView& collectionView) const;
    // The event of an item of a collection view, or nullptr beyond its list.
    XQCalendarEventRef eventAt(const ui::CollectionView& collectionView, const fnd::IndexPath& indexPath) const;

    std::shared_ptr<XQCalendarDayViewAllDayEventsView> _allDayEventsView;
    std::shared_ptr<XQCalendarDayViewEventsView> _eventsView;
    std::shared_ptr<ui::Label> _emptyLabel;
    std::optional<fnd::Date> _date;
    fnd::CalendarRef _calendar;
    XQCalendarEvents _events;
    XQCalendarEvents _allDayEvents;
    std::shared_ptr<XQCalendarDayViewDataSource> _dataSource;
    std::shared_ptr<XQCalendarDayViewDelegate> _delegate;
};
