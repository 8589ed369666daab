#pragma once

#include "framework/colorref.h"
#include "imaging/color_separation.h"

#include <array>

// What a colour radio does, one row per choice. With invert off the radio
// moves the THRESHOLD slider to the hue of its ink and the R Value back to
// its start; with invert on it picks the colour the dark pixels print in.
struct ColorChoiceRule {
    ColorChoice choice;
    int hue;  // THRESHOLD position with invert off: the hue angle of the ink
    Rgb ink;  // the colour ink; black for Not Used, which has none
};

inline constexpr int kDefaultRValue = 100;  // where every radio puts the R Value

inline constexpr std::array<ColorChoiceRule, 4> kColorChoiceRules{{
    {ColorChoice::Red, 0, kSeparationPalette[0]},
    {ColorChoice::Green, 120, kSeparationPalette[1]},
    {ColorChoice::Blue, 240, kSeparationPalette[2]},
    {ColorChoice::NotUsed, 0, {0, 0, 0}},
}};

// The row of a choice, or null for a stored number outside the four.
const ColorChoiceRule* FindColorChoiceRule(ColorChoice choice);

// The colours of the R Value and L Value swatches beside the sliders: the
// lighter the swatch, the smaller the share the weight gives its ink. A
// swatch of weight w keeps 255 in the ink's own channels and shows 255 - w
// in the others: RGB(255, u, u) for red, grey RGB(u, u, u) for black.
win::COLORREF TintedSwatch(const Rgb& ink, int weight);

// R swatch: tinted with the choice's colour ink; Not Used (and a stored
// number outside the four) keeps previous.
win::COLORREF RValueSwatch(int rValue, ColorChoice choice, win::COLORREF previous);

// L swatch: grey while invert is off. With invert on the second ink is the
// L colour, so the swatch is tinted like the R swatch when the L colour is
// one of the colour inks, and keeps previous for any other L colour (black
// included).
win::COLORREF LValueSwatch(int lValue, bool invert, const Rgb& lColor, win::COLORREF previous);
