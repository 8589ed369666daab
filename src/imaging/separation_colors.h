#pragma once

#include "imaging/color_separation.h"

#include <array>

// The colour state of the main window that is not stored per logo: the
// palette and the second ink (L colour), which describes the printer's
// cartridges rather than a logo. The defaults are those of a freshly opened
// window. The hue is not here: every logo has its own THRESHOLD.
struct SeparationColors {
    std::array<Rgb, 4> palette = kSeparationPalette;  // red, green, blue, white
    Rgb lColor{0, 0, 0};
};

// The L colour that the invert box and the colour choice lead to from a fresh
// window: with invert on, the dark pixels print in the colour ink of Red,
// Green or Blue and in black for Not Used or any other stored number; with
// invert off, black. The window itself keeps whatever its
// last handler set: clearing the box does not reset its L colour.
Rgb LColorForInvert(bool invert, ColorChoice choice);
