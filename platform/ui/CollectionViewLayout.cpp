#include "platform/ui/CollectionViewLayout.h"

#include "platform/ui/CollectionView.h"

namespace ui {

OLM_DEFINE_CLASS(CollectionViewLayoutInvalidationContext, rt::Object)
OLM_DEFINE_CLASS(CollectionViewLayout, rt::Object)

// --- Invalidation contexts.

void CollectionViewLayoutInvalidationContext::merge(const CollectionViewLayoutInvalidationContext& other) {
    _everything = _everything || other._everything;
    _dataSourceCounts = _dataSourceCounts || other._dataSourceCounts;
    _flowMetrics = _flowMetrics || other._flowMetrics;
}

void CollectionViewLayoutInvalidationContext::clear() {
    _everything = _dataSourceCounts = _flowMetrics = false;
}

// --- Layout.

CollectionViewLayout::~CollectionViewLayout() = default;

void CollectionViewLayout::attach(CollectionView* collectionView) {
    _collectionView = collectionView;
    _pending->setInvalidateEverything(true);
    _needsPrepare = true;
}

std::vector<CollectionViewLayoutAttributesRef> CollectionViewLayout::layoutAttributesForElementsInRect(const gfx::Rect&) const {
    return {};
}

CollectionViewLayoutAttributesRef CollectionViewLayout::layoutAttributesForItemAtIndexPath(const fnd::IndexPath&) const {
    return nullptr;
}

CollectionViewLayoutAttributesRef
CollectionViewLayout::layoutAttributesForSupplementaryViewOfKindAtIndexPath(std::string_view, const fnd::IndexPath&) const {
    return nullptr;
}

CollectionViewLayoutAttributesRef
CollectionViewLayout::layoutAttributesForDecorationViewOfKindAtIndexPath(std::string_view, const fnd::IndexPath&) const {
    return nullptr;
}

void CollectionViewLayout::registerClass(const rt::Class* viewClass, std::string_view decorationKind) {
    if (viewClass != nullptr)
        _decorationClasses[std::string(decorationKind)] = viewClass;
    else if (auto it = _decorationClasses.find(decorationKind); it != _decorationClasses.end())
        _decorationClasses.erase(it);
}

const rt::Class* CollectionViewLayout::decorationClass(std::string_view kind) const {
    const auto it = _decorationClasses.find(kind);
    return it != _decorationClasses.end() ? it->second : nullptr;
}

void CollectionViewLayout::invalidateLayout() {
    // Called directly, it invalidates everything; from `invalidateLayoutWithContext`, what the
    // context asked for was recorded there.
    if (!_withinContext) _pending->setInvalidateEverything(true);
    _needsPrepare = true;
    if (_collectionView != nullptr) _collectionView->setNeedsLayout();
}

void CollectionViewLayout::invalidateLayoutWithContext(const CollectionViewLayoutInvalidationContext& context) {
    _pending->merge(context);
    const bool outer = !_withinContext;
    _withinContext = true;
    invalidateLayout();
    if (outer) _withinContext = false;
}

bool CollectionViewLayout::shouldInvalidateLayoutForBoundsChange(const gfx::Rect&) const {
    return false;
}

CollectionViewLayoutInvalidationContextRef CollectionViewLayout::invalidationContextForBoundsChange(const gfx::Rect&) const {
    return CollectionViewLayoutInvalidationContext::make();
}

bool CollectionViewLayout::prepareIfNeeded() {
    if (!_needsPrepare) return false;
    _needsPrepare = false;
    const std::shared_ptr<CollectionViewLayout> keep = rt::sharedFrom(this);
    prepareLayout();
    // An invalidation made while preparing stays pending for the next preparation.
    if (!_needsPrepare) _pending->clear();
    return true;
}

} // namespace ui
