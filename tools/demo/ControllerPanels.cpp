#include "ControllerPanels.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

#include <string>

namespace olm::demo {

namespace {

using gfx::Color;
using gfx::Rect;
namespace sys = gfx::systemColors;

constexpr int kYear = 2026;
constexpr int kMonth = 12; // the month the panels show
constexpr int kToday = 15;
constexpr int kTapped = 16; // the day the popover points at
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

int daysIn(int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[month - 1]; // 2026 is not a leap year
}

// The weekday of the 1st, Sunday 0.
int firstWeekday(int month) {
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    const int y = month < 3 ? kYear - 1 : kYear;
    return (y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + 1) % 7;
}

gfx::TextAttributes text(gfx::FontRef font, Color color, gfx::TextAlignment alignment = gfx::TextAlignment::center) {
    return {std::move(font), color, gfx::ParagraphStyle{alignment, gfx::LineBreakMode::truncatingTail}};
}

// A month drawn small: its name over a grid of day numbers, today in red.
class MiniMonth : public ui::View {
public:
    OLM_DECLARE_CLASS(MiniMonth)
    static std::shared_ptr<MiniMonth> make(Rect frame, int month) { return rt::create<MiniMonth>(frame, month); }
    bool drawsContent() const override { return true; }
    void drawRect(const Rect&) override {
        const Rect b = bounds();
        gfx::drawInRect(kMonthNames[_month - 1], {b.minX(), b.minY(), b.width(), 16},
                        text(gfx::Font::boldSystemFont(12), _month == kMonth ? sys::systemRed() : sys::label(),
                             gfx::TextAlignment::left));
        const double w = b.width() / 7, h = (b.height() - 18) / 6;
        for (int day = 1; day <= daysIn(_month); ++day) {
            const int slot = firstWeekday(_month) + day - 1;
            const Rect cell{b.minX() + (slot % 7) * w, b.minY() + 18 + (slot / 7) * h, w, h};
            const bool today = _month == kMonth && day == kToday;
            if (today) {
                if (gfx::GraphicsContext* c = gfx::currentContext()) {
                    c->setFillColor(sys::systemRed());
                    const double d = std::min(w, h);
                    c->fillEllipseInRect({cell.midX() - d / 2, cell.midY() - d / 2, d, d});
                }
            }
            gfx::drawInRect(std::to_string(day), {cell.minX(), cell.midY() - 5, cell.width(), 10},
                            text(gfx::Font::systemFont(7), today ? Color::white(1) : sys::label()));
        }
    }

protected:
    MiniMonth() = default;
    void init(Rect frame, int month) {
        ui::View::init(frame);
        _month = month;
        setOpaque(false);
    }
    friend class rt::Access;

private:
    int _month = 1;
};

OLM_DEFINE_CLASS(MiniMonth, ui::View)

std::shared_ptr<ui::Label> label(const std::string& s, Rect frame, gfx::FontRef font, Color color) {
    auto l = ui::Label::make(frame);
    l->setText(s);
    l->setFont(std::move(font));
    l->setTextColor(color);
    l->setTextAlignment(gfx::TextAlignment::center);
    return l;
}

// A month as a grid of day cells under the weekday names, in `width`; answers the cell of
// `marked` through `markedCell`.
std::shared_ptr<ui::View> monthGrid(double width, int marked, std::shared_ptr<ui::View>* markedCell) {
    const double w = width / 7, h = 40;
    auto grid = ui::View::make({0, 0, width, 22 + 6 * h});
    const char* names[] = {"S", "M", "T", "W", "T", "F", "S"};
    for (int i = 0; i < 7; ++i)
        grid->addSubview(label(names[i], {i * w, 0, w, 18}, gfx::Font::systemFont(11), sys::secondaryLabel()));
    for (int day = 1; day <= daysIn(kMonth); ++day) {
        const int slot = firstWeekday(kMonth) + day - 1;
        auto cell = ui::View::make({(slot % 7) * w, 22 + (slot / 7) * h, w, h});
        const bool today = day == kToday;
        if (day == marked) {
            cell->setBackgroundColor(sys::systemFill());
            if (markedCell != nullptr) *markedCell = cell;
        }
        cell->addSubview(label(std::to_string(day), {0, 0, w, h},
                               today ? gfx::Font::boldSystemFont(16) : gfx::Font::systemFont(16),
                               today ? sys::systemRed() : sys::label()));
        grid->addSubview(cell);
    }
    return grid;
}

// A controller whose view is made by a function, with a title and a "Today" button.
class PageController : public ui::ViewController {
public:
    OLM_DECLARE_CLASS(PageController)
    static std::shared_ptr<PageController> make(Rect frame, std::string title, std::function<void(ui::View&)> fill) {
        return rt::create<PageController>(frame, std::move(title), std::move(fill));
    }
    void loadView() override { setView(ui::View::make(_frame)); }
    void viewDidLoad() override {
        view()->setBackgroundColor(sys::systemBackground());
        _fill(*view());
        navigationItem()->setTitle(_title);
        navigationItem()->setRightBarButtonItem(ui::BarButtonItem::make("Today"));
    }

protected:
    PageController() = default;
    void init(Rect frame, std::string title, std::function<void(ui::View&)> fill) {
        _frame = frame;
        _title = std::move(title);
        _fill = std::move(fill);
    }
    friend class rt::Access;

private:
    Rect _frame;
    std::string _title;
    std::function<void(ui::View&)> _fill;
};

OLM_DEFINE_CLASS(PageController, ui::ViewController)

// The zoom of the ready-made navigation: the pushed view grows out of `rect` (in the
// container) while the old view grows fourfold about it and fades.
class ZoomAnimator : public ui::ViewControllerAnimatedTransitioning,
                     public ui::NavigationControllerDelegate,
                     public std::enable_shared_from_this<ZoomAnimator> {
public:
    explicit ZoomAnimator(Rect rect) : _rect(rect) {}

    double transitionDuration(const ui::TransitionContextRef&) override { return pushDuration; }

    void animateTransition(const ui::TransitionContextRef& context) override {
        const auto container = context->containerView();
        const auto from = context->viewForKey(ui::TransitionContextFromViewKey);
        const auto to = context->viewForKey(ui::TransitionContextToViewKey);
        container->setBackgroundColor(sys::systemBackground());
        container->addSubview(to);
        const Rect b = from->bounds();
        const double tx = _rect.midX() - b.midX(), ty = _rect.midY() - b.midY();
        to->setTransform(gfx::AffineTransform::makeTranslation(tx, ty).scale(_rect.width() / b.width(),
                                                                               _rect.height() / b.height()));
        ui::View::animateWithDuration(0.8 * pushDuration, [&] {
            from->setTransform(gfx::AffineTransform::makeTranslation(-3 * tx, -3 * ty).scale(4, 4));
            from->setAlpha(0);
        });
        ui::View::animateWithDuration(
            pushDuration, 0, ui::ViewAnimationOptionLayoutSubviews,
            [&] { to->setTransform(gfx::AffineTransform::identity()); },
            [context, from](bool) {
                from->setAlpha(1);
                from->setTransform(gfx::AffineTransform::identity());
                context->completeTransition(!context->transitionWasCancelled());
            });
    }

    std::shared_ptr<ui::ViewControllerAnimatedTransitioning> navigationControllerAnimationControllerForOperation(
        ui::NavigationController&, ui::NavigationControllerOperation, ui::ViewController&,
        ui::ViewController&) override {
        return shared_from_this();
    }

private:
    Rect _rect;
};

// The tapped day's events, as the month view lists them: a dot of the event's colour, the
// title, and the times at the right.
class EventRows : public ui::TableViewDataSource {
public:
    long tableViewNumberOfRowsInSection(ui::TableView&, long) override { return long(std::size(kEvents)); }
    std::shared_ptr<ui::TableViewCell> tableViewCellForRowAtIndexPath(ui::TableView& table,
                                                                      const fnd::IndexPath& path) override {
        std::shared_ptr<ui::TableViewCell> cell = table.dequeueReusableCell("cell");
        if (!cell) cell = ui::TableViewCell::make(ui::TableViewCellStyleValue1, "cell");
        const Event& e = kEvents[path.row()];
        cell->setSelectionStyle(ui::TableViewCellSelectionStyleNone);
        cell->setBackgroundColor(sys::secondarySystemBackground());
        cell->textLabel()->setText(e.title);
        cell->textLabel()->setFont(gfx::Font::systemFont(16));
        cell->detailTextLabel()->setText(e.time);
        cell->detailTextLabel()->setFont(gfx::Font::systemFont(12));
        cell->imageView()->setImage(dot(e.color));
        return cell;
    }

private:
    struct Event {
        const char* title;
        const char* time;
        Color color;
    };
    static constexpr Event kEvents[] = {{"Design review", "09:00 AM - 10:00 AM", sys::systemBlue()},
                                        {"Lunch with Ana", "12:30 PM - 01:30 PM", sys::systemOrange()},
                                        {"Release", "all day", sys::systemGreen()}};

