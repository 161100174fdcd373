#pragma once

// Small images drawn in code: the chevron arrows of the month title's buttons.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

class ImageEffects {
public:
    // A chevron ("<" when `leftDirection`, ">" otherwise) drawn with round caps and joins in
    // `color` with a line `width` points wide, its points on the edges of the rectangle left
    // inside `insets`, into a transparent image of `size` at the screen scale. nullptr when
    // the size has no pixels; a transparent image when the insets leave no room or the width
    // is not a positive number.
    static gfx::ImageRef arrowImageWithSize(gfx::Size size, gfx::EdgeInsets insets, gfx::Float width,
                                            const gfx::Color& color, bool leftDirection);
};
