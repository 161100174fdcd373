#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCellFormatters.h"
#include "OLMCalendar/Presenters/PresenterHelpers.h"
#include "OLMCalendar/Presenters/Year/XQCalendarMonthCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearTitleView.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/Screen.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarYearPresenter, XQCalendarPresenter)

namespace {

// No calendar has more months in a year; a larger answer would only make blank items.
constexpr long maximumMonthsPerYear = 24;
// Steps and offsets beyond this many years are cut short: no calendar spans more.
constexpr float maximumYearStep = 1e6f;

// Whether the collection can make views of the class as one of `base`.
bool isReusableAs(const rt::Class& cls, const rt::Class& base) {
    return cls.isSubclassOf(base) && cls.hasFactory<ui::CollectionReusableView::Factory>();
}

} // namespace

// Everything a mini month's picture depends on beside its month: when any of it changes,
// the look version moves on and the mini months redraw at their next attach.
struct XQCalendarYearPresenter::Look {
    std::optional<gfx::Color> dayTextColor, weekendTextColor, todayTextColor, dayNameTextColor, monthNameTextColor;
    gfx::FontRef dayFont, dayNameFont, monthNameFont;
    std::shared_ptr<XQShape> todayShape;
    std::shared_ptr<XQFill> todayShapeFill;
    std::shared_ptr<XQStroke> todayShapeStroke;
    XQCalendarTextEffect monthNameTextEffect = 0, dayNameTextEffect = 0;
    long monthNameTextAlignment = 0;
    const void* delegate = nullptr;
    const void* calendar = nullptr;
    long firstWeekday = 0;
    long daysInWeek = 0;
    std::vector<std::string> weekDayNames;
    friend bool operator==(const Look&, const Look&) = default;
};

// --- Creation.

void XQCalendarYearPresenter::init(const gfx::Rect& frame) {
    XQCalendarPresenter::init(frame);
    setup();
}

XQCalendarYearPresenter::~XQCalendarYearPresenter() = default;

void XQCalendarYearPresenter::setup() {
    _monthCellClass = &ui::CollectionReusableView::reusableClass<XQCalendarMonthCell>();
    _titleViewClass = &ui::CollectionReusableView::reusableClass<XQCalendarYearTitleView>();
    _style = XQCalendarYearPresenterStyle::make();
    _style->setStyleID(XQStyleID::make());
    _columns = 3;
    _layout = ui::CollectionViewFlowLayout::make();
    _layout->setMinimumInteritemSpacing(spacing);
    _layout->setMinimumLineSpacing(spacing);
    _layout->setHeaderReferenceSize({0, headerHeight});
    auto collection = ui::CollectionView::make(gfx::Rect::zero(), _layout);
    collection->setBackgroundColor(gfx::colors::clear());
    setCollection(std::move(collection));
    const auto symbols = cells::dateFormatter(std::nullopt, nullptr, "").veryShortWeekdaySymbols();
    for (const auto& symbol : symbols) _weekDayNames.push_back(fnd::lowercase(symbol));
}

// --- Settings.

void XQCalendarYearPresenter::setStyle(std::shared_ptr<XQCalendarYearPresenterStyle> style) {
    if (style) _style = std::move(style);
}

void XQCalendarYearPresenter::setCollection(std::shared_ptr<ui::CollectionView> collection) {
    if (!collection || collection == _collection) return;
    if (_collection) _collection->removeFromSuperview();
    _collection = std::move(collection);
    _collection->registerClass(_monthCellClass, cellID);
    _collection->registerClassForSupplementaryView(_titleViewClass, ui::CollectionElementKindSectionHeader, headerID);
    auto self = rt::sharedFrom(this);
    _collection->setDataSource(self);
    _collection->setDelegate(self);
    addSubview(_collection);
    setNeedsLayout();
}

void XQCalendarYearPresenter::setMonthCellClass(const rt::Class& cls) {
    if (!isReusableAs(cls, XQCalendarMonthCell::staticClass())) return;
    _monthCellClass = &cls;
    _collection->registerClass(_monthCellClass, cellID);
    _collection->reloadData();
}

