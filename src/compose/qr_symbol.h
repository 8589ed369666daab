#pragma once

#include "compose/compose_layout.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A QR code symbol: size x size modules, 1 for a dark module, row by row,
// without the quiet zone around it.
struct QrSymbol {
    int size = 0;
    std::vector<std::uint8_t> modules;

    bool Dark(int x, int y) const { return modules[static_cast<size_t>(y) * size + x] != 0; }
};

// The blank modules a reader needs on every side of the symbol.
inline constexpr int kQrQuietZone = 4;

// Encodes content (as UTF-8; digits and upper-case runs take the compact
// modes) at the level, in the smallest version that holds it. Nothing when it
// does not fit even the largest version, or holds a NUL character.
std::optional<QrSymbol> EncodeQr(const QString& content, QrLevel level);

// How many characters from the start of content the largest symbol of at
// most maxModules modules a side (quiet zone excluded) holds at the level:
// what to tell someone whose content is too long.
int LargestQrPrefix(const QString& content, QrLevel level, int maxModules);
