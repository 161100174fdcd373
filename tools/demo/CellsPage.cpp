// The cells sheet: day cells in every state, events drawn as shapes and as text, weekday
// names for three first weekdays and locales, week numbers, a title and the month title in
// its three layouts, each labelled, styled by a small theme of the page's own.

#include "Demo.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayNameCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarMonthTitleCell.h"
#include "OLMCalendar/Presenters/Month/Cells/XQCalendarWeekNumberCell.h"
#include "OLMCalendar/Presenters/XQCalendarPresenterBase.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCalendar/XQCalendarEvent.h"
#include "OLMCore/XQDateRange.h"
#include "platform/foundation/ProcessDefaults.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <functional>
#include <map>
#include <string>

namespace {

using namespace gfx;
namespace sc = systemColors;

constexpr double kScale = 2;
constexpr double kWidth = 760;
constexpr double kMargin = 20;
constexpr Size kDay{64, 60};

// A presenter that asks for upper-case weekday and month names.
class UppercasePresenter : public XQCalendarPresenterBase {
public:
    OLM_DECLARE_CLASS(UppercasePresenter)
    static std::shared_ptr<UppercasePresenter> make(const Rect& frame) {
        return rt::create<UppercasePresenter>(frame);
    }
    XQCalendarTextEffect dayNameTextEffect() const override { return XQCalendarTextEffectUppercase; }
    XQCalendarTextEffect monthNameTextEffect() const override { return XQCalendarTextEffectUppercase; }

protected:
    friend struct rt::Access;
    UppercasePresenter() = default;
};

// The look of the default month view, for the cells of this page.
std::shared_ptr<XQTheme> pageTheme() {
    auto theme = XQTheme::make();
    const rt::Class& day = XQCalendarDayCell::staticClass();
    const auto circle = XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeEllipse, {});
    const auto clearFill = XQSolidFill::solidFillWithColor(colors::clear());
    theme->addStyleGroupWithClass(day, {{"shape", rt::Value::null()},
                                        {"textColor", sc::systemGray2()},
                                        {"textFont", Font::systemFont(19)}});
    theme->addStyleGroupWithClassState(day, 4, {{"textColor", sc::label()}});
    theme->addStyleGroupWithClassState(day, 6, {{"textColor", sc::systemGray()}});
    theme->addStyleGroupWithClassState(day, 1, {{"textColor", sc::systemBlue()}, {"textFont", Font::boldSystemFont(19)}});
    for (long range : {128L, 32L, 64L})
        theme->addStyleGroupWithClassState(day, range,
                                           {{"textColor", sc::label()}, {"shape", circle}, {"shapeFill", clearFill}});
    theme->addStyleGroupWithClassState(day, 16, {{"textColor", sc::systemBackground()},
                                                 {"shape", circle},
                                                 {"shapeFill", XQSolidFill::solidFillWithColor(sc::label())}});
    theme->addStyleGroupWithClassState(day, 17, {{"shapeFill", XQSolidFill::solidFillWithColor(sc::systemBlue())}});
    theme->addStyleGroupWithClassState(day, 256, {{"textColor", sc::systemGray2()}});
    const rt::Value none = rt::Value::null();
    theme->addStyleGroupWithClass(XQCalendarDayNameCell::staticClass(), {{"textColor", sc::systemGray2()},
                                                                         {"textFont", Font::systemFont(11)},
                                                                         {"topBorderColor", none},
                                                                         {"bottomBorderColor", none}});
    theme->addStyleGroupWithClass(XQCalendarWeekNumberCell::staticClass(),
                                  {{"textColor", sc::systemGray2()}, {"textFont", Font::systemFont(11)}});
    theme->addStyleGroupWithClass(XQCalendarTitleCell::staticClass(), {{"textColor", sc::label()},
                                                                       {"textFont", Font::systemFont(17)},
                                                                       {"topBorderColor", none},
                                                                       {"bottomBorderColor", none}});
    return theme;
}