    static gfx::ImageRef dot(Color color) {
        gfx::beginImageContext({8, 8}, false, 0);
        gfx::ImageRef image;
        if (gfx::GraphicsContext* c = gfx::currentContext()) {
            c->setFillColor(color);
            c->fillEllipseInRect({0, 0, 8, 8});
            image = gfx::imageFromCurrentImageContext();
        }
        gfx::endImageContext();
        return image;
    }
};

} // namespace

void showPopoverPanel(ui::View& card, ControllerPanels& panels) {
    const double width = card.bounds().width();
    std::shared_ptr<ui::View> cell;
    auto grid = monthGrid(width - 20, kTapped, &cell);
    grid->setFrame({10, 34, width - 20, grid->frame().height()});
    card.addSubview(label(std::string(kMonthNames[kMonth - 1]) + " " + std::to_string(kYear), {0, 6, width, 24},
                          gfx::Font::boldSystemFont(17), sys::label()));
    card.addSubview(grid);

    // Three rows in a list at most 130 high: the last one is cut.
    const gfx::Size size{300, 130};
    auto events = std::make_shared<EventRows>();
    panels.events = events;
    auto table = ui::TableView::make({{0, 0}, size});
    table->setBackgroundColor(sys::secondarySystemBackground());
    table->setDataSource(events);
    auto content = ui::ViewController::make();
    content->view()->addSubview(table);
    panels.popover = ui::PopoverController::make(content);
    panels.popover->setPopoverContentSize(size);
    panels.popover->setBackgroundColor(sys::secondarySystemBackground());
    panels.anchor = cell;
    // The table fills the content view, which the popover sizes to the body.
    content->view()->setFrame({{0, 0}, size});
    table->setAutoresizingMask(ui::ViewAutoresizingFlexibleWidth | ui::ViewAutoresizingFlexibleHeight);
}

void showPushPanel(ui::View& card, ControllerPanels& panels) {
    const Rect bounds = card.bounds();
    const Rect page{0, 0, bounds.width(), bounds.height() - ui::NavigationBar::height};
    // Twelve mini months, three a row.
    const double gap = 10, w = (page.width() - 4 * gap) / 3, h = (page.height() - 5 * gap) / 4;
    const auto monthRect = [&](int month) {
        return Rect{gap + ((month - 1) % 3) * (w + gap), gap + ((month - 1) / 3) * (h + gap), w, h};
    };
    auto year = PageController::make(page, std::to_string(kYear), [&](ui::View& view) {
        for (int month = 1; month <= 12; ++month)
            view.addSubview(MiniMonth::make(monthRect(month), month));
    });
    auto month = PageController::make(page, kMonthNames[kMonth - 1], [](ui::View& view) {
        const double width = view.bounds().width();
        view.addSubview(label(std::string(kMonthNames[kMonth - 1]) + " " + std::to_string(kYear), {0, 12, width, 24},
                              gfx::Font::boldSystemFont(20), sys::systemRed()));
        auto grid = monthGrid(width - 20, 0, nullptr);
        grid->setFrame({10, 48, width - 20, grid->frame().height()});
        view.addSubview(grid);
    });
    panels.navigation = ui::NavigationController::make(year);
    auto zoom = std::make_shared<ZoomAnimator>(monthRect(kMonth));
    panels.zoom = zoom;
    panels.navigation->setDelegate(zoom);
    const std::shared_ptr<ui::View>& view = panels.navigation->view();
    view->setFrame(bounds);
    card.addSubview(view);
    panels.month = month;
}

void start(ControllerPanels& panels) {
    if (panels.popover && panels.anchor)
        panels.popover->presentPopoverFromRect(panels.anchor->bounds(), panels.anchor.get(),
                                               ui::PopoverArrowDirectionUp, false);
    if (panels.navigation) panels.navigation->pushViewController(panels.month, true);
}

} // namespace olm::demo