void XQCalendarYearPresenter::setTitleViewClass(const rt::Class& cls) {
    if (isReusableAs(cls, XQCalendarYearTitleView::staticClass())) _titleViewClass = &cls;
}

void XQCalendarYearPresenter::setTitleCellClass(const rt::Class& cls) {
    if (!isReusableAs(cls, XQCalendarYearTitleView::staticClass())) return;
    _titleViewClass = &cls;
    _collection->registerClassForSupplementaryView(_titleViewClass, ui::CollectionElementKindSectionHeader, headerID);
    _collection->reloadData();
}

void XQCalendarYearPresenter::setDelegate(const std::shared_ptr<XQCalendarYearPresenterDelegate>& delegate) {
    _delegate = delegate;
}

XQCalendar* XQCalendarYearPresenter::owner() const {
    return dynamic_cast<XQCalendar*>(superview());
}

// --- Dates.

std::optional<fnd::Date> XQCalendarYearPresenter::firstDayOfYear(const fnd::Date& date) const {
    XQCalendar* calendar = owner();
    return calendar ? presenters::startOf(*calendar->calendar(), fnd::CalendarUnitYear, date) : std::nullopt;
}

const std::vector<fnd::Date>& XQCalendarYearPresenter::monthsOfYear(long year, const fnd::Date& firstDay) {
    auto [it, added] = _months.try_emplace(year);
    XQCalendar* calendar = owner();
    if (added && calendar) {
        it->second = presenters::monthStartsOfYear(*calendar->calendar(), firstDay);
        if (static_cast<long>(it->second.size()) > _monthsPerYear) it->second.resize(static_cast<std::size_t>(_monthsPerYear));
    }
    return it->second;
}

std::optional<fnd::Date> XQCalendarYearPresenter::firstDayOfMonth(long year, long month) {
    XQCalendar* calendar = owner();
    if (!calendar || month < 0) return std::nullopt;
    const auto firstDay = XQCalendar::dateWithYear(year, 1, 1, calendar->calendar());
    if (!firstDay) return std::nullopt;
    const auto& months = monthsOfYear(year, *firstDay);
    if (month >= static_cast<long>(months.size())) return std::nullopt;
    return months[static_cast<std::size_t>(month)];
}

std::string XQCalendarYearPresenter::monthName(const fnd::Date& firstDay) {
    XQCalendar* calendar = owner();
    if (!calendar) return {};
    // The month's own date in the calendar, so that every calendar's months (leap months
    // included) get their names.
    return cells::dateFormatter(std::nullopt, calendar->calendar(), "LLL").stringFromDate(firstDay);
}

std::string XQCalendarYearPresenter::monthName(long month) {
    XQCalendar* calendar = owner();
    if (!calendar) return {};
    const long year = calendar->calendar()->component(fnd::CalendarUnitYear, calendar->displayedDate());
    const auto date = firstDayOfMonth(year, month);
    return date ? monthName(*date) : std::string();
}

std::string XQCalendarYearPresenter::dayName(long column) const {
    XQCalendar* calendar = owner();
    if (!calendar || _weekDayNames.empty()) return {};
    const long count = static_cast<long>(_weekDayNames.size());
    long i = (column + calendar->calendar()->firstWeekday() - 1) % count;
    if (i < 0) i += count;
    return _weekDayNames[static_cast<std::size_t>(i)];
}

fnd::Date XQCalendarYearPresenter::clampedDate(fnd::Date date) const {
    XQCalendar* calendar = owner();
    if (!calendar) return date;
    if (calendar->maxDate() && date > *calendar->maxDate()) date = *calendar->maxDate();
    if (calendar->minDate() && date < *calendar->minDate()) date = *calendar->minDate();
    return date;
}

bool XQCalendarYearPresenter::isDateSelectable(const std::optional<fnd::Date>& date) {
    XQCalendar* calendar = owner();
    return calendar && date && presenters::isWithinBounds(*calendar, fnd::CalendarUnitMonth, *date);
}