// Answers each day's events from a table; the delegate draws events with shapes of its own.
class PageData : public XQCalendarDataSource, public XQCalendarDelegate {
public:
    std::map<long, XQCalendarEvents> byDay; // by day of December
    bool customShapes = false;

    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar& calendar, const fnd::Date& date) override {
        if (calendar.calendar()->component(fnd::CalendarUnitMonth, date) != 12) return XQCalendarEvents{};
        return byDay[calendar.calendar()->component(fnd::CalendarUnitDay, date)];
    }
    std::optional<std::shared_ptr<XQShape>> calendarShapeForEvent(XQCalendar&, const XQCalendarEventRef& e) override {
        if (!customShapes) return std::nullopt;
        if (e->title() == "square") return XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeRectangle, {6, 6});
        if (e->title() == "diamond") return XQPredefinedShape::shapeWithType(XQPredefinedShapeTypeDiamond, {8, 8});
        return std::nullopt;
    }
};

fnd::Date december(long day, long hour = 0) {
    fnd::DateComponents c;
    c.year = 2026;
    c.month = 12;
    c.day = day;
    c.hour = hour;
    return *fnd::Calendar::current()->dateFromComponents(c);
}

XQCalendarEventRef makeEvent(std::string title, long firstDay, long lastDay, Color color, bool allDay, long hour = 9) {
    auto e = XQCalendarEvent::make();
    e->setTitle(std::move(title));
    e->setStartDate(december(firstDay, allDay ? 0 : hour));
    e->setEndDate(december(lastDay, allDay ? 23 : hour + 1));
    e->setEventColor(color);
    e->setAllDay(allDay);
    return e;
}

class Sheet {
public:
    Sheet() : _root(ui::View::make({0, 0, kWidth, 10})) { _root->setBackgroundColor(colors::white()); }

    // A section heading; the items of the section follow below it.
    void heading(const std::string& text) {
        if (_rowHeight > 0) newRow();
        _y += 14;
        label(text, {kMargin, _y, kWidth - 2 * kMargin, 22}, Font::boldSystemFont(15), colors::black());
        _y += 28;
        _x = kMargin;
    }
    // Places a view of `size` with a caption above it, left to right; `gap` after it.
    void item(const std::string& caption, const std::shared_ptr<ui::View>& view, Size size, double gap = 14) {
        if (_x + size.width > kWidth - kMargin) newRow();
        if (!caption.empty())
            label(caption, {_x, _y, std::max(size.width, 60.0) + gap - 4, 14}, Font::systemFont(10), colors::darkGray());
        view->setFrame({_x, _y + 16, size.width, size.height});
        _root->addSubview(view);
        _x += size.width + gap;
        _rowHeight = std::max(_rowHeight, size.height + 16);
    }
    void newRow() {
        _y += _rowHeight + 12;
        _x = kMargin;
        _rowHeight = 0;
    }

    ImageRef render() {
        newRow();
        _root->setFrame({0, 0, kWidth, _y + kMargin});
        beginImageContext(_root->bounds().size, true, kScale);
        ImageRef image;
        if (GraphicsContext* c = currentContext()) {
            _root->layer()->renderInContext(*c);
            image = imageFromCurrentImageContext();
        }
        endImageContext();
        return image;
    }

private:
    void label(const std::string& text, const Rect& frame, FontRef font, Color color) {
        auto l = ui::Label::make(frame);
        l->setText(text);
        l->setFont(std::move(font));
        l->setTextColor(color);
        _root->addSubview(l);
    }

    std::shared_ptr<ui::View> _root;
    double _x = kMargin;
    double _y = 0;
    double _rowHeight = 0;
};

