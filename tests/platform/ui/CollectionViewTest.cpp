#include "CollectionTestSupport.h"

#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TestDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

using namespace ui;
using namespace ui::test;

namespace ui::test {
OLM_DEFINE_CLASS(RecordingCell, CollectionViewCell)
OLM_DEFINE_CLASS(RecordingHeader, CollectionReusableView)
} // namespace ui::test

namespace {

using fnd::IndexPath;

// Counts invalidations and preparations; adds a decoration under everything whose
// attributes carry a note.
class NoteAttributes : public CollectionViewLayoutAttributes {
public:
    OLM_DECLARE_CLASS(NoteAttributes)
    std::string note;
    CollectionViewLayoutAttributesRef copy() const override {
        auto c = copyAs<NoteAttributes>();
        c->note = note;
        return c;
    }
    bool isEqual(const CollectionViewLayoutAttributes& other) const override {
        return CollectionViewLayoutAttributes::isEqual(other) && static_cast<const NoteAttributes&>(other).note == note;
    }

protected:
    NoteAttributes() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(NoteAttributes, CollectionViewLayoutAttributes)

class NoteView : public CollectionReusableView {
public:
    OLM_DECLARE_CLASS(NoteView)
    static std::shared_ptr<NoteView> make(const gfx::Rect& frame) { return rt::create<NoteView>(frame); }
    std::string note;
    void applyLayoutAttributes(const CollectionViewLayoutAttributesRef& a) override {
        if (const auto* n = dynamic_cast<const NoteAttributes*>(a.get())) note = n->note;
    }

protected:
    NoteView() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(NoteView, CollectionReusableView)

class CountingLayout : public CollectionViewFlowLayout {
public:
    OLM_DECLARE_CLASS(CountingLayout)
    static std::shared_ptr<CountingLayout> make() { return rt::create<CountingLayout>(); }
    int invalidations = 0;
    int preparations = 0;
    std::string note = "first";
    void invalidateLayout() override {
        CollectionViewFlowLayout::invalidateLayout();
        ++invalidations;
    }
    void prepareLayout() override {
        CollectionViewFlowLayout::prepareLayout();
        ++preparations;
    }
    std::vector<CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect& r) const override {
        auto all = CollectionViewFlowLayout::layoutAttributesForElementsInRect(r);
        if (decorated) {
            auto a = CollectionViewLayoutAttributes::layoutAttributesForDecorationView<NoteAttributes>(
                "note", IndexPath::withIndex(0));
            a->note = note;
            a->setFrame({0, 0, 50, 2000});
            all.push_back(a);
        }
        return all;
    }
    bool decorated = false;

protected:
    CountingLayout() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(CountingLayout, CollectionViewFlowLayout)

// Answers ten cells in section 0 and a header of section 5, whatever the counts say.
class OverreachingLayout : public CollectionViewLayout {
public:
    OLM_DECLARE_CLASS(OverreachingLayout)
    static std::shared_ptr<OverreachingLayout> make() { return rt::create<OverreachingLayout>(); }
    gfx::Size collectionViewContentSize() const override { return {100, 100}; }
    std::vector<CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect&) const override {
        std::vector<CollectionViewLayoutAttributesRef> all;
        for (long i = 0; i < 10; ++i) {
            auto a = CollectionViewLayoutAttributes::layoutAttributesForCell(IndexPath::forItem(i, 0));
            a->setFrame({0, i * 10.0, 10, 10});
            all.push_back(a);
        }
        auto h = CollectionViewLayoutAttributes::layoutAttributesForSupplementaryView(CollectionElementKindSectionHeader,
                                                                                      IndexPath::forItem(0, 5));
        h->setFrame({0, 0, 100, 5});
        all.push_back(h);
        return all;
    }

protected:
    OverreachingLayout() = default;
    friend class rt::Access;
};
OLM_DEFINE_CLASS(OverreachingLayout, CollectionViewLayout)

// A collection view in a window, with the flow metrics given.
struct Grid {
    TestDriver driver;
    std::shared_ptr<CountingLayout> layout = CountingLayout::make();
    std::shared_ptr<Source> source = std::make_shared<Source>();
    std::shared_ptr<CollectionView> cv;

