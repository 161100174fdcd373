#pragma once

// Collection views: a scroll view that shows the elements a layout places (cells for the
// items of its sections, supplementary views such as section headers, decoration views),
// making only those that intersect its bounds and recycling the rest.
//
//     auto layout = ui::CollectionViewFlowLayout::make();
//     auto collection = ui::CollectionView::make(frame, layout);
//     collection->registerClass(&ui::CollectionReusableView::reusableClass<MonthCell>(), "ycell");
//     collection->setDataSource(presenter);   // weak
//     collection->setDelegate(presenter);     // weak; also the scroll view's delegate
//
// The data source's counts are read once per reload (`reloadData`, or the first use) and
// cached; elements outside them are never asked for. Each layout pass (after scrolling, a
// reload, an invalidation, a size change) asks the layout for the elements in the bounds,
// sends views that left to bounded reuse pools (out of the view tree), asks the data source
// for the elements that entered, and applies attributes: to views as they are dequeued, when
// they change, and to every visible view after an invalidation. Siblings stack by z index,
// then decorations under cells under supplementary views, then by index path.
//
// Selection follows a touch's end up the responder chain (not a recognizer, so the taps of
// ancestors fire too): `shouldHighlight` at touch down, `shouldSelect` and `didSelect` at
// touch up; a drag (the pan cancelling the touch) or a touch that stopped scrolling selects
// nothing. Single selection replaces; multiple selection toggles.
//
// Callbacks may reload, scroll, remove the view or free its owner. Main thread only.

#include "platform/foundation/IndexPath.h"
#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/CollectionViewLayout.h"
#include "platform/ui/ScrollView.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui {

class CollectionView;

// The data source (held weakly). The number of items and the cells are required.
class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;
    virtual long numberOfSectionsInCollectionView(CollectionView& collectionView) {
        (void)collectionView;
        return 1;
    }
    virtual long collectionViewNumberOfItemsInSection(CollectionView& collectionView, long section) = 0;
    // Typically `dequeueReusableCell`; null shows nothing there.
    virtual std::shared_ptr<CollectionViewCell> collectionViewCellForItemAtIndexPath(CollectionView& collectionView,
                                                                                     const fnd::IndexPath& indexPath) = 0;
    // Null (the default) shows nothing there.
    virtual std::shared_ptr<CollectionReusableView>
    collectionViewViewForSupplementaryElementOfKindAtIndexPath(CollectionView& collectionView, std::string_view kind,
                                                               const fnd::IndexPath& indexPath) {
        (void)collectionView;
        (void)kind;
        (void)indexPath;
        return nullptr;
    }
};

// The delegate (held weakly); every method is optional.
class CollectionViewDelegate : public virtual ScrollViewDelegate {
public:
    // NO blocks the selection of the touched item as well.
    virtual bool collectionViewShouldHighlightItemAtIndexPath(CollectionView& collectionView,
                                                              const fnd::IndexPath& indexPath) {
        (void)collectionView;
        (void)indexPath;
        return true;
    }
    virtual bool collectionViewShouldSelectItemAtIndexPath(CollectionView& collectionView,
                                                           const fnd::IndexPath& indexPath) {
        (void)collectionView;
        (void)indexPath;
        return true;
    }
    virtual void collectionViewDidSelectItemAtIndexPath(CollectionView& collectionView, const fnd::IndexPath& indexPath) {
        (void)collectionView;
        (void)indexPath;
    }
    virtual void collectionViewDidDeselectItemAtIndexPath(CollectionView& collectionView,
                                                          const fnd::IndexPath& indexPath) {
        (void)collectionView;
        (void)indexPath;
    }
};

class CollectionView : public ScrollView {
public:
    OLM_DECLARE_CLASS(CollectionView)
    static std::shared_ptr<CollectionView> make(const gfx::Rect& frame, std::shared_ptr<CollectionViewLayout> layout) {
        return rt::create<CollectionView>(frame, std::move(layout));
    }
    ~CollectionView() override;

    const std::shared_ptr<CollectionViewLayout>& collectionViewLayout() const { return _layout; }
    // A null layout, or one that serves another collection view, is ignored.
    void setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout);

    std::shared_ptr<CollectionViewDataSource> dataSource() const { return _dataSource.lock(); }
    void setDataSource(const std::shared_ptr<CollectionViewDataSource>& dataSource);
    std::shared_ptr<CollectionViewDelegate> delegate() const { return _delegate.lock(); }
    // Also the scroll view's delegate.
    void setDelegate(const std::shared_ptr<CollectionViewDelegate>& delegate);

    // --- Registration and reuse. Registering an identifier again replaces its class; a null
    // class, or one without a CollectionReusableView::Factory, unregisters it.
    void registerClass(const rt::Class* cellClass, std::string_view reuseIdentifier);
    void registerClassForSupplementaryView(const rt::Class* viewClass, std::string_view kind,
                                           std::string_view reuseIdentifier);
    // A view from the pool of the identifier (after `prepareForReuse`) or a new one of the
    // registered class, with its attributes for the index path applied; null for an
    // unregistered identifier (or one registered with a class that is not a cell).
    std::shared_ptr<CollectionViewCell> dequeueReusableCell(std::string_view reuseIdentifier,
                                                            const fnd::IndexPath& indexPath);
    std::shared_ptr<CollectionReusableView> dequeueReusableSupplementaryView(std::string_view kind,
                                                                             std::string_view reuseIdentifier,
                                                                             const fnd::IndexPath& indexPath);

    // --- Data.
    // Forgets the counts, pools the visible views and asks again at the next layout pass
    // (which a snapshot also runs). The selection keeps the paths that still exist.
    void reloadData();
    long numberOfSections() const;
    // 0 outside the sections.
    long numberOfItemsInSection(long section) const;

    // --- Elements.
    // The visible cell of the item, or null.
    std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(const fnd::IndexPath& indexPath) const;
    // The layout's attributes of the item; null outside the counts.
    CollectionViewLayoutAttributesRef layoutAttributesForItemAtIndexPath(const fnd::IndexPath& indexPath);
    // In index-path order.
    std::vector<std::shared_ptr<CollectionViewCell>> visibleCells() const;
    std::vector<fnd::IndexPath> indexPathsForVisibleItems() const;
    // The item of a visible cell, or nullopt.
    std::optional<fnd::IndexPath> indexPathForCell(const CollectionViewCell* cell) const;

    // --- Selection.
    bool allowsSelection() const { return _allowsSelection; }
    void setAllowsSelection(bool allows) { _allowsSelection = allows; }
    bool allowsMultipleSelection() const { return _allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows) { _allowsMultipleSelection = allows; }
    // In the order selected.
    const std::vector<fnd::IndexPath>& indexPathsForSelectedItems() const { return _selected; }

    // How many views were made (not taken from a pool) so far: a measure of reuse.
    long createdViewCount() const { return _createdViews; }

    void layoutSubviews() override;
    void touchesBegan(const TouchSet& touches, Event* event) override;
    void touchesEnded(const TouchSet& touches, Event* event) override;
    void touchesCancelled(const TouchSet& touches, Event* event) override;
    void layerWillChangeBounds(Layer& layer, const gfx::Rect& newBounds) override;

