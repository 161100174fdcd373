#include "platform/ui/CollectionView.h"

#include <algorithm>

namespace ui {

OLM_DEFINE_CLASS(CollectionView, ScrollView)

namespace {

// Pools keep at least this many views per key, and as many as are shown.
constexpr std::size_t minimumPoolSize = 32;

std::string cellPoolKey(std::string_view identifier) {
    return "c\n" + std::string(identifier);
}

std::string supplementaryPoolKey(std::string_view kind, std::string_view identifier) {
    return "s\n" + std::string(kind) + "\n" + std::string(identifier);
}

std::string decorationPoolKey(std::string_view kind) {
    return "d\n" + std::string(kind);
}

// Decorations under cells under supplementary views.
int stackingRank(CollectionElementCategory category) {
    if (category == CollectionElementCategoryDecorationView) return 0;
    if (category == CollectionElementCategoryCell) return 1;
    return 2;
}

} // namespace

void CollectionView::init(const gfx::Rect& frame, std::shared_ptr<CollectionViewLayout> layout) {
    ScrollView::init(frame);
    setCollectionViewLayout(std::move(layout));
}

CollectionView::~CollectionView() {
    if (_layout && _layout->collectionView() == this) _layout->attach(nullptr);
}

void CollectionView::setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout) {
    if (!layout || layout == _layout || layout->collectionView() != nullptr) return;
    if (_layout) _layout->attach(nullptr);
    _layout = std::move(layout);
    _layout->attach(this);
    setNeedsLayout();
}

void CollectionView::setDataSource(const std::shared_ptr<CollectionViewDataSource>& dataSource) {
    _dataSource = dataSource;
    reloadData();
}

void CollectionView::setDelegate(const std::shared_ptr<CollectionViewDelegate>& delegate) {
    _delegate = delegate;
    ScrollView::setDelegate(delegate);
    if (_layout) _layout->invalidateLayout();
}

// --- Registration and reuse.

void CollectionView::registerClass(const rt::Class* cellClass, std::string_view reuseIdentifier) {
    const std::string key = cellPoolKey(reuseIdentifier);
    _pools.erase(key);
    if (cellClass != nullptr && cellClass->hasFactory<CollectionReusableView::Factory>())
        _classes[key] = cellClass;
    else
        _classes.erase(key);
}

void CollectionView::registerClassForSupplementaryView(const rt::Class* viewClass, std::string_view kind,
                                                       std::string_view reuseIdentifier) {
    const std::string key = supplementaryPoolKey(kind, reuseIdentifier);
    _pools.erase(key);
    if (viewClass != nullptr && viewClass->hasFactory<CollectionReusableView::Factory>())
        _classes[key] = viewClass;
    else
        _classes.erase(key);
}

const rt::Class* CollectionView::registeredClass(const std::string& poolKey) const {
    if (poolKey.starts_with("d\n")) return _layout ? _layout->decorationClass(std::string_view(poolKey).substr(2)) : nullptr;
    const auto it = _classes.find(poolKey);
    return it != _classes.end() ? it->second : nullptr;
}

std::shared_ptr<CollectionReusableView> CollectionView::takeFromPool(std::string_view identifier) {
    const auto it = _pools.find(cellPoolKey(identifier));
    if (it == _pools.end() || it->second.empty()) return nullptr;
    std::shared_ptr<CollectionReusableView> view = std::move(it->second.back());
    it->second.pop_back();
    view->prepareForReuse();
    return view;
}

std::shared_ptr<CollectionReusableView> CollectionView::dequeue(const std::string& poolKey, const rt::Class* viewClass,
                                                                std::string_view identifier, const ElementKey& key) {
    if (viewClass == nullptr) return nullptr;
    std::shared_ptr<CollectionReusableView> view;
    CollectionViewLayoutAttributesRef attributes = attributesFor(key);
    auto& pool = _pools[poolKey];
    if (!pool.empty()) {
        // The view that showed the element last (after a reload), else one of its size: its
        // contents are the likeliest to stand or to be redrawn in the same store.
        auto pick = std::find_if(pool.rbegin(), pool.rend(), [&](const auto& v) {
            return v->_layoutAttributes && keyOf(*v->_layoutAttributes) == key;
        });
        if (pick == pool.rend() && attributes)
            pick = std::find_if(pool.rbegin(), pool.rend(),
                                [&](const auto& v) { return v->bounds().size == attributes->frame().size; });
        if (pick == pool.rend()) pick = pool.rbegin();
        view = std::move(*pick);
        pool.erase(std::next(pick).base());
        view->prepareForReuse();
    } else {
        view = viewClass->make<CollectionReusableView::Factory>(gfx::Rect{});
        if (!view) return nullptr;
        ++_createdViews;
        view->_poolKey = poolKey;
        view->_madeOf = viewClass;
    }
    view->setReuseIdentifier(std::string(identifier));
    if (attributes) apply(*view, attributes);
    return view;
}

