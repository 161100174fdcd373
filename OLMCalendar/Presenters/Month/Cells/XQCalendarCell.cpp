#include "OLMCalendar/Presenters/Month/Cells/XQCalendarCell.h"

#include "OLMCalendar/XQCalendar.h"
#include "platform/foundation/Strings.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Text.h"
#include "platform/ui/Transaction.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQCalendarCell, ui::View)

gfx::Size squareShapeSize(gfx::Size size, gfx::Float grow) {
    const float side = std::min(static_cast<float>(size.width + grow), static_cast<float>(size.height + grow));
    return {side, side};
}

std::string textWithEffect(std::string text, XQCalendarTextEffect effect) {
    if (effect == XQCalendarTextEffectUppercase) return fnd::uppercase(text);
    if (effect == XQCalendarTextEffectLowercase) return fnd::lowercase(text);
    return text;
}

void XQCalendarCell::init(const gfx::Rect& frame) {
    ui::View::init(frame);
    _cellStyle = createStyle();
    _label = ui::Label::make(bounds());
    addSubview(_label);
    for (auto* border : {&_leftBorderLayer, &_rightBorderLayer, &_topBorderLayer, &_bottomBorderLayer}) {
        *border = ui::Layer::make();
        layer()->addSublayer(*border);
    }
}

std::shared_ptr<XQCalendarCellStyle> XQCalendarCell::createStyle() const {
    return XQCalendarCellStyle::make();
}

void XQCalendarCell::setOwner(XQCalendar* owner) {
    _owner = rt::weakFrom(owner);
}

void XQCalendarCell::setCellStyle(std::shared_ptr<XQCalendarCellStyle> style) {
    if (style && acceptsStyle(*style)) _cellStyle = std::move(style);
}

void XQCalendarCell::applyThemeStyles() {
    const auto owner = _owner.lock();
    if (owner && owner->theme()) owner->theme()->stylesForClass(objectClass())->applyStylesToNode(_cellStyle);
}

void XQCalendarCell::applyStyleForState(long state) {
    XQStyleID& styleID = *_cellStyle->styleID();
    const long saved = styleID.state();
    styleID.setState(state);
    applyThemeStyles();
    styleID.setState(saved);
}

void XQCalendarCell::applyTextAlignment(ui::Label& label, XQCalendarCellAlignment alignment) {
    if (alignment & XQCalendarCellAlignmentLeft)
        label.setTextAlignment(gfx::TextAlignment::left);
    else if (alignment & XQCalendarCellAlignmentRight)
        label.setTextAlignment(gfx::TextAlignment::right);
    else if (alignment & XQCalendarCellAlignmentHorizontalCenter)
        label.setTextAlignment(gfx::TextAlignment::center);
}

void XQCalendarCell::updateVisuals() {
    // Kept alive for the whole pass: a delegate may replace the cell's style meanwhile.
    const auto style = _cellStyle;
    applyThemeStyles();
    if (const auto owner = _owner.lock()) {
        if (const auto delegate = owner->delegate()) {
            style->beginThemeBlock();
            delegate->calendarUpdateVisualsForCell(*owner, *this);
            style->endThemeBlock();
        }
    }
    const XQCalendarCellStyle& shown = *_cellStyle;
    setBackgroundColor(shown.backgroundColor());
    _label->setTextColor(shown.textColor());
    if (shown.textFont()) _label->setFont(shown.textFont());
    applyTextAlignment(*_label, shown.textAlignment());
    updateBorder();
}

void XQCalendarCell::updateBorder() {
    const gfx::Float w = bounds().size.width;
    const gfx::Float h = bounds().size.height;
    if (w == 0 || h == 0) return;
    const XQCalendarCellStyle& s = *_cellStyle;
    const struct {
        ui::Layer* layer;
        const std::optional<gfx::Color>& color;
        gfx::Rect frame;
    } borders[] = {
        {_leftBorderLayer.get(), s.leftBorderColor(), {0, 0, s.leftBorderWidth(), h}},
        {_rightBorderLayer.get(), s.rightBorderColor(), {w - s.rightBorderWidth(), 0, s.rightBorderWidth(), h}},
        {_topBorderLayer.get(), s.topBorderColor(), {0, 0, w, s.topBorderWidth()}},
        {_bottomBorderLayer.get(), s.bottomBorderColor(), {0, h - s.bottomBorderWidth(), w, s.bottomBorderWidth()}},
    };
    ui::Transaction::begin();
    ui::Transaction::setDisableActions(true);
    for (const auto& border : borders) {
        if (border.layer == nullptr) continue;
        if (!border.color) {
            border.layer->setHidden(true);
            continue;
        }
        border.layer->setBackgroundColor(border.color);
        border.layer->setHidden(false);
        border.layer->setFrame(border.frame);
    }
    ui::Transaction::commit();
}

void XQCalendarCell::layoutSubviews() {
    ui::View::layoutSubviews();
    const gfx::EdgeInsets& insets = _cellStyle->textInsets();
    const gfx::Size size = bounds().size;
    const gfx::Rect r{insets.left, insets.top, size.width - (insets.left + insets.right),
                      size.height - (insets.top + insets.bottom)};
    _label->setFrame(r);
    _label->sizeToFit();
    const gfx::Float lh = _label->frame().size.height;
    const XQCalendarCellAlignment alignment = _cellStyle->textAlignment();
    if (alignment & XQCalendarCellAlignmentTop)
        _label->setFrame({r.origin.x, r.origin.y, r.size.width, lh});
    else if (alignment & XQCalendarCellAlignmentBottom)
        _label->setFrame({r.origin.x, r.origin.y + r.size.height - lh, r.size.width, lh});
    else if (alignment & XQCalendarCellAlignmentVerticalCenter)
        _label->setFrame({r.origin.x, r.origin.y + (r.size.height - lh) / 2, r.size.width, lh});
    updateBorder();
    setNeedsDisplay();
}

void XQCalendarCell::drawStyleShape(XQShape& shape, gfx::Size size, const gfx::Rect& rect) const {
    XQShape::Drawings drawings;
    if (_cellStyle->shapeFill()) drawings.push_back(_cellStyle->shapeFill());
    if (_cellStyle->shapeStroke()) drawings.push_back(_cellStyle->shapeStroke());
    if (drawings.empty()) return;
    const gfx::Size own = shape.size();
    shape.setSize(size);
    shape.drawInContext(gfx::currentContext(), {rect.size.width / 2, rect.size.height / 2}, drawings);
    shape.setSize(own);
}

void XQCalendarCell::drawRect(const gfx::Rect&) {
    const auto shape = _cellStyle->shape();
    if (!shape) return;
    gfx::Size size = shape->size();
    if (isZeroSize(size)) {
        if (isZeroSize(_cellShapeSize))
            _cellShapeSize = squareShapeSize(gfx::sizeWithAttributes(_label->text(), fontAttributes(_label->font())), 30);
        size = _cellShapeSize;
    }
    drawStyleShape(*shape, size, bounds());
}

void XQCalendarCell::showText(std::string text) {
    _label->setText(std::move(text));
    updateVisuals();
    setNeedsLayout();
}
