#pragma once

// Layout attributes: where a layout puts one element of a collection view (a cell, a
// supplementary view such as a section header, or a decoration view), and how it stacks.
// Views are handed copies, so a subclass that carries more fields (a reference the view
// draws from) overrides `copy` and `isEqual` to keep them:
//
//     class TimeLineAttributes : public ui::CollectionViewLayoutAttributes {
//     public:
//         std::weak_ptr<EventsView> owner;
//         std::shared_ptr<CollectionViewLayoutAttributes> copy() const override {
//             auto c = copyAs<TimeLineAttributes>();
//             c->owner = owner;
//             return c;
//         }
//         bool isEqual(const CollectionViewLayoutAttributes& other) const override {
//             return CollectionViewLayoutAttributes::isEqual(other) &&
//                    static_cast<const TimeLineAttributes&>(other).owner.lock() == owner.lock();
//         }
//     };
//     auto a = ui::CollectionViewLayoutAttributes::layoutAttributesForDecorationView<TimeLineAttributes>(
//         "timeline", fnd::IndexPath::withIndex(0));

#include "platform/foundation/IndexPath.h"
#include "platform/graphics/Geometry.h"
#include "platform/runtime/Object.h"

#include <memory>
#include <string>
#include <string_view>

namespace ui {

using CollectionElementCategory = long;
inline constexpr CollectionElementCategory CollectionElementCategoryCell = 0;
inline constexpr CollectionElementCategory CollectionElementCategorySupplementaryView = 1;
inline constexpr CollectionElementCategory CollectionElementCategoryDecorationView = 2;

// The kind of a section's header (the flow layout's supplementary view).
inline constexpr std::string_view CollectionElementKindSectionHeader = "CollectionElementKindSectionHeader";

class CollectionViewLayoutAttributes : public rt::Object {
public:
    OLM_DECLARE_CLASS(CollectionViewLayoutAttributes)

    template <class T = CollectionViewLayoutAttributes>
    static std::shared_ptr<T> layoutAttributesForCell(const fnd::IndexPath& indexPath) {
        return makeOf<T>(CollectionElementCategoryCell, {}, indexPath);
    }
    template <class T = CollectionViewLayoutAttributes>
    static std::shared_ptr<T> layoutAttributesForSupplementaryView(std::string_view kind,
                                                                   const fnd::IndexPath& indexPath) {
        return makeOf<T>(CollectionElementCategorySupplementaryView, kind, indexPath);
    }
    template <class T = CollectionViewLayoutAttributes>
    static std::shared_ptr<T> layoutAttributesForDecorationView(std::string_view kind,
                                                                const fnd::IndexPath& indexPath) {
        return makeOf<T>(CollectionElementCategoryDecorationView, kind, indexPath);
    }

    CollectionElementCategory representedElementCategory() const { return _category; }
    // The supplementary or decoration kind; empty for cells.
    const std::string& representedElementKind() const { return _kind; }
    const fnd::IndexPath& indexPath() const { return _indexPath; }
    void setIndexPath(const fnd::IndexPath& indexPath) { _indexPath = indexPath; }
    const gfx::Rect& frame() const { return _frame; }
    // Non-finite frames are ignored.
    void setFrame(const gfx::Rect& frame);
    gfx::Point center() const { return {_frame.midX(), _frame.midY()}; }
    gfx::Size size() const { return _frame.size; }
    // Higher stacks above lower (0 by default).
    long zIndex() const { return _zIndex; }
    void setZIndex(long zIndex) { _zIndex = zIndex; }

    // A copy of the same dynamic type.
    virtual std::shared_ptr<CollectionViewLayoutAttributes> copy() const;
    // Same dynamic type, element, frame and z index.
    virtual bool isEqual(const CollectionViewLayoutAttributes& other) const;

protected:
    CollectionViewLayoutAttributes() = default;
    void init() {}
    friend class rt::Access;

    // A new T carrying this object's base fields (for `copy` overrides).
    template <class T> std::shared_ptr<T> copyAs() const {
        auto c = rt::create<T>();
        c->CollectionViewLayoutAttributes::assignBase(*this);
        return c;
    }

private:
    template <class T>
    static std::shared_ptr<T> makeOf(CollectionElementCategory category, std::string_view kind,
                                      const fnd::IndexPath& indexPath) {
        auto a = rt::create<T>();
        a->CollectionViewLayoutAttributes::_category = category;
        a->CollectionViewLayoutAttributes::_kind = std::string(kind);
        a->CollectionViewLayoutAttributes::_indexPath = indexPath;
        return a;
    }
    void assignBase(const CollectionViewLayoutAttributes& other);

    CollectionElementCategory _category = CollectionElementCategoryCell;
    std::string _kind;
    fnd::IndexPath _indexPath;
    gfx::Rect _frame;
    long _zIndex = 0;
};

using CollectionViewLayoutAttributesRef = std::shared_ptr<CollectionViewLayoutAttributes>;

} // namespace ui