std::shared_ptr<CollectionViewCell> CollectionView::dequeueReusableCell(std::string_view reuseIdentifier,
                                                                        const fnd::IndexPath& indexPath) {
    const std::string key = cellPoolKey(reuseIdentifier);
    const rt::Class* cls = registeredClass(key);
    auto view = dequeue(key, cls, reuseIdentifier, {CollectionElementCategoryCell, {}, indexPath});
    auto cell = std::dynamic_pointer_cast<CollectionViewCell>(view);
    if (view && !cell) recycle(view, CollectionElementCategoryCell);
    return cell;
}

std::shared_ptr<CollectionReusableView>
CollectionView::dequeueReusableSupplementaryView(std::string_view kind, std::string_view reuseIdentifier,
                                                 const fnd::IndexPath& indexPath) {
    const std::string key = supplementaryPoolKey(kind, reuseIdentifier);
    return dequeue(key, registeredClass(key), reuseIdentifier,
                   {CollectionElementCategorySupplementaryView, std::string(kind), indexPath});
}

void CollectionView::recycle(const std::shared_ptr<CollectionReusableView>& view, CollectionElementCategory) {
    view->_inUse = false;
    if (view->superview() == this) view->removeFromSuperview();
    // Views of a class no longer registered under their key are let go.
    if (view->_poolKey.empty() || (view->_madeOf != nullptr && registeredClass(view->_poolKey) != view->_madeOf))
        return;
    auto& pool = _pools[view->_poolKey];
    if (pool.size() < std::max({minimumPoolSize, _shown.size(), _reloadedCount})) pool.push_back(view);
}

void CollectionView::poolVisibleViews() {
    auto shown = std::move(_shown);
    _shown.clear();
    // A reload shows about as many views again: the pool keeps them all.
    const std::size_t outer = std::exchange(_reloadedCount, shown.size());
    for (auto& [key, element] : shown)
        recycle(element.view, key.category);
    _reloadedCount = outer;
}

// --- Data.

void CollectionView::reloadData() {
    if (_updating) {
        // Applied before the layout pass that is running ends.
        _reloadRequested = true;
        return;
    }
    _countsValid = false;
    poolVisibleViews();
    if (_layout) {
        const auto context = CollectionViewLayoutInvalidationContext::make();
        context->setInvalidateEverything(true);
        context->setInvalidateDataSourceCounts(true);
        _layout->invalidateLayoutWithContext(*context);
    }
    setNeedsLayout();
}

long CollectionView::sectionsFromDataSource() {
    const auto ds = dataSource();
    return ds ? ds->numberOfSectionsInCollectionView(*this) : 0;
}

long CollectionView::itemsFromDataSource(long section) {
    const auto ds = dataSource();
    return ds ? ds->collectionViewNumberOfItemsInSection(*this, section) : 0;
}

void CollectionView::ensureCounts() const {
    if (_countsValid) return;
    _countsValid = true;
    auto* self = const_cast<CollectionView*>(this);
    const std::shared_ptr<CollectionView> keep = rt::sharedFrom(self);
    const long sections = std::max(0L, self->sectionsFromDataSource());
    std::vector<long> counts(static_cast<std::size_t>(sections), 0);
    for (long s = 0; s < sections; ++s)
        counts[static_cast<std::size_t>(s)] = std::max(0L, self->itemsFromDataSource(s));
    _itemCounts = std::move(counts);
    std::erase_if(self->_selected, [&](const fnd::IndexPath& p) { return !contains(p); });
}

long CollectionView::numberOfSections() const {
    ensureCounts();
    return static_cast<long>(_itemCounts.size());
}

long CollectionView::numberOfItemsInSection(long section) const {
    ensureCounts();
    if (section < 0 || section >= static_cast<long>(_itemCounts.size())) return 0;
    return _itemCounts[static_cast<std::size_t>(section)];
}