    Grid(gfx::Size window, gfx::Rect frame, std::vector<long> items, gfx::Size itemSize, double spacing,
         double header, gfx::EdgeInsets inset = {})
        : driver(window) {
        layout->setMinimumInteritemSpacing(spacing);
        layout->setMinimumLineSpacing(spacing);
        layout->setHeaderReferenceSize({0, header});
        layout->setSectionInset(inset);
        layout->registerClass(&CollectionReusableView::reusableClass<NoteView>(), "note");
        source->items = std::move(items);
        source->size = itemSize;
        cv = CollectionView::make(frame, layout);
        cv->registerClass(&CollectionReusableView::reusableClass<RecordingCell>(), "cell");
        cv->registerClassForSupplementaryView(&CollectionReusableView::reusableClass<RecordingHeader>(),
                                              CollectionElementKindSectionHeader, "header");
        cv->setDataSource(source);
        cv->setDelegate(source);
        driver.window()->addSubview(cv);
        driver.runUntilIdle();
    }
    gfx::Rect frameOf(long item, long section) {
        return cv->layoutAttributesForItemAtIndexPath(IndexPath::forItem(item, section))->frame();
    }
    long headers() const {
        return std::count_if(cv->subviews().begin(), cv->subviews().end(),
                             [](const auto& v) { return dynamic_cast<RecordingHeader*>(v.get()) != nullptr; });
    }
};

// The year view: 310 wide, 97 x 124.5 months, spacings 6, header 26, top inset 10.
Grid yearGrid() {
    return Grid({320, 568}, {5, 5, 310, 558}, {12, 12, 12}, {97, 124.5}, 6, 26, {10, 0, 0, 0});
}

// The flow view at 390 x 844: 55 x 93 days, header 22, spacings -0.5.
Grid flowGrid(long sections) {
    return Grid({390, 844}, {0, 0, 390, 844}, std::vector<long>(static_cast<std::size_t>(sections), 49), {55, 93},
                -0.5, 22);
}

TEST(CollectionView, AReloadGivesEachItemBackTheCellThatShowedIt) {
    Grid g = flowGrid(2);
    std::map<fnd::IndexPath, CollectionViewCell*> before;
    for (const auto& cell : g.cv->visibleCells()) before[*g.cv->indexPathForCell(cell.get())] = cell.get();
    ASSERT_GT(before.size(), 40u); // more than the pool keeps otherwise
    const int made = RecordingCell::made;
    g.cv->reloadData();
    g.driver.runUntilIdle();
    EXPECT_EQ(RecordingCell::made, made);
    for (const auto& [path, cell] : before) EXPECT_EQ(g.cv->cellForItemAtIndexPath(path).get(), cell);
}

} // namespace

TEST(CollectionFlowLayout, YearAndFlowGeometry) {
    Grid year = yearGrid();
    EXPECT_EQ(year.frameOf(0, 0), (gfx::Rect{0, 36, 97, 124.5}));
    EXPECT_EQ(year.frameOf(1, 0).origin.x, 106.5);
    EXPECT_EQ(year.frameOf(2, 0).origin.x, 213);
    EXPECT_EQ(year.frameOf(3, 0).origin.y, 166.5);
    EXPECT_EQ(year.frameOf(6, 0).origin.y, 297);
    EXPECT_EQ(year.frameOf(9, 0).origin.y, 427.5);
    EXPECT_EQ(year.frameOf(0, 1).origin.y, 552 + 36);
    EXPECT_EQ(year.cv->contentSize(), (gfx::Size{310, 1656}));
    // Twelve months and the next year's header on the first screen; each frame was set
    // before the data source got its cell back.
    EXPECT_EQ(year.cv->visibleCells().size(), 12u);
    EXPECT_EQ(year.headers(), 2);
    EXPECT_EQ(year.source->framesAtDequeue.front(), (gfx::Rect{0, 36, 97, 124.5}));

    Grid flow = flowGrid(2);
    EXPECT_NEAR(flow.frameOf(1, 0).origin.x, 55 + 5.0 / 6, 1e-9);
    EXPECT_NEAR(flow.frameOf(6, 0).origin.x, 390 - 55, 1e-9);
    EXPECT_EQ(flow.frameOf(7, 0).origin, (gfx::Point{0, 22 + 92.5}));
    EXPECT_EQ(flow.frameOf(0, 1).origin.y, 670 + 22);
}

TEST(CollectionFlowLayout, LoneTooWideAndDegenerateItems) {
    Grid g({390, 844}, {0, 0, 390, 844}, {1}, {55, 93}, 10, 0, {0, 20, 0, 20});
    EXPECT_EQ(g.frameOf(0, 0).origin.x, 20 + (350 - 55) / 2.0);
    // Varying sizes: a too-wide item stands alone at the left inset.
    g.source->items = {3};
    g.source->size.reset();
    g.layout->setItemSize({500, 40});
    g.cv->reloadData();
    g.driver.runUntilIdle();
    EXPECT_EQ(g.frameOf(0, 0), (gfx::Rect{20, 0, 500, 40}));
    EXPECT_EQ(g.frameOf(2, 0).origin.y, 100);
    // Negative, NaN and infinite sizes count as 0; with a negative spacing every zero-width
    // item fits one line, and breaking still ends.
    for (const gfx::Size size : {gfx::Size{-6, -15}, gfx::Size{std::nan(""), 10},
                                 gfx::Size{std::numeric_limits<double>::infinity(), 10}}) {
        g.source->size = size;
        g.source->items = {1000};
        g.layout->setMinimumInteritemSpacing(-0.5);
        g.cv->reloadData();
        g.driver.runUntilIdle();
        EXPECT_EQ(g.frameOf(999, 0).size.width, 0);
        EXPECT_TRUE(g.cv->visibleCells().empty());
    }
}

TEST(CollectionView, ElementsOutsideTheCountsAreNeverAskedFor) {
    TestDriver driver({100, 100});
    auto source = std::make_shared<Source>();
    source->items = {3};
    auto cv = CollectionView::make({0, 0, 100, 100}, OverreachingLayout::make());
    cv->registerClass(&CollectionReusableView::reusableClass<RecordingCell>(), "cell");
    cv->setDataSource(source);
    driver.window()->addSubview(cv);
    driver.runUntilIdle();
    EXPECT_EQ(source->cellsAsked.size(), 3u);
    EXPECT_TRUE(source->headersAsked.empty());
    EXPECT_EQ(cv->layoutAttributesForItemAtIndexPath(IndexPath::forItem(5, 0)), nullptr);

    // Negative counts are 0; null cells and unregistered identifiers show nothing.
    source->items = {-4};
    cv->reloadData();
    driver.runUntilIdle();
    EXPECT_EQ(cv->numberOfItemsInSection(0), 0);
    source->items = {3};
    source->nullCells = true;
    cv->reloadData();
    driver.runUntilIdle();
    EXPECT_TRUE(cv->visibleCells().empty());
    EXPECT_EQ(cv->dequeueReusableCell("unknown", IndexPath::forItem(0, 0)), nullptr);
    cv->registerClass(nullptr, "cell");
    EXPECT_EQ(cv->dequeueReusableCell("cell", IndexPath::forItem(0, 0)), nullptr);
}

TEST(CollectionView, TwelveHundredSectionsScrollWithBoundedReuse) {
    const int madeBefore = RecordingCell::made, reusedBefore = RecordingCell::reusedTotal;
    Grid g = flowGrid(1200);
    long maxShown = 0;
    for (int step = 0; step < 120; ++step) {
        const auto before = g.cv->indexPathsForVisibleItems();
        const std::size_t asked = g.source->cellsAsked.size(), headersAsked = g.source->headersAsked.size();
        g.cv->setContentOffset({0, step * 331.0});
        g.driver.step();
        // Only entering items are asked for; at most the two headers that entered.
        for (std::size_t i = asked; i < g.source->cellsAsked.size(); ++i)
            EXPECT_FALSE(std::binary_search(before.begin(), before.end(), g.source->cellsAsked[i]));
        EXPECT_LE(g.source->headersAsked.size() - headersAsked, 2u);
        // One view per visible element, none shared.
        std::set<const View*> views;
        for (const auto& v : g.cv->subviews())
            views.insert(v.get());
        EXPECT_EQ(views.size(), g.cv->subviews().size());
        EXPECT_EQ(g.cv->visibleCells().size(), g.cv->subviews().size() - static_cast<std::size_t>(g.headers()));
        maxShown = std::max(maxShown, static_cast<long>(g.cv->subviews().size()));
    }
    // Every cell handed out was either made or reused once, and makings stay bounded by what
    // is shown at once plus the pool, however far the view scrolled.
    const int made = RecordingCell::made - madeBefore, reused = RecordingCell::reusedTotal - reusedBefore;
    EXPECT_EQ(static_cast<std::size_t>(made + reused), g.source->cellsAsked.size());
    EXPECT_LE(made, maxShown + 32);
    EXPECT_GT(reused, 1000);
}

TEST(CollectionView, InvalidationsReachTheLayoutOncePerPass) {
    Grid g = yearGrid();
    const int invalidations = g.layout->invalidations, preparations = g.layout->preparations;
    const int questions = g.source->sizeQuestions;
    // Scrolling invalidates nothing.
    g.cv->setContentOffset({0, 300});
    g.driver.runUntilIdle();
    EXPECT_EQ(g.layout->invalidations, invalidations);
    EXPECT_EQ(g.layout->preparations, preparations);

    // An explicit invalidation: one preparation, attributes applied again though equal.
    const auto cell = std::static_pointer_cast<RecordingCell>(g.cv->visibleCells().front());
    const int applies = cell->applies;
    g.layout->invalidateLayout();
    g.layout->invalidateLayout();
    g.driver.runUntilIdle();
    EXPECT_EQ(g.layout->preparations, preparations + 1);
    EXPECT_EQ(cell->applies, applies + 1);
    EXPECT_EQ(g.source->sizeQuestions, questions + 36);

    // A wider view breaks the lines again without asking the delegate; a taller one does nothing.
    g.cv->setFrame({5, 5, 400, 558});
    g.driver.runUntilIdle();
    EXPECT_EQ(g.layout->invalidations, invalidations + 3);
    EXPECT_EQ(g.source->sizeQuestions, questions + 36);
    EXPECT_EQ(g.frameOf(1, 0).origin.x, (400 - 97) / 2.0);
    g.cv->setFrame({5, 5, 400, 500});
    g.driver.runUntilIdle();
    EXPECT_EQ(g.layout->invalidations, invalidations + 3);

    // A reload asks again.
    g.cv->reloadData();
    g.driver.runUntilIdle();
    EXPECT_EQ(g.layout->invalidations, invalidations + 4);
    EXPECT_EQ(g.source->sizeQuestions, questions + 72);
}

TEST(CollectionView, DecorationsCarryTheirFieldsAndStackUnderCellsUnderHeaders) {
    Grid g = yearGrid();
    g.layout->decorated = true;
    g.layout->invalidateLayout();
    g.driver.runUntilIdle();
    const auto* note = dynamic_cast<NoteView*>(g.cv->subviews().front().get());
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->note, "first");
    EXPECT_NE(dynamic_cast<RecordingHeader*>(g.cv->subviews().back().get()), nullptr);
    EXPECT_NE(dynamic_cast<RecordingCell*>(g.cv->subviews()[1].get()), nullptr);
    g.layout->note = "second";
    g.layout->invalidateLayout();
    g.driver.runUntilIdle();
    EXPECT_EQ(note->note, "second");
}

