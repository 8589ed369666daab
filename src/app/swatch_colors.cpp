#include "app/swatch_colors.h"

#include "imaging/color_separation.h"

COLORREF RValueSwatch(int rValue, int colorChoice, COLORREF previous)
{
    const int u = 255 - rValue;
    switch (colorChoice) {
    case kColorModeRed:
        return RGB(255, u, u);
    case kColorModeGreen:
        return RGB(u, 255, u);
    case kColorModeBlue:
        return RGB(u, u, 255);
    default:
        return previous;
    }
}

COLORREF LValueSwatch(int lValue, bool invert, const Rgb& lColor, COLORREF previous)
{
    const int v = 255 - lValue;
    if (!invert)
        return RGB(v, v, v);
    if (lColor == Rgb{255, 0, 0})
        return RGB(255, v, v);
    if (lColor == Rgb{0, 255, 0})
        return RGB(v, 255, v);
    if (lColor == Rgb{0, 0, 255})
        return RGB(v, v, 255);
    return previous;
}
