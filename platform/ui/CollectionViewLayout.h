#pragma once

// Collection view layouts: where every element of a collection view goes. A layout answers
// the content size and the attributes of the elements in a rectangle; the collection view
// asks for those that intersect its bounds whenever it lays out (after scrolling, a reload,
// an invalidation).
//
// Invalidation. Every request to recompute reaches the virtual `invalidateLayout`, which
// subclasses override to drop their caches (calling the base): explicit calls,
// `invalidateLayoutWithContext`, the collection view's `reloadData`, and bounds changes the
// layout accepts (`shouldInvalidateLayoutForBoundsChange`, NO by default, with the context of
// `invalidationContextForBoundsChange`). The collection view then calls `prepareLayout` once,
// at its next layout pass, before it asks for anything. Scrolling never invalidates by itself.
//
// The layout is owned by its collection view; `collectionView` is a non-owning back link,
// cleared when the two part. Main thread only.

#include "platform/foundation/IndexPath.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"
#include "platform/ui/CollectionViewLayoutAttributes.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

class CollectionView;

// What an invalidation asks to recompute.
class CollectionViewLayoutInvalidationContext : public rt::Object {
public:
    OLM_DECLARE_CLASS(CollectionViewLayoutInvalidationContext)
    static std::shared_ptr<CollectionViewLayoutInvalidationContext> make() {
        return rt::create<CollectionViewLayoutInvalidationContext>();
    }
    // Everything (a reload, an explicit `invalidateLayout`).
    bool invalidateEverything() const { return _everything; }
    void setInvalidateEverything(bool everything) { _everything = everything; }
    // The numbers of sections and items changed (a reload).
    bool invalidateDataSourceCounts() const { return _dataSourceCounts; }
    void setInvalidateDataSourceCounts(bool counts) { _dataSourceCounts = counts; }
    // The flow layout's delegate metrics (sizes, spacings, insets) are to be asked again.
    bool invalidateFlowLayoutDelegateMetrics() const { return _flowMetrics; }
    void setInvalidateFlowLayoutDelegateMetrics(bool metrics) { _flowMetrics = metrics; }

    // Adds the requests of `other`.
    void merge(const CollectionViewLayoutInvalidationContext& other);
    void clear();

protected:
    CollectionViewLayoutInvalidationContext() = default;
    void init() {}
    friend class rt::Access;

private:
    bool _everything = false;
    bool _dataSourceCounts = false;
    bool _flowMetrics = false;
};

using CollectionViewLayoutInvalidationContextRef = std::shared_ptr<CollectionViewLayoutInvalidationContext>;

class CollectionViewLayout : public rt::Object {
public:
    OLM_DECLARE_CLASS(CollectionViewLayout)
    static std::shared_ptr<CollectionViewLayout> make() { return rt::create<CollectionViewLayout>(); }
    ~CollectionViewLayout() override;

    // The collection view the layout serves (null when none).
    CollectionView* collectionView() const { return _collectionView; }

    // Computes what the layout needs before it is asked; once per invalidation.
    virtual void prepareLayout() {}
    virtual gfx::Size collectionViewContentSize() const { return {}; }
    // The attributes of the elements whose frames intersect `rect` (the collection view
    // ignores those outside its sections and items).
    virtual std::vector<CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect& rect) const;
    // Nil unless a subclass answers.
    virtual CollectionViewLayoutAttributesRef layoutAttributesForItemAtIndexPath(const fnd::IndexPath& indexPath) const;
    virtual CollectionViewLayoutAttributesRef
    layoutAttributesForSupplementaryViewOfKindAtIndexPath(std::string_view kind, const fnd::IndexPath& indexPath) const;
    virtual CollectionViewLayoutAttributesRef
    layoutAttributesForDecorationViewOfKindAtIndexPath(std::string_view kind, const fnd::IndexPath& indexPath) const;

    // The class of the decoration views of `kind` (registerClass:forDecorationViewOfKind:);
    // its factory is CollectionReusableView::Factory. Null unregisters.
    void registerClass(const rt::Class* viewClass, std::string_view decorationKind);
    const rt::Class* decorationClass(std::string_view kind) const;

    // --- Invalidation.
    virtual void invalidateLayout();
    virtual void invalidateLayoutWithContext(const CollectionViewLayoutInvalidationContext& context);
    virtual bool shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const;
    virtual CollectionViewLayoutInvalidationContextRef invalidationContextForBoundsChange(const gfx::Rect& newBounds) const;

protected:
    CollectionViewLayout() = default;
    void init() {}
    friend class rt::Access;

    // What the invalidations since the last `prepareLayout` asked for (read it there).
    const CollectionViewLayoutInvalidationContext& pendingInvalidation() const { return *_pending; }

private:
    friend class CollectionView;
    // Called by the collection view when the layout is set on it or taken off.
    void attach(CollectionView* collectionView);
    // Runs `prepareLayout` when an invalidation is pending; true when it ran.
    bool prepareIfNeeded();

    CollectionView* _collectionView = nullptr;
    std::map<std::string, const rt::Class*, std::less<>> _decorationClasses;
    CollectionViewLayoutInvalidationContextRef _pending = CollectionViewLayoutInvalidationContext::make();
    bool _needsPrepare = true;
    bool _withinContext = false;
};

} // namespace ui
