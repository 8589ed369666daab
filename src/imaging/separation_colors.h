#pragma once

#include "imaging/color_separation.h"
#include "logos/logo_entry.h"

#include <array>

// The colour state of the main window that is not stored per logo: the
// palette, the second ink (L colour) and the hue colour of the THRESHOLD
// slider. The defaults are those of a freshly opened window.
struct SeparationColors {
    std::array<Rgb, 4> palette = kSeparationPalette;  // red, green, blue, white
    Rgb lColor{0, 0, 0};
    // The hue of the THRESHOLD slider as it stands; the preview and every
    // logo of a download separate with it.
    Rgb hueColor{255, 0, 0};
};

// The L colour that the invert box and the colour choice lead to from a fresh
// window: with invert on, the dark pixels print in the colour ink of Red,
// Green or Blue and in black for Not Used or any other stored number; with
// invert off, black. The window itself keeps whatever its
// last handler set: clearing the box does not reset its L colour.
Rgb LColorForInvert(bool invert, ColorChoice choice);

// The inputs that separate one logo of a download: the logo's own R Value,
// L Value and colour choice (its stored number, kept as it is), with the window's hue colour, palette and L
// colour, which all logos of one download share. A logo's stored THRESHOLD
// sets the window's hue only when the logo is selected; a download uses the
// hue the THRESHOLD slider shows at that moment, as operators know it.
SeparationInputs MakeEntryInputs(const LogoEntry& entry, const SeparationColors& colors);
