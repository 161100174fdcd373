#include "tests/OLMCalendar/Presenters/Day/DayView/DayArea/DayAreaTestSupport.h"

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewTimeLine.h"
#include "platform/graphics/SystemColors.h"

#include <climits>

namespace cal::test {
namespace {

std::vector<std::string> texts(const XQCalendarDayViewEventsView& view) {
    std::vector<std::string> result;
    for (const auto& label : view.labels()) result.push_back(label.string());
    return result;
}

TEST_F(EventsViewTest, oneLabelPerLineOverTheRange) {
    EXPECT_TRUE(view->labels().empty()); // no date yet
    show({}, at(2026, 12, 15, 9));
    auto labels = texts(*view);
    ASSERT_EQ(labels.size(), 25u);
    EXPECT_EQ(labels[0], "12:00\u202fAM");
    EXPECT_EQ(labels[13], "1:00\u202fPM");
    EXPECT_EQ(labels[24], "12:00\u202fAM");
    EXPECT_EQ(view->timeLineHeight(), 1920);
    EXPECT_GT(view->labelSize().width, 0);

    view->setStartTime(8 * 3600);
    view->setEndTime(18 * 3600);
    view->setInterval(1800);
    EXPECT_EQ(view->labels().size(), 25u); // the setters only store
    view->updateLayout();
    labels = texts(*view);
    ASSERT_EQ(labels.size(), 21u);
    EXPECT_EQ(labels.front(), "8:00\u202fAM");
    EXPECT_EQ(labels.back(), "6:00\u202fPM");
    EXPECT_EQ(view->offsetForHour(7, 0, 0), -0.1);
    EXPECT_GT(view->offsetForHour(LONG_MAX, LONG_MAX, 0), 1e10); // no overflow

    view->setStartTime(0);
    view->setEndTime(86400);
    view->setInterval(7000);
    view->updateLayout();
    EXPECT_EQ(view->labels().size(), 13u);
    EXPECT_DOUBLE_EQ(view->slotsCount(), 86400.0 / 7000);
    driver->runUntilIdle();
    EXPECT_DOUBLE_EQ(layout->collectionViewContentSize().height, 80 * 86400.0 / 7000 + 20);
}

TEST_F(EventsViewTest, labelsReadTheWallClockOfTheCalendarsZone) {
    calendar->setTimeZone(fnd::TimeZone::named("America/Sao_Paulo"));
    show({}, at(2016, 10, 16, 12)); // the day starts at 01:00
    EXPECT_EQ(texts(*view)[0], "12:00\u202fAM");
    EXPECT_EQ(texts(*view)[1], "1:00\u202fAM");
    calendar->setTimeZone(fnd::TimeZone::named("Europe/London"));
    show({}, at(2017, 10, 29, 12)); // 01:00 comes twice
    EXPECT_EQ(texts(*view)[2], "2:00\u202fAM");
    calendar->setTimeZone(fnd::TimeZone::named("Asia/Tokyo")); // not the default zone
    show({}, at(2026, 12, 15, 12));
    EXPECT_EQ(texts(*view)[9], "9:00\u202fAM");
    EXPECT_EQ(view->labelForTimeInterval(9.5 * 3600), "9:30\u202fAM");
}

TEST_F(EventsViewTest, zoomIsClampedAndKeepsThePointInPlace) {
    show({}, at(2026, 12, 15, 9));
    view->setContentOffset({0, 500});
    view->setZoom(1.2, {0, 800});
    EXPECT_EQ(view->zoom(), 1.2);
    EXPECT_EQ(view->contentOffset().y, 660);
    view->setZoom(3);
    EXPECT_EQ(view->zoom(), 1.25);
    view->setZoom(0.1);
    EXPECT_EQ(view->zoom(), 0.75);
    driver->runUntilIdle();
    EXPECT_EQ(layout->collectionViewContentSize().height, 1920 * 0.75 + 20);
}

TEST_F(EventsViewTest, aPinchZoomsAndACancelledOneRestores) {
    show({}, at(2026, 12, 15, 9));
    driver->pinch({160, 300}, 1, 2, 0.3);
    driver->runUntilIdle();
    EXPECT_EQ(view->zoom(), 1.25); // an ended pinch keeps its zoom
    driver->pinch({160, 300}, 1, 0.5, 0.3);
    driver->runUntilIdle();
    EXPECT_EQ(view->zoom(), 0.75);

    view->setZoom(1);
    view->setContentOffset({0, 400});
    driver->touches({{1, ui::TouchPhaseBegan, {110, 300}}, {2, ui::TouchPhaseBegan, {210, 300}}});
    for (int i = 1; i <= 5; ++i) {
        driver->step();
        driver->touches({{1, ui::TouchPhaseMoved, {110.0 - 6 * i, 300}}, {2, ui::TouchPhaseMoved, {210.0 + 6 * i, 300}}});
    }
    EXPECT_GT(view->zoom(), 1);
    driver->touchCancel(1);
    driver->touchCancel(2);
    driver->runUntilIdle();
    EXPECT_EQ(view->zoom(), 1);
    EXPECT_EQ(view->contentOffset().y, 400);
}

TEST_F(EventsViewTest, theTimeLineDrawsLinesAndLabelsFromItsOwner) {
    show({}, at(2026, 12, 15, 9));
    view->style()->setSeparatorColor(gfx::colors::black());
    view->style()->setSeparatorWidth(2);
    view->style()->setLabelTextColor(gfx::Color::rgb8(255, 0, 0));
    view->updateLayout();
    driver->runUntilIdle();
    const double lineStart = 15 + view->labelSize().width + 5;
    EXPECT_EQ(driver->pixel({lineStart + 20, 90}), (gfx::RGBA{0, 0, 0, 1}));    // line 1
    EXPECT_EQ(driver->pixel({lineStart + 20, 130}), (gfx::RGBA{1, 1, 1, 1}));   // between lines
    EXPECT_EQ(driver->pixel({lineStart - 10, 90}).a, 1);
    const auto redIn = [&](double x0, double x1, double y) {
        for (double x = x0; x < x1; x += 0.5)
            if (auto p = driver->pixel({x, y}); p.r > 0.8 && p.g < 0.5) return true;
        return false;
    };
    const double w = view->labelSize().width;
    EXPECT_TRUE(redIn(15 + w - 4, 15 + w, 90)); // right-aligned: the label ends at the column's end
    view->style()->setLabelTextAlignment(0);
    view->updateLayout();
    driver->runUntilIdle();
    EXPECT_TRUE(redIn(15, 19, 90)); // left: it starts at labelOffset ("1:00 AM" is narrower)
    view->style()->setLabelTextAlignment(1);
    view->updateLayout();
    driver->runUntilIdle();
    const double inset = (w - view->labels()[1].size().width) / 2; // centred in the column
    EXPECT_FALSE(redIn(15, 15 + inset - 1, 90));
    EXPECT_TRUE(redIn(15 + inset, 15 + inset + 4, 90));
    // More lines than labels (the range changed without updateLayout): the extra lines go
    // without labels.
    view->setInterval(1800);
    view->reloadData();
    view->setContentOffset({0, 1900});
    driver->runUntilIdle();
    EXPECT_EQ(driver->pixel({lineStart + 20, 2010 - 1900}), (gfx::RGBA{0, 0, 0, 1})); // line 25 of 48
    EXPECT_FALSE(redIn(15, 15 + w, 2010 - 1900));
    EXPECT_EQ(view->labels().size(), 25u);
    view->setContentOffset({0, 0});
    auto timeLines = 0;
    for (const auto& subview : view->subviews())
        if (auto line = std::dynamic_pointer_cast<XQCalendarDayViewTimeLine>(subview)) {
            ++timeLines;
            EXPECT_EQ(line->owner(), view);
        }
    EXPECT_EQ(timeLines, 1);
}

TEST_F(EventsViewTest, anotherDayKeepsTheTimeLinesDrawingUnlessItsLooksChange) {
    show({event(at(2026, 12, 15, 9), at(2026, 12, 15, 10))}, at(2026, 12, 15, 9));
    std::shared_ptr<XQCalendarDayViewTimeLine> line;
    for (const auto& subview : view->subviews())
        if (auto found = std::dynamic_pointer_cast<XQCalendarDayViewTimeLine>(subview)) line = found;
    ASSERT_TRUE(line);
    const auto serial = [&] { return line->layer()->contents() ? line->layer()->contents()->serialNumber() : 0; };
    const auto drawn = serial();
    EXPECT_NE(drawn, 0u);
    show({event(at(2026, 12, 16, 9), at(2026, 12, 16, 11))}, at(2026, 12, 16, 9));
    EXPECT_EQ(serial(), drawn);
    view->style()->setLabelTextColor(gfx::Color::rgb8(255, 0, 0));
    view->updateLayout();
    driver->runUntilIdle();
    EXPECT_NE(serial(), drawn);
}

TEST_F(EventsViewTest, timeLineAttributesCarryTheirOwner) {
    auto a = XQCalendarDayViewTimeLineLayoutAttributes::layoutAttributesForDecorationViewOfKind(
        "timeline", fnd::IndexPath::withIndex(0), view);
    auto copy = std::dynamic_pointer_cast<XQCalendarDayViewTimeLineLayoutAttributes>(a->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->owner(), view);
    EXPECT_TRUE(a->isEqual(*copy));
    copy->setOwner(nullptr);
    EXPECT_FALSE(a->isEqual(*copy));
}


TEST_F(EventsViewTest, aZoomedTimeLineKeepsABoundedStoreAndItsLinesWhereverItScrolls) {
    show({event(at(2026, 12, 15, 9), at(2026, 12, 15, 10))}, at(2026, 12, 15, 9));
    view->style()->setSeparatorColor(gfx::colors::black());
    view->style()->setSeparatorWidth(2);
    view->updateLayout();
    view->setContentOffset({0, 600});
    driver->runUntilIdle();
    view->setZoom(1.25, {0, 700});
    driver->runUntilIdle();
    std::shared_ptr<XQCalendarDayViewTimeLine> line;
    for (const auto& subview : view->subviews())
        if (auto found = std::dynamic_pointer_cast<XQCalendarDayViewTimeLine>(subview)) line = found;
    ASSERT_TRUE(line);
    const double lineStart = 15 + view->labelSize().width + 5;
    // Lines 100 points apart from 10; the content is 2,410 points (7,230 pixels) high.
    for (const double offset : {view->contentOffset().y, 1900.0, 40.0}) {
        view->setContentOffset({0, offset});
        driver->runUntilIdle();
        const double first = 10 + 100 * std::ceil((offset - 10) / 100);
        EXPECT_EQ(driver->pixel({lineStart + 20, first - offset + 0.5}), (gfx::RGBA{0, 0, 0, 1})) << offset;
        EXPECT_EQ(driver->pixel({lineStart + 20, first - offset + 50}), (gfx::RGBA{1, 1, 1, 1})) << offset;
        const gfx::ImageRef store = line->layer()->contents();
        EXPECT_LE(store->pixelHeight(), ui::Layer::maxStorePixels);
        const gfx::Rect held = line->layer()->contentsFrame();
        EXPECT_TRUE(held.minY() <= offset && held.maxY() >= std::min(offset + 600, line->bounds().height())) << offset;
    }
}

} // namespace
} // namespace cal::test
