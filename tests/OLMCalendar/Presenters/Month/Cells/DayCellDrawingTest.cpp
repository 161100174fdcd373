#include "CellTestSupport.h"

#include "OLMCore/XQDateRange.h"

namespace cal::test {
namespace {

// Records the "more" lines instead of drawing them.
class RecordingDayCell : public XQCalendarDayCell {
public:
    OLM_DECLARE_CLASS(RecordingDayCell)
    static std::shared_ptr<RecordingDayCell> make(const gfx::Rect& frame) { return rt::create<RecordingDayCell>(frame); }
    mutable std::vector<long> moreCounts;

protected:
    friend struct rt::Access;
    RecordingDayCell() = default;
    void drawMoreLine(long count, gfx::Point) const override { moreCounts.push_back(count); }
};

const gfx::Color red = gfx::colors::red(), green = gfx::colors::green(), blue = gfx::colors::blue();

class DayCellDrawingTest : public CellTest {
protected:
    std::shared_ptr<RecordingDayCell> cell(const fnd::Date& date, gfx::Size size, bool asText = false,
                                           long maxEvents = 0) {
        auto c = RecordingDayCell::make({{0, 0}, size});
        c->style().setTopBorderColor(std::nullopt);
        c->style().setBottomBorderColor(std::nullopt);
        c->style().setDisplayEventsAsText(asText);
        c->style().setMaxEventsCount(maxEvents);
        c->attachWithCalendar(calendar.get(), date);
        return c;
    }
    XQCalendarEvents timed(std::vector<gfx::Color> colors, long dayOfMonth = 3) {
        XQCalendarEvents events;
        for (const auto& color : colors)
            events.push_back(event("event", day(2026, 12, dayOfMonth, 9), day(2026, 12, dayOfMonth, 10), color));
        return events;
    }
};

TEST_F(DayCellDrawingTest, RangeBandJoinsTheDaysOfARange) {
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    calendar->setSelectedDatesRange(XQDateRange::make(day(2026, 12, 7), day(2026, 12, 9)));
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {});
    auto draw = [&](long dayOfMonth) {
        auto c = cell(day(2026, 12, dayOfMonth), {40, 30});
        c->style().setShape(shape);
        c->style().setShapeFill(XQSolidFill::solidFillWithColor(blue));
        return Rendered(c);
    };
    const gfx::Color band = *XQCalendarDayCellStyle::make()->defaultSelectionColor();
    const Rendered first = draw(7), mid = draw(8), last = draw(9), outside = draw(10);
    EXPECT_TRUE(first.is({39, 15}, band));
    EXPECT_FALSE(first.is({1, 15}, band));
    EXPECT_TRUE(first.is({20, 6}, blue)); // the circle, above the day number
    EXPECT_TRUE(mid.is({1, 15}, band));
    EXPECT_TRUE(mid.is({39, 15}, band));
    EXPECT_TRUE(last.is({1, 15}, band));
    EXPECT_FALSE(last.is({39, 15}, band));
    EXPECT_FALSE(outside.is({1, 15}, band));

    calendar->setSelectionMode(XQCalendarSelectionModeMultiple);
    EXPECT_FALSE(draw(8).is({1, 15}, band));
    calendar->setSelectionMode(XQCalendarSelectionModeRange);
    auto plain = cell(day(2026, 12, 8), {40, 30});
    plain->style().setShape(shape);
    plain->style().setUseDefaultSelectionStyle(false);
    EXPECT_FALSE(Rendered(plain).is({1, 15}, band));
    plain->style().setShape(nullptr); // no shape, no band
    plain->style().setUseDefaultSelectionStyle(true);
    plain->setNeedsDisplay();
    EXPECT_FALSE(Rendered(plain).is({1, 15}, band));
}

TEST_F(DayCellDrawingTest, ShapesLineUpCentredAtTheBottom) {
    source->days["2026-12-03"] = timed({red, green, blue});
    const Rendered image(cell(day(2026, 12, 3), {40, 30}));
    EXPECT_TRUE(image.is({14, 26}, red));
    EXPECT_TRUE(image.is({20, 26}, green));
    EXPECT_TRUE(image.is({26, 26}, blue));
    EXPECT_FALSE(image.is({17, 26}, red) || image.is({17, 26}, green));
    EXPECT_FALSE(image.is({14, 23.5}, red));
}

TEST_F(DayCellDrawingTest, StretchedVerticalAndLimitedShapes) {
    source->days["2026-12-03"] = timed({red, green, blue, red, green});
    auto c = cell(day(2026, 12, 3), {40, 30});
    c->style().setStretchEvents(true);
    c->style().setMaxEventsCount(4);
    // Four shapes 10 wide with the spacing still between them: from x -3 on, 12 apart.
    c->setNeedsDisplay();
    const Rendered stretched(c);
    EXPECT_TRUE(stretched.is({14, 26}, green));
    EXPECT_TRUE(stretched.is({23, 26}, blue));
    EXPECT_EQ(c->style().eventShape()->size(), (gfx::Size{4, 4}));

    auto column = cell(day(2026, 12, 3), {40, 30}, false, 2);
    column->style().setEventOrientation(XQCalendarEventOrientationVertical);
    column->style().setEventAlignment(XQCalendarCellAlignmentRight | XQCalendarCellAlignmentBottom);
    column->setNeedsDisplay();
    const Rendered vertical(column);
    EXPECT_TRUE(vertical.is({36, 20}, red));
    EXPECT_TRUE(vertical.is({36, 26}, green));
    EXPECT_FALSE(vertical.is({36, 14}, blue));
}

TEST_F(DayCellDrawingTest, DelegateShapesDrawAtTheirOwnSize) {
    auto events = timed({red, green, blue});
    events[2]->setEventColor(std::nullopt); // keeps its place, paints nothing
    source->days["2026-12-03"] = events;
    auto square = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeRectangle, {6, 6});
    cellDelegate->shapeFor = [&](const XQCalendarEventRef& e) -> std::optional<std::shared_ptr<XQShape>> {
        if (e == events[0]) return square;
        if (e == events[1]) return std::shared_ptr<XQShape>(); // draws nothing
        return std::nullopt;
    };
    const Rendered image(cell(day(2026, 12, 3), {40, 30}));
    EXPECT_TRUE(image.is({11.5, 23.5}, red));
    EXPECT_FALSE(image.is({20, 26}, green));
    EXPECT_EQ(image.at({26, 26}).a, 0);
}

