#include "OLMCalendar/Presenters/Flow/XQCalendarFlowPresenter.h"

#include "OLMCalendar/Presenters/Flow/XQCalendarFlowCells.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarFlowPresenter, XQCalendarPresenter)

namespace {

// Neighbouring items and rows overlap by half a point, so that their borders coincide.
constexpr double itemSpacing = -0.5;
// A section is a header and seven rows (weekday names and six weeks); a screen is nine rows.
constexpr long rowsPerSection = 7;
constexpr double rowsPerScreen = 9;

} // namespace

void XQCalendarFlowPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenter::init(frame);
    _layout = ui::CollectionViewFlowLayout::make();
    _layout->setHeaderReferenceSize({0, headerHeight});
    _layout->setMinimumInteritemSpacing(itemSpacing);
    _layout->setMinimumLineSpacing(itemSpacing);
    _content = ui::CollectionView::make(bounds(), _layout);
    _content->registerClass(&ui::CollectionReusableView::reusableClass<XQCalendarFlowDayCell>(), dayCellIdentifier);
    _content->registerClass(&ui::CollectionReusableView::reusableClass<XQCalendarFlowDayNameCell>(),
                            dayNameCellIdentifier);
    _content->registerClassForSupplementaryView(&ui::CollectionReusableView::reusableClass<XQCalendarFlowMonthTitleView>(),
                                                ui::CollectionElementKindSectionHeader, headerIdentifier);
    const auto self = rt::sharedFrom(this);
    _content->setDataSource(self);
    _content->setDelegate(self);
    _content->setAllowsMultipleSelection(false);
    _content->setBackgroundColor(gfx::colors::clear());
    addSubview(_content);
}

XQCalendar* XQCalendarFlowPresenter::owner() const {
    return dynamic_cast<XQCalendar*>(superview());
}

long XQCalendarFlowPresenter::daysInWeek() const {
    XQCalendar* calendar = owner();
    const long d = calendar ? calendar->daysInWeek() : 7;
    return d < 1 ? 7 : d;
}

double XQCalendarFlowPresenter::rowHeight() const {
    return std::floor(bounds().size.height / rowsPerScreen);
}

// --- Sections.

std::optional<fnd::Date> XQCalendarFlowPresenter::minDate() const {
    XQCalendar* calendar = owner();
    if (!calendar || !calendar->minDate()) return std::nullopt;
    return presenters::startOf(*calendar->calendar(), fnd::CalendarUnitYear, *calendar->minDate());
}

std::optional<long> XQCalendarFlowPresenter::sectionOfDate(const fnd::Date& date) const {
    XQCalendar* calendar = owner();
    const auto first = minDate();
    if (!calendar || !first) return std::nullopt;
    const fnd::Calendar& cal = *calendar->calendar();
    const auto month = presenters::startOf(cal, fnd::CalendarUnitMonth, date);
    if (!month) return std::nullopt;
    return cal.components(fnd::CalendarUnitMonth, *first, *month).month;
}

long XQCalendarFlowPresenter::sectionCount() const {
    XQCalendar* calendar = owner();
    const auto last = calendar && calendar->maxDate() ? sectionOfDate(*calendar->maxDate()) : std::nullopt;
    return last && *last >= 0 ? *last + 1 : 0;
}

std::optional<fnd::Date> XQCalendarFlowPresenter::monthOfSection(long section) const {
    XQCalendar* calendar = owner();
    const auto first = minDate();
    if (!calendar || !first) return std::nullopt;
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, section, *first);
}

double XQCalendarFlowPresenter::sectionHeight() const {
    return headerHeight + static_cast<double>(rowsPerSection) * rowHeight() +
           static_cast<double>(rowsPerSection - 1) * itemSpacing;
}

double XQCalendarFlowPresenter::offsetForDate(const fnd::Date& date) const {
    return static_cast<double>(sectionOfDate(date).value_or(0)) * sectionHeight();
}

std::optional<fnd::Date> XQCalendarFlowPresenter::dateFromPoint(gfx::Point point) {
    const double height = sectionHeight();
    if (!(height > 0)) return monthOfSection(0);
    return monthOfSection(static_cast<long>(std::trunc(point.y / height)));
}