// --- Geometry.

long XQCalendarYearPresenter::gridColumns() const {
    return std::clamp(_columns, 1L, std::max(1L, _monthsPerYear));
}

double XQCalendarYearPresenter::yearHeight() const {
    const auto rows = static_cast<double>(_rowsPerYear);
    return headerHeight + sectionTopInset + _itemSize.height * rows + spacing * (rows - 1);
}

void XQCalendarYearPresenter::updateItemSize() {
    const long columns = gridColumns();
    const double c = static_cast<double>(columns);
    const double availableHeight = _collection->bounds().size.height - headerHeight - sectionTopInset;
    const long rowsPerPage = std::max(_style->monthsPerPage(), columns) / columns;
    const double rows = static_cast<double>(rowsPerPage);
    const auto width = static_cast<double>(std::roundf(static_cast<float>((_collection->frame().size.width - spacing * c) / c)));
    const double height = (availableHeight - rows * spacing) / rows;
    // Before the first layout the collection has no size: no negative items.
    _itemSize = {std::isfinite(width) ? std::max(0.0, width) : 0, std::isfinite(height) ? std::max(0.0, height) : 0};
    _rowsPerYear = (_monthsPerYear + columns - 1) / columns;
}

double XQCalendarYearPresenter::offsetForDate(const fnd::Date& date) {
    XQCalendar* calendar = owner();
    if (!calendar || !_startDate) return 0;
    const long years = calendar->calendar()->components(fnd::CalendarUnitYear, *_startDate, date).year.value_or(0);
    return static_cast<double>(years) * yearHeight();
}

std::optional<fnd::Date> XQCalendarYearPresenter::dateFromPoint(gfx::Point point) {
    XQCalendar* calendar = owner();
    if (!calendar || !calendar->minDate()) return std::nullopt;
    const double height = yearHeight();
    double years = height > 0 && std::isfinite(point.y) ? std::trunc(point.y / height) : 0;
    years = std::clamp(years, -static_cast<double>(maximumYearStep), static_cast<double>(maximumYearStep));
    return calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitYear, static_cast<long>(years), *calendar->minDate());
}

// --- Update.

void XQCalendarYearPresenter::updateLook() {
    XQCalendar* calendar = owner();
    const auto& s = *_style;
    auto look = std::make_shared<const Look>(Look{s.dayTextColor(), s.weekendTextColor(), s.todayTextColor(),
                                            s.dayNameTextColor(), s.monthNameTextColor(), s.dayFont(),
                                            s.dayNameFont(), s.monthNameFont(), s.todayShape(), s.todayShapeFill(),
                                            s.todayShapeStroke(), s.monthNameTextEffect(), s.dayNameTextEffect(),
                                            s.monthNameTextAlignment(), delegate().get(),
                                            calendar ? calendar->calendar().get() : nullptr,
                                            calendar ? calendar->calendar()->firstWeekday() : 0,
                                            calendar ? calendar->daysInWeek() : 0, _weekDayNames});
    if (_look && *_look == *look) return;
    _look = std::move(look);
    ++_lookVersion;
}

void XQCalendarYearPresenter::update(bool force) {
    (void)force;
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);

    const bool landscape = ui::deviceOrientationIsLandscape(ui::Device::currentDevice().orientation());
    _style->styleID()->setState(landscape ? XQCalendarYearPresenterStyleStateLandscape
                                          : XQCalendarYearPresenterStyleStatePortrait);
    if (const auto& theme = calendar->theme()) theme->stylesForClass(objectClass())->applyStylesToNode(_style);
    updateLook();
    if (!calendar->minDate() || !calendar->maxDate()) return;

    const auto& cal = calendar->calendar();
    _months.clear();
    _monthsPerYear = std::clamp(cal->maximumRangeOfUnit(fnd::CalendarUnitMonth).length, 1L, maximumMonthsPerYear);
    _startDate = firstDayOfYear(*calendar->minDate());
    _startYear = cal->component(fnd::CalendarUnitYear, *calendar->minDate());
    // One section per calendar year from minDate's to maxDate's, both included.
    const auto lastYear = firstDayOfYear(*calendar->maxDate());
    const long years = _startDate && lastYear ? cal->components(fnd::CalendarUnitYear, *_startDate, *lastYear).year.value_or(-1) : -1;
    _sectionsCount = std::max(0L, years + 1);
    updateItemSize();
    _collection->reloadData();
    navigateToDate(calendar->displayedDate(), false);
}

