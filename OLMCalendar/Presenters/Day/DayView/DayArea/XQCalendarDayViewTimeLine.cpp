#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewTimeLine.h"

#include "OLMCalendar/Presenters/Day/DayView/DayArea/XQCalendarDayViewEventsView.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <cmath>

OLM_DEFINE_CLASS(XQCalendarDayViewTimeLineLayoutAttributes, ui::CollectionViewLayoutAttributes)
OLM_DEFINE_CLASS(XQCalendarDayViewTimeLine, ui::CollectionReusableView)

std::shared_ptr<XQCalendarDayViewTimeLineLayoutAttributes>
XQCalendarDayViewTimeLineLayoutAttributes::layoutAttributesForDecorationViewOfKind(
    std::string_view kind, const fnd::IndexPath& indexPath, const std::shared_ptr<XQCalendarDayViewEventsView>& owner) {
    auto attributes = layoutAttributesForDecorationView<XQCalendarDayViewTimeLineLayoutAttributes>(kind, indexPath);
    attributes->setOwner(owner);
    return attributes;
}

std::shared_ptr<ui::CollectionViewLayoutAttributes> XQCalendarDayViewTimeLineLayoutAttributes::copy() const {
    auto c = copyAs<XQCalendarDayViewTimeLineLayoutAttributes>();
    c->_owner = _owner;
    return c;
}

bool XQCalendarDayViewTimeLineLayoutAttributes::isEqual(const ui::CollectionViewLayoutAttributes& other) const {
    if (!ui::CollectionViewLayoutAttributes::isEqual(other)) return false;
    const auto& o = static_cast<const XQCalendarDayViewTimeLineLayoutAttributes&>(other);
    return !_owner.owner_before(o._owner) && !o._owner.owner_before(_owner);
}

void XQCalendarDayViewTimeLine::applyLayoutAttributes(const ui::CollectionViewLayoutAttributesRef& attributes) {
    ui::CollectionReusableView::applyLayoutAttributes(attributes);
    if (!attributes) return;
    if (const auto* timeLine = dynamic_cast<const XQCalendarDayViewTimeLineLayoutAttributes*>(attributes.get()))
        _owner = timeLine->owner();
    else
        _owner.reset();
    setBackgroundColor(gfx::colors::clear());
    setNeedsDisplay();
}

void XQCalendarDayViewTimeLine::drawRect(const gfx::Rect& rect) {
    gfx::GraphicsContext* context = gfx::currentContext();
    const auto owner = _owner.lock();
    if (context == nullptr || !owner) return;
    const XQCalendarDayViewEventsViewStyle& style = *owner->style();
    const double slots = owner->slotsCount();
    const double spacing = style.separatorSpacing() * owner->zoom();
    const gfx::Size labelSize = owner->labelSize();
    const auto& labels = owner->labels();
    const double lineStart = style.labelOffset() + labelSize.width + style.separatorLeadingOffset();
    const double lineEnd = bounds().size.width - style.separatorTrailingOffset();

    // Only the lines whose line or label reaches into `rect`.
    long first = 0;
    long last = static_cast<long>(std::trunc(slots));
    if (spacing > 0) {
        const double reach = labelSize.height / 2 + style.separatorWidth();
        first = std::max(first, static_cast<long>(std::floor((rect.minY() - reach - style.topOffset()) / spacing)));
        last = std::min(last, static_cast<long>(std::ceil((rect.maxY() + reach - style.topOffset()) / spacing)));
    }
    context->setStrokeColor(style.separatorColor().value_or(gfx::colors::clear()));
    context->setLineWidth(style.separatorWidth());
    for (long i = first; i <= last; ++i) {
        const double y = static_cast<double>(i) * spacing + style.topOffset();
        if (style.separatorColor() && lineEnd > lineStart) {
            context->beginPath();
            context->moveToPoint({lineStart, y});
            context->addLineToPoint({lineEnd, y});
            context->strokePath();
        }
        if (i >= static_cast<long>(labels.size())) continue;
        const gfx::AttributedString& label = labels[static_cast<std::size_t>(i)];
        const gfx::Size size = label.size();
        double dx = 0;
        if (style.labelTextAlignment() == 1)
            dx = (labelSize.width - size.width) / 2;
        else if (style.labelTextAlignment() == 2)
            dx = labelSize.width - size.width;
        gfx::drawAtPoint(*context, label, {style.labelOffset() + dx, y - size.height / 2});
    }
}