fnd::Date XQCalendarFlowPresenter::clampedToBounds(fnd::Date date) const {
    XQCalendar* calendar = owner();
    if (!calendar) return date;
    if (calendar->maxDate() && date > *calendar->maxDate()) date = *calendar->maxDate();
    if (calendar->minDate() && date < *calendar->minDate()) date = *calendar->minDate();
    return date;
}

// --- The presenter contract.

void XQCalendarFlowPresenter::update(bool force) {
    (void)force;
    // Also without bounds: the sections then go (none are left to show).
    _content->reloadData();
}

void XQCalendarFlowPresenter::updateState(const std::optional<fnd::Date>& date) {
    (void)date;
    _content->reloadData();
}

bool XQCalendarFlowPresenter::navigateForward(bool animated) {
    (void)animated;
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const auto next = calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, 1, calendar->displayedDate());
    if (!next) return false;
    const fnd::Date date = presenters::stepWithinBounds(*calendar, *next, true);
    if (!calendar->isValidDate(date)) return false;
    navigateToDate(date, true);
    return true;
}

bool XQCalendarFlowPresenter::navigateBack(bool animated) {
    (void)animated;
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const auto previous =
        calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitMonth, -1, calendar->displayedDate());
    if (!previous) return false;
    const fnd::Date date = presenters::stepWithinBounds(*calendar, *previous, false);
    if (!calendar->isValidDate(date)) return false;
    navigateToDate(date, true);
    return true;
}

void XQCalendarFlowPresenter::navigateToDate(const fnd::Date& date, bool animated) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    const fnd::Date shown = clampedToBounds(date);
    _content->setContentOffset({0, offsetForDate(shown)}, animated);
    calendar->setDisplayedDate(shown, false);
    tellDidNavigate(shown);
}

void XQCalendarFlowPresenter::tellDidNavigate(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    if (auto delegate = calendar->delegate()) delegate->calendarDidNavigateToDate(*calendar, date);
}

void XQCalendarFlowPresenter::layoutSubviews() {
    XQCalendarPresenter::layoutSubviews();
    XQCalendar* calendar = owner();
    _content->setFrame(bounds());
    _content->reloadData();
    if (calendar) navigateToDate(calendar->displayedDate(), false);
}

// --- Data source.

long XQCalendarFlowPresenter::numberOfSectionsInCollectionView(ui::CollectionView& collectionView) {
    (void)collectionView;
    return sectionCount();
}

long XQCalendarFlowPresenter::collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) {
    (void)collectionView;
    (void)section;
    return rowsPerSection * daysInWeek();
}

std::shared_ptr<ui::CollectionViewCell>
XQCalendarFlowPresenter::collectionViewCellForItemAtIndexPath(ui::CollectionView& collectionView,
                                                              const fnd::IndexPath& indexPath) {
    XQCalendar* calendar = owner();
    const long d = daysInWeek();
    const long item = indexPath.item();
    if (item < d) {
        auto cell = std::dynamic_pointer_cast<XQCalendarFlowDayNameCell>(
            collectionView.dequeueReusableCell(dayNameCellIdentifier, indexPath));
        if (cell) cell->attachWithCalendar(calendar, item);
        return cell;
    }
    auto cell = std::dynamic_pointer_cast<XQCalendarFlowDayCell>(
        collectionView.dequeueReusableCell(dayCellIdentifier, indexPath));
    const auto month = monthOfSection(indexPath.section());
    if (!cell || !calendar || !month) return cell;
    const fnd::Calendar& cal = *calendar->calendar();
    // The days of the previous month before the 1st in the first week row.
    const long weekday = cal.component(fnd::CalendarUnitWeekday, *month);
    const long first = cal.firstWeekday();
    const long lead = weekday >= first ? weekday - first : weekday - first + d;
    const auto date = cal.dateByAddingUnit(fnd::CalendarUnitDay, item - d - lead, *month);
    if (!date) return cell;
    cell->setHidden(!cal.isDateEqualToDate(*date, *month, fnd::CalendarUnitMonth));
    cell->attachWithCalendar(calendar, *date);
    return cell;
}

