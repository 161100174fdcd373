#include "platform/graphics/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace ui;

namespace {

using fnd::IndexPath;

// Rows of value-1 cells made the way the inline event list makes them: dequeued, or new
// when none is free.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    long count = 1000;
    int made = 0;
    int dequeued = 0;
    bool nullRows = false;
    std::vector<IndexPath> selected;
    long numberOfSectionsInTableView(TableView&) override { return 1; }
    long tableViewNumberOfRowsInSection(TableView&, long) override { return count; }
    std::shared_ptr<TableViewCell> tableViewCellForRowAtIndexPath(TableView& table, const IndexPath& p) override {
        if (nullRows) return nullptr;
        auto cell = table.dequeueReusableCell("cell");
        if (cell)
            ++dequeued;
        else {
            cell = TableViewCell::make(TableViewCellStyleValue1, "cell");
            ++made;
        }
        cell->textLabel()->setText("Event " + std::to_string(p.row()));
        cell->detailTextLabel()->setText("09:00 AM - 10:00 AM");
        return cell;
    }
    void tableViewDidSelectRowAtIndexPath(TableView&, const IndexPath& p) override { selected.push_back(p); }
};

struct Table {
    TestDriver driver{{390, 844}};
    std::shared_ptr<TableView> table = TableView::make({0, 0, 390, 844});
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    Table() {
        table->setDataSource(rows);
        table->setDelegate(rows);
        driver.window()->addSubview(table);
        driver.runUntilIdle();
    }
};

} // namespace

TEST(TableView, RowsAreMadeWhenNoneIsFreeAndReusedWhileScrolling) {
    Table t;
    EXPECT_EQ(t.table->contentSize(), (gfx::Size{390, 44000}));
    EXPECT_EQ(t.rows->made, 20);
    EXPECT_EQ(t.table->dequeueReusableCell("cell"), nullptr);
    for (int step = 1; step <= 100; ++step) {
        t.table->setContentOffset({0, step * 97.0});
        t.driver.step();
    }
    EXPECT_LE(t.rows->made, 22);
    EXPECT_GT(t.rows->dequeued, 200);
    const auto cell = t.table->cellForRowAtIndexPath(IndexPath::forRow(230, 0));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->frame(), (gfx::Rect{0, 230 * 44.0, 390, 44}));
    EXPECT_EQ(cell->textLabel()->text(), "Event 230");
    // A table of few rows still bounces; null rows show nothing.
    t.rows->count = 3;
    t.rows->nullRows = true;
    t.table->reloadData();
    t.driver.runUntilIdle();
    EXPECT_TRUE(t.table->visibleCells().empty());
    EXPECT_TRUE(t.table->alwaysBounceVertical());
}

TEST(TableView, ValueOneLayoutAndSeparatorsUnderRealRows) {
    Table t;
    t.rows->count = 3;
    t.table->reloadData();
    t.driver.runUntilIdle();
    const auto cell = t.table->cellForRowAtIndexPath(IndexPath::forRow(0, 0));
    const gfx::Rect text = cell->textLabel()->frame(), detail = cell->detailTextLabel()->frame();
    EXPECT_EQ(text.origin.x, 15);
    EXPECT_EQ(detail.maxX(), 390 - 15);
    EXPECT_EQ(text.maxX(), detail.minX() - 15);
    EXPECT_NEAR(text.midY(), 22, 1e-9);
    EXPECT_NEAR(detail.midY(), 22, 1e-9);
    // A one-pixel separator at the inset under each of the three rows, none below them.
    const double pixel = 1 / gfx::screenScale();
    const View& separator = *cell->subviews().back();
    EXPECT_EQ(separator.frame(), (gfx::Rect{15, 44 - pixel, 375, pixel}));
    t.table->setSeparatorColor(gfx::Color::rgba(1, 0, 0));
    t.driver.render();
    EXPECT_EQ(t.driver.pixel({100, 44 - pixel / 2}), (gfx::RGBA{1, 0, 0, 1}));
    EXPECT_EQ(t.driver.pixel({100, 3 * 44 - pixel / 2}), (gfx::RGBA{1, 0, 0, 1}));
    EXPECT_NE(t.driver.pixel({100, 4 * 44 - pixel / 2}), (gfx::RGBA{1, 0, 0, 1}));
}

TEST(TableView, SelectionIsSingleAndAReloadClearsIt) {
    Table t;
    t.driver.tap({100, 70});
    t.driver.tap({100, 160});
    EXPECT_EQ(t.rows->selected, (std::vector<IndexPath>{IndexPath::forRow(1, 0), IndexPath::forRow(3, 0)}));
    EXPECT_EQ(t.table->indexPathForSelectedRow(), IndexPath::forRow(3, 0));
    EXPECT_TRUE(t.table->cellForRowAtIndexPath(IndexPath::forRow(3, 0))->isSelected());
    EXPECT_FALSE(t.table->cellForRowAtIndexPath(IndexPath::forRow(1, 0))->isSelected());
    t.table->reloadData();
    EXPECT_EQ(t.table->indexPathForSelectedRow(), std::nullopt);
}
