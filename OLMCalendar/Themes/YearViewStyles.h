#pragma once

// The style groups both themes give the year view: its year titles and its mini months.

#include "OLMCore/XQTheme.h"
#include "platform/graphics/Color.h"

#include <optional>

namespace themes {

// The title cells of the year view only (their styles carry the year presenter as condition
// class): a light 17-point title at the left, no top border, a bottom border of its own.
void addYearTitleStyles(XQTheme& theme, const std::optional<gfx::Color>& textColor,
                        const std::optional<gfx::Color>& bottomBorderColor);
// The mini months' fonts and twelve months per page, in every state.
void addYearPresenterStyles(XQTheme& theme);

} // namespace themes
