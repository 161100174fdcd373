#pragma once

// Table rows: a cell with a text label, an optional detail label and an image view in its
// content view, laid out by its style, a one-pixel separator along its bottom edge, and a
// grey background while selected or highlighted (unless its selection style is none).
//
// Style 0 (default): image, then the text. Style 1 (value 1): image, the text, and the
// detail right-aligned in the secondary label colour. Margins and gaps are 15 points, both
// labels use the system font of 17 points, everything is centred vertically. Subclasses
// move the views after the base's layout.

#include "platform/ui/CollectionViewCell.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <memory>
#include <string>

namespace ui {

using TableViewCellStyle = long;
inline constexpr TableViewCellStyle TableViewCellStyleDefault = 0;
inline constexpr TableViewCellStyle TableViewCellStyleValue1 = 1;

using TableViewCellSelectionStyle = long;
inline constexpr TableViewCellSelectionStyle TableViewCellSelectionStyleNone = 0;
inline constexpr TableViewCellSelectionStyle TableViewCellSelectionStyleGray = 2;
inline constexpr TableViewCellSelectionStyle TableViewCellSelectionStyleDefault = 3;

class TableViewCell : public CollectionViewCell {
public:
    OLM_DECLARE_CLASS(TableViewCell)
    // `initWithStyle:reuseIdentifier:`; styles other than 1 are the default style.
    static std::shared_ptr<TableViewCell> make(TableViewCellStyle style, std::string reuseIdentifier) {
        return rt::create<TableViewCell>(style, std::move(reuseIdentifier));
    }

    TableViewCellStyle style() const { return _style; }
    const std::shared_ptr<Label>& textLabel() const { return _textLabel; }
    // Null in the default style.
    const std::shared_ptr<Label>& detailTextLabel() const { return _detailTextLabel; }
    const std::shared_ptr<ImageView>& imageView() const { return _imageView; }

    // 0 none; any other value shows the grey selection (the default, 3).
    TableViewCellSelectionStyle selectionStyle() const { return _selectionStyle; }
    void setSelectionStyle(TableViewCellSelectionStyle style);
    // Where the separator runs: from `left` to the width less `right` (left 15 by default).
    const gfx::EdgeInsets& separatorInset() const { return _separatorInset; }
    void setSeparatorInset(const gfx::EdgeInsets& inset);

    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    void layoutSubviews() override;

protected:
    TableViewCell() = default;
    void init(TableViewCellStyle style, std::string reuseIdentifier);
    friend class rt::Access;

private:
    friend class TableView;
    void setSeparatorColor(const gfx::Color& color);
    void showSelection();

    TableViewCellStyle _style = TableViewCellStyleDefault;
    std::shared_ptr<Label> _textLabel;
    std::shared_ptr<Label> _detailTextLabel;
    std::shared_ptr<ImageView> _imageView;
    std::shared_ptr<View> _selectedBackground;
    std::shared_ptr<View> _separator;
    TableViewCellSelectionStyle _selectionStyle = TableViewCellSelectionStyleDefault;
    gfx::EdgeInsets _separatorInset{0, 15, 0, 0};
};

} // namespace ui
