#include "platform/ui/TableViewCell.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Screen.h"
#include "platform/graphics/SystemColors.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(TableViewCell, CollectionViewCell)

namespace {

constexpr double margin = 15;
constexpr double gap = 15;

} // namespace

void TableViewCell::init(TableViewCellStyle style, std::string reuseIdentifier) {
    CollectionViewCell::init({0, 0, 320, 44});
    _style = style == TableViewCellStyleValue1 ? TableViewCellStyleValue1 : TableViewCellStyleDefault;
    setReuseIdentifier(std::move(reuseIdentifier));

    _selectedBackground = View::make(bounds());
    _selectedBackground->setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    _selectedBackground->setBackgroundColor(gfx::systemColors::systemGray4());
    _selectedBackground->setHidden(true);
    insertSubview(_selectedBackground, 0);

    _imageView = ImageView::make();
    contentView()->addSubview(_imageView);
    _textLabel = Label::make();
    _textLabel->setFont(gfx::Font::systemFont(17));
    contentView()->addSubview(_textLabel);
    if (_style == TableViewCellStyleValue1) {
        _detailTextLabel = Label::make();
        _detailTextLabel->setFont(gfx::Font::systemFont(17));
        _detailTextLabel->setTextColor(gfx::systemColors::secondaryLabel());
        _detailTextLabel->setTextAlignment(gfx::TextAlignment::right);
        contentView()->addSubview(_detailTextLabel);
    }
    _separator = View::make();
    _separator->setBackgroundColor(gfx::systemColors::separator());
    addSubview(_separator);
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style) {
    _selectionStyle = style;
    showSelection();
}

void TableViewCell::setSeparatorInset(const gfx::EdgeInsets& inset) {
    _separatorInset = inset;
    setNeedsLayout();
}

void TableViewCell::setSeparatorColor(const gfx::Color& color) {
    _separator->setBackgroundColor(color);
}

void TableViewCell::setSelected(bool selected) {
    CollectionViewCell::setSelected(selected);
    showSelection();
}

void TableViewCell::setHighlighted(bool highlighted) {
    CollectionViewCell::setHighlighted(highlighted);
    showSelection();
}

void TableViewCell::showSelection() {
    if (!_selectedBackground) return;
    _selectedBackground->setHidden(_selectionStyle == TableViewCellSelectionStyleNone ||
                                   !(isSelected() || isHighlighted()));
}

void TableViewCell::layoutSubviews() {
    CollectionViewCell::layoutSubviews();
    const gfx::Rect b = contentView()->bounds();
    const double w = b.size.width, h = b.size.height;
    const auto centred = [h](double x, gfx::Size size) { return gfx::Rect{x, (h - size.height) / 2, size.width, size.height}; };

    double x = margin;
    if (_imageView->image()) {
        const gfx::Size size = _imageView->sizeThatFits({w, h});
        _imageView->setFrame(centred(x, size));
        x += size.width + gap;
    } else {
        _imageView->setFrame({});
    }
    double right = w - margin;
    if (_detailTextLabel) {
        gfx::Size size = _detailTextLabel->text().empty() ? gfx::Size{} : _detailTextLabel->sizeThatFits({w, h});
        size.width = std::min(size.width, std::max(0.0, right - x));
        _detailTextLabel->setFrame(centred(right - size.width, size));
        if (size.width > 0) right -= size.width + gap;
    }
    const double textWidth = std::max(0.0, right - x);
    const double textHeight = _textLabel->sizeThatFits({textWidth, h}).height;
    _textLabel->setFrame(centred(x, {textWidth, textHeight}));

    // The separator: one device pixel along the bottom, above everything else.
    const double pixel = 1 / gfx::screenScale();
    const gfx::Rect cell = bounds();
    _separator->setFrame({_separatorInset.left, cell.size.height - pixel,
                          std::max(0.0, cell.size.width - _separatorInset.left - _separatorInset.right), pixel});
    if (subviews().back() != _separator) bringSubviewToFront(_separator.get());
}

} // namespace ui
