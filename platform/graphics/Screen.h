#pragma once

// Process-wide settings of the display the control draws for: the screen scale (pixels per
// point) and whether the dynamic system colours exist (the newer OS releases have them; on
// older ones callers fall back to fixed colours). Both are plain settings so that tests can
// pin them and exercise both branches.

namespace gfx {

// Pixels per point of the main screen; 3 unless set.
double screenScale();
// Ignores values that are not finite or not above zero (the scale stays as it was).
void setScreenScale(double scale);

// Whether the dynamic system colours are available (the "newer OS" branch); true unless set.
bool systemColorsAvailable();
void setSystemColorsAvailable(bool available);

} // namespace gfx
