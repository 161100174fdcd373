#include "OLMCalendar/Presenters/Day/DayView/DayArea/InsetLabel.h"

OLM_DEFINE_CLASS(InsetLabel, ui::Label)

gfx::Size InsetLabel::removeInsetsFromSize(gfx::Size size) const {
    const gfx::EdgeInsets& i = _textInsets;
    return {size.width - i.left - i.right, size.height - i.bottom - i.top};
}

gfx::Size InsetLabel::addInsetsToSize(gfx::Size size) const {
    const gfx::EdgeInsets& i = _textInsets;
    return {size.width + i.left + i.right, size.height + i.bottom + i.top};
}

void InsetLabel::setTextInsets(gfx::EdgeInsets insets) {
    if (insets == _textInsets) return;
    _textInsets = insets;
    setNeedsDisplay();
}

gfx::Size InsetLabel::sizeThatFits(gfx::Size size) const {
    return sizeThatFits(size, lineBreakMode());
}

gfx::Size InsetLabel::sizeThatFits(gfx::Size size, gfx::LineBreakMode mode) const {
    return addInsetsToSize(ui::Label::sizeThatFits(removeInsetsFromSize(size), mode));
}

void InsetLabel::drawTextInRect(const gfx::Rect& rect) {
    const gfx::EdgeInsets& i = _textInsets;
    if (sizeThatFits(rect.size).height > rect.height())
        ui::Label::drawTextInRect({rect.minX() + i.left, rect.minY(), rect.width() - i.left - i.right, rect.height()});
    else
        ui::Label::drawTextInRect(gfx::insetRect(rect, i));
}
