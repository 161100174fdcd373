#pragma once

// The style groups both themes give the cells of the month-names and year-numbers grids.

#include "OLMCore/XQFill.h"
#include "OLMCore/XQTheme.h"
#include "platform/graphics/Color.h"

#include <memory>
#include <optional>

namespace themes {

// The colours of a grid's cells: plain, selected (on a circle of `selectedFill`) and out of
// range.
struct MonthYearColors {
    std::optional<gfx::Color> text;
    std::optional<gfx::Color> selectedText;
    std::shared_ptr<XQFill> selectedFill;
    std::optional<gfx::Color> outOfRangeText;
};

// Registers the three groups of a month-name or year-number cell class (all states, selected,
// out of range); every call makes its own font and shape.
void addMonthYearCellStyles(XQTheme& theme, const rt::Class& cell, const MonthYearColors& colors);

} // namespace themes
