#pragma once

// The views a collection view shows. `CollectionReusableView` is any element (a section
// header, a decoration such as a time line); `CollectionViewCell` is an item, with a content
// view for its subviews and selected and highlighted states. The collection view makes them
// from registered classes, recycles them through reuse pools, and gives them their layout
// attributes: it sets the frame, then calls `applyLayoutAttributes` with its own copy.
//
// Classes are registered as descriptors whose factory makes a view with a frame:
//
//     collection->registerClass(&ui::CollectionReusableView::reusableClass<MonthCell>(), "ycell");
//
// Main thread only.

#include "platform/ui/CollectionViewLayoutAttributes.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>

namespace ui {

class CollectionReusableView : public View {
public:
    OLM_DECLARE_CLASS(CollectionReusableView)
    static std::shared_ptr<CollectionReusableView> make(const gfx::Rect& frame = {}) {
        return rt::create<CollectionReusableView>(frame);
    }
    using Factory = std::shared_ptr<CollectionReusableView>(const gfx::Rect&);

    // T's descriptor, with the factory a collection view makes T with (T::make(frame)). T
    // declares its own descriptor (OLM_DECLARE_CLASS).
    template <class T> static const rt::Class& reusableClass() {
        // Installing the factory is the one change made to a descriptor, on the main thread.
        auto& cls = const_cast<rt::Class&>(T::staticClass());
        if (!cls.hasFactory<Factory>())
            cls.setFactory<Factory>(
                [](const gfx::Rect& frame) -> std::shared_ptr<CollectionReusableView> { return T::make(frame); });
        return cls;
    }

    // The identifier it was dequeued with (or made with, for a table's cell).
    const std::string& reuseIdentifier() const { return _reuseIdentifier; }
    // Called when the view is handed out again from a reuse pool.
    virtual void prepareForReuse() {}
    // Called with a copy of the view's attributes after its frame was set: when it is
    // dequeued, when they change, and after every invalidation of the layout.
    virtual void applyLayoutAttributes(const CollectionViewLayoutAttributesRef& attributes) { (void)attributes; }
    // The attributes last applied (null before the first).
    const CollectionViewLayoutAttributesRef& layoutAttributes() const { return _layoutAttributes; }

protected:
    CollectionReusableView() = default;
    void init(const gfx::Rect& frame) { View::init(frame); }
    friend class rt::Access;
    void setReuseIdentifier(std::string identifier) { _reuseIdentifier = std::move(identifier); }

private:
    friend class CollectionView;
    std::string _reuseIdentifier;
    CollectionViewLayoutAttributesRef _layoutAttributes;
    // The collection view's bookkeeping: the pool the view returns to (empty: none), the
    // class it was made of (null: not by the collection view), whether it is shown.
    std::string _poolKey;
    const rt::Class* _madeOf = nullptr;
    bool _inUse = false;
};

class CollectionViewCell : public CollectionReusableView {
public:
    OLM_DECLARE_CLASS(CollectionViewCell)
    static std::shared_ptr<CollectionViewCell> make(const gfx::Rect& frame = {}) {
        return rt::create<CollectionViewCell>(frame);
    }

    // Where subviews go; it fills the cell.
    const std::shared_ptr<View>& contentView() const { return _contentView; }
    bool isSelected() const { return _selected; }
    virtual void setSelected(bool selected) { _selected = selected; }
    bool isHighlighted() const { return _highlighted; }
    virtual void setHighlighted(bool highlighted) { _highlighted = highlighted; }
    // Clears the selected and highlighted states.
    void prepareForReuse() override;

protected:
    CollectionViewCell() = default;
    void init(const gfx::Rect& frame);
    friend class rt::Access;

private:
    std::shared_ptr<View> _contentView;
    bool _selected = false;
    bool _highlighted = false;
};

} // namespace ui
