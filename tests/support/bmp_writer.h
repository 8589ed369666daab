#pragma once

#include "framework/colorref.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Writes BMP files byte by byte, independently of the image loader under
// test, so that tests can make every variant the loader must read.
struct BmpSpec {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;           // 1, 4, 8 (palette), 16 (5-5-5), 24 or 32
    bool topDown = false;            // negative height in the header
    std::vector<win::COLORREF> palette;   // for 1, 4 and 8 bits
    // Colour of (x, y) for 16, 24 and 32 bits; palette index for 1, 4 and 8.
    std::function<std::uint32_t(int x, int y)> pixel;
};

QByteArray MakeBmp(const BmpSpec& spec);
// A palette-based spec (1, 4 or 8 bits): pixel gives the palette index of (x, y).
BmpSpec PaletteBmp(int width, int height, int bitsPerPixel, std::vector<win::COLORREF> palette,
                   std::function<std::uint32_t(int x, int y)> pixel);
bool WriteBmp(const QString& path, const BmpSpec& spec);

// A BMP whose pixel data is given as it is stored: an RLE stream, or rows
// packed for bit fields. The header carries the compression code and, for
// bit fields, the three masks after the 40-byte header.
struct EncodedBmpSpec {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 8;
    int compression = 1;             // 1 RLE8, 2 RLE4, 3 bit fields
    bool topDown = false;
    std::vector<win::COLORREF> palette;
    std::vector<std::uint32_t> masks;  // red, green, blue for bit fields
    QByteArray data;
};

QByteArray MakeEncodedBmp(const EncodedBmpSpec& spec);

// A legal 64 x 48 RLE8 file (white, black, red) whose stream sets the bottom
// row black and x = 8 to 23 of row 43 red, then ends early: every other pixel
// is one the stream never sets.
QByteArray EarlyEndingRle8Bmp();

// A 24-bit BMP whose pixels come from a row-major list of COLORREFs.
bool WriteBmp24(const QString& path, int width, int height, const std::vector<win::COLORREF>& pixels);
