#include "platform/ui/CollectionViewLayoutAttributes.h"

#include <cmath>
#include <typeinfo>

namespace ui {

OLM_DEFINE_CLASS(CollectionViewLayoutAttributes, rt::Object)

void CollectionViewLayoutAttributes::setFrame(const gfx::Rect& frame) {
    if (std::isfinite(frame.origin.x) && std::isfinite(frame.origin.y) && std::isfinite(frame.size.width) &&
        std::isfinite(frame.size.height))
        _frame = frame;
}

void CollectionViewLayoutAttributes::assignBase(const CollectionViewLayoutAttributes& other) {
    _category = other._category;
    _kind = other._kind;
    _indexPath = other._indexPath;
    _frame = other._frame;
    _zIndex = other._zIndex;
}

std::shared_ptr<CollectionViewLayoutAttributes> CollectionViewLayoutAttributes::copy() const {
    return copyAs<CollectionViewLayoutAttributes>();
}

bool CollectionViewLayoutAttributes::isEqual(const CollectionViewLayoutAttributes& other) const {
    return typeid(*this) == typeid(other) && _category == other._category && _indexPath == other._indexPath &&
           _frame == other._frame && _zIndex == other._zIndex && _kind == other._kind;
}

} // namespace ui
