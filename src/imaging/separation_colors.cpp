#include "imaging/separation_colors.h"

Rgb LColorForInvert(bool invert, int colorMode)
{
    if (invert && colorMode >= kColorModeRed && colorMode <= kColorModeBlue)
        return kSeparationPalette[static_cast<std::size_t>(colorMode)];
    return {0, 0, 0};
}

SeparationInputs MakeEntryInputs(const LogoEntry& entry, const SeparationColors& colors)
{
    SeparationInputs inputs;
    inputs.hueColor = colors.hueColor;
    inputs.palette = colors.palette;
    inputs.lColor = colors.lColor;
    inputs.rValue = entry.rValue;
    inputs.lValue = entry.lValue;
    inputs.colorMode = entry.colorMode;
    return inputs;
}
