#include "OLMCalendar/Presenters/Month/Cells/XQCalendarTitleCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarMonthCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearTitleView.h"
#include "OLMCalendar/Themes/XQCalendarDefaultTheme.h"
#include "OLMCalendar/Themes/XQCalendarIPadTheme.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Screen.h"
#include "platform/runtime/KeyValue.h"
#include "platform/ui/CollectionViewFlowLayout.h"
#include "platform/ui/Screen.h"
#include "tests/OLMCalendar/CalendarTestSupport.h"

#include <cmath>

namespace cal::test {

// A month cell of the application's own.
class TaggedMonthCell : public XQCalendarMonthCell {
public:
    OLM_DECLARE_CLASS(TaggedMonthCell)
    static std::shared_ptr<TaggedMonthCell> make(const gfx::Rect& frame = {}) { return rt::create<TaggedMonthCell>(frame); }

protected:
    friend struct rt::Access;
    TaggedMonthCell() = default;
};
OLM_DEFINE_CLASS(TaggedMonthCell, XQCalendarMonthCell)

// One the collection has no factory for.
class UnmadeMonthCell : public XQCalendarMonthCell {
public:
    OLM_DECLARE_CLASS(UnmadeMonthCell)
};
OLM_DEFINE_CLASS(UnmadeMonthCell, XQCalendarMonthCell)

namespace {

// Hands out a new title cell for every title asked for.
class TitleMaker : public RecordingDelegate {
public:
    using RecordingDelegate::RecordingDelegate;
    std::vector<std::shared_ptr<XQCalendarTitleCell>> made;
    std::shared_ptr<XQCalendarCell> calendarViewForCellOfKind(XQCalendar&, XQCalendarCellType kind) override {
        if (kind != XQCalendarCellTypeTitle) return nullptr;
        return made.emplace_back(XQCalendarTitleCell::make());
    }
};

// Records the year presenter's hooks for the month `month` (from 0) only.
class YearHooks : public XQCalendarYearPresenterDelegate {
public:
    long month = 0;
    std::vector<long> backgroundDays;
    long attributeCalls = 0;
    std::optional<std::string> calendarYearPresenterTextForYearMonth(XQCalendar&, XQCalendarYearPresenter&, long,
                                                                     long m) override {
        return m == month ? std::optional<std::string>("Custom") : std::nullopt;
    }
    bool drawsBackgroundForDays() const override { return true; }
    void calendarDrawBackgroundForYearMonthDateInRect(XQCalendar&, long, long m, long day, const gfx::Rect&) override {
        if (m == month) backgroundDays.push_back(day);
    }
    std::optional<gfx::TextAttributes> calendarTextAttributesForYearMonthDate(XQCalendar&, long, long m,
                                                                              long) override {
        if (m == month) ++attributeCalls;
        return std::nullopt;
    }
};

// A real calendar of 320 x 568 (default dates 2025-01-01 ... 2027-12-31, "now" 2026-12-15)
// showing the year view in a window of the headless host.
class YearPresenterTest : public ::testing::Test {
protected:
    void SetUp() override { show({320, 568}); }
    void TearDown() override {
        ui::Device::currentDevice().setOrientation(ui::DeviceOrientationPortrait);
        driver.reset();
        calendar.reset();
    }
    void show(gfx::Size size, std::shared_ptr<RecordingDelegate> withDelegate = nullptr) {
        driver = std::make_unique<ui::TestDriver>(size);
        calendar = XQCalendar::make(gfx::Rect{{0, 0}, size});
        delegate = withDelegate ? std::move(withDelegate) : std::make_shared<RecordingDelegate>(&log);
        calendar->setDelegate(delegate);
        calendar->setViewMode(XQCalendarViewModeYear);
        driver->window()->addSubview(calendar);
        driver->runUntilIdle();
        log.clear();
    }
    XQCalendarYearPresenter& year() const { return dynamic_cast<XQCalendarYearPresenter&>(*calendar->presenter()); }
    ui::CollectionView& collection() const { return *year().collection(); }
    std::shared_ptr<XQCalendarMonthCell> cell(long section, long item) const {
        collection().layoutIfNeeded();
        return std::dynamic_pointer_cast<XQCalendarMonthCell>(collection().cellForItemAtIndexPath(fnd::IndexPath::forItem(item, section)));
    }
    // The shown header of a year.
    std::shared_ptr<XQCalendarYearTitleView> header(const std::string& year) const {
        collection().layoutIfNeeded();
        for (const auto& view : collection().subviews()) {
            auto title = std::dynamic_pointer_cast<XQCalendarYearTitleView>(view);
            if (title && title->contentView() && title->contentView()->label()->text() == year) return title;
        }
        return nullptr;
    }
    // Releases a drag at `offset` with a vertical velocity (points per ms); answers the target.
    double release(double offset, double velocity) {
        collection().setContentOffset({0, offset});
        gfx::Point target{0, offset};
        year().scrollViewWillEndDraggingWithVelocityTargetContentOffset(collection(), {0, velocity}, &target);
        return target.y;
    }

