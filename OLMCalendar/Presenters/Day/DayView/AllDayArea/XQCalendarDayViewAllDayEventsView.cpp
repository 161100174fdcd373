#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsView.h"

#include "OLMCalendar/Presenters/Day/DayView/AllDayArea/XQCalendarDayViewAllDayEventsViewLayout.h"

#include "platform/graphics/SystemColors.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarDayViewAllDayEventsView, ui::View)

namespace {

// The caption's colour, and the strip's background on every system.
constexpr gfx::Color captionColor = gfx::Color::rgba(0.25, 0.3, 0.52);
constexpr gfx::Color stripColor = gfx::Color::rgba(0.66, 0.81, 0.93);

} // namespace

void XQCalendarDayViewAllDayEventsView::init() {
    ui::View::init(gfx::Rect::zero());
    _style = XQCalendarDayViewAllDayEventsViewStyle::make();
    setBackgroundColor(stripColor);
    _eventsView = createEventsView();
    addSubview(_eventsView);
    _label = createLabelView();
    addSubview(_label);
}

std::shared_ptr<ui::CollectionView> XQCalendarDayViewAllDayEventsView::createEventsView() {
    auto view = ui::CollectionView::make(gfx::Rect::zero(), XQCalendarDayViewAllDayEventsViewLayout::make());
    view->setBackgroundColor(gfx::colors::clear());
    return view;
}

std::shared_ptr<ui::Label> XQCalendarDayViewAllDayEventsView::createLabelView() {
    auto label = ui::Label::make();
    label->setText("ALL-DAY");
    label->setFont(gfx::Font::systemFont(10, gfx::FontWeight::medium));
    label->setTextColor(captionColor);
    label->setTextAlignment(gfx::TextAlignment::right);
    return label;
}

void XQCalendarDayViewAllDayEventsView::attachWithEvents(XQCalendarEvents events, const std::optional<fnd::Date>& date) {
    _events = std::move(events);
    _date = date;
    _eventsView->reloadData();
    setNeedsLayout();
}

long XQCalendarDayViewAllDayEventsView::lineCount(long count, long perRow) {
    if (count <= 0) return 0;
    const long k = std::max(1L, perRow);
    const long odd = count % 2;
    return (count - odd + k - 1) / k + odd;
}

gfx::Size XQCalendarDayViewAllDayEventsView::sizeThatFits(gfx::Size size) const {
    const long n = static_cast<long>(_events.size());
    if (n == 0) {
        _height = 0;
        return {};
    }
    const XQCalendarDayViewAllDayEventsViewStyle& s = *_style;
    const double line = s.lineSpacing() + s.eventHeight();
    double h = line * static_cast<double>(lineCount(n, s.eventsPerRow()));
    if (s.maxVisibleLines() >= 0) h = std::min(h, line * s.maxVisibleLines());
    h = h - s.lineSpacing() + s.eventsViewInsets().top + s.eventsViewInsets().bottom;
    h = std::min(h, size.height);
    _height = h;
    return {size.width, h};
}

void XQCalendarDayViewAllDayEventsView::updateLayout() {
    setNeedsLayout();
    _eventsView->collectionViewLayout()->invalidateLayout();
}

void XQCalendarDayViewAllDayEventsView::layoutSubviews() {
    ui::View::layoutSubviews();
    const gfx::Size size = bounds().size;
    if (size.width == 0 || size.height == 0) {
        _label->setFrame(gfx::Rect::zero());
        _eventsView->setFrame(gfx::Rect::zero());
        return;
    }
    const double labelWidth = _style->labelWidth();
    const gfx::EdgeInsets& l = _style->labelInsets();
    _label->setFrame({l.left, l.top, labelWidth - l.left - l.right, size.height - l.top - l.bottom});
    _eventsView->setFrame({labelWidth, 0, size.width - labelWidth, size.height});
}