TEST(CollectionView, SelectionFollowsTouchesUpTheResponderChain) {
    Grid g = yearGrid();
    // A subview inside the cell takes the touch; an ancestor's tap that lets touches through
    // fires as well.
    int taps = 0;
    auto tap = TapGestureRecognizer::make();
    tap->setCancelsTouchesInView(false);
    tap->addAction([&](GestureRecognizer&) { ++taps; });
    g.driver.window()->addGestureRecognizer(tap);
    const auto cell0 = g.cv->cellForItemAtIndexPath(IndexPath::forItem(0, 0));
    cell0->contentView()->addSubview(View::make({0, 0, 97, 124.5}));
    g.driver.tap({50, 100});
    EXPECT_EQ(taps, 1);
    EXPECT_TRUE(cell0->isSelected());

    // Single selection replaces; multiple toggles.
    g.driver.tap({150, 100});
    g.cv->setAllowsMultipleSelection(true);
    g.driver.tap({250, 100});
    g.driver.tap({150, 100});
    EXPECT_EQ(g.source->log, (std::vector<std::string>{"select 0.0", "deselect 0.0", "select 0.1", "select 0.2",
                                                        "deselect 0.1"}));
    EXPECT_EQ(g.cv->indexPathsForSelectedItems(), (std::vector<IndexPath>{IndexPath::forItem(2, 0)}));

    // Refused highlighting, a drag, a hidden cell and a touch that stops scrolling select nothing.
    g.source->log.clear();
    g.source->refuseHighlight = true;
    g.driver.tap({50, 300});
    g.source->refuseHighlight = false;
    g.driver.pan({50, 300}, {50, 200}, 0.2);
    g.driver.runUntilIdle();
    g.cv->setContentOffset({0, 0});
    g.driver.runUntilIdle();
    g.cv->cellForItemAtIndexPath(IndexPath::forItem(3, 0))->setHidden(true);
    g.driver.tap({50, 200});
    g.driver.panAtSpeed({150, 500}, {150, 300}, 1500);
    g.driver.step(0.05);
    g.driver.tap({150, 300});
    EXPECT_TRUE(g.source->log.empty());
}

