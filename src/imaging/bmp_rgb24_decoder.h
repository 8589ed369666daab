#pragma once

#include "imaging/bmp_header.h"
#include "imaging/pixel_image.h"

#include <QFile>
#include <QString>

#include <optional>

// Decodes the pixels of an uncompressed 24-bit BMP file (header.IsPlainRgb24())
// into a 32-bit RGB image, pixel for pixel what the platform's image loader
// makes of it (opaque 0xFFRRGGBB, bottom-up or top-down rows, the header's
// resolution), several times faster: the loader takes every pixel apart
// through masks and shifts, and for a logo that was most of a conversion's
// time.
//
// file is open for reading; header has passed CheckBmpLayout against its size,
// so the pixel data is all there. Fails only when the image cannot be
// allocated or the file cannot be read to the end of its pixel data.
std::optional<CPixelImage> DecodeBmpRgb24(const BmpHeader& header, QFile& file, QString* reason);
