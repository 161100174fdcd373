#pragma once

// The base of every calendar cell: a text label, a style, four border layers and an optional
// shape drawn behind the text. Restyling is one road for all cells (`updateVisuals`): the
// calendar's theme styles the style by the cell's own class, the calendar's delegate may
// restyle it, and the result is shown on the view, the label and the borders.
//
// Subclasses set the owner and the text in their attach methods, then call updateVisuals.
// A cell holds its calendar weakly; without one it shows its style's defaults.

#include "OLMCalendar/Themes/Styles/XQCalendarCellStyle.h"
#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/graphics/Text.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class XQCalendar;

class XQCalendarCell : public ui::View {
public:
    OLM_DECLARE_CLASS(XQCalendarCell)
    static std::shared_ptr<XQCalendarCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarCell>(frame);
    }

    const std::shared_ptr<ui::Label>& label() const { return _label; }

    std::shared_ptr<XQCalendar> owner() const { return _owner.lock(); }
    void setOwner(XQCalendar* owner);

    // Never null. A null style, or one of a class the cell cannot use (a day cell needs a
    // day-cell style), is ignored.
    const std::shared_ptr<XQCalendarCellStyle>& cellStyle() const { return _cellStyle; }
    void setCellStyle(std::shared_ptr<XQCalendarCellStyle> style);
    XQCalendarCellStyle& style() const { return *_cellStyle; }

    const std::shared_ptr<ui::Layer>& leftBorderLayer() const { return _leftBorderLayer; }
    const std::shared_ptr<ui::Layer>& rightBorderLayer() const { return _rightBorderLayer; }
    const std::shared_ptr<ui::Layer>& topBorderLayer() const { return _topBorderLayer; }
    const std::shared_ptr<ui::Layer>& bottomBorderLayer() const { return _bottomBorderLayer; }
    void setLeftBorderLayer(std::shared_ptr<ui::Layer> layer) { _leftBorderLayer = std::move(layer); }
    void setRightBorderLayer(std::shared_ptr<ui::Layer> layer) { _rightBorderLayer = std::move(layer); }
    void setTopBorderLayer(std::shared_ptr<ui::Layer> layer) { _topBorderLayer = std::move(layer); }
    void setBottomBorderLayer(std::shared_ptr<ui::Layer> layer) { _bottomBorderLayer = std::move(layer); }

    // The size of a shape that has none of its own, computed from the text on first draw.
    gfx::Size cellShapeSize() const { return _cellShapeSize; }
    void setCellShapeSize(gfx::Size size) { _cellShapeSize = size; }

    // The style of a new cell; subclasses return their own style class.
    virtual std::shared_ptr<XQCalendarCellStyle> createStyle() const;
    // Styles the style as the theme would for `state`, then puts the style's state back;
    // the view is not touched.
    void applyStyleForState(long state);
    // Theme, then delegate, then shows the style.
    virtual void updateVisuals();
    // Places and colours the border layers (without animation).
    void updateBorder();

    void layoutSubviews() override;
    bool drawsContent() const override { return true; }
    void drawRect(const gfx::Rect& rect) override;

protected:
    friend struct rt::Access;
    XQCalendarCell() = default;
    void init(const gfx::Rect& frame);
    void init() { init(gfx::Rect::zero()); }

    // Whether the cell can work with a style of this class.
    virtual bool acceptsStyle(const XQCalendarCellStyle& style) const {
        (void)style;
        return true;
    }
    // Styles the style by the owner's theme for the cell's class.
    void applyThemeStyles();
    // Sets the text, restyles and asks for layout (the label is fitted to the new text).
    void showText(std::string text);
    // The label's text alignment for a cell alignment: left, else right, else centred, else
    // unchanged.
    static void applyTextAlignment(ui::Label& label, XQCalendarCellAlignment alignment);
    // Draws `shape` with the style's fill and stroke at `size`, centred in `rect`, then gives
    // the shape its own size back (shapes are shared between styles and cells).
    void drawStyleShape(XQShape& shape, gfx::Size size, const gfx::Rect& rect) const;

private:
    std::shared_ptr<ui::Label> _label;
    std::weak_ptr<XQCalendar> _owner;
    std::shared_ptr<XQCalendarCellStyle> _cellStyle;
    std::shared_ptr<ui::Layer> _leftBorderLayer;
    std::shared_ptr<ui::Layer> _rightBorderLayer;
    std::shared_ptr<ui::Layer> _topBorderLayer;
    std::shared_ptr<ui::Layer> _bottomBorderLayer;
    gfx::Size _cellShapeSize;
};

// The calendar delegate's cell of a kind (calendarViewForCellOfKind) when it gives one that
// fits: of the kind's stock class or a subclass, and not shown already; else nullptr.
std::shared_ptr<XQCalendarCell> delegateCellOfKind(XQCalendar& calendar, XQCalendarCellType kind);
// A new stock cell of a kind (day, day name, week number, plain title); nullptr for others.
std::shared_ptr<XQCalendarCell> stockCellOfKind(XQCalendarCellType kind);

// Whether a size is zero in both dimensions (a shape without a size of its own).
inline bool isZeroSize(gfx::Size size) {
    return size.width == 0 && size.height == 0;
}
// A month or weekday name in the case of the effect (values other than 1 and 2 change nothing).
std::string textWithEffect(std::string text, XQCalendarTextEffect effect);
// Text attributes of one font (the rest at their defaults).
inline gfx::TextAttributes fontAttributes(gfx::FontRef font, std::optional<gfx::Color> color = std::nullopt) {
    gfx::TextAttributes attributes;
    attributes.font = std::move(font);
    attributes.foregroundColor = color;
    return attributes;
}
// `size` grown by `grow` each way and made square on its smaller side, taken in single
// precision.
gfx::Size squareShapeSize(gfx::Size size, gfx::Float grow);
