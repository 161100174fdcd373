// XQCalendarDayCell: drawing the shape behind the day number, the band of a selected range
// and the day's events, as shapes or as lines of text.

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"

#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>

namespace {

// The fill of an event's shape or bar: its colour; none without one (the event keeps its
// place and its text).
std::shared_ptr<XQSolidFill> eventFill(const XQCalendarEventRef& event) {
    const auto color = event->eventColor();
    return color ? XQSolidFill::solidFillWithColor(*color) : nullptr;
}

XQShape::Drawings drawingsOf(const std::shared_ptr<XQSolidFill>& fill) {
    if (!fill) return {};
    return {fill};
}

} // namespace

void XQCalendarDayCell::drawRect(const gfx::Rect&) {
    gfx::GraphicsContext* context = gfx::currentContext();
    if (context == nullptr) return;
    const gfx::Rect rect = bounds();
    const gfx::Float W = rect.size.width;
    const gfx::Float H = rect.size.height;
    if (const auto shape = style().shape()) {
        gfx::Size size = shape->size();
        if (isZeroSize(size)) {
            // One size for every day number, whatever its digits.
            if (isZeroSize(_localShapeSize))
                _localShapeSize = squareShapeSize(gfx::sizeWithAttributes("00", fontAttributes(label()->font())), 4);
            size = _localShapeSize;
        }
        const gfx::Rect shapeRect{(W - size.width) / 2, (H - size.height) / 2, size.width, size.height};
        drawRangeBand(*context, shapeRect, W);
        // Drawn at the cell's size, then given its own size back: the theme shares one shape
        // between many cells.
        drawStyleShape(*shape, size, rect);
    }
    drawEvents(*context, rect);
}

void XQCalendarDayCell::drawRangeBand(gfx::GraphicsContext& context, const gfx::Rect& r, gfx::Float W) {
    const XQCalendarDayCellStyle& s = style();
    const auto owner = this->owner();
    if (!s.useDefaultSelectionStyle() || !s.defaultSelectionColor() || !owner ||
        owner->selectionMode() != XQCalendarSelectionModeRange)
        return;
    context.setFillColor(*s.defaultSelectionColor());
    const gfx::Float x = r.origin.x, y = r.origin.y, h = r.size.height;
    if (_state & XQCalendarDayCellStateFirstInRange) {
        // From the circle's centre on; the rectangle runs past the right edge, which clips it.
        context.fillRect({x + r.size.width / 2, y, W - x, h});
        context.fillEllipseInRect(r);
    } else if (_state & XQCalendarDayCellStateLastInRange) {
        context.fillRect({0, y, W / 2, h});
        context.fillEllipseInRect(r);
    } else if (_state & XQCalendarDayCellStateMidInRange) {
        context.fillRect({0, y, W, h});
    }
}

void XQCalendarDayCell::drawEvents(gfx::GraphicsContext& context, const gfx::Rect& rect) {
    if (_events.empty()) return;
    const XQCalendarDayCellStyle& s = style();
    if (s.displayEventsAsText()) {
        drawEventsAsText(context, rect);
        return;
    }
    const gfx::Float W = rect.size.width;
    const gfx::Float H = rect.size.height;
    const bool vertical = s.eventOrientation() == XQCalendarEventOrientationVertical;
    std::size_t n = _events.size();
    if (s.maxEventsCount() > 0) n = std::min(n, static_cast<std::size_t>(s.maxEventsCount()));

    const std::shared_ptr<XQShape> eventShape = s.eventShape();
    const gfx::Size own = eventShape ? eventShape->size() : gfx::Size{};
    gfx::Size size = own;
    if (s.stretchEvents()) {
        if (vertical)
            size.height = H / static_cast<gfx::Float>(n);
        else
            size.width = W / static_cast<gfx::Float>(n);
        if (eventShape) eventShape->setSize(size);
    }

    const gfx::Float spacing = s.eventSpacing();
    const auto count = static_cast<gfx::Float>(n);
    const gfx::Size extent = vertical ? gfx::Size{size.width, count * size.height + (count - 1) * spacing}
                                      : gfx::Size{count * size.width + (count - 1) * spacing, size.height};
    const gfx::EdgeInsets& insets = s.eventInsets();
    const XQCalendarCellAlignment alignment = s.eventAlignment();
    gfx::Float x = insets.left;
    if (alignment & XQCalendarCellAlignmentRight)
        x = W - extent.width - insets.right;
    else if (alignment & XQCalendarCellAlignmentHorizontalCenter)
        x = (W - extent.width) / 2;
    gfx::Float y = insets.top;
    if (alignment & XQCalendarCellAlignmentBottom)
        y = H - extent.height - insets.bottom;
    else if (alignment & XQCalendarCellAlignmentVerticalCenter)
        y = (H - extent.height) / 2;

    const auto owner = this->owner();
    const auto delegate = owner ? owner->delegate() : nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        const XQCalendarEventRef& event = _events[i];
        if (event) {
            std::shared_ptr<XQShape> shape = eventShape;
            if (delegate)
                if (auto custom = delegate->calendarShapeForEvent(*owner, event)) shape = std::move(*custom);
            if (shape) shape->drawInContext(&context, {x + size.width / 2, y + size.height / 2},
                                           drawingsOf(eventFill(event)));
        }
        if (vertical)
            y += size.height + spacing;
        else
            x += size.width + spacing;
    }
    if (eventShape) eventShape->setSize(own);
}

