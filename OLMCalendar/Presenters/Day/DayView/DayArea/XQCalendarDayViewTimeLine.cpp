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
    const auto* timeLine = dynamic_cast<const XQCalendarDayViewTimeLineLayoutAttributes*>(attributes.get());
    std::weak_ptr<XQCalendarDayViewEventsView> owner;
    if (timeLine) owner = timeLine->owner();
    if (owner.owner_before(_owner) || _owner.owner_before(owner)) _drawn.reset();
    _owner = owner;
    setBackgroundColor(gfx::colors::clear());
    // A new day with the same range and zoom draws the same lines and labels: the tall
    // contents stay as they are.
    if (_drawn != currentLooks()) setNeedsDisplay();
}

XQCalendarDayViewTimeLine::Looks XQCalendarDayViewTimeLine::currentLooks() const {
    Looks looks;
    looks.size = bounds().size;
    const auto owner = _owner.lock();
    if (!owner) return looks;
    const XQCalendarDayViewEventsViewStyle& style = *owner->style();
    looks.hasOwner = true;
    looks.zoom = owner->zoom();
    looks.slots = owner->slotsCount();
    looks.topOffset = style.topOffset();
    looks.spacing = style.separatorSpacing();
    looks.labelOffset = style.labelOffset();
    looks.leading = style.separatorLeadingOffset();
    looks.trailing = style.separatorTrailingOffset();
    looks.separatorWidth = style.separatorWidth();
    looks.separatorColor = style.separatorColor();
    looks.alignment = style.labelTextAlignment();
    looks.labelSize = owner->labelSize();
    looks.labelsVersion = owner->labelsVersion();
    return looks;
}

void XQCalendarDayViewTimeLine::drawRect(const gfx::Rect& rect) {
    _drawn = currentLooks();
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

    // Only the lines whose line or label reaches into `rect` and the context's clip (a tall
    // line's store holds only the part around what shows).
    const gfx::Rect clip = context->clipBoundingBox();
    const gfx::Rect area = clip.isNull() ? rect : rect.intersection(clip);
    if (area.isNull()) return;
    double first = 0, last = std::trunc(slots);
    if (spacing > 0) {
        const double reach = labelSize.height / 2 + style.separatorWidth();
        first = std::max(first, std::floor((area.minY() - reach - style.topOffset()) / spacing));
        last = std::min(last, std::ceil((area.maxY() + reach - style.topOffset()) / spacing));
    }
    if (!(first <= last)) return;
    context->setStrokeColor(style.separatorColor().value_or(gfx::colors::clear()));
    context->setLineWidth(style.separatorWidth());
    for (long i = static_cast<long>(first); i <= static_cast<long>(last); ++i) {
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