std::vector<std::string> renderCellsSheet(const std::string& outDir) {
    fnd::ScopedDefaults restore;
    fnd::Locale::setCurrent(fnd::Locale("en_US"));
    fnd::TimeZone::setDefaultTimeZone(*fnd::TimeZone::named("America/New_York"));
    fnd::Clock::setFixedNow(december(15, 10));

    const auto theme = pageTheme();
    auto data = std::make_shared<PageData>();
    auto makeCalendar = [&](XQCalendarSelectionMode mode) {
        auto calendar = XQCalendar::make(Rect{0, 0, 320, 400});
        calendar->setTheme(theme);
        calendar->setDataSource(data);
        calendar->setDelegate(data);
        calendar->setSelectionMode(mode);
        return calendar;
    };
    auto dayCell = [&](const std::shared_ptr<XQCalendar>& calendar, const fnd::Date& date,
                       const std::function<void(XQCalendarDayCellStyle&)>& configure = {}) {
        auto cell = XQCalendarDayCell::make({{0, 0}, kDay});
        if (configure) configure(cell->style());
        cell->attachWithCalendar(calendar.get(), date);
        return cell;
    };

    Sheet sheet;
    // --- States.
    sheet.heading("Day cells by state (December 2026, today the 15th)");
    auto single = makeCalendar(XQCalendarSelectionModeSingle);
    single->setSelectedDate(december(10));
    single->setMaxDate(december(28));
    auto selectedToday = makeCalendar(XQCalendarSelectionModeSingle);
    selectedToday->setSelectedDate(december(15));
    const std::pair<const char*, fnd::Date> states[] = {
        {"another month", december(-1)}, {"current month", december(3)}, {"weekend", december(5)},
        {"today", december(15)},         {"selected", december(10)},     {"out of range", december(30)}};
    for (const auto& [caption, date] : states)
        sheet.item(caption, dayCell(single, date), kDay);
    sheet.item("selected today", dayCell(selectedToday, december(15)), kDay);
    sheet.newRow();
    auto range = makeCalendar(XQCalendarSelectionModeRange);
    range->setSelectedDatesRange(XQDateRange::make(december(21), december(23)));
    sheet.item("range: first", dayCell(range, december(21)), kDay, 0);
    sheet.item("middle", dayCell(range, december(22)), kDay, 0);
    sheet.item("last", dayCell(range, december(23)), kDay, 0);

    // --- Events as shapes.
    sheet.heading("Events as shapes");
    const Color palette[] = {sc::systemRed(), sc::systemGreen(), sc::systemBlue(), sc::systemOrange(),
                             sc::systemPurple()};
    for (int i = 0; i < 5; ++i) {
        data->byDay[1].push_back(makeEvent("event", 1, 1, palette[i], false, 8 + i));
        if (i < 3) data->byDay[2].push_back(makeEvent("event", 2, 2, palette[i], false, 8 + i));
    }
    data->byDay[4] = {makeEvent("square", 4, 4, palette[0], false), makeEvent("diamond", 4, 4, palette[2], false),
                      makeEvent("dot", 4, 4, palette[1], false)};
    auto shapes = makeCalendar(XQCalendarSelectionModeSingle);
    sheet.item("horizontal", dayCell(shapes, december(2)), kDay);
    sheet.item("vertical", dayCell(shapes, december(2), [](auto& s) {
                   s.setEventOrientation(XQCalendarEventOrientationVertical);
                   s.setEventAlignment(XQCalendarCellAlignmentRight | XQCalendarCellAlignmentBottom);
               }), kDay);
    sheet.item("stretched, 4 of 5", dayCell(shapes, december(1), [](auto& s) {
                   s.setStretchEvents(true);
                   s.setMaxEventsCount(4);
               }), kDay);
    sheet.item("maximum 2 of 5", dayCell(shapes, december(1), [](auto& s) { s.setMaxEventsCount(2); }), kDay);
    data->customShapes = true;
    sheet.item("delegate shapes", dayCell(shapes, december(4)), kDay);
    data->customShapes = false;

    // --- Events as text.
    sheet.heading("Events as text");
    const Size textDay{104, 110};
    data->byDay[7] = {makeEvent("Offsite", 7, 9, sc::systemTeal(), true), makeEvent("Stand-up", 7, 7, palette[0], false)};
    data->byDay[8] = {makeEvent("Offsite", 7, 9, sc::systemTeal(), true), makeEvent("Review", 8, 8, palette[2], false)};
    data->byDay[9] = {makeEvent("Offsite", 7, 9, sc::systemTeal(), true)};
    data->byDay[11] = {makeEvent("Dentist", 11, 11, palette[0], false, 8),
                       makeEvent("Lunch with Ana", 11, 11, palette[1], false, 12),
                       makeEvent("Gym", 11, 11, palette[3], false, 18)};
    data->byDay[14] = {makeEvent("Quarterly planning with the whole product team", 14, 14, palette[4], false)};
    for (int i = 0; i < 6; ++i)
        data->byDay[16].push_back(makeEvent("Call " + std::to_string(i + 1), 16, 16, palette[i % 5], false, 8 + i));
    // Text cells put the day number in the top right corner and the events below it.
    auto asText = [](XQCalendarDayCellStyle& s) {
        s.setDisplayEventsAsText(true);
        s.setTextAlignment(XQCalendarCellAlignmentRight | XQCalendarCellAlignmentTop);
        s.setTextInsets({2, 4, 0, 6});
        s.setEventInsets({28, 2, 4, 2});
    };
    auto texts = makeCalendar(XQCalendarSelectionModeSingle);
    sheet.item("all day, Mon", dayCell(texts, december(7), asText), textDay, 0);
    sheet.item("Tue", dayCell(texts, december(8), asText), textDay, 0);
    sheet.item("Wed", dayCell(texts, december(9), asText), textDay, 14);
    sheet.item("timed bullets", dayCell(texts, december(11), asText), textDay);
    sheet.newRow();
    sheet.item("wrapped text", dayCell(texts, december(14), [&](auto& s) {
                   asText(s);
                   s.setWrapEventText(true);
               }), textDay);
    sheet.item("\"more\" line", dayCell(texts, december(16), asText), textDay);
    sheet.item("\"more\", maximum 2", dayCell(texts, december(16), [&](auto& s) {
                   asText(s);
                   s.setMaxEventsCount(2);
               }), {textDay.width, 150});

    // --- Weekday names.
    sheet.heading("Weekday names");
    XQCalendar::registerPresenterClass<UppercasePresenter>(XQCalendarViewModeWeek);
    const struct {
        const char* caption;
        const char* locale;
        long firstWeekday;
        double width; // of one name (Arabic short names are whole words)
    } weeks[] = {{"en_US, first weekday 1", "en_US", 1, 32}, {"de_DE, first weekday 2", "de_DE", 2, 32},
                 {"ar_EG, first weekday 7", "ar_EG", 7, 50}};
    for (bool upper : {false, true}) {
        for (const auto& week : weeks) {
            auto calendar = makeCalendar(XQCalendarSelectionModeSingle);
            calendar->setLocale(fnd::Locale(week.locale));
            calendar->calendar()->setFirstWeekday(week.firstWeekday);
            if (upper) calendar->setViewMode(XQCalendarViewModeWeek);
            auto row = ui::View::make({0, 0, 7 * week.width, 20});
            for (long i = 0; i < 7; ++i) {
                auto name = XQCalendarDayNameCell::make({i * week.width, 0, week.width, 20});
                name->attachWithCalendar(calendar.get(), i);
                row->addSubview(name);
            }
            sheet.item(std::string(week.caption) + (upper ? ", upper case" : ""), row, {7 * week.width, 20}, 16);
        }
        sheet.newRow();
    }
    XQCalendar::registerPresenterClass(XQCalendarViewModeWeek, XQCalendarPresenterBase::staticClass());

    // --- Week numbers and titles.
    sheet.heading("Week numbers and titles");
    auto plain = makeCalendar(XQCalendarSelectionModeSingle);
    for (long number : {49L, 50L, 53L}) {
        auto cell = XQCalendarWeekNumberCell::make();
        cell->attachWithCalendar(plain.get(), number);
        sheet.item("week " + std::to_string(number), cell, {24, kDay.height}, 40);
    }
    auto title = XQCalendarTitleCell::make();
    title->attachWithCalendar(plain.get(), "December 2026");
    sheet.item("title cell", title, {200, 30});
    sheet.newRow();
    for (long mode : {0L, 1L, 2L}) {
        auto cell = XQCalendarMonthTitleCell::make({0, 0, 320, 40});
        cell->setLayoutMode(mode);
        cell->attachWithCalendar(plain.get(), "December 2026");
        sheet.item("month title, layout mode " + std::to_string(mode), cell, {320, 40}, mode == 1 ? 40 : 20);
    }

    const ImageRef image = sheet.render();
    const std::string path = outDir + "/cells.png";
    if (!image || !image->writePNG(path)) return {};
    return {path};
}

} // namespace

OLM_DEFINE_CLASS(UppercasePresenter, XQCalendarPresenterBase)

OLM_DEMO_PAGE("30-cells", renderCellsSheet);