void XQCalendarDayCell::drawMoreLine(long count, gfx::Point at) const {
    const std::string text = fnd::stringWithFormat(fnd::localizedString("%d more..."), count);
    gfx::drawAtPoint(text, at, fontAttributes(style().eventFont(), gfx::colors::gray()));
}

void XQCalendarDayCell::drawEventsAsText(gfx::GraphicsContext& context, const gfx::Rect& rect) {
    (void)context;
    const XQCalendarDayCellStyle& s = style();
    const gfx::Float W = rect.size.width;
    const gfx::Float H = rect.size.height;
    const gfx::EdgeInsets& insets = s.eventInsets();
    const gfx::Float left = insets.left;
    const gfx::Float limit = H - insets.bottom;
    const std::shared_ptr<XQShape>& bullet = s.eventShape();
    const gfx::Float ws = bullet ? bullet->size().width : 0;
    const gfx::Float tw = W - (left + insets.right + ws);
    const gfx::Float lh = gfx::sizeWithAttributes("ABC", fontAttributes(s.eventFont())).height;
    const gfx::Float spacing = s.eventSpacing();
    const auto owner = this->owner();
    const long held = static_cast<long>(_events.size());

    gfx::Float y = insets.top;
    gfx::Float h = lh;
    long drawn = 0;
    for (const XQCalendarEventRef& event : _events) {
        const std::string text = textForEvent(event);
        const gfx::TextAttributes attributes = textAttributesForEvent(event);
        h = s.wrapEventText() ? gfx::boundingRectWithSize(text, {tw, H - y},
                                                          gfx::StringDrawingUsesLineFragmentOrigin |
                                                              gfx::StringDrawingUsesFontLeading,
                                                          attributes)
                                    .size.height
                              : gfx::sizeWithAttributes("ABC", attributes).height;
        if (y + h + lh + spacing > limit) {
            // Counted from every event the data source gave, also those cut by maxEventsCount.
            drawMoreLine(std::max(_originalEventsCount, held) - drawn, {left, y});
            return;
        }
        if (event) {
            const auto fill = eventFill(event);
            if (!event->isAllDay()) {
                if (bullet) bullet->drawInContext(&context, {left + ws / 2, y + h / 2}, drawingsOf(fill));
                gfx::drawInRect(text, {left + left + ws, y, tw, h}, attributes);
            } else {
                const bool startsToday = owner && owner->isDate(event->startDate(), _date, XQCalendar::dayUnits);
                const bool endsToday = owner && owner->isDate(event->endDate(), _date, XQCalendar::dayUnits);
                gfx::Rect bar{left, y, tw + ws, h};
                if (!startsToday) {
                    bar.origin.x = 0;
                    bar.size.width += left;
                }
                if (!endsToday) bar.size.width = W - bar.origin.x;
                if (fill) fill->drawInContext(&context, bar);
                if (startsToday) gfx::drawInRect(text, bar.offsetBy(left, 0), attributes);
            }
        }
        y += h + spacing;
        ++drawn;
    }
    if (held < _originalEventsCount && y + h < limit) drawMoreLine(_originalEventsCount - held, {left, y});
}
