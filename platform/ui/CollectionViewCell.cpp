#include "platform/ui/CollectionViewCell.h"

namespace ui {

OLM_DEFINE_CLASS(CollectionReusableView, View)
OLM_DEFINE_CLASS(CollectionViewCell, CollectionReusableView)

void CollectionViewCell::init(const gfx::Rect& frame) {
    CollectionReusableView::init(frame);
    _contentView = View::make(bounds());
    _contentView->setAutoresizingMask(ViewAutoresizingFlexibleWidth | ViewAutoresizingFlexibleHeight);
    addSubview(_contentView);
}

void CollectionViewCell::prepareForReuse() {
    CollectionReusableView::prepareForReuse();
    setSelected(false);
    setHighlighted(false);
}

} // namespace ui
