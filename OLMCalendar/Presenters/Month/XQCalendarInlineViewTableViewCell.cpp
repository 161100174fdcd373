#include "OLMCalendar/Presenters/Month/XQCalendarInlineViewTableViewCell.h"

#include "OLMCalendar/Presenters/Month/Cells/XQCalendarDayCell.h"
#include "OLMCalendar/Presenters/Month/XQCalendarInlineView.h"
#include "OLMCalendar/XQCalendar.h"
#include "OLMCore/XQFill.h"
#include "OLMCore/XQShape.h"
#include "platform/graphics/ImageContext.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarInlineViewTableViewCell, ui::TableViewCell)

void XQCalendarInlineViewTableViewCell::init(ui::TableViewCellStyle style, std::string reuseIdentifier) {
    ui::TableViewCell::init(style, std::move(reuseIdentifier));
    _rowStyle = XQCalendarInlineViewTableViewCellStyle::make();
    setSelectionStyle(ui::TableViewCellSelectionStyleNone);
    setSeparatorInset(gfx::EdgeInsets::zero());
    textLabel()->setLineBreakMode(gfx::LineBreakMode::truncatingTail);
}

void XQCalendarInlineViewTableViewCell::attachWithCell(XQCalendarDayCell& cell, long index) {
    textLabel()->setTextColor(_rowStyle->eventColor());
    textLabel()->setFont(_rowStyle->eventFont());
    if (const auto& detail = detailTextLabel()) {
        detail->setTextColor(_rowStyle->timeColor());
        detail->setFont(_rowStyle->timeFont());
    }
    setBackgroundColor(_rowStyle->backgroundColor());
    const auto& events = cell.events();
    if (index < 0 || index >= static_cast<long>(events.size())) return;
    const XQCalendarEventRef& event = events[static_cast<std::size_t>(index)];

    // The event's dot: the day cell's event shape, scaled into the row style's size.
    gfx::ImageRef image;
    const gfx::Size size = _rowStyle->shapeSize();
    const auto& shape = cell.style().eventShape();
    const double shapeSide = shape ? std::min(shape->size().width, shape->size().height) : 0;
    if (shape && shapeSide > 0 && event && event->eventColor()) {
        gfx::beginImageContext(size, false, 0);
        if (gfx::GraphicsContext* context = gfx::currentContext()) {
            shape->drawInContext(context, {size.width / 2, size.height / 2},
                                 {XQSolidFill::solidFillWithColor(*event->eventColor())},
                                 std::min(size.width, size.height) / shapeSide);
            image = gfx::imageFromCurrentImageContext();
        }
        gfx::endImageContext();
    }
    imageView()->setImage(image);
    updateTextForEvent(event, cell);
    setNeedsLayout();
}

void XQCalendarInlineViewTableViewCell::updateTextForEvent(const XQCalendarEventRef& event, XQCalendarDayCell& cell) {
    if (!event) return;
    textLabel()->setText(event->title());
    auto owner = cell.owner();
    if (const auto& detail = detailTextLabel(); detail && owner && cell.date())
        detail->setText(inlineEventTimeText(*event, *cell.date(), owner->calendar()));
}

void XQCalendarInlineViewTableViewCell::layoutSubviews() {
    ui::TableViewCell::layoutSubviews();
    constexpr double inset = 10, gap = 10;
    const gfx::Size bounds = contentView()->bounds().size;
    const double w = bounds.width - 2 * inset, h = bounds.height;
    gfx::Size detail;
    if (const auto& label = detailTextLabel()) {
        detail = label->sizeThatFits({w, h});
        label->setFrame({inset + w - detail.width, (h - detail.height) / 2, detail.width, detail.height});
    }
    const gfx::Size icon = imageView()->sizeThatFits({w - detail.width, h});
    imageView()->setFrame({inset, (h - icon.height) / 2, icon.width, icon.height});
    const double tw = std::max(0.0, w - icon.width - detail.width - gap);
    const double th = textLabel()->sizeThatFits({tw, h}).height;
    textLabel()->setFrame({inset + gap + icon.width, (h - th) / 2, tw, th});
}
