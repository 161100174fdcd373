#pragma once

// The presenter of the year view: a vertically scrolling collection of mini months, one
// section per year from the year of the calendar's minDate to that of its maxDate, each
// headed by the year's title. It navigates by scrolling: a drag comes to rest on the start of
// a year (a flick forward moves at least two years on, see below), and a tap on a month tells
// the delegate calendarDidSelectDate with the month's first day and, when the calendar allows
// pinch zoom, opens that month in the month view.
//
//     calendar->setViewMode(XQCalendarViewModeYear);
//     auto year = std::dynamic_pointer_cast<XQCalendarYearPresenter>(calendar->presenter());
//     year->setColumns(4);                     // 4 months per row, from the next update
//     year->setDelegate(myYearDelegate);       // held weakly
//
// Geometry. The collection fills the presenter inset by 5. Every section is a 26-point header,
// a top inset of 10 and rowsPerYear = ceil(months / columns) rows of mini months 6 points
// apart; the items are roundf((W - 6 columns) / columns) wide (W the collection's width) and
// as high as makes monthsPerPage months (the style's) fill the collection's height. Section s
// begins at s times the section's height, so offsets are computed, never measured.
//
// Months. A section holds as many items as the calendar's longest year has months (13 for
// the Hebrew calendar); a year with fewer leaves its last items blank, and taps on them do
// nothing. A year's months are found by adding one month at a time to its first day, and
// their names are the standalone short names of their own dates.
//
// Every update (the calendar's, and every layout pass of the presenter) restyles, reloads and
// scrolls back to the displayed date without animation, telling the calendar's delegate
// calendarDidNavigateToDate. Scrolling lays out only the collection, never the presenter.
//
// Bad settings: columns act within 1 ... the months of a section, monthsPerPage as at least
// columns; sizes that come out negative (before the first layout) are 0.

#include "OLMCalendar/Presenters/XQCalendarPresenter.h"
#include "OLMCalendar/Themes/Styles/XQCalendarYearPresenterStyle.h"
#include "platform/graphics/Text.h"
#include "platform/ui/CollectionViewFlowLayout.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class XQCalendarYearPresenter;

// The state the presenter writes into its style before the theme styles it.
using XQCalendarYearPresenterStyleState = long;
inline constexpr XQCalendarYearPresenterStyleState XQCalendarYearPresenterStyleStatePortrait = 0;
// The device is in landscape (orientation 3 or 4).
inline constexpr XQCalendarYearPresenterStyleState XQCalendarYearPresenterStyleStateLandscape = 1;

// The application's hooks for the mini months. Every method is optional; months are numbered
// from 0 within their year.
class XQCalendarYearPresenterDelegate {
public:
    virtual ~XQCalendarYearPresenterDelegate() = default;

    // The text of a mini month's name row instead of the month's short name. nullopt: not
    // implemented.
    virtual std::optional<std::string> calendarYearPresenterTextForYearMonth(XQCalendar& calendar,
                                                                             XQCalendarYearPresenter& presenter,
                                                                             long year, long month) {
        (void)calendar;
        (void)presenter;
        (void)year;
        (void)month;
        return std::nullopt;
    }
    // Draws behind one day of a mini month (`day` of the month), into the current graphics
    // context, before the day's number.
    virtual void calendarDrawBackgroundForYearMonthDateInRect(XQCalendar& calendar, long year, long month, long day,
                                                              const gfx::Rect& rect) {
        (void)calendar;
        (void)year;
        (void)month;
        (void)day;
        (void)rect;
    }
    // Whether calendarDrawBackgroundForYearMonthDateInRect is implemented.
    virtual bool drawsBackgroundForDays() const { return false; }
    // The attributes of a day's number instead of the style's (the whole set: font, colour and
    // paragraph style). nullopt: not implemented.
    virtual std::optional<gfx::TextAttributes> calendarTextAttributesForYearMonthDate(XQCalendar& calendar, long year,
                                                                                     long month, long day) {
        (void)calendar;
        (void)year;
        (void)month;
        (void)day;
        return std::nullopt;
    }
};