std::shared_ptr<ui::CollectionReusableView>
XQCalendarFlowPresenter::collectionViewViewForSupplementaryElementOfKindAtIndexPath(ui::CollectionView& collectionView,
                                                                                    std::string_view kind,
                                                                                    const fnd::IndexPath& indexPath) {
    if (kind != ui::CollectionElementKindSectionHeader) return nullptr;
    XQCalendar* calendar = owner();
    auto header = std::dynamic_pointer_cast<XQCalendarFlowMonthTitleView>(
        collectionView.dequeueReusableSupplementaryView(kind, headerIdentifier, indexPath));
    const auto month = monthOfSection(indexPath.section());
    if (!header || !calendar || !month) return header;
    // "yyyy", the calendar year: "YYYY" would print the week-based year, a year off in early
    // January or late December.
    const auto& formatter = cells::dateFormatter(calendar->locale(), calendar->calendar(), "MMMM yyyy");
    header->attachWithCalendar(calendar, formatter.stringFromDate(*month));
    return header;
}

std::optional<gfx::Size> XQCalendarFlowPresenter::collectionViewLayoutSizeForItemAtIndexPath(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, const fnd::IndexPath& indexPath) {
    (void)collectionView;
    (void)layout;
    (void)indexPath;
    return gfx::Size{std::floor(bounds().size.width / static_cast<double>(daysInWeek())), rowHeight()};
}

// --- Selection.

bool XQCalendarFlowPresenter::collectionViewShouldHighlightItemAtIndexPath(ui::CollectionView& collectionView,
                                                                         const fnd::IndexPath& indexPath) {
    return collectionViewShouldSelectItemAtIndexPath(collectionView, indexPath);
}

bool XQCalendarFlowPresenter::collectionViewShouldSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                                      const fnd::IndexPath& indexPath) {
    (void)collectionView;
    return indexPath.item() >= daysInWeek();
}

void XQCalendarFlowPresenter::collectionViewDidSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                                   const fnd::IndexPath& indexPath) {
    XQCalendar* calendar = owner();
    auto wrapper = std::dynamic_pointer_cast<XQCalendarFlowDayCell>(collectionView.cellForItemAtIndexPath(indexPath));
    if (!calendar || !wrapper || wrapper->isHidden() || !wrapper->view()) return;
    auto self = rt::sharedFrom(this);
    auto keepCalendar = rt::sharedFrom(calendar);
    const auto view = wrapper->view();
    const auto date = view->date();
    if (auto delegate = calendar->delegate()) delegate->calendarDidTapCell(*calendar, *view);
    // A day outside minDate...maxDate is reported but not selected, as in the other views.
    if (date && calendar->isValidDate(date)) calendar->setSelectedDate(date);
}

// --- Paging.

void XQCalendarFlowPresenter::scrollViewWillEndDraggingWithVelocityTargetContentOffset(ui::ScrollView& scrollView,
                                                                                      gfx::Point velocity,
                                                                                      gfx::Point* targetContentOffset) {
    XQCalendar* calendar = owner();
    const long count = sectionCount();
    const auto top = dateFromPoint(scrollView.contentOffset());
    if (!calendar || count == 0 || !top) return;
    auto keepCalendar = rt::sharedFrom(calendar);
    const float v = static_cast<float>(velocity.y);
    if (v == 0) {
        calendar->setDisplayedDate(clampedToBounds(*top), false);
        return;
    }
    // Months to move from the month at the top: a forward flick passes at least two.
    const long step = v > 0 ? static_cast<long>(std::max(std::floor(v), 1.0f) + 1) : std::min(static_cast<long>(std::floor(v)) + 1, 0L);
    const long section = std::clamp(sectionOfDate(*top).value_or(0) + step, 0L, count - 1);
    const auto target = monthOfSection(section);
    if (!target) return;
    if (targetContentOffset) *targetContentOffset = {0, static_cast<double>(section) * sectionHeight()};
    calendar->setDisplayedDate(clampedToBounds(*target), false);
}

void XQCalendarFlowPresenter::scrollViewDidEndDraggingWillDecelerate(ui::ScrollView& scrollView, bool decelerate) {
    (void)scrollView;
    // Resting where the finger left it: nothing decelerates to report the end.
    if (!decelerate) scrollViewDidEndDecelerating(scrollView);
}

void XQCalendarFlowPresenter::scrollViewDidEndDecelerating(ui::ScrollView& scrollView) {
    (void)scrollView;
    if (XQCalendar* calendar = owner()) tellDidNavigate(calendar->displayedDate());
}
