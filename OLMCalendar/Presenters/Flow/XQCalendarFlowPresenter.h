#pragma once

// The presenter of the flow mode: the months from January of minDate's year to maxDate's month
// one under another in a vertically scrolling collection view. Each month is a section: a
// 22-point header with its name and year, a row of weekday names and six week rows of days
// (days of the neighbouring months keep their places, hidden). A flick comes to rest at the
// start of a month and makes it the displayed month.
//
// Section s is the month M0 + s months (M0 = minDate(), months added the calendar's way), so
// every offset is arithmetic: a section is header + 7 rows of floor(H / 9) overlapping by half
// a point. Only the cells on screen exist; the collection keeps nothing per item elsewhere.
//
// Reports. A drag that comes to rest reports calendarDidNavigateToDate once, with or without
// deceleration. Every update, state update and layout pass reloads; a layout pass also
// scrolls back to the displayed month and reports it. Flicks and navigation stay within the
// sections and minDate...maxDate.

#include "OLMCalendar/Presenters/XQCalendarPresenter.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewFlowLayout.h"

class XQCalendar;

class XQCalendarFlowPresenter : public XQCalendarPresenter,
                                public ui::CollectionViewDataSource,
                                public ui::CollectionViewDelegateFlowLayout {
public:
    OLM_DECLARE_CLASS(XQCalendarFlowPresenter)
    static std::shared_ptr<XQCalendarFlowPresenter> make(const gfx::Rect& frame) {
        return rt::create<XQCalendarFlowPresenter>(frame);
    }

    // The reuse identifiers of days, weekday names and month headers.
    static constexpr const char* dayCellIdentifier = "CalCell";
    static constexpr const char* dayNameCellIdentifier = "HeaderCalCell";
    static constexpr const char* headerIdentifier = "header";
    // The header's height.
    static constexpr double headerHeight = 22;

    const std::shared_ptr<ui::CollectionView>& content() const { return _content; }
    const std::shared_ptr<ui::CollectionView>& collectionView() const { return _content; }
    // The calendar: the superview, when it is one.
    XQCalendar* owner() const;

    // M0: 1 January of the year of the calendar's minDate (nil without a calendar or minDate).
    std::optional<fnd::Date> minDate() const;
    // The number of sections: months from M0 to maxDate's month; 0 without bounds or when
    // maxDate lies before M0.
    long sectionCount() const;
    // The height of one month's section.
    double sectionHeight() const;
    // The content offset at which the date's month starts.
    double offsetForDate(const fnd::Date& date) const;
    // The first day of the month whose section holds the point's y (x is not used).
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;
    // The first day of section s's month.
    std::optional<fnd::Date> monthOfSection(long section) const;

    // --- The presenter contract.
    void update(bool force) override;
    void updateState(const std::optional<fnd::Date>& date) override;
    // A month on or back, always animated; false past the bounds.
    bool navigateForward(bool animated) override;
    bool navigateBack(bool animated) override;
    // Scrolls to the date's month (the date clamped to minDate...maxDate), makes it the
    // displayed date and reports it, also when it is displayed already.
    void navigateToDate(const fnd::Date& date, bool animated) override;
    bool showsEveryDayAsDisplayed() const override { return true; }
    void layoutSubviews() override;

    // --- The collection's data source and delegate.
    long numberOfSectionsInCollectionView(ui::CollectionView& collectionView) override;
    long collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) override;
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                                 const fnd::IndexPath& indexPath) override;
    std::shared_ptr<ui::CollectionReusableView>
    collectionViewViewForSupplementaryElementOfKindAtIndexPath(ui::CollectionView& collectionView,
                                                               std::string_view kind,
                                                               const fnd::IndexPath& indexPath) override;
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                       ui::CollectionViewLayout& layout,
                                                                       const fnd::IndexPath& indexPath) override;
    bool collectionViewShouldHighlightItemAtIndexPath(ui::CollectionView& collectionView,
                                                      const fnd::IndexPath& indexPath) override;
    bool collectionViewShouldSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                   const fnd::IndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                const fnd::IndexPath& indexPath) override;
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(ui::ScrollView& scrollView, gfx::Point velocity,
                                                                  gfx::Point* targetContentOffset) override;
    void scrollViewDidEndDraggingWillDecelerate(ui::ScrollView& scrollView, bool decelerate) override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;

protected:
    friend struct rt::Access;
    XQCalendarFlowPresenter() = default;
    void init(const gfx::Rect& frame);

private:
    long daysInWeek() const;
    double rowHeight() const;
    // Whole months from M0 to the date's month.
    std::optional<long> sectionOfDate(const fnd::Date& date) const;
    // The date clamped to minDate...maxDate.
    fnd::Date clampedToBounds(fnd::Date date) const;
    void tellDidNavigate(const fnd::Date& date);

    std::shared_ptr<ui::CollectionView> _content;
    std::shared_ptr<ui::CollectionViewFlowLayout> _layout;
};