TEST_F(DayCellDrawingTest, AllDayBarsRunAcrossTheirDays) {
    // Monday 7 to Wednesday 9 December.
    const auto bar = event("x", day(2026, 12, 7), day(2026, 12, 9, 23), green, true);
    for (long d : {7, 8, 9})
        source->days[text(day(2026, 12, d))] = {bar};
    const gfx::Float y = 2 + gfx::sizeWithAttributes("ABC", fontAttributes(gfx::Font::systemFont(12))).height - 2;
    const Rendered monday(cell(day(2026, 12, 7), {60, 60}, true));
    const Rendered tuesday(cell(day(2026, 12, 8), {60, 60}, true));
    const Rendered wednesday(cell(day(2026, 12, 9), {60, 60}, true));
    EXPECT_FALSE(monday.is({1, y}, green));
    EXPECT_TRUE(monday.is({59.5, y}, green));
    EXPECT_TRUE(tuesday.is({0.5, y}, green));
    EXPECT_TRUE(tuesday.is({59.5, y}, green));
    EXPECT_TRUE(wednesday.is({0.5, y}, green));
    EXPECT_TRUE(wednesday.is({57.5, y}, green));
    EXPECT_FALSE(wednesday.is({59, y}, green));
}

TEST_F(DayCellDrawingTest, EventsWithoutDatesDrawAsDaysInsideTheirSpan) {
    // Neither starting nor ending on the cell's day: an all-day bar runs across the whole cell
    // without its title; a timed event draws its bullet as any other.
    const auto bar = event("bar", day(2026, 12, 8), day(2026, 12, 8, 23), green, true);
    const auto timedEvent = event("timed", day(2026, 12, 8, 9), day(2026, 12, 8, 10), red);
    for (const auto& e : {bar, timedEvent}) {
        e->setStartDate(std::nullopt);
        e->setEndDate(std::nullopt);
    }
    source->days["2026-12-08"] = {bar, timedEvent};
    const gfx::Float lh = gfx::sizeWithAttributes("ABC", fontAttributes(gfx::Font::systemFont(12))).height;
    const gfx::Float y = 2 + lh - 2;
    const Rendered image(cell(day(2026, 12, 8), {60, 60}, true));
    for (gfx::Float x : {0.5, 20.0, 30.0, 59.5})
        EXPECT_TRUE(image.is({x, y}, green)) << x;
    bool bullet = false;
    for (gfx::Float x = 0.5; x < 20; x += 0.5)
        for (gfx::Float below = lh / 2; below < 2 * lh; below += 0.5)
            bullet = bullet || image.is({x, y + below}, red);
    EXPECT_TRUE(bullet);
}

TEST_F(DayCellDrawingTest, MoreLineCountsEveryEventNotShown) {
    const gfx::Float lh = gfx::sizeWithAttributes("ABC", fontAttributes(gfx::Font::systemFont(12))).height;
    // Room for one line and the line after it: one event, then "4 more..." (of five, two kept).
    source->days["2026-12-03"] = timed({red, green, blue, red, green});
    const gfx::Size oneLine{60, 2 + 3 * lh + 2 + 2};
    auto shortCell = cell(day(2026, 12, 3), oneLine, true, 2);
    Rendered{shortCell};
    EXPECT_EQ(shortCell->moreCounts, std::vector<long>{4});

    auto tall = cell(day(2026, 12, 3), {60, 200}, true, 2);
    Rendered{tall};
    EXPECT_EQ(tall->moreCounts, std::vector<long>{3});

    auto unlimited = cell(day(2026, 12, 3), oneLine, true, -5);
    Rendered{unlimited};
    EXPECT_EQ(unlimited->moreCounts, std::vector<long>{4});

    source->days["2026-12-03"] = {};
    auto empty = cell(day(2026, 12, 3), oneLine, true);
    empty->setOriginalEventsCount(3);
    const Rendered nothing(empty);
    EXPECT_TRUE(empty->moreCounts.empty());
    EXPECT_EQ(nothing.at({30, oneLine.height - 3}).a, 0);
}

TEST_F(DayCellDrawingTest, SharedShapeKeepsItsOwnSize) {
    auto shared = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {});
    auto fill = XQSolidFill::solidFillWithColor(blue);
    auto big = cell(day(2026, 12, 3), {60, 60});
    auto small = cell(day(2026, 12, 4), {60, 60});
    big->label()->setFont(gfx::Font::boldSystemFont(19));
    small->label()->setFont(gfx::Font::systemFont(11));
    for (const auto& c : {big, small}) {
        c->style().setShape(shared);
        c->style().setShapeFill(fill);
        Rendered{c};
        EXPECT_TRUE(shared->size() == gfx::Size{});
    }
    EXPECT_GT(big->localShapeSize().width, small->localShapeSize().width);
}

} // namespace
} // namespace cal::test

OLM_DEFINE_CLASS(cal::test::RecordingDayCell, XQCalendarDayCell)