    Log log;
    std::shared_ptr<RecordingDelegate> delegate;
    std::shared_ptr<XQCalendar> calendar;
    std::unique_ptr<ui::TestDriver> driver;
};

TEST_F(YearPresenterTest, PortraitGeometry) {
    EXPECT_EQ(collection().frame(), (gfx::Rect{5, 5, 310, 558}));
    EXPECT_EQ(year().itemSize(), (gfx::Size{97, 124.5}));
    EXPECT_DOUBLE_EQ(year().yearHeight(), 552);
    EXPECT_EQ(year().sectionsCount(), 3);
    EXPECT_EQ(year().startYear(), 2025);
    std::vector<double> xs;
    for (long item = 0; item < 3; ++item) xs.push_back(collection().layoutAttributesForItemAtIndexPath(fnd::IndexPath::forItem(item, 0))->frame().origin.x);
    EXPECT_EQ(xs, (std::vector<double>{0, 106.5, 213}));
    // The displayed year's section is at the top.
    EXPECT_DOUBLE_EQ(collection().contentOffset().y, 552);
    EXPECT_DOUBLE_EQ(year().offsetForDate(day(2027, 7, 4)), 1104);
    EXPECT_EQ(text(year().dateFromPoint({300, 1103})), "2026-01-01");
}

TEST_F(YearPresenterTest, LandscapeShowsSixMonthsPerPageWithTheDefaultThemeOnly) {
    ui::Device::currentDevice().setOrientation(ui::DeviceOrientationLandscapeLeft);
    show({568, 320});
    EXPECT_EQ(year().itemSize(), (gfx::Size{180, 131}));
    EXPECT_DOUBLE_EQ(year().yearHeight(), 578);
    calendar->setTheme(XQCalendarIPadTheme::make());
    calendar->update(false);
    EXPECT_EQ(year().style()->monthsPerPage(), 12);
}

TEST_F(YearPresenterTest, BeforeTheFirstLayoutItemsHaveNoNegativeSize) {
    auto presenter = XQCalendarYearPresenter::make();
    calendar->addSubview(presenter);
    presenter->update(false);
    EXPECT_EQ(presenter->itemSize(), (gfx::Size{0, 0}));
    presenter->removeFromSuperview();
}

TEST_F(YearPresenterTest, FlicksComeToRestOnWholeYearsWithinTheBounds) {
    struct Case {
        long section;
        double velocity;
        const char* rest;
    };
    // Forward releases start 20 points into the section, backward ones 20 points above it.
    const Case cases[] = {{0, 0.5, "2027-01-01"},  {0, 1.5, "2027-01-01"},  {0, 3.2, "2027-12-31"},
                          {0, -0.5, "2025-01-01"}, {0, -1.5, "2025-01-01"}, {1, 0.5, "2027-12-31"},
                          {1, -0.5, "2025-01-01"}, {1, -1.5, "2025-01-01"}, {2, 1.5, "2027-12-31"},
                          {2, -0.5, "2026-01-01"}, {2, -1.5, "2025-01-01"}, {2, -3.2, "2025-01-01"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.section) + " at " + std::to_string(c.velocity));
        const double start = 552.0 * static_cast<double>(c.section) + (c.velocity > 0 ? 20 : -20);
        const double target = release(start, c.velocity);
        EXPECT_EQ(text(calendar->displayedDate()), c.rest);
        EXPECT_DOUBLE_EQ(target, year().offsetForDate(calendar->displayedDate()));
    }
}

TEST_F(YearPresenterTest, AReleaseWithoutSpeedStaysAndReportsOnce) {
    // A drag down by 350 points from the top of 2026 that stops before the finger lifts.
    driver->touchDown(1, {160, 100});
    for (int i = 1; i <= 10; ++i) {
        driver->step();
        driver->touchMove(1, {160, 100 + 35.0 * i});
    }
    driver->advance(0.2);
    const double offset = collection().contentOffset().y;
    ASSERT_LT(offset, 552);
    driver->touchUp(1, {160, 450});
    driver->runUntilIdle();
    EXPECT_DOUBLE_EQ(collection().contentOffset().y, offset);
    EXPECT_EQ(text(calendar->displayedDate()), "2025-01-01");
    EXPECT_EQ(log, (Log{"willNavigate 2025-01-01", "didNavigate 2025-01-01"}));
}

TEST_F(YearPresenterTest, StepsReachTheBoundsYearFromALateTimeOfDay) {
    calendar->setDisplayedDate(day(2026, 12, 31, 10, 30), true);
    EXPECT_TRUE(year().navigateForward(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
    EXPECT_DOUBLE_EQ(collection().contentOffset().y, 1104);
    EXPECT_FALSE(year().navigateForward(false));
    EXPECT_TRUE(year().navigateBack(false));
    EXPECT_EQ(text(calendar->displayedDate()), "2026-12-31");
    // Navigation to a date beyond the bounds stops at the bound.
    year().navigateToDate(day(2031, 1, 1), false);
    EXPECT_EQ(text(calendar->displayedDate()), "2027-12-31");
}

TEST_F(YearPresenterTest, ATapOnAMonthReportsItsFirstDayAndOpensIt) {
    auto may = cell(1, 4);
    ASSERT_TRUE(may);
    driver->tap(*may);
    driver->runUntilIdle();
    EXPECT_EQ(log, (Log{"didSelect 2026-05-01", "willNavigate 2026-05-01", "didNavigate 2026-05-01",
                        "didChangeViewMode 3->1", "didNavigate 2026-05-01"}));
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
    EXPECT_FALSE(calendar->selectedDate());
    EXPECT_FALSE(calendar->transition());
}

TEST_F(YearPresenterTest, AMonthOutOfRangeOrWithoutPinchZoomIsReportedButNotOpened) {
    // A tap on the month in `column` of the first row is reported, and the year view stays.
    const auto tapAndStay = [&](int column, const char* reported) {
        auto month = cell(0, column);
        ASSERT_TRUE(month);
        log.clear();
        driver->tap(*month);
        driver->runUntilIdle();
        EXPECT_EQ(log, (Log{reported}));
        EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeYear);
    };
    calendar->setMinDate(day(2026, 6, 1));
    tapAndStay(4, "didSelect 2026-05-01");
    calendar->setAllowPinchZoom(false);
    tapAndStay(6, "didSelect 2026-07-01");
}

TEST_F(YearPresenterTest, TheDelegateNamesAndPaintsItsMonths) {
    auto hooks = std::make_shared<YearHooks>();
    hooks->month = 1;
    year().setDelegate(hooks);
    calendar->update(false);
    driver->runUntilIdle();
    auto february = cell(1, 1);
    ASSERT_TRUE(february);
    EXPECT_EQ(february->monthView()->monthName(), "Custom");
    EXPECT_EQ(cell(1, 0)->monthView()->monthName(), "Jan");
    // Drawn once per visible February (2026 and 2027's may both be on screen).
    ASSERT_GE(hooks->backgroundDays.size(), 28u);
    EXPECT_EQ(std::vector<long>(hooks->backgroundDays.begin(), hooks->backgroundDays.begin() + 28).back(), 28);
    EXPECT_EQ(hooks->attributeCalls, static_cast<long>(hooks->backgroundDays.size()));
}

TEST_F(YearPresenterTest, MiniMonthIndexesFollowTheFirstWeekday) {
    for (auto [first, index] : {std::pair{1L, 0L}, {2L, 6L}, {7L, 1L}}) {
        auto cal = fnd::Calendar::make();
        cal->setFirstWeekday(first);
        calendar->setCalendar(cal);
        auto february = cell(1, 1)->monthView(); // 1 February 2026 is a Sunday
        EXPECT_EQ(february->firstDayIndex(), index) << first;
        EXPECT_EQ(february->lastDayIndex(), index + 27) << first;
        EXPECT_EQ(year().dayName(0), first == 2 ? "m" : first == 7 ? "s" : "s");
        EXPECT_EQ(year().dayName(1), first == 2 ? "t" : first == 7 ? "s" : "m");
    }
    calendar->setCalendar(fnd::Calendar::make());
    auto august = cell(1, 7)->monthView();
    EXPECT_EQ(august->firstDayIndex(), 6);
    EXPECT_EQ(august->lastDayIndex(), 36);
    auto december = cell(1, 11)->monthView();
    EXPECT_EQ(december->todayIndex(), 16); // 1 December 2026 is a Tuesday
    EXPECT_EQ(august->todayIndex(), -1);
}

TEST_F(YearPresenterTest, MiniMonthsRedrawOnlyWhenWhatTheyShowChanged) {
    auto view = cell(1, 2)->monthView();
    ASSERT_FALSE(view->layer()->needsDisplay());
    view->attachWithCalendar(calendar.get(), &year(), 2026, 2);
    EXPECT_FALSE(view->layer()->needsDisplay());
    calendar->update(false); // the same theme again
    view->attachWithCalendar(calendar.get(), &year(), 2026, 2);
    EXPECT_FALSE(view->layer()->needsDisplay());

    auto cal = fnd::Calendar::make();
    cal->setFirstWeekday(2);
    calendar->setCalendar(cal);
    collection().layoutIfNeeded();
    EXPECT_TRUE(view->layer()->needsDisplay());
    driver->runUntilIdle();
    // Another theme with the same looks for the year view changes nothing; a new look does.
    calendar->setTheme(XQCalendarIPadTheme::make());
    calendar->update(false);
    collection().layoutIfNeeded();
    EXPECT_FALSE(view->layer()->needsDisplay());
    const auto names = std::make_shared<XQCalendarYearPresenterDelegate>(); // another delegate may name months
    year().setDelegate(names);
    calendar->update(false);
    collection().layoutIfNeeded();
    EXPECT_TRUE(view->layer()->needsDisplay());
}

TEST_F(YearPresenterTest, HebrewYearsShowAllTheirMonths) {
    calendar->setCalendar(fnd::Calendar::make("hebrew"));
    EXPECT_EQ(year().monthsPerYear(), 13);
    EXPECT_EQ(year().rowsPerYear(), 5);
    std::vector<std::string> leap;
    for (long m = 0; m < 13; ++m) leap.push_back(year().monthName(*year().firstDayOfMonth(5784, m)));
    EXPECT_EQ(leap[5], "Adar I");
    EXPECT_EQ(leap[6], "Adar II");
    EXPECT_EQ(leap[12], "Elul");
    EXPECT_TRUE(year().firstDayOfMonth(5785, 11));
    EXPECT_FALSE(year().firstDayOfMonth(5785, 12));
    EXPECT_EQ(year().monthName(*year().firstDayOfMonth(5785, 11)), "Elul");
    // A blank item takes no tap.
    const long section = 5785 - year().startYear();
    collection().setContentOffset({0, year().yearHeight() * static_cast<double>(section)});
    auto blank = cell(section, 12);
    ASSERT_TRUE(blank);
    EXPECT_FALSE(blank->monthView()->date());
    EXPECT_FALSE(year().collectionViewShouldSelectItemAtIndexPath(collection(), fnd::IndexPath::forItem(12, section)));
}

TEST_F(YearPresenterTest, TodayIsDrawnOnTheStyleShapeAlsoWithoutADayFont) {
    for (bool font : {true, false}) {
        SCOPED_TRACE(font);
        if (!font) {
            year().style()->setDayFont(nullptr);
            calendar->update(false);
        }
        auto december = cell(1, 11);
        ASSERT_TRUE(december);
        driver->runUntilIdle();
        const gfx::Rect frame = december->convertRectToView(december->bounds(), nullptr);
        // Today (the 15th, index 16: row 2, column 2) in the cell's week rows.
        const double w = frame.size.width / 7, h = frame.size.height / 8;
        const gfx::Point centre{frame.origin.x + 2.5 * w, frame.origin.y + 4.5 * h + 0.5};
        const gfx::RGBA blue = gfx::systemColors::systemBlue().resolved();
        const gfx::RGBA edge = driver->pixel({centre.x - std::min(w, h) / 2 + 1.5, centre.y});
        EXPECT_NEAR(edge.b, blue.b, 0.05);
        EXPECT_NEAR(edge.r, blue.r, 0.05);
        // The number, white, only with the font.
        bool white = false;
        for (double dx = -4; dx <= 4; dx += 0.5) white = white || driver->pixel({centre.x + dx, centre.y - 0.5}).g > 0.8;
        EXPECT_EQ(white, font);
    }
}

TEST_F(YearPresenterTest, TheYearTitleIsStyledByItsOwnGroup) {
    const auto title = header("2026");
    ASSERT_TRUE(title);
    const XQCalendarCellStyle& style = title->contentView()->style();
    EXPECT_EQ(style.textColor(), XQCalendarThemeGlobals::blueTextColor);
    EXPECT_EQ(style.bottomBorderColor(), XQCalendarThemeGlobals::customLightGrayColor);
    EXPECT_FALSE(style.topBorderColor());
    EXPECT_EQ(style.textAlignment(), 33);
    calendar->setTheme(XQCalendarIPadTheme::make());
    calendar->update(false);
    const auto restyled = header("2026");
    ASSERT_TRUE(restyled);
    EXPECT_EQ(restyled->contentView()->style().textColor(), gfx::Color::rgb8(3, 121, 255));
    EXPECT_EQ(restyled->contentView()->style().bottomBorderColor(), gfx::Color::rgb8(204, 204, 204));
}

TEST_F(YearPresenterTest, TheDelegatesTitleCellsShowTheYearsInTheYearTitleLook) {
    auto maker = std::make_shared<TitleMaker>(&log);
    show({320, 568}, maker);
    const auto title = header("2026");
    ASSERT_TRUE(title);
    EXPECT_NE(std::find(maker->made.begin(), maker->made.end(), title->contentView()), maker->made.end());
    EXPECT_EQ(title->contentView()->superview(), title.get());
    EXPECT_EQ(title->contentView()->frame(), title->bounds());
    EXPECT_EQ(title->contentView()->style().textColor(), XQCalendarThemeGlobals::blueTextColor);
}

TEST_F(YearPresenterTest, AnotherMonthCellClassMakesTheCellsFromTheReload) {
    year().setMonthCellClass(ui::CollectionReusableView::reusableClass<TaggedMonthCell>());
    auto may = cell(1, 4);
    ASSERT_TRUE(std::dynamic_pointer_cast<TaggedMonthCell>(may));
    EXPECT_EQ(text(may->monthView()->date()), "2026-05-01");
    // Classes the collection cannot make as month cells are ignored.
    year().setMonthCellClass(XQCalendarYearTitleView::staticClass());
    year().setMonthCellClass(UnmadeMonthCell::staticClass());
    EXPECT_EQ(&year().monthCellClass(), &TaggedMonthCell::staticClass());
    year().setMonthCellClass(ui::CollectionReusableView::reusableClass<XQCalendarMonthCell>());
    EXPECT_FALSE(std::dynamic_pointer_cast<TaggedMonthCell>(cell(1, 4)));
}

TEST_F(YearPresenterTest, AnotherCollectionTakesTheFirstOnesPlace) {
    const auto first = year().collection();
    auto layout = ui::CollectionViewFlowLayout::make();
    layout->setMinimumInteritemSpacing(XQCalendarYearPresenter::spacing);
    layout->setMinimumLineSpacing(XQCalendarYearPresenter::spacing);
    layout->setHeaderReferenceSize({0, XQCalendarYearPresenter::headerHeight});
    const auto second = ui::CollectionView::make(gfx::Rect::zero(), layout);
    year().setCollection(second);
    driver->runUntilIdle();
    EXPECT_FALSE(first->superview());
    EXPECT_EQ(year().collectionView(), second);
    EXPECT_EQ(second->frame(), (gfx::Rect{5, 5, 310, 558}));
    EXPECT_DOUBLE_EQ(second->contentOffset().y, 552);
    ASSERT_TRUE(header("2026"));
    auto may = cell(1, 4);
    ASSERT_TRUE(may);
    log.clear();
    driver->tap(*may);
    driver->runUntilIdle();
    EXPECT_EQ(log.front(), "didSelect 2026-05-01");
    EXPECT_EQ(calendar->viewMode(), XQCalendarViewModeMonth);
}

// Items stand on half points; their pictures are placed on whole device pixels of the
// content at one size, so they are copied, not resampled, and a reused cell keeps its picture.
TEST_F(YearPresenterTest, MiniMonthsSitOnWholeDevicePixels) {
    struct Scale {
        double was = gfx::screenScale();
        Scale() { gfx::setScreenScale(3); }
        ~Scale() { gfx::setScreenScale(was); }
    } scale;
    show({390, 844});
    std::set<std::pair<double, double>> sizes;
    for (long item = 0; item < 12; ++item) {
        const auto shown = cell(1, item);
        ASSERT_TRUE(shown);
        const gfx::Rect frame = shown->monthView()->frame().offsetBy(shown->frame().minX(), shown->frame().minY());
        EXPECT_DOUBLE_EQ(std::round(frame.minX() * 3), frame.minX() * 3) << item;
        EXPECT_DOUBLE_EQ(std::round(frame.minY() * 3), frame.minY() * 3) << item;
        EXPECT_LE(std::abs(frame.minX() - shown->frame().minX()), 0.5 / 3);
        sizes.insert({frame.size.width * 3, frame.size.height * 3});
    }
    EXPECT_EQ(sizes, (std::set<std::pair<double, double>>{{363, 580}}));
}

TEST(YearPresenterStyleTest, DefaultsGuardsAndKeys) {
    auto style = XQCalendarYearPresenterStyle::make();
    EXPECT_EQ(style->monthsPerPage(), 12);
    EXPECT_FALSE(style->dayFont());
    EXPECT_EQ(style->monthNameTextEffect(), XQCalendarTextEffectUppercase);
    EXPECT_EQ(style->dayNameTextEffect(), XQCalendarTextEffectLowercase);
    // What the application sets sticks through a theme's application, unguarded ones aside.
    style->setMonthsPerPage(9);
    style->setDayNameTextEffect(XQCalendarTextEffectNone);
    EXPECT_EQ(style->localValuesMask(), XQCalendarYearPresenterStyle::monthsPerPageBit);
    const char* keys[] = {"monthsPerPage",      "dayTextColor",     "weekendTextColor", "todayTextColor",
                          "dayNameTextColor",   "monthNameTextColor", "dayFont",         "dayNameFont",
                          "monthNameFont",      "todayShape",       "todayShapeFill",   "todayShapeStroke",
                          "monthNameTextEffect", "dayNameTextEffect", "monthNameTextAlignment"};
    for (const char* key : keys) EXPECT_TRUE(rt::setValueForKey(*style, key, rt::getValueForKey(*style, key))) << key;
    EXPECT_TRUE(rt::setValueForKey(*style, "monthNameTextAlignment", rt::Value(2L)));
    EXPECT_EQ(style->monthNameTextAlignment(), 2);
}

} // namespace
} // namespace cal::test
