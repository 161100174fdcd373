#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventCell.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarDayViewEventCell, ui::CollectionViewCell)

void XQCalendarDayViewEventCell::init(const gfx::Rect& frame) {
    ui::CollectionViewCell::init(frame);
    _style = XQCalendarDayViewEventCellStyle::make();
    setClipsToBounds(true);
    _title = InsetLabel::make();
    addSubview(_title);
    _detail = InsetLabel::make();
    addSubview(_detail);
}

void XQCalendarDayViewEventCell::attachWithEvent(const XQCalendarEventRef& event) {
    _event = event;
    setNeedsLayout();
}

void XQCalendarDayViewEventCell::update() {
    const XQCalendarDayViewEventCellStyle& s = *_style;
    const XQCalendarEventRef event = _event.lock();
    setBackgroundColor(gfx::colors::clear());
    _title->setText(event ? event->title() : std::string());
    _detail->setText(event ? event->detail() : std::string());
    _title->setTextColor(s.textColor());
    _detail->setTextColor(s.textColor());
    _title->setTextInsets(s.titleInsets());
    _detail->setTextInsets(s.detailInsets());
    _title->setFont(s.titleFont());
    _detail->setFont(s.detailFont());
    _title->setNumberOfLines(s.titleNumberOfLines());
    _detail->setNumberOfLines(s.detailNumberOfLines());
    // The block is drawn again only when it would look different.
    const Look look{event ? event->eventColor() : std::nullopt, s.transparency(), s.insets(), s.decorationWidth(),
                    bounds().size};
    if (look == _drawnLook) return;
    _drawnLook = look;
    setNeedsDisplay();
}

void XQCalendarDayViewEventCell::layoutSubviews() {
    ui::CollectionViewCell::layoutSubviews();
    update();
    placeLabels();
}

// Stacks title and detail; when the detail does not fit below the title it is truncated to
// the room left, else set beside a one-line title, else hidden. The title is never hidden.
void XQCalendarDayViewEventCell::placeLabels() {
    const XQCalendarDayViewEventCellStyle& s = *_style;
    const gfx::Rect r = gfx::insetRect(bounds(), s.insets());
    const double availW = r.size.width - s.decorationWidth();
    const double availH = r.size.height;
    const double x0 = r.origin.x + s.decorationWidth();
    const double y0 = r.origin.y;
    // Both texts are measured word-wrapped; a label's mode is set once, to what it ends with,
    // so that a layout that places them as before draws nothing again.
    constexpr gfx::LineBreakMode wrap = gfx::LineBreakMode::wordWrapping;
    constexpr gfx::LineBreakMode truncate = gfx::LineBreakMode::truncatingTail;

    const gfx::Size ts = _title->sizeThatFits({availW, availH}, wrap);
    double tw = std::min(availW, ts.width);
    double th = std::min(availH, ts.height);
    _title->setLineBreakMode(ts.height > availH ? truncate : wrap);
    if (ts.height > availH) th = availH;
    // More than one line (fitted sizes are rounded up to whole device pixels) takes the width.
    if (ts.height > _title->font()->lineHeight() + 1 / gfx::screenScale()) tw = availW;
    _title->setFrame({x0, y0, tw, th});

    const double remH = availH - th;
    const double remW = availW - tw;
    const gfx::Size ds = _detail->sizeThatFits({availW, remH}, wrap);
    if (remH >= ds.height) {
        _detail->setLineBreakMode(wrap);
        _detail->setFrame({x0, y0 + th, availW, ds.height});
        return;
    }
    _detail->setLineBreakMode(truncate);
    const gfx::EdgeInsets di = _detail->textInsets();
    const double oneLine = di.top + di.bottom + _detail->font()->lineHeight();
    if (remH >= oneLine) {
        _detail->setFrame({x0, y0 + th, availW, remH});
        return;
    }
    if (remW > 0 && remW >= _detail->sizeThatFits({remW, th}).width) {
        _detail->setFrame({x0 + tw, y0, remW, th});
        return;
    }
    _detail->setFrame(gfx::Rect::zero());
}

void XQCalendarDayViewEventCell::drawRect(const gfx::Rect&) {
    gfx::GraphicsContext* context = gfx::currentContext();
    const XQCalendarEventRef event = _event.lock();
    if (context == nullptr || !event || !event->eventColor()) return;
    const gfx::Color color = *event->eventColor();
    const gfx::Rect block = gfx::insetRect(bounds(), _style->insets());
    context->setFillColor(color.withAlpha(_style->transparency()));
    context->fillRect(block);
    context->setFillColor(color);
    context->fillRect({block.origin.x, block.origin.y, _style->decorationWidth(), block.size.height});
}
