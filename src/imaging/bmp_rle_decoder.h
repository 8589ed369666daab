#pragma once

#include "imaging/bmp_header.h"
#include "imaging/pixel_image.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Decodes the pixel data of an RLE8 or RLE4 BMP file into an 8-bit indexed
// image with the file's colour table.
//
// Every pixel is defined: pixels the stream never sets (skipped by a delta,
// left by an early end-of-line or end-of-bitmap code) are colour index 0, as
// BMP readers conventionally do. Runs past the right edge are cut there;
// codes that move below the last row end the image. A stream that runs out
// before its end-of-bitmap code while rows remain is refused as truncated.
// Bottom-up files fill rows from the bottom, top-down ones from the top.
//
// file holds the whole file; header has passed CheckBmpLayout.
std::optional<CPixelImage> DecodeBmpRle(const BmpHeader& header, const QByteArray& file, QString* reason);