bool CollectionView::contains(const fnd::IndexPath& indexPath) const {
    return indexPath.length() == 2 && indexPath.item() >= 0 && indexPath.item() < numberOfItemsInSection(indexPath.section());
}

// --- Elements.

std::shared_ptr<CollectionViewCell> CollectionView::cellForItemAtIndexPath(const fnd::IndexPath& indexPath) const {
    const auto it = _shown.find({CollectionElementCategoryCell, {}, indexPath});
    return it != _shown.end() ? std::dynamic_pointer_cast<CollectionViewCell>(it->second.view) : nullptr;
}

void CollectionView::prepareLayoutIfNeeded() {
    if (_layout && _layout->prepareIfNeeded()) _applyAll = true;
}

CollectionViewLayoutAttributesRef CollectionView::layoutAttributesForItemAtIndexPath(const fnd::IndexPath& indexPath) {
    if (!_layout || !contains(indexPath)) return nullptr;
    prepareLayoutIfNeeded();
    return _layout->layoutAttributesForItemAtIndexPath(indexPath);
}

std::vector<std::shared_ptr<CollectionViewCell>> CollectionView::visibleCells() const {
    std::vector<std::shared_ptr<CollectionViewCell>> cells;
    for (const fnd::IndexPath& p : indexPathsForVisibleItems())
        cells.push_back(cellForItemAtIndexPath(p));
    return cells;
}

