#pragma once

#include "framework/colorref.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

// A palette BMP file (BITMAPINFOHEADER, uncompressed, rows bottom-up) of 1, 4
// or 8 bits per pixel. indices holds one palette index per pixel, row by row
// from the top; the palette holds at most 2^bitsPerPixel colours and the file
// names exactly that many as used, so readers see no unused entries. Gives an
// empty array for a size or depth it cannot write.
QByteArray EncodePaletteBmp(int width, int height, int bitsPerPixel, const std::vector<Rgb>& palette,
                            const std::vector<std::uint8_t>& indices);