void XQCalendarYearPresenter::updateState(const std::optional<fnd::Date>& date) {
    (void)date;
    _collection->reloadData();
}

void XQCalendarYearPresenter::layoutSubviews() {
    XQCalendarPresenter::layoutSubviews();
    _collection->setFrame(bounds().insetBy(5, 5));
    update(false);
}

// --- Navigation.

void XQCalendarYearPresenter::tellDidNavigate() {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto keep = rt::sharedFrom(calendar);
    if (auto delegate = calendar->delegate()) delegate->calendarDidNavigateToDate(*calendar, calendar->displayedDate());
}

void XQCalendarYearPresenter::navigateToDate(const fnd::Date& requested, bool animated) {
    XQCalendar* calendar = owner();
    if (!calendar) return;
    auto self = rt::sharedFrom(this);
    const fnd::Date date = clampedDate(requested);
    _collection->setContentOffset({0, offsetForDate(date)}, animated);
    calendar->setDisplayedDate(date, false);
    tellDidNavigate();
}

bool XQCalendarYearPresenter::navigateByYears(long years, bool animated) {
    XQCalendar* calendar = owner();
    if (!calendar) return false;
    const fnd::Date displayed = calendar->displayedDate();
    auto date = calendar->calendar()->dateByAddingUnit(fnd::CalendarUnitYear, years, displayed);
    if (date) date = presenters::stepWithinBounds(*calendar, *date, years > 0);
    if (!calendar->isValidDate(date) || calendar->isDate(date, displayed, fnd::CalendarUnitYear)) return false;
    navigateToDate(*date, animated);
    return true;
}

bool XQCalendarYearPresenter::navigateForward(bool animated) {
    return navigateByYears(1, animated);
}

bool XQCalendarYearPresenter::navigateBack(bool animated) {
    return navigateByYears(-1, animated);
}

// --- Collection data source and delegate.

long XQCalendarYearPresenter::numberOfSectionsInCollectionView(ui::CollectionView& collectionView) {
    (void)collectionView;
    return _sectionsCount;
}

long XQCalendarYearPresenter::collectionViewNumberOfItemsInSection(ui::CollectionView& collectionView, long section) {
    (void)collectionView;
    (void)section;
    return _monthsPerYear;
}

std::shared_ptr<ui::CollectionViewCell> XQCalendarYearPresenter::collectionViewCellForItemAtIndexPath(
    ui::CollectionView& collectionView, const fnd::IndexPath& indexPath) {
    auto cell = std::dynamic_pointer_cast<XQCalendarMonthCell>(collectionView.dequeueReusableCell(cellID, indexPath));
    if (cell) cell->attachWithCalendar(owner(), this, _startYear + indexPath.section(), indexPath.item());
    return cell;
}

std::shared_ptr<ui::CollectionReusableView> XQCalendarYearPresenter::collectionViewViewForSupplementaryElementOfKindAtIndexPath(
    ui::CollectionView& collectionView, std::string_view kind, const fnd::IndexPath& indexPath) {
    if (kind != ui::CollectionElementKindSectionHeader) return nullptr;
    auto view = collectionView.dequeueReusableSupplementaryView(kind, headerID, indexPath);
    if (auto title = std::dynamic_pointer_cast<XQCalendarYearTitleView>(view))
        title->attachWithCalendar(owner(), fnd::stringWithFormat("%d", static_cast<int>(_startYear + indexPath.section())));
    return view;
}