class XQCalendarYearPresenter : public XQCalendarPresenter,
                                public ui::CollectionViewDataSource,
                                public ui::CollectionViewDelegateFlowLayout {
public:
    OLM_DECLARE_CLASS(XQCalendarYearPresenter)
    static std::shared_ptr<XQCalendarYearPresenter> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarYearPresenter>(frame);
    }
    ~XQCalendarYearPresenter() override;

    // The reuse identifiers of the month cells and of the section headers.
    static constexpr const char* cellID = "ycell";
    static constexpr const char* headerID = "yheader";
    // The flow layout's metrics.
    static constexpr double headerHeight = 26;
    static constexpr double sectionTopInset = 10;
    static constexpr double spacing = 6;

    // --- Settings.
    const std::shared_ptr<XQCalendarYearPresenterStyle>& style() const { return _style; }
    // nullptr is ignored.
    void setStyle(std::shared_ptr<XQCalendarYearPresenterStyle> style);
    const std::shared_ptr<ui::CollectionView>& collection() const { return _collection; }
    const std::shared_ptr<ui::CollectionView>& collectionView() const { return _collection; }
    // Puts another collection view in place of the current one (nullptr is ignored): the
    // presenter becomes its data source and delegate and registers its classes on it.
    void setCollection(std::shared_ptr<ui::CollectionView> collection);
    long columns() const { return _columns; }
    // Takes effect at the next update.
    void setColumns(long columns) { _columns = columns; }

    // The cell class registered for "ycell": XQCalendarMonthCell or a subclass with a
    // collection-view factory (CollectionReusableView::reusableClass). Others are ignored.
    const rt::Class& monthCellClass() const { return *_monthCellClass; }
    // Registers the class and reloads.
    void setMonthCellClass(const rt::Class& cls);
    // The header class for "yheader": XQCalendarYearTitleView or a subclass, as above.
    const rt::Class& titleViewClass() const { return *_titleViewClass; }
    // Only stores; setTitleCellClass registers it and reloads.
    void setTitleViewClass(const rt::Class& cls);
    void setTitleCellClass(const rt::Class& cls);

    std::shared_ptr<XQCalendarYearPresenterDelegate> delegate() const { return _delegate.lock(); }
    // Held weakly; the mini months redraw at the next update.
    void setDelegate(const std::shared_ptr<XQCalendarYearPresenterDelegate>& delegate);

    // --- Computed state (set by update).
    long startYear() const { return _startYear; }
    long sectionsCount() const { return _sectionsCount; }
    gfx::Size itemSize() const { return _itemSize; }
    // The items of a section: the most months a year of the calendar has.
    long monthsPerYear() const { return _monthsPerYear; }
    long rowsPerYear() const { return _rowsPerYear; }
    // The height of a section, header included.
    double yearHeight() const;
    // Bumped whenever what the mini months draw with changed (style, delegate, calendar
    // settings): a mini month drawn with an older version redraws when attached again.
    long lookVersion() const { return _lookVersion; }

    // --- The presenter contract.
    void update(bool force) override;
    // Reloads the collection.
    void updateState(const std::optional<fnd::Date>& date) override;
    // One year on or back, to the bound's day when the bound's year is reached from a later
    // time of day; false (and no scrolling) when that is outside minDate...maxDate or still in
    // the displayed year.
    bool navigateForward(bool animated) override;
    bool navigateBack(bool animated) override;
    // Scrolls to the year of the date (clamped to minDate...maxDate), makes it the displayed
    // date and tells the calendar's delegate calendarDidNavigateToDate.
    void navigateToDate(const fnd::Date& date, bool animated) override;
    // minDate plus the whole year heights above the point (x is not used).
    std::optional<fnd::Date> dateFromPoint(gfx::Point point) override;

    // The content offset of the section of the date's year.
    double offsetForDate(const fnd::Date& date);
    // Whether the date's month lies within the months of minDate...maxDate.
    bool isDateSelectable(const std::optional<fnd::Date>& date);
    // The standalone short name of month `month` (from 0) of the displayed year; empty
    // outside it.
    std::string monthName(long month);
    // The standalone short name of the month that begins on `firstDay`, in the device's locale.
    std::string monthName(const fnd::Date& firstDay);
    // The lower-cased one-letter name of the weekday shown in a column.
    std::string dayName(long column) const;
    // The first day of month `month` (from 0) of year `year`; nullopt when that year has fewer
    // months.
    std::optional<fnd::Date> firstDayOfMonth(long year, long month);

    // The calendar: the superview, when it is one.
    XQCalendar* owner() const;

    void layoutSubviews() override;

    // --- Collection data source and delegate.
    long numberOfSectionsInCollectionView(ui::CollectionView& collectionView) override;
    long collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) override;
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(
        ui::CollectionView& collectionView, const fnd::IndexPath& indexPath) override;
    std::shared_ptr<ui::CollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        ui::CollectionView& collectionView, std::string_view kind, const fnd::IndexPath& indexPath) override;
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView& collectionView,
                                                                       ui::CollectionViewLayout& layout,
                                                                       const fnd::IndexPath& indexPath) override;
    std::optional<gfx::EdgeInsets> collectionViewLayoutInsetForSectionAtIndex(ui::CollectionView& collectionView,
                                                                             ui::CollectionViewLayout& layout,
                                                                             long section) override;
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
    XQCalendarYearPresenter() = default;
    void init(const gfx::Rect& frame);
    void setup();

private:
    struct Look;

    void updateItemSize();
    void updateLook();
    // Columns within 1 ... monthsPerYear.
    long gridColumns() const;
    // 1 January (the first day) of the date's year.
    std::optional<fnd::Date> firstDayOfYear(const fnd::Date& date) const;
    // The first days of the months of the year that begins on `firstDay` (cached per year).
    const std::vector<fnd::Date>& monthsOfYear(long year, const fnd::Date& firstDay);
    // The date within minDate...maxDate.
    fnd::Date clampedDate(fnd::Date date) const;
    bool navigateByYears(long years, bool animated);
    void tellDidNavigate();

    std::shared_ptr<XQCalendarYearPresenterStyle> _style;
    std::shared_ptr<ui::CollectionViewFlowLayout> _layout;
    std::shared_ptr<ui::CollectionView> _collection;
    long _columns = 3;
    const rt::Class* _monthCellClass = nullptr;
    const rt::Class* _titleViewClass = nullptr;
    std::weak_ptr<XQCalendarYearPresenterDelegate> _delegate;

    long _startYear = 0;
    std::optional<fnd::Date> _startDate;
    long _sectionsCount = 0;
    long _monthsPerYear = 12;
    long _rowsPerYear = 4;
    gfx::Size _itemSize;
    std::vector<std::string> _weekDayNames;
    std::map<long, std::vector<fnd::Date>> _months;
    std::shared_ptr<const Look> _look;
    long _lookVersion = 0;
};
