// Lists at the size of a phone screen (390 x 844 points at scale 3), one thread:
// - the flow layout of 10,000 items (100 sections of 100, sizes from the delegate), prepared
//   again from scratch, plus the attributes of one screen;
// - one scrolling frame of a full-screen collection view of mini months (a year page of 12
//   drawn month grids with year headers): offset change, recycling, drawing of the months
//   that enter, compositing;
// - 1,200 sections of 7 + 42 label cells with headers (100 years of the flow view) made and
//   their first screen laid out, drawn and composited;
// - one scrolling frame of a 1,000-row value-1 table: offset change, recycling, drawing of
//   the rows that enter, compositing.
// Each reports the worst frame it saw (`worst_ms`) and the 99th percentile (`p99_ms`).

#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewFlowLayout.h"
#include "platform/ui/Compositor.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include "bench/FrameTiming.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace {

constexpr gfx::Size kScreen{390, 844};
constexpr double kScale = 3;

using bench::Percentile;
using bench::timeFrames;

void flush(ui::View& root) {
    root.layoutIfNeeded();
    root.layer()->displayTreeIfNeeded();
}

// A mini month: the month's name over a grid of seven weekday letters and its day numbers,
// drawn once into the backing store for each month it shows.
class MiniMonthCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(MiniMonthCell)
    static std::shared_ptr<MiniMonthCell> make(const gfx::Rect& frame) { return rt::create<MiniMonthCell>(frame); }
    bool drawsContent() const override { return true; }
    void applyLayoutAttributes(const ui::CollectionViewLayoutAttributesRef& a) override {
        const long month = a->indexPath().item();
        if (month != _month) {
            _month = month;
            setNeedsDisplay();
        }
    }
    void drawRect(const gfx::Rect&) override {
        static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        static const gfx::TextAttributes title{gfx::Font::systemFont(13, gfx::FontWeight::semibold),
                                               gfx::Color::rgba(1, 0.23, 0.19), std::nullopt};
        static const gfx::TextAttributes day{gfx::Font::systemFont(8), gfx::colors::black(), std::nullopt};
        gfx::drawAtPoint(names[_month % 12], {4, 2}, title);
        const double cw = bounds().width() / 7, ch = (bounds().height() - 22) / 7;
        const char* const letters[] = {"S", "M", "T", "W", "T", "F", "S"};
        for (int c = 0; c < 7; ++c)
            gfx::drawAtPoint(letters[c], {c * cw + 3, 22}, day);
        const int lead = static_cast<int>(_month * 3 % 7), days = 28 + static_cast<int>(_month * 5 % 4);
        for (int d = 1; d <= days; ++d) {
            const int i = lead + d - 1;
            gfx::drawAtPoint(std::to_string(d), {(i % 7) * cw + 3, 22 + (i / 7 + 1) * ch}, day);
        }
    }

protected:
    MiniMonthCell() = default;
    friend class rt::Access;

private:
    long _month = -1;
};
OLM_DEFINE_CLASS(MiniMonthCell, ui::CollectionViewCell)

// A view holding one label (a header, a day number, a weekday name).
class LabelCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(LabelCell)
    static std::shared_ptr<LabelCell> make(const gfx::Rect& frame) { return rt::create<LabelCell>(frame); }
    std::shared_ptr<ui::Label> label = ui::Label::make();
    void layoutSubviews() override { label->setFrame(contentView()->bounds()); }

