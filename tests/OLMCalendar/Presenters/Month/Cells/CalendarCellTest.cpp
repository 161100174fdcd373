#include "CellTestSupport.h"

#include "platform/graphics/Text.h"

namespace cal::test {
namespace {

class CalendarCellTest : public CellTest {
protected:
    // A plain cell of 40 x 30 showing "12", styled.
    std::shared_ptr<XQCalendarCell> textCell() {
        auto cell = XQCalendarCell::make({0, 0, 40, 30});
        cell->setOwner(calendar.get());
        cell->label()->setText("12");
        cell->updateVisuals();
        cell->layoutIfNeeded();
        return cell;
    }
};

TEST_F(CalendarCellTest, AlignmentFlagsTakeTheFirstMatchOnEachAxis) {
    auto cell = textCell();
    const gfx::Size fitted = cell->label()->sizeThatFits({40, 30});
    cell->style().setTextInsets({3, 4, 0, 0});

    cell->style().setTextAlignment(XQCalendarCellAlignmentLeft | XQCalendarCellAlignmentHorizontalCenter |
                                   XQCalendarCellAlignmentTop | XQCalendarCellAlignmentVerticalCenter);
    cell->updateVisuals();
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->label()->textAlignment(), gfx::TextAlignment::left);
    EXPECT_EQ(cell->label()->frame(), (gfx::Rect{4, 3, 36, fitted.height}));

    cell->style().setTextAlignment(XQCalendarCellAlignmentBottom);
    cell->updateVisuals();
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->label()->textAlignment(), gfx::TextAlignment::left); // unchanged
    EXPECT_EQ(cell->label()->frame(), (gfx::Rect{4, 30 - fitted.height, 36, fitted.height}));

    cell->style().setTextAlignment(0);
    cell->setNeedsLayout();
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->label()->frame(), (gfx::Rect{{4, 3}, fitted}));
}

TEST_F(CalendarCellTest, BordersFollowTheStyleAndSkipEmptyBounds) {
    auto cell = textCell();
    auto& s = cell->style();
    s.setLeftBorderColor(gfx::colors::red());
    s.setRightBorderWidth(2);
    s.setRightBorderColor(gfx::colors::green());
    s.setTopBorderColor(std::nullopt);
    s.setBottomBorderWidth(3);
    cell->updateBorder();
    EXPECT_EQ(cell->leftBorderLayer()->frame(), (gfx::Rect{0, 0, 0.5, 30}));
    EXPECT_EQ(cell->rightBorderLayer()->frame(), (gfx::Rect{38, 0, 2, 30}));
    EXPECT_EQ(cell->bottomBorderLayer()->frame(), (gfx::Rect{0, 27, 40, 3}));
    EXPECT_EQ(cell->rightBorderLayer()->backgroundColor(), gfx::colors::green());
    EXPECT_FALSE(cell->leftBorderLayer()->isHidden());
    EXPECT_TRUE(cell->topBorderLayer()->isHidden());

    cell->setFrame({0, 0, 0, 30});
    s.setRightBorderWidth(5);
    cell->updateBorder();
    EXPECT_EQ(cell->rightBorderLayer()->frame(), (gfx::Rect{38, 0, 2, 30}));
}

TEST_F(CalendarCellTest, ShapeWithoutSizeIsASquareAroundTheTextAndKeepsItsSize) {
    auto shape = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeRectangle, {});
    auto cell = textCell();
    cell->style().setShape(shape);
    cell->style().setShapeFill(XQSolidFill::solidFillWithColor(gfx::colors::blue()));
    cell->setFrame({0, 0, 80, 80});
    const Rendered image(cell);

    const gfx::Size text = gfx::sizeWithAttributes("12", fontAttributes(cell->label()->font()));
    const float side = std::min(static_cast<float>(text.width + 30), static_cast<float>(text.height + 30));
    EXPECT_EQ(cell->cellShapeSize(), (gfx::Size{side, side}));
    EXPECT_TRUE(shape->size() == gfx::Size{});
    EXPECT_TRUE(image.is({40 - side / 2 + 1, 40 - side / 2 + 1}, gfx::colors::blue()));
    EXPECT_FALSE(image.is({40 - side / 2 - 1, 40}, gfx::colors::blue()));

    // Without fill or stroke nothing is drawn.
    cell->style().setShapeFill(nullptr);
    cell->setNeedsDisplay();
    EXPECT_FALSE(Rendered(cell).is({40, 40}, gfx::colors::blue()));
}

TEST_F(CalendarCellTest, ThemeThenDelegateThenView) {
    theme->addStyleGroupWithClass(XQCalendarCell::staticClass(),
                                  {{"textColor", gfx::colors::blue()}, {"backgroundColor", gfx::colors::green()}});
    std::optional<gfx::Color> seen;
    cellDelegate->restyle = [&](XQCalendarCell& cell) {
        seen = cell.style().textColor();
        cell.style().setTextColor(gfx::colors::red());
    };
    auto cell = textCell();
    EXPECT_EQ(seen, gfx::colors::blue());
    EXPECT_EQ(cell->label()->textColor(), gfx::colors::red());
    EXPECT_EQ(cell->backgroundColor(), gfx::colors::green());

    // The delegate's colour lasts until the theme styles the cell again.
    cellDelegate->restyle = nullptr;
    cell->updateVisuals();
    EXPECT_EQ(cell->label()->textColor(), gfx::colors::blue());

    // A nil font keeps the label's; without an owner the style's defaults show.
    const gfx::FontRef font = cell->label()->font();
    cell->setOwner(nullptr);
    cell->updateVisuals();
    EXPECT_EQ(cell->label()->font(), font);
    EXPECT_EQ(cell->label()->textColor(), gfx::colors::blue()); // still the style's value
}

TEST_F(CalendarCellTest, ApplyStyleForStateTouchesOnlyTheStyle) {
    theme->addStyleGroupWithClassState(XQCalendarDayCell::staticClass(), 16, {{"textColor", gfx::colors::green()}});
    auto cell = dayCell(day(2026, 12, 3));
    const gfx::Color shown = cell->label()->textColor();
    cell->applyStyleForState(16);
    EXPECT_EQ(cell->style().textColor(), gfx::colors::green());
    EXPECT_EQ(cell->style().styleID()->state(), cell->state());
    EXPECT_EQ(cell->label()->textColor(), shown);
}

} // namespace
} // namespace cal::test
