#pragma once

// The time line: the decoration view the events layout puts under the whole content of the
// events view. It draws one horizontal separator per slot boundary with that time's label
// beside it, reading everything from its owner at drawing time. Its attributes carry the
// owner through every copy the collection view makes.

#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/CollectionViewLayoutAttributes.h"

class XQCalendarDayViewEventsView;

class XQCalendarDayViewTimeLineLayoutAttributes : public ui::CollectionViewLayoutAttributes {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewTimeLineLayoutAttributes)
    static std::shared_ptr<XQCalendarDayViewTimeLineLayoutAttributes>
    layoutAttributesForDecorationViewOfKind(std::string_view kind, const fnd::IndexPath& indexPath,
                                            const std::shared_ptr<XQCalendarDayViewEventsView>& owner);

    // The events view whose line the time line draws (held weakly).
    std::shared_ptr<XQCalendarDayViewEventsView> owner() const { return _owner.lock(); }
    void setOwner(const std::shared_ptr<XQCalendarDayViewEventsView>& owner) { _owner = owner; }

    // Copies carry the owner; equal attributes have equal owners.
    std::shared_ptr<ui::CollectionViewLayoutAttributes> copy() const override;
    bool isEqual(const ui::CollectionViewLayoutAttributes& other) const override;

protected:
    friend class rt::Access;
    XQCalendarDayViewTimeLineLayoutAttributes() = default;

private:
    std::weak_ptr<XQCalendarDayViewEventsView> _owner;
};

class XQCalendarDayViewTimeLine : public ui::CollectionReusableView {
public:
    OLM_DECLARE_CLASS(XQCalendarDayViewTimeLine)
    static std::shared_ptr<XQCalendarDayViewTimeLine> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarDayViewTimeLine>(frame);
    }

    std::shared_ptr<XQCalendarDayViewEventsView> owner() const { return _owner.lock(); }

    // Takes the owner from time-line attributes and draws again when what it would draw
    // changed (another owner, size, zoom, range, labels or look).
    void applyLayoutAttributes(const ui::CollectionViewLayoutAttributesRef& attributes) override;
    bool drawsContent() const override { return true; }
    // Draws the lines and labels that meet `rect`, placed by the bounds.
    void drawRect(const gfx::Rect& rect) override;

protected:
    friend class rt::Access;
    XQCalendarDayViewTimeLine() = default;

private:
    // Everything the drawing reads; equal looks draw the same.
    struct Looks {
        bool hasOwner = false;
        gfx::Size size;
        double zoom = 0, slots = 0, topOffset = 0, spacing = 0, labelOffset = 0, leading = 0, trailing = 0;
        double separatorWidth = 0;
        std::optional<gfx::Color> separatorColor;
        long alignment = 0;
        gfx::Size labelSize;
        unsigned long labelsVersion = 0;
        friend bool operator==(const Looks&, const Looks&) = default;
    };
    Looks currentLooks() const;

    std::weak_ptr<XQCalendarDayViewEventsView> _owner;
    std::optional<Looks> _drawn;
};
