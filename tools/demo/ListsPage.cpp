// The lists page: scrolling lists of the platform layer, each in a phone-sized panel of one
// window composited by the run loop:
// - a collection view of month sections caught mid-deceleration: a fling released, the clock
//   stepped 0.15 s, a month's header half under the top edge;
// - a value-1 table of events (a dot, the title, the time on the right, separators) scrolled
//   so that its first visible row is cut by the top edge;
// - a popover pointing up at a day of a month grid, holding such a table 300 points wide;
// - a navigation controller half-way through a push under a zoom animator, its bar showing
//   the month and its "Today" button (ControllerPanels.h).
// Panels are laid out two to a row; more panels add rows.

#include "ControllerPanels.h"
#include "Demo.h"

#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewFlowLayout.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TestDriver.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using gfx::Color;
using gfx::Rect;

constexpr double kScale = 2;
constexpr double kMargin = 24;
constexpr double kCaption = 24;
constexpr gfx::Size kPanel{340, 560};
constexpr int kColumns = 2;

const Color kInk = Color::rgb8(28, 28, 30);
const Color kRed = Color::rgb8(255, 59, 48);
const Color kGrey = Color::rgb8(142, 142, 147);

std::shared_ptr<ui::Label> label(const std::string& text, Rect frame, gfx::FontRef font, Color color = kInk) {
    auto l = ui::Label::make(frame);
    l->setText(text);
    l->setFont(std::move(font));
    l->setTextColor(color);
    return l;
}

// 0 = Sunday.
int weekdayOf(int year, int month, int day) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + t[month - 1] + day) % 7;
}