std::vector<fnd::IndexPath> CollectionView::indexPathsForVisibleItems() const {
    std::vector<fnd::IndexPath> paths;
    for (const auto& [key, element] : _shown)
        if (key.category == CollectionElementCategoryCell) paths.push_back(key.indexPath);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::optional<fnd::IndexPath> CollectionView::indexPathForCell(const CollectionViewCell* cell) const {
    if (cell == nullptr || !cell->_inUse || cell->superview() != this || !cell->_layoutAttributes) return std::nullopt;
    return cell->_layoutAttributes->indexPath();
}

CollectionView::ElementKey CollectionView::keyOf(const CollectionViewLayoutAttributes& attributes) {
    return {attributes.representedElementCategory(), attributes.representedElementKind(), attributes.indexPath()};
}

CollectionViewLayoutAttributesRef CollectionView::attributesFor(const ElementKey& key) {
    if (const auto it = _entering.find(key); it != _entering.end()) return it->second;
    if (!_layout) return nullptr;
    prepareLayoutIfNeeded();
    switch (key.category) {
    case CollectionElementCategoryCell:
        return contains(key.indexPath) ? _layout->layoutAttributesForItemAtIndexPath(key.indexPath) : nullptr;
    case CollectionElementCategorySupplementaryView:
        return _layout->layoutAttributesForSupplementaryViewOfKindAtIndexPath(key.kind, key.indexPath);
    default:
        return _layout->layoutAttributesForDecorationViewOfKindAtIndexPath(key.kind, key.indexPath);
    }
}

void CollectionView::apply(CollectionReusableView& view, const CollectionViewLayoutAttributesRef& attributes) {
    if (!(view.frame() == attributes->frame())) view.setFrame(attributes->frame());
    CollectionViewLayoutAttributesRef copy = attributes->copy();
    view._layoutAttributes = copy;
    view.applyLayoutAttributes(copy);
}

std::shared_ptr<CollectionViewCell> CollectionView::cellFromDataSource(const fnd::IndexPath& indexPath) {
    const auto ds = dataSource();
    return ds ? ds->collectionViewCellForItemAtIndexPath(*this, indexPath) : nullptr;
}

std::shared_ptr<CollectionReusableView> CollectionView::makeView(const CollectionViewLayoutAttributes& attributes) {
    const fnd::IndexPath& path = attributes.indexPath();
    std::shared_ptr<CollectionReusableView> view;
    switch (attributes.representedElementCategory()) {
    case CollectionElementCategoryCell:
        view = cellFromDataSource(path);
        break;
    case CollectionElementCategorySupplementaryView:
        if (const auto ds = dataSource())
            view = ds->collectionViewViewForSupplementaryElementOfKindAtIndexPath(
                *this, attributes.representedElementKind(), path);
        break;
    default: {
        const std::string key = decorationPoolKey(attributes.representedElementKind());
        view = dequeue(key, registeredClass(key), {}, keyOf(attributes));
        break;
    }
    }
    // A view shown elsewhere already is not shown twice.
    if (!view || view->_inUse) return nullptr;
    if (view->_poolKey.empty() && !view->reuseIdentifier().empty() &&
        attributes.representedElementCategory() == CollectionElementCategoryCell)
        view->_poolKey = cellPoolKey(view->reuseIdentifier());
    return view;
}

void CollectionView::updateVisibleElements() {
    ensureCounts();
    prepareLayoutIfNeeded();
    setContentSize(_layout->collectionViewContentSize());
    const gfx::Rect visible = bounds();
    const long sections = numberOfSections();

    std::unordered_map<ElementKey, CollectionViewLayoutAttributesRef, ElementKeyHash> next;
    for (CollectionViewLayoutAttributesRef& a : _layout->layoutAttributesForElementsInRect(visible)) {
        if (!a || !a->frame().intersects(visible)) continue;
        const fnd::IndexPath& p = a->indexPath();
        const CollectionElementCategory category = a->representedElementCategory();
        // Elements outside the counts are not asked of the data source.
        if (category == CollectionElementCategoryCell && !contains(p)) continue;
        if (category == CollectionElementCategorySupplementaryView && (p.section() < 0 || p.section() >= sections))
            continue;
        next.emplace(keyOf(*a), std::move(a));
    }

    for (auto it = _shown.begin(); it != _shown.end();) {
        if (next.count(it->first) != 0) {
            ++it;
            continue;
        }
        const std::shared_ptr<CollectionReusableView> view = it->second.view;
        const CollectionElementCategory category = it->first.category;
        it = _shown.erase(it);
        recycle(view, category);
    }

    const bool applyAll = std::exchange(_applyAll, false);
    bool restackNeeded = false;
    _entering = next;
    for (const auto& [key, attributes] : next) {
        if (const auto it = _shown.find(key); it != _shown.end()) {
            if (applyAll || !attributes->isEqual(*it->second.attributes)) {
                restackNeeded = restackNeeded || attributes->zIndex() != it->second.attributes->zIndex();
                it->second.attributes = attributes;
                apply(*it->second.view, attributes);
            }
            continue;
        }
        const std::shared_ptr<CollectionReusableView> view = makeView(*attributes);
        if (!view || _shown.count(key) != 0) continue;
        if (!view->_layoutAttributes || !view->_layoutAttributes->isEqual(*attributes)) apply(*view, attributes);
        if (auto* cell = dynamic_cast<CollectionViewCell*>(view.get());
            cell != nullptr && key.category == CollectionElementCategoryCell) {
            cell->setHighlighted(false);
            cell->setSelected(std::find(_selected.begin(), _selected.end(), key.indexPath) != _selected.end());
        }
        view->_inUse = true;
        _shown[key] = {view, attributes};
        addSubview(view);
        restackNeeded = true;
    }
    _entering.clear();
    if (restackNeeded) restack();
}

void CollectionView::restack() {
    std::vector<const Shown*> order;
    order.reserve(_shown.size());
    for (const auto& [key, element] : _shown)
        if (element.view->superview() == this) order.push_back(&element);
    std::sort(order.begin(), order.end(), [](const Shown* a, const Shown* b) {
        const CollectionViewLayoutAttributes& x = *a->attributes;
        const CollectionViewLayoutAttributes& y = *b->attributes;
        if (x.zIndex() != y.zIndex()) return x.zIndex() < y.zIndex();
        const int rx = stackingRank(x.representedElementCategory());
        const int ry = stackingRank(y.representedElementCategory());
        if (rx != ry) return rx < ry;
        if (x.indexPath() != y.indexPath()) return x.indexPath() < y.indexPath();
        return x.representedElementKind() < y.representedElementKind();
    });
    // The shown views go at the back, in that order; other subviews stay above them.
    for (std::size_t i = 0; i < order.size(); ++i)
        if (i >= subviews().size() || subviews()[i] != order[i]->view) insertSubview(order[i]->view, static_cast<long>(i));
}

void CollectionView::layoutSubviews() {
    ScrollView::layoutSubviews();
    if (!_layout) return;
    const std::shared_ptr<CollectionView> keep = rt::sharedFrom(this);
    // A reload or a scroll from a callback of the pass is applied before the pass ends.
    for (int round = 0; round < 4; ++round) {
        const gfx::Rect before = bounds();
        _updating = true;
        updateVisibleElements();
        _updating = false;
        if (std::exchange(_reloadRequested, false)) {
            reloadData();
            continue;
        }
        if (bounds() == before) break;
    }
}

void CollectionView::layerWillChangeBounds(Layer& layer, const gfx::Rect& newBounds) {
    ScrollView::layerWillChangeBounds(layer, newBounds);
    if (&layer != this->layer().get() || !_layout) return;
    if (!_layout->shouldInvalidateLayoutForBoundsChange(newBounds)) return;
    if (const auto context = _layout->invalidationContextForBoundsChange(newBounds))
        _layout->invalidateLayoutWithContext(*context);
}

// --- Selection.

bool CollectionView::shouldHighlightItem(const fnd::IndexPath& indexPath) {
    const auto d = delegate();
    return !d || d->collectionViewShouldHighlightItemAtIndexPath(*this, indexPath);
}

bool CollectionView::shouldSelectItem(const fnd::IndexPath& indexPath) {
    const auto d = delegate();
    return !d || d->collectionViewShouldSelectItemAtIndexPath(*this, indexPath);
}

void CollectionView::didSelectItem(const fnd::IndexPath& indexPath) {
    if (const auto d = delegate()) d->collectionViewDidSelectItemAtIndexPath(*this, indexPath);
}

void CollectionView::didDeselectItem(const fnd::IndexPath& indexPath) {
    if (const auto d = delegate()) d->collectionViewDidDeselectItemAtIndexPath(*this, indexPath);
}

std::optional<fnd::IndexPath> CollectionView::touchedItem(const TouchSet& touches) const {
    if (touches.empty()) return std::nullopt;
    for (const View* v = touches.front()->view().get(); v != nullptr && v != this; v = v->superview())
        if (v->superview() == this)
            if (const auto* cell = dynamic_cast<const CollectionViewCell*>(v)) return indexPathForCell(cell);
    return std::nullopt;
}

void CollectionView::touchesBegan(const TouchSet& touches, Event*) {
    _touchedItem.reset();
    if (!_allowsSelection || touchStoppedMotion()) return;
    const std::optional<fnd::IndexPath> path = touchedItem(touches);
    if (!path) return;
    const std::shared_ptr<CollectionView> keep = rt::sharedFrom(this);
    if (!shouldHighlightItem(*path)) return;
    _touchedItem = path;
    if (const auto cell = cellForItemAtIndexPath(*path)) cell->setHighlighted(true);
}

void CollectionView::touchesEnded(const TouchSet&, Event*) {
    const std::optional<fnd::IndexPath> path = std::exchange(_touchedItem, std::nullopt);
    if (!path) return;
    const std::shared_ptr<CollectionView> keep = rt::sharedFrom(this);
    if (const auto cell = cellForItemAtIndexPath(*path)) cell->setHighlighted(false);
    if (_allowsSelection && contains(*path)) select(*path);
}

void CollectionView::touchesCancelled(const TouchSet&, Event*) {
    if (const std::optional<fnd::IndexPath> path = std::exchange(_touchedItem, std::nullopt))
        if (const auto cell = cellForItemAtIndexPath(*path)) cell->setHighlighted(false);
}

void CollectionView::select(const fnd::IndexPath& indexPath) {
    const bool wasSelected = std::find(_selected.begin(), _selected.end(), indexPath) != _selected.end();
    if (_allowsMultipleSelection && wasSelected) {
        std::erase(_selected, indexPath);
        if (const auto cell = cellForItemAtIndexPath(indexPath)) cell->setSelected(false);
        didDeselectItem(indexPath);
        return;
    }
    if (!shouldSelectItem(indexPath)) return;
    if (!_allowsMultipleSelection) {
        std::vector<fnd::IndexPath> others = std::move(_selected);
        _selected.clear();
        std::erase(others, indexPath);
        for (const fnd::IndexPath& other : others) {
            if (const auto cell = cellForItemAtIndexPath(other)) cell->setSelected(false);
            didDeselectItem(other);
        }
    }
    if (std::find(_selected.begin(), _selected.end(), indexPath) == _selected.end()) _selected.push_back(indexPath);
    if (const auto cell = cellForItemAtIndexPath(indexPath)) cell->setSelected(true);
    didSelectItem(indexPath);
}

} // namespace ui
