#pragma once

#include "imaging/color_choice.h"

#include <QString>

#include <cstdint>

// One bitmap of the logo list with the colour settings it is separated with.
// The entry keeps only the path: the preview and every download load the file
// again, so changes to the file are picked up.
struct LogoEntry {
    std::uint8_t number = 0;   // 1-based position in the list
    int byteSize = 0;          // ceil(min(width, RECEIPTWIDTH) / 8) x height
    QString name;              // the path's last component
    QString path;
    int threshold = 0;         // hue angle, 0 to 359
    std::uint8_t rValue = 100;
    std::uint8_t lValue = 100;
    ColorChoice colorMode = ColorChoice::Red;  // any other stored number is kept as it is
};
