#include "tests/OLMCalendar/Presenters/Day/DayView/DayArea/DayAreaTestSupport.h"

namespace cal::test {
namespace {

class EventCellTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto e = XQCalendarEvent::make();
        e->setTitle("Design review");
        e->setDetail("Room 4");
        e->setEventColor(gfx::Color::rgb8(200, 40, 40));
        event = e;
    }
    // Lays a cell of the size out with the event.
    std::shared_ptr<XQCalendarDayViewEventCell> cell(double width, double height) {
        auto c = XQCalendarDayViewEventCell::make({0, 0, width, height});
        c->attachWithEvent(event);
        configure(*c);
        c->layoutIfNeeded();
        return c;
    }
    std::function<void(XQCalendarDayViewEventCell&)> configure = [](XQCalendarDayViewEventCell&) {};
    std::shared_ptr<XQCalendarEventProtocol> event;
};

TEST_F(EventCellTest, aMinimumHeightCellTruncatesTheTitleAndHidesTheDetail) {
    auto c = cell(200, 22);
    EXPECT_EQ(c->titleLabel()->frame(), (gfx::Rect{3, 3, 197, 16}));
    EXPECT_EQ(c->titleLabel()->lineBreakMode(), gfx::LineBreakMode::truncatingTail);
    EXPECT_EQ(c->detailLabel()->frame(), gfx::Rect::zero());
    EXPECT_EQ(c->titleLabel()->text(), "Design review");
    EXPECT_EQ(c->event(), event);
}

TEST_F(EventCellTest, aTallCellStacksTheDetailUnderTheTitle) {
    auto c = cell(200, 160);
    const double th = c->titleLabel()->sizeThatFits({197, 154}).height;
    EXPECT_EQ(c->titleLabel()->frame(), (gfx::Rect{3, 3, 197, th}));
    EXPECT_EQ(c->detailLabel()->frame(), (gfx::Rect{3, 3 + th, 197, c->detailLabel()->sizeThatFits({197, 0}).height}));
    EXPECT_EQ(c->detailLabel()->lineBreakMode(), gfx::LineBreakMode::wordWrapping);
}

TEST_F(EventCellTest, aDetailThatDoesNotFitIsTruncatedThenSetBesideThenHidden) {
    event->setDetail("Second floor, the room with the long table by the window");
    auto probe = cell(120, 300);
    const double th = probe->titleLabel()->frame().size.height;
    const double oneLine = 3 + probe->detailLabel()->font()->lineHeight();
    ASSERT_GT(probe->detailLabel()->frame().size.height, oneLine + 4); // wraps
    auto c = cell(120, 6 + th + oneLine + 2);
    EXPECT_EQ(c->detailLabel()->frame(), (gfx::Rect{3, 3 + th, 117, oneLine + 2}));
    EXPECT_EQ(c->detailLabel()->lineBreakMode(), gfx::LineBreakMode::truncatingTail);

    // A one-line title (no vertical insets) leaves room at its right for a short detail.
    event->setTitle("Gym");
    event->setDetail("5 min");
    configure = [](XQCalendarDayViewEventCell& cell) { cell.style()->setTitleInsets({0, 6, 0, 3}); };
    c = cell(200, 22);
    const gfx::Rect title = c->titleLabel()->frame();
    EXPECT_LT(title.size.width, 197);
    EXPECT_EQ(c->detailLabel()->frame(), (gfx::Rect{3 + title.size.width, 3, 197 - title.size.width, title.size.height}));
    event->setDetail("A detail on one line, wider than the room left");
    configure = [](XQCalendarDayViewEventCell& cell) {
        cell.style()->setTitleInsets({0, 6, 0, 3});
        cell.style()->setDetailNumberOfLines(1);
    };
    c = cell(200, 22);
    EXPECT_EQ(c->detailLabel()->frame(), gfx::Rect::zero());
}

TEST_F(EventCellTest, theStripStaysOpaqueWithoutAFill) {
    ui::TestDriver driver({100, 100});
    configure = [](XQCalendarDayViewEventCell& cell) { cell.style()->setTransparency(0); };
    auto c = cell(80, 60);
    c->titleLabel()->setHidden(true);
    driver.window()->setBackgroundColor(gfx::Color::rgba(1, 1, 1));
    driver.window()->addSubview(c);
    driver.runUntilIdle();
    EXPECT_EQ(driver.pixel({1.5, 30}), (gfx::RGBA{200 / 255.0, 40 / 255.0, 40 / 255.0, 1}));
    EXPECT_EQ(driver.pixel({40, 30}), (gfx::RGBA{1, 1, 1, 1}));
    EXPECT_EQ(driver.pixel({1.5, 1}), (gfx::RGBA{1, 1, 1, 1})); // above the block's inset
    c->style()->setTransparency(0.5);
    c->setNeedsLayout();
    driver.runUntilIdle();
    EXPECT_NEAR(driver.pixel({40, 30}).g, (1 + 40 / 255.0) / 2, 0.01);
}

TEST_F(EventCellTest, aLayoutThatChangesNothingDrawsNothingAgainAndNewInsetsDo) {
    ui::TestDriver driver({200, 100});
    auto c = cell(200, 22); // a truncated title: the cascade passes through word wrapping
    driver.window()->addSubview(c);
    driver.runUntilIdle();
    auto same = XQCalendarEvent::make(); // another event that looks the same
    same->setTitle("Design review");
    same->setDetail("Room 4");
    same->setEventColor(gfx::Color::rgb8(200, 40, 40));
    c->attachWithEvent(same);
    c->layoutIfNeeded();
    EXPECT_FALSE(c->layer()->needsDisplay());
    EXPECT_FALSE(c->titleLabel()->layer()->needsDisplay());
    c->style()->setTitleInsets({4, 6, 3, 3});
    c->setNeedsLayout();
    c->layoutIfNeeded();
    EXPECT_TRUE(c->titleLabel()->layer()->needsDisplay());
    same->setEventColor(gfx::Color::rgb8(40, 40, 200));
    c->setNeedsLayout();
    c->layoutIfNeeded();
    EXPECT_TRUE(c->layer()->needsDisplay());
}

} // namespace
} // namespace cal::test
