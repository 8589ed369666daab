#include "imaging/separation_colors.h"

Rgb LColorForInvert(bool invert, ColorChoice choice)
{
    if (invert && IsColorInk(choice))
        return kSeparationPalette[static_cast<std::size_t>(choice)];
    return {0, 0, 0};
}
