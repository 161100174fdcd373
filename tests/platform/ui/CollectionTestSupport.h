#pragma once

// Helpers of the collection and table tests: a cell that records what it is given, and a
// data source and flow delegate that record what they are asked.

#include "platform/ui/CollectionView.h"
#include "platform/ui/CollectionViewFlowLayout.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace ui::test {

class RecordingCell : public CollectionViewCell {
public:
    OLM_DECLARE_CLASS(RecordingCell)
    static std::shared_ptr<RecordingCell> make(const gfx::Rect& frame) { return rt::create<RecordingCell>(frame); }
    static inline int made = 0;
    static inline int reusedTotal = 0;
    int reuses = 0;
    int applies = 0;
    void prepareForReuse() override {
        CollectionViewCell::prepareForReuse();
        ++reuses;
        ++reusedTotal;
    }
    void applyLayoutAttributes(const CollectionViewLayoutAttributesRef& a) override {
        CollectionViewCell::applyLayoutAttributes(a);
        ++applies;
    }

protected:
    RecordingCell() = default;
    void init(const gfx::Rect& frame) {
        CollectionViewCell::init(frame);
        ++made;
    }
    friend class rt::Access;
};

class RecordingHeader : public CollectionReusableView {
public:
    OLM_DECLARE_CLASS(RecordingHeader)
    static std::shared_ptr<RecordingHeader> make(const gfx::Rect& frame) { return rt::create<RecordingHeader>(frame); }

protected:
    RecordingHeader() = default;
    friend class rt::Access;
};

// Sections of `items[s]` items; cells "cell" and headers "header" are dequeued, and every
// question is recorded.
class Source : public CollectionViewDataSource, public CollectionViewDelegateFlowLayout {
public:
    std::vector<long> items;
    std::optional<gfx::Size> size;
    std::vector<fnd::IndexPath> cellsAsked;
    std::vector<fnd::IndexPath> headersAsked;
    std::vector<std::string> log;
    std::vector<gfx::Rect> framesAtDequeue;
    int sizeQuestions = 0;
    bool nullCells = false;
    bool refuseHighlight = false;
    std::function<void(CollectionView&, const fnd::IndexPath&)> onSelect;

    long numberOfSectionsInCollectionView(CollectionView&) override { return static_cast<long>(items.size()); }
    long collectionViewNumberOfItemsInSection(CollectionView&, long s) override {
        return items[static_cast<std::size_t>(s)];
    }
    std::shared_ptr<CollectionViewCell> collectionViewCellForItemAtIndexPath(CollectionView& cv,
                                                                             const fnd::IndexPath& p) override {
        cellsAsked.push_back(p);
        if (nullCells) return nullptr;
        auto cell = cv.dequeueReusableCell("cell", p);
        if (cell) framesAtDequeue.push_back(cell->frame());
        return cell;
    }
    std::shared_ptr<CollectionReusableView>
    collectionViewViewForSupplementaryElementOfKindAtIndexPath(CollectionView& cv, std::string_view kind,
                                                               const fnd::IndexPath& p) override {
        headersAsked.push_back(p);
        return cv.dequeueReusableSupplementaryView(kind, "header", p);
    }
    std::optional<gfx::Size> collectionViewLayoutSizeForItemAtIndexPath(CollectionView&, CollectionViewLayout&,
                                                                       const fnd::IndexPath&) override {
        ++sizeQuestions;
        return size;
    }
    bool collectionViewShouldHighlightItemAtIndexPath(CollectionView&, const fnd::IndexPath&) override {
        return !refuseHighlight;
    }
    void collectionViewDidSelectItemAtIndexPath(CollectionView& cv, const fnd::IndexPath& p) override {
        log.push_back("select " + std::to_string(p.section()) + "." + std::to_string(p.item()));
        if (onSelect) onSelect(cv, p);
    }
    void collectionViewDidDeselectItemAtIndexPath(CollectionView&, const fnd::IndexPath& p) override {
        log.push_back("deselect " + std::to_string(p.section()) + "." + std::to_string(p.item()));
    }
};

} // namespace ui::test