std::optional<gfx::Size> XQCalendarYearPresenter::collectionViewLayoutSizeForItemAtIndexPath(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, const fnd::IndexPath& indexPath) {
    (void)collectionView;
    (void)layout;
    (void)indexPath;
    return _itemSize;
}

std::optional<gfx::EdgeInsets> XQCalendarYearPresenter::collectionViewLayoutInsetForSectionAtIndex(
    ui::CollectionView& collectionView, ui::CollectionViewLayout& layout, long section) {
    (void)collectionView;
    (void)layout;
    (void)section;
    return gfx::EdgeInsets{sectionTopInset, 0, 0, 0};
}

bool XQCalendarYearPresenter::collectionViewShouldSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                                       const fnd::IndexPath& indexPath) {
    // Blank items (the months a shorter year lacks) take no taps.
    auto cell = std::dynamic_pointer_cast<XQCalendarMonthCell>(collectionView.cellForItemAtIndexPath(indexPath));
    return cell && cell->monthView()->date();
}

void XQCalendarYearPresenter::collectionViewDidSelectItemAtIndexPath(ui::CollectionView& collectionView,
                                                                    const fnd::IndexPath& indexPath) {
    XQCalendar* calendar = owner();
    auto cell = std::dynamic_pointer_cast<XQCalendarMonthCell>(collectionView.cellForItemAtIndexPath(indexPath));
    if (!calendar || !cell || !cell->monthView()->date()) return;
    auto self = rt::sharedFrom(this);
    auto keep = rt::sharedFrom(calendar);
    const fnd::Date date = *cell->monthView()->date();
    if (auto delegate = calendar->delegate()) delegate->calendarDidSelectDate(*calendar, date);
    if (!calendar->allowPinchZoom() || !isDateSelectable(date)) return;
    const bool changed = date != calendar->displayedDate();
    calendar->setDisplayedDate(date, true);
    calendar->setViewMode(XQCalendarViewModeMonth, true, XQViewTransitionDirectionForward, false);
    if (!changed) return;
    if (auto delegate = calendar->delegate()) delegate->calendarDidNavigateToDate(*calendar, date);
}

void XQCalendarYearPresenter::scrollViewWillEndDraggingWithVelocityTargetContentOffset(ui::ScrollView& scrollView,
                                                                                      gfx::Point velocity,
                                                                                      gfx::Point* targetContentOffset) {
    XQCalendar* calendar = owner();
    auto date = dateFromPoint(scrollView.contentOffset());
    if (!calendar || !date) return;
    auto keep = rt::sharedFrom(calendar);
    const auto v = static_cast<float>(velocity.y);
    if (v == 0 || !std::isfinite(v)) {
        // Released without speed: the content stays where the finger left it.
        calendar->setDisplayedDate(clampedDate(*date), false);
        return;
    }
    // Whole years: forward at least two (the year at the top edge is the one being left),
    // backward none for a slow flick.
    const float step = std::clamp(v > 0 ? 1 + std::max(std::floor(v), 1.0f) : std::min(std::floor(v) + 1, 0.0f),
                                  -maximumYearStep, maximumYearStep);
    const auto& cal = calendar->calendar();
    auto comps = cal->components(XQCalendar::dayUnits, *date);
    comps.year = static_cast<long>(static_cast<float>(comps.year.value_or(0)) + step);
    comps.month = 1;
    comps.day = 1;
    if (auto target = cal->dateFromComponents(comps)) date = target;
    const fnd::Date rest = clampedDate(*date);
    if (targetContentOffset) *targetContentOffset = {0, offsetForDate(rest)};
    calendar->setDisplayedDate(rest, false);
}

void XQCalendarYearPresenter::scrollViewDidEndDraggingWillDecelerate(ui::ScrollView& scrollView, bool decelerate) {
    (void)scrollView;
    // A drag that comes to rest at once is reported here, one that moves on when it stops.
    if (!decelerate) tellDidNavigate();
}

void XQCalendarYearPresenter::scrollViewDidEndDecelerating(ui::ScrollView& scrollView) {
    (void)scrollView;
    tellDidNavigate();
}
