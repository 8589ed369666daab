#pragma once

#include "framework/colorref.h"

// The colours of the R Value and L Value swatches beside the sliders: the
// lighter the swatch, the smaller the share the weight gives its ink.

// R swatch: with u = 255 - rValue, RGB(255, u, u) for Red, RGB(u, 255, u) for
// Green, RGB(u, u, 255) for Blue; Not Used (and no choice) keeps previous.
COLORREF RValueSwatch(int rValue, int colorChoice, COLORREF previous);

// L swatch: with v = 255 - lValue, grey RGB(v, v, v) while invert is off.
// With invert on the second ink is the L colour, so the swatch is tinted like
// the R swatch when the L colour is pure red, green or blue, and keeps
// previous for any other L colour (black included).
COLORREF LValueSwatch(int lValue, bool invert, const Rgb& lColor, COLORREF previous);