TEST(CollectionView, ReloadInsideDidSelectKeepsTheSelectionThatStillExists) {
    Grid g = yearGrid();
    g.cv->setAllowsMultipleSelection(true);
    g.driver.tap({50, 100});
    g.source->onSelect = [&](CollectionView& cv, const IndexPath&) {
        g.source->items = {12, 12, 12};
        cv.reloadData();
    };
    g.driver.tap({150, 400});
    g.driver.runUntilIdle();
    EXPECT_EQ(g.cv->indexPathsForSelectedItems(),
              (std::vector<IndexPath>{IndexPath::forItem(0, 0), IndexPath::forItem(7, 0)}));
    EXPECT_TRUE(g.cv->cellForItemAtIndexPath(IndexPath::forItem(7, 0))->isSelected());
    g.source->onSelect = nullptr;
    g.source->items = {5, 12};
    g.cv->reloadData();
    g.driver.runUntilIdle();
    EXPECT_EQ(g.cv->indexPathsForSelectedItems(), (std::vector<IndexPath>{IndexPath::forItem(0, 0)}));
}

TEST(CollectionView, ADataSourceMayRemoveAndFreeTheViewWhileItIsAsked) {
    // The owner lets go of the view from the data source's first call, mid-pass, after
    // reloading and scrolling it.
    struct Dropper : Source {
        std::shared_ptr<CollectionViewCell> collectionViewCellForItemAtIndexPath(CollectionView& c,
                                                                                 const IndexPath& p) override {
            c.removeFromSuperview();
            c.reloadData();
            c.setContentOffset({0, 40});
            return Source::collectionViewCellForItemAtIndexPath(c, p);
        }
    };
    TestDriver driver({320, 568});
    auto dropper = std::make_shared<Dropper>();
    dropper->items = {12};
    std::weak_ptr<CollectionView> weak;
    {
        auto cv = CollectionView::make({0, 0, 320, 568}, CollectionViewFlowLayout::make());
        cv->registerClass(&CollectionReusableView::reusableClass<RecordingCell>(), "cell");
        cv->setDataSource(dropper);
        driver.window()->addSubview(cv);
        weak = cv;
    }
    EXPECT_TRUE(driver.runUntilIdle());
    EXPECT_TRUE(weak.expired());
    EXPECT_FALSE(dropper->cellsAsked.empty());
}

TEST(CollectionView, ASnapshotRightAfterAReloadShowsTheNewData) {
    Grid g = yearGrid();
    g.source->items = {3};
    g.source->cellsAsked.clear();
    g.cv->reloadData();
    EXPECT_TRUE(g.driver.snapshot());
    EXPECT_EQ(g.source->cellsAsked.size(), 3u);
    EXPECT_EQ(g.cv->visibleCells().size(), 3u);
}
