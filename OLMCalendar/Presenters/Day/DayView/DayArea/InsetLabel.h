#pragma once

// A label with room kept free around its text. The insets count in the size it asks for;
// when the text is taller than the rectangle it is drawn in, the vertical insets are given
// up so that as much of it shows as possible.

#include "platform/ui/Label.h"

class InsetLabel : public ui::Label {
public:
    OLM_DECLARE_CLASS(InsetLabel)
    static std::shared_ptr<InsetLabel> make(const gfx::Rect& frame = {}) { return rt::create<InsetLabel>(frame); }

    // Setting them lays nothing out again by itself.
    gfx::EdgeInsets textInsets() const { return _textInsets; }
    // Redraws the text at its new place; lays nothing out.
    void setTextInsets(gfx::EdgeInsets insets);

    gfx::Size removeInsetsFromSize(gfx::Size size) const;
    gfx::Size addInsetsToSize(gfx::Size size) const;

    // The label's own fitting size within the size less the insets, plus the insets.
    gfx::Size sizeThatFits(gfx::Size size) const override;
    gfx::Size sizeThatFits(gfx::Size size, gfx::LineBreakMode mode) const;
    void drawTextInRect(const gfx::Rect& rect) override;

protected:
    friend class rt::Access;
    InsetLabel() = default;

private:
    gfx::EdgeInsets _textInsets;
};