protected:
    LabelCell() = default;
    void init(const gfx::Rect& frame) {
        ui::CollectionViewCell::init(frame);
        label->setTextAlignment(gfx::TextAlignment::center);
        contentView()->addSubview(label);
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(LabelCell, ui::CollectionViewCell)

class Header : public ui::CollectionReusableView {
public:
    OLM_DECLARE_CLASS(Header)
    static std::shared_ptr<Header> make(const gfx::Rect& frame) { return rt::create<Header>(frame); }
    std::shared_ptr<ui::Label> label = ui::Label::make();
    void layoutSubviews() override { label->setFrame(bounds().insetBy(8, 0)); }

protected:
    Header() = default;
    void init(const gfx::Rect& frame) {
        ui::CollectionReusableView::init(frame);
        addSubview(label);
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(Header, ui::CollectionReusableView)

// Sections of `items` items of the size given; cells of "cell", headers of "header" named
// after their section.
class Source : public ui::CollectionViewDataSource, public ui::CollectionViewDelegateFlowLayout {
public:
    long sections = 0, items = 0;
    std::function<gfx::Size(const fnd::IndexPath&)> size;
    long numberOfSectionsInCollectionView(ui::CollectionView&) override { return sections; }
    long collectionViewNumberOfItemsInSection(ui::CollectionView&, long) override { return items; }
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& cv,
                                                                                 const fnd::IndexPath& p) override {
        auto cell = cv.dequeueReusableCell("cell", p);
        if (auto* labelled = dynamic_cast<LabelCell*>(cell.get()))
            labelled->label->setText(p.item() < 7 ? "M" : std::to_string((p.item() - 7) % 31 + 1));
        return cell;
    }
    std::shared_ptr<ui::CollectionReusableView>
    collectionViewViewForSupplementaryElementOfKindAtIndexPath(ui::CollectionView& cv, std::string_view kind,
                                                               const fnd::IndexPath& p) override {
        auto header = cv.dequeueReusableSupplementaryView(kind, "header", p);
        if (auto* h = dynamic_cast<Header*>(header.get())) h->label->setText(std::to_string(2000 + p.section()));
        return header;
    }
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView&, ui::CollectionViewLayout&,
                                                                       const fnd::IndexPath& p) override {
        return size(p);
    }
};

struct Collection {
    std::shared_ptr<ui::View> root = ui::View::make({{0, 0}, kScreen});
    std::shared_ptr<ui::CollectionViewFlowLayout> layout = ui::CollectionViewFlowLayout::make();
    std::shared_ptr<Source> source = std::make_shared<Source>();
    std::shared_ptr<ui::CollectionView> cv;

    template <class CellClass>
    void build(long sections, long items, double spacing, double header) {
        root->setBackgroundColor(gfx::Color::white(1));
        layout->setMinimumInteritemSpacing(spacing);
        layout->setMinimumLineSpacing(spacing);
        layout->setHeaderReferenceSize({0, header});
        source->sections = sections;
        source->items = items;
        cv = ui::CollectionView::make({{0, 0}, kScreen}, layout);
        cv->registerClass(&ui::CollectionReusableView::reusableClass<CellClass>(), "cell");
        cv->registerClassForSupplementaryView(&ui::CollectionReusableView::reusableClass<Header>(),
                                              ui::CollectionElementKindSectionHeader, "header");
        cv->setDataSource(source);
        cv->setDelegate(source);
        root->addSubview(cv);
    }
};

void BM_FlowLayoutTenThousandItems(benchmark::State& state) {
    Collection c;
    c.source->size = [](const fnd::IndexPath& p) { return gfx::Size{40 + double(p.item() % 3) * 5, 50}; };
    c.build<LabelCell>(100, 100, 6, 26);
    const fnd::IndexPath first = fnd::IndexPath::forItem(0, 0);
    timeFrames(state, [&] {
        c.layout->invalidateLayout();
        benchmark::DoNotOptimize(c.cv->layoutAttributesForItemAtIndexPath(first));
        benchmark::DoNotOptimize(c.layout->layoutAttributesForElementsInRect({{0, 20000}, kScreen}));
    }, Percentile::p99);
}
BENCHMARK(BM_FlowLayoutTenThousandItems)->Unit(benchmark::kMillisecond);

void BM_CollectionScrollFrameMiniMonths(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    Collection c;
    // A year page: 12 months in 3 columns and 4 rows under a year header.
    c.source->size = [](const fnd::IndexPath&) { return gfx::Size{124, 196}; };
    c.build<MiniMonthCell>(100, 12, 6, 26);
    flush(*c.root);
    ui::Compositor compositor;
    compositor.renderFrame(*c.root->layer(), kScreen, kScale);
    double y = 0;
    timeFrames(state, [&] {
        y = std::fmod(y + 23, 40000);
        c.cv->setContentOffset({0, y});
        flush(*c.root);
        compositor.renderFrame(*c.root->layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }, Percentile::p99);
}
BENCHMARK(BM_CollectionScrollFrameMiniMonths)->Unit(benchmark::kMillisecond);

void BM_CollectionTwelveHundredSectionsFirstScreen(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    ui::Compositor compositor;
    timeFrames(state, [&] {
        Collection c;
        c.source->size = [](const fnd::IndexPath&) { return gfx::Size{55, 93}; };
        c.build<LabelCell>(1200, 49, -0.5, 22);
        flush(*c.root);
        compositor.renderFrame(*c.root->layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }, Percentile::p99);
}
BENCHMARK(BM_CollectionTwelveHundredSectionsFirstScreen)->Unit(benchmark::kMillisecond);

class Rows : public ui::TableViewDataSource {
public:
    gfx::ImageRef dot;
    long tableViewNumberOfRowsInSection(ui::TableView&, long) override { return 1000; }
    std::shared_ptr<ui::TableViewCell> tableViewCellForRowAtIndexPath(ui::TableView& table,
                                                                      const fnd::IndexPath& p) override {
        auto cell = table.dequeueReusableCell("cell");
        if (!cell) cell = ui::TableViewCell::make(ui::TableViewCellStyleValue1, "cell");
        cell->imageView()->setImage(dot);
        cell->textLabel()->setText("Event " + std::to_string(p.row()));
        cell->detailTextLabel()->setText("09:00 AM - 10:00 AM");
        return cell;
    }
};

void BM_TableScrollFrameThousandRows(benchmark::State& state) {
    gfx::setScreenScale(kScale);
    auto root = ui::View::make({{0, 0}, kScreen});
    auto rows = std::make_shared<Rows>();
    gfx::beginImageContext({8, 8}, false, 0);
    if (gfx::GraphicsContext* ctx = gfx::currentContext()) {
        ctx->setFillColor(gfx::Color::rgba(0, 0.48, 1));
        ctx->fillEllipseInRect({0, 0, 8, 8});
        rows->dot = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    auto table = ui::TableView::make({{0, 0}, kScreen});
    table->setBackgroundColor(gfx::Color::white(1));
    table->setDataSource(rows);
    root->addSubview(table);
    flush(*root);
    ui::Compositor compositor;
    compositor.renderFrame(*root->layer(), kScreen, kScale);
    double y = 0;
    timeFrames(state, [&] {
        y = std::fmod(y + 13, 40000);
        table->setContentOffset({0, y});
        flush(*root);
        compositor.renderFrame(*root->layer(), kScreen, kScale);
        benchmark::DoNotOptimize(compositor.pixels());
    }, Percentile::p99);
}
BENCHMARK(BM_TableScrollFrameThousandRows)->Unit(benchmark::kMillisecond);

} // namespace