protected:
    CollectionView() = default;
    void init(const gfx::Rect& frame, std::shared_ptr<CollectionViewLayout> layout);
    friend class rt::Access;

    // Selection reports, overridable by subclasses that translate them (a table view).
    virtual bool shouldHighlightItem(const fnd::IndexPath& indexPath);
    virtual bool shouldSelectItem(const fnd::IndexPath& indexPath);
    virtual void didSelectItem(const fnd::IndexPath& indexPath);
    virtual void didDeselectItem(const fnd::IndexPath& indexPath);
    // Asks the data source for the cell of an item; null shows nothing.
    virtual std::shared_ptr<CollectionViewCell> cellFromDataSource(const fnd::IndexPath& indexPath);
    virtual long sectionsFromDataSource();
    virtual long itemsFromDataSource(long section);
    // Forgets the selection (a table's reload).
    void clearSelection() { _selected.clear(); }
    // A pooled view of the identifier, prepared for reuse; null when none is free.
    std::shared_ptr<CollectionReusableView> takeFromPool(std::string_view identifier);

private:
    struct ElementKey {
        CollectionElementCategory category = CollectionElementCategoryCell;
        std::string kind;
        fnd::IndexPath indexPath;
        friend bool operator==(const ElementKey&, const ElementKey&) = default;
    };
    struct ElementKeyHash {
        std::size_t operator()(const ElementKey& k) const {
            return k.indexPath.hash() ^ (std::hash<std::string>{}(k.kind) * 31) ^ std::size_t(k.category);
        }
    };
    struct Shown {
        std::shared_ptr<CollectionReusableView> view;
        CollectionViewLayoutAttributesRef attributes;
    };

    static ElementKey keyOf(const CollectionViewLayoutAttributes& attributes);
    void ensureCounts() const;
    bool contains(const fnd::IndexPath& indexPath) const;
    void updateVisibleElements();
    std::shared_ptr<CollectionReusableView> makeView(const CollectionViewLayoutAttributes& attributes);
    std::shared_ptr<CollectionReusableView> dequeue(const std::string& poolKey, const rt::Class* viewClass,
                                                    std::string_view identifier, const ElementKey& key);
    const rt::Class* registeredClass(const std::string& poolKey) const;
    void prepareLayoutIfNeeded();
    void apply(CollectionReusableView& view, const CollectionViewLayoutAttributesRef& attributes);
    void recycle(const std::shared_ptr<CollectionReusableView>& view, CollectionElementCategory category);
    void poolVisibleViews();
    void restack();
    CollectionViewLayoutAttributesRef attributesFor(const ElementKey& key);
    std::optional<fnd::IndexPath> touchedItem(const TouchSet& touches) const;
    void select(const fnd::IndexPath& indexPath);

    std::shared_ptr<CollectionViewLayout> _layout;
    std::weak_ptr<CollectionViewDataSource> _dataSource;
    std::weak_ptr<CollectionViewDelegate> _delegate;
    // Registered classes and pools by pool key: "c\n" + identifier for cells, "s\n" + kind +
    // "\n" + identifier for supplementary views, "d\n" + kind for decorations.
    std::unordered_map<std::string, const rt::Class*> _classes;
    std::unordered_map<std::string, std::vector<std::shared_ptr<CollectionReusableView>>> _pools;
    std::unordered_map<ElementKey, Shown, ElementKeyHash> _shown;
    std::size_t _reloadedCount = 0; // views being pooled by a reload
    // The attributes of the elements being shown in the current pass (for dequeues).
    std::unordered_map<ElementKey, CollectionViewLayoutAttributesRef, ElementKeyHash> _entering;

    mutable bool _countsValid = false;
    mutable std::vector<long> _itemCounts;
    bool _reloadRequested = false;
    bool _applyAll = false;
    bool _updating = false;
    bool _allowsSelection = true;
    bool _allowsMultipleSelection = false;
    std::vector<fnd::IndexPath> _selected;
    std::optional<fnd::IndexPath> _touchedItem;
    long _createdViews = 0;
};

} // namespace ui
