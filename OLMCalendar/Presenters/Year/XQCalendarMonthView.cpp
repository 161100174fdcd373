#include "OLMCalendar/Presenters/Year/XQCalendarMonthView.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"
#include "OLMCalendar/Presenters/Year/XQCalendarYearPresenter.h"
#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarMonthView, ui::View)

namespace {

constexpr long rowsDrawn = 8;   // the name, the weekday names, six weeks
constexpr long weeksDrawn = 6;
constexpr long todayFlag = 1, weekendFlag = 2;

} // namespace

void XQCalendarMonthView::init(const gfx::Rect& frame) {
    ui::View::init(frame);
    setBackgroundColor(gfx::colors::clear());
    layer()->setNeedsDisplayOnBoundsChange(true);
    setOpaque(true);
    _paragraphStyle.alignment = gfx::TextAlignment::center;
    _year = -1;
}

long XQCalendarMonthView::computeTodayIndex() const {
    auto calendar = owner();
    if (!calendar || !_date) return -1;
    const auto& cal = calendar->calendar();
    const fnd::Date now = fnd::Date::now();
    if (!cal->isDateEqualToDate(now, *_date, fnd::CalendarUnitMonth)) return -1;
    return cal->component(fnd::CalendarUnitDay, now) + _firstDayIndex - 1;
}

void XQCalendarMonthView::attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year,
                                             long month) {
    _owner = calendar ? rt::weakFrom(calendar) : std::weak_ptr<XQCalendar>();
    _presenter = presenter ? rt::weakFrom(presenter) : std::weak_ptr<XQCalendarYearPresenter>();
    const long look = presenter ? presenter->lookVersion() : -1;

    // The same month drawn with the same look: only a new today (after midnight) redraws.
    if (year == _year && month == _month && presenter == _drawnFor && look == _drawnLook) {
        const long today = computeTodayIndex();
        if (today != _todayIndex) {
            _todayIndex = today;
            setNeedsDisplay();
        }
        return;
    }
    _year = year;
    _month = month;
    _drawnFor = presenter;
    _drawnLook = look;
    _date.reset();
    _monthName.clear();
    _firstDayIndex = _lastDayIndex = 0;
    _todayIndex = -1;
    setNeedsDisplay();
    if (!calendar || !presenter) return;

    _date = presenter->firstDayOfMonth(year, month);
    if (!_date) return; // a blank item: this year has fewer months
    auto delegate = presenter->delegate();
    auto name = delegate ? delegate->calendarYearPresenterTextForYearMonth(*calendar, *presenter, year, month)
                         : std::nullopt;
    _monthName = name ? std::move(*name) : presenter->monthName(*_date);

    const auto& cal = calendar->calendar();
    const long weekday = cal->component(fnd::CalendarUnitWeekday, *_date);
    const long first = cal->firstWeekday();
    const long days = std::max(1L, calendar->daysInWeek());
    _firstDayIndex = weekday < first ? days + weekday - first : weekday - first;
    const long monthDays = cal->rangeOfUnit(fnd::CalendarUnitDay, fnd::CalendarUnitMonth, *_date).length;
    _lastDayIndex = monthDays + _firstDayIndex - 1;
    _todayIndex = computeTodayIndex();
}

void XQCalendarMonthView::drawRect(const gfx::Rect&) {
    auto calendar = owner();
    auto presenter = this->presenter();
    gfx::GraphicsContext* context = gfx::currentContext();
    if (!calendar || !presenter || !context || !_date) return;

    const gfx::Rect rect = bounds();
    const long columns = std::max(1L, calendar->daysInWeek());
    const double cellW = rect.size.width / static_cast<double>(columns);
    const double cellH = rect.size.height / rowsDrawn;
    auto delegate = presenter->delegate();
    const bool drawBackground = delegate && delegate->drawsBackgroundForDays();

    drawCell(*context, {0, 0, rect.size.width, cellH}, _monthName, monthNameCell);
    for (long i = 0; i < columns; ++i)
        drawCell(*context, {static_cast<double>(i) * cellW, cellH, cellW, cellH}, presenter->dayName(i), dayNameCell);
    for (long w = 0; w < weeksDrawn; ++w) {
        for (long j = 0; j < columns; ++j) {
            const long index = w * columns + j;
            if (index < _firstDayIndex || index > _lastDayIndex) continue;
            const long day = index - _firstDayIndex + 1;
            long flags = index == _todayIndex ? todayFlag : 0;
            if (calendar->isWeekend(j)) flags |= weekendFlag;
            const gfx::Rect cell{static_cast<double>(j) * cellW, static_cast<double>(w + 2) * cellH, cellW, cellH};
            if (drawBackground)
                delegate->calendarDrawBackgroundForYearMonthDateInRect(*calendar, _year, _month, day, cell);
            drawCell(*context, cell, fnd::stringWithFormat("%d", day), flags);
        }
    }
}

void XQCalendarMonthView::drawCell(gfx::GraphicsContext& context, const gfx::Rect& rect, const std::string& text,
                                   long style) {
    auto calendar = owner();
    auto presenter = this->presenter();
    if (!presenter) return;
    const XQCalendarYearPresenterStyle& look = *presenter->style();
    double x = rect.origin.x;
    gfx::TextAttributes attributes;
    attributes.paragraphStyle = _paragraphStyle;
    std::optional<gfx::TextAttributes> custom;
    std::string shown = text;

    switch (static_cast<int32_t>(style)) {
    case monthNameCell:
        attributes.foregroundColor = look.monthNameTextColor();
        attributes.font = look.monthNameFont();
        shown = textWithEffect(std::move(shown), look.monthNameTextEffect());
        attributes.paragraphStyle = gfx::ParagraphStyle{static_cast<gfx::TextAlignment>(look.monthNameTextAlignment())};
        x = rect.origin.x + 3;
        break;
    case dayNameCell:
        attributes.foregroundColor = look.dayNameTextColor();
        attributes.font = look.dayNameFont();
        shown = textWithEffect(std::move(shown), look.dayNameTextEffect());
        break;
    default:
        if (style & todayFlag) {
            attributes.foregroundColor = look.todayTextColor();
            if (const auto& shape = look.todayShape()) {
                XQShape::Drawings drawings;
                if (look.todayShapeFill()) drawings.push_back(look.todayShapeFill());
                if (look.todayShapeStroke()) drawings.push_back(look.todayShapeStroke());
                // The shape is shared with the style: it gets its own size back.
                const gfx::Size own = shape->size();
                const auto side = static_cast<double>(
                    std::min(static_cast<float>(rect.size.width), static_cast<float>(rect.size.height)));
                shape->setSize({side, side});
                shape->drawInContext(&context, {x + rect.size.width / 2, rect.origin.y + rect.size.height / 2 + 0.5},
                                     drawings);
                shape->setSize(own);
            }
        } else {
            attributes.foregroundColor = (style & weekendFlag) ? look.weekendTextColor() : look.dayTextColor();
        }
        attributes.font = look.dayFont();
        if (auto delegate = presenter->delegate(); delegate && calendar)
            custom = delegate->calendarTextAttributesForYearMonthDate(*calendar, _year, _month, std::atol(text.c_str()));
        break;
    }

    if (!attributes.font) return;
    if (custom) attributes = std::move(*custom);
    const gfx::Size size = gfx::sizeWithAttributes(shown, attributes);
    const double dy = (rect.size.height - size.height) / 2;
    gfx::drawInRect(context, gfx::AttributedString(shown, attributes),
                    {x, rect.origin.y + dy, rect.size.width, rect.size.height - dy});
}