int daysIn(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// --- The month sections.

class DayCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(DayCell)
    static std::shared_ptr<DayCell> make(const Rect& frame) { return rt::create<DayCell>(frame); }
    std::shared_ptr<ui::Label> text = ui::Label::make();
    void layoutSubviews() override { text->setFrame(contentView()->bounds()); }

protected:
    DayCell() = default;
    void init(const Rect& frame) {
        ui::CollectionViewCell::init(frame);
        text->setTextAlignment(gfx::TextAlignment::center);
        contentView()->addSubview(text);
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(DayCell, ui::CollectionViewCell)

class MonthHeader : public ui::CollectionReusableView {
public:
    OLM_DECLARE_CLASS(MonthHeader)
    static std::shared_ptr<MonthHeader> make(const Rect& frame) { return rt::create<MonthHeader>(frame); }
    std::shared_ptr<ui::Label> text = label("", {}, gfx::Font::boldSystemFont(17));
    void layoutSubviews() override { text->setFrame(bounds().insetBy(12, 0)); }

protected:
    MonthHeader() = default;
    void init(const Rect& frame) {
        ui::CollectionReusableView::init(frame);
        setBackgroundColor(gfx::systemColors::systemBackground());
        addSubview(text);
    }
    friend class rt::Access;
};
OLM_DEFINE_CLASS(MonthHeader, ui::CollectionReusableView)

// Months from January 2027: a row of weekday letters and six weeks per section.
class Months : public ui::CollectionViewDataSource, public ui::CollectionViewDelegateFlowLayout {
public:
    // Where the content is to be `caughtAfter` milliseconds after the release (NaN: nowhere).
    double caughtAt = NAN;
    double caughtAfter = 150;
    long numberOfSectionsInCollectionView(ui::CollectionView&) override { return 12; }
    long collectionViewNumberOfItemsInSection(ui::CollectionView&, long) override { return 49; }
    std::shared_ptr<ui::CollectionViewCell> collectionViewCellForItemAtIndexPath(ui::CollectionView& cv,
                                                                                 const fnd::IndexPath& p) override {
        auto cell = std::dynamic_pointer_cast<DayCell>(cv.dequeueReusableCell("day", p));
        if (!cell) return nullptr;
        static const char* const letters[] = {"S", "M", "T", "W", "T", "F", "S"};
        const int month = static_cast<int>(p.section()) + 1;
        const int day = static_cast<int>(p.item()) - 7 - weekdayOf(2027, month, 1) + 1;
        if (p.item() < 7) {
            cell->text->setText(letters[p.item()]);
            cell->text->setFont(gfx::Font::systemFont(11, gfx::FontWeight::semibold));
            cell->text->setTextColor(kGrey);
        } else {
            cell->text->setText(day >= 1 && day <= daysIn(2027, month) ? std::to_string(day) : "");
            cell->text->setFont(gfx::Font::systemFont(16));
            cell->text->setTextColor(p.item() % 7 == 0 || p.item() % 7 == 6 ? kGrey : kInk);
        }
        return cell;
    }
    std::shared_ptr<ui::CollectionReusableView>
    collectionViewViewForSupplementaryElementOfKindAtIndexPath(ui::CollectionView& cv, std::string_view kind,
                                                               const fnd::IndexPath& p) override {
        static const char* const names[] = {"January", "February", "March",     "April",   "May",      "June",
                                            "July",    "August",   "September", "October", "November", "December"};
        auto header = std::dynamic_pointer_cast<MonthHeader>(cv.dequeueReusableSupplementaryView(kind, "month", p));
        if (header) header->text->setText(std::string(names[p.section() % 12]) + " 2027");
        return header;
    }
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(ui::CollectionView& cv, ui::CollectionViewLayout&,
                                                                       const fnd::IndexPath&) override {
        return gfx::Size{std::floor(cv.bounds().size.width / 7), 44};
    }
    // The fling's target: x(t) = x0 + (target - x0) (1 - r^t) passes `caughtAt` at `caughtAfter`.
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(ui::ScrollView& scroll, gfx::Point,
                                                                  gfx::Point* target) override {
        if (!std::isfinite(caughtAt)) return;
        const double x0 = scroll.contentOffset().y;
        target->y = x0 + (caughtAt - x0) / (1 - std::pow(ui::ScrollView::decelerationRate, caughtAfter));
    }
};

// --- The table.

class Events : public ui::TableViewDataSource {
public:
    gfx::ImageRef dots[3];
    long tableViewNumberOfRowsInSection(ui::TableView&, long) override { return 40; }
    std::shared_ptr<ui::TableViewCell> tableViewCellForRowAtIndexPath(ui::TableView& table,
                                                                      const fnd::IndexPath& p) override {
        static const char* const titles[] = {"Stand-up", "Design review", "Lunch with Ana", "Dentist",
                                             "Quarterly planning", "Gym", "Call with the bank", "Team dinner"};
        static const char* const times[] = {"09:00 AM - 10:00 AM", "10:30 AM - 11:00 AM", "12:00 PM - 01:00 PM",
                                            "02:15 PM - 03:00 PM", "all day"};
        auto cell = table.dequeueReusableCell("event");
        if (!cell) cell = ui::TableViewCell::make(ui::TableViewCellStyleValue1, "event");
        cell->imageView()->setImage(dots[p.row() % 3]);
        cell->textLabel()->setText(titles[p.row() % 8]);
        cell->detailTextLabel()->setText(p.row() == 0 ? times[0] : times[p.row() % 5]);
        return cell;
    }
};

gfx::ImageRef dot(Color color) {
    gfx::ImageRef image;
    gfx::beginImageContext({10, 10}, false, 0);
    if (gfx::GraphicsContext* c = gfx::currentContext()) {
        c->setFillColor(color);
        c->fillEllipseInRect({1, 1, 8, 8});
        image = gfx::imageFromCurrentImageContext();
    }
    gfx::endImageContext();
    return image;
}

// A panel: a caption over a clipped, rounded screen.
std::shared_ptr<ui::View> panel(ui::View& window, int index, const std::string& caption) {
    const double x = kMargin + (index % kColumns) * (kPanel.width + kMargin);
    const double y = kMargin + (index / kColumns) * (kPanel.height + kCaption + kMargin) + kCaption;
    window.addSubview(label(caption, {x, y - kCaption, kPanel.width, 18}, gfx::Font::boldSystemFont(13)));
    auto screen = ui::View::make({{x, y}, kPanel});
    screen->setBackgroundColor(gfx::systemColors::systemBackground());
    screen->setClipsToBounds(true);
    window.addSubview(screen);
    return screen;
}

std::vector<std::string> renderLists(const std::string& outDir) {
    const double savedScale = gfx::screenScale();
    gfx::setScreenScale(kScale);
    std::vector<std::string> written;
    {
        const int rows = 2;
        ui::TestDriver driver({kMargin + kColumns * (kPanel.width + kMargin),
                               kMargin + rows * (kPanel.height + kCaption + kMargin)});
        auto& window = *driver.window();
        window.setBackgroundColor(Color::rgb8(229, 229, 234));

        // Months, flung upward and caught 0.15 s after the release.
        auto months = std::make_shared<Months>();
        auto layout = ui::CollectionViewFlowLayout::make();
        layout->setMinimumInteritemSpacing(0);
        layout->setMinimumLineSpacing(0);
        layout->setHeaderReferenceSize({0, 40});
        auto grid = ui::CollectionView::make({{0, 0}, kPanel}, layout);
        grid->registerClass(&ui::CollectionReusableView::reusableClass<DayCell>(), "day");
        grid->registerClassForSupplementaryView(&ui::CollectionReusableView::reusableClass<MonthHeader>(),
                                                ui::CollectionElementKindSectionHeader, "month");
        grid->setDataSource(months);
        grid->setDelegate(months);
        panel(window, 0, "Collection view: month sections mid-deceleration")->addSubview(grid);

        auto events = std::make_shared<Events>();
        events->dots[0] = dot(Color::rgb8(0, 122, 255));
        events->dots[1] = dot(Color::rgb8(52, 199, 89));
        events->dots[2] = dot(Color::rgb8(255, 149, 0));
        auto table = ui::TableView::make({{0, 0}, kPanel});
        table->setDataSource(events);
        panel(window, 1, "Table view: value-1 rows, a row cut at the top")->addSubview(table);

        olm::demo::ControllerPanels controllers;
        olm::demo::showPopoverPanel(*panel(window, 2, "Popover: arrow up at a day, a table 300 wide"), controllers);
        olm::demo::showPushPanel(*panel(window, 3, "Navigation: a push half-way under a zoom animator"),
                                 controllers);
        driver.runUntilIdle();

        table->setContentOffset({0, 44 * 2 + 18});
        // The header of the second month (each month: 40 + 7 x 44) half under the top edge
        // when the frame is taken, 150 ms after the release.
        const double sectionHeight = 40 + 7 * 44;
        const double shown = 2 * sectionHeight + 20;
        const gfx::Point from = grid->convertPointToView({kPanel.width / 2, 420}, nullptr);
        const gfx::Point to = grid->convertPointToView({kPanel.width / 2, 120}, nullptr);
        grid->setContentOffset({0, sectionHeight});
        months->caughtAt = shown;
        driver.panAtSpeed(from, to, 1800, 6);
        // The popover shows from the release on (it would take the fling), and the push
        // starts in a turn at the release, so that the frame catches it half-way.
        olm::demo::start(controllers);
        driver.step(0);
        driver.step(0.15);

        const gfx::ImageRef frame = driver.frame();
        const std::string path = outDir + "/platform-lists.png";
        if (frame && frame->writePNG(path)) written.push_back(path);
        driver.runUntilIdle();
    }
    gfx::setScreenScale(savedScale);
    return written;
}

} // namespace

OLM_DEMO_PAGE("25-platform-lists", renderLists);
