#pragma once

// The flow layout: sections one under another, each a header (the collection view's width,
// when it has a height), the section's top inset, lines of items with `minimumLineSpacing`
// between them, and the bottom inset. Lines fill greedily: k items fit when their widths
// plus (k - 1) × `minimumInteritemSpacing` do not exceed the width inside the insets (a
// negative spacing fits more). A lone item is centred; more are justified (the first at the
// left inset, the last flush right, equal gaps); each is centred in its line's height. A too
// wide item stands alone at the left inset. Frames are not rounded.
//
// Every metric may come from the collection view's delegate when it implements
// `CollectionViewDelegateFlowLayout` (nullopt answers: the layout's property). Metrics are
// asked again only after a reload, a whole invalidation, or a context asking for them; a
// width change (which the layout accepts as an invalidation) only breaks the lines again.
// Negative or non-finite sizes count as 0.
//
// Sections whose items all have one size keep no storage per item, so long lists of equal
// items cost nothing off screen. Main thread only.

#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewLayout.h"

#include <optional>
#include <vector>

namespace ui {

class CollectionViewFlowLayout;

class CollectionViewDelegateFlowLayout : public virtual CollectionViewDelegate {
public:
    virtual std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(CollectionView& collectionView,
                                                                               CollectionViewLayout& layout,
                                                                               const fnd::IndexPath& indexPath);
    virtual std::optional<gfx::EdgeInsets> collectionViewLayoutInsetForSectionAtIndex(CollectionView& collectionView,
                                                                                     CollectionViewLayout& layout,
                                                                                     long section);
    virtual std::optional<double> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(CollectionView& collectionView,
                                                                                         CollectionViewLayout& layout,
                                                                                         long section);
    virtual std::optional<double>
    collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(CollectionView& collectionView,
                                                                 CollectionViewLayout& layout, long section);
    virtual std::optional<gfx::Size> collectionViewLayoutReferenceSizeForHeaderInSection(CollectionView& collectionView,
                                                                                        CollectionViewLayout& layout,
                                                                                        long section);
};

class CollectionViewFlowLayout : public CollectionViewLayout {
public:
    OLM_DECLARE_CLASS(CollectionViewFlowLayout)
    static std::shared_ptr<CollectionViewFlowLayout> make() { return rt::create<CollectionViewFlowLayout>(); }

    // 50 x 50.
    gfx::Size itemSize() const { return _itemSize; }
    void setItemSize(gfx::Size size);
    // 10.
    double minimumInteritemSpacing() const { return _interitemSpacing; }
    void setMinimumInteritemSpacing(double spacing);
    // 10.
    double minimumLineSpacing() const { return _lineSpacing; }
    void setMinimumLineSpacing(double spacing);
    const gfx::EdgeInsets& sectionInset() const { return _sectionInset; }
    void setSectionInset(const gfx::EdgeInsets& inset);
    // Only the height counts (the header spans the collection view's width).
    gfx::Size headerReferenceSize() const { return _headerReferenceSize; }
    void setHeaderReferenceSize(gfx::Size size);

    void prepareLayout() override;
    gfx::Size collectionViewContentSize() const override;
    std::vector<CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect& rect) const override;
    CollectionViewLayoutAttributesRef layoutAttributesForItemAtIndexPath(const fnd::IndexPath& indexPath) const override;
    CollectionViewLayoutAttributesRef
    layoutAttributesForSupplementaryViewOfKindAtIndexPath(std::string_view kind,
                                                          const fnd::IndexPath& indexPath) const override;
    // YES when the width changes.
    bool shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const override;

protected:
    CollectionViewFlowLayout() = default;
    void init() {}
    friend class rt::Access;

private:
    struct Line {
        long first = 0;
        long count = 0;
        double y = 0;
        double height = 0;
    };
    struct Section {
        // Metrics.
        double headerHeight = 0;
        gfx::EdgeInsets inset;
        double lineSpacing = 0;
        double interitemSpacing = 0;
        long count = 0;
        // One size for every item (no storage per item), or a size per item.
        bool uniform = true;
        gfx::Size uniformSize;
        std::vector<gfx::Size> sizes;
        // Geometry.
        double top = 0;
        double itemsTop = 0;
        double bottom = 0;
        long perLine = 1;            // uniform sections
        std::vector<Line> lines;     // other sections
        long lineCount = 0;
    };

    void fetchMetrics();
    bool countsChanged() const;
    void breakLines(Section& section, double width) const;
    gfx::Size sizeOf(const Section& section, long item) const;
    Line lineAt(const Section& section, long index) const;
    long lineOfItem(const Section& section, long item) const;
    // The frames of a line's items, in order: `visit(item, frame)`.
    template <class Visit> void placeLine(const Section& section, const Line& line, Visit&& visit) const;
    double width() const;

    gfx::Size _itemSize{50, 50};
    double _interitemSpacing = 10;
    double _lineSpacing = 10;
    gfx::EdgeInsets _sectionInset;
    gfx::Size _headerReferenceSize;

    std::vector<Section> _sections;
    bool _metricsValid = false;
    double _contentHeight = 0;
};

} // namespace ui
