#pragma once

#include "imaging/bmp_header.h"
#include "imaging/pixel_image.h"

#include <QFile>
#include <QString>

#include <optional>

// Decodes the uncompressed BMP variants other than plain 24-bit: palette
// files of 1, 4 and 8 bits a pixel into an 8-bit indexed image with the
// file's colour table, and 16- and 32-bit files (with or without bit-field
// masks) into 32-bit colour. The pixels are those the platform's image
// loader gives the same file: a two-colour file whose first colour is the
// darker has its two colours swapped (indices and table alike), channel
// masks narrower than 8 bits are widened as the loader widens them, and a
// bit-field file with an alpha mask keeps its alpha (Argb32).
//
// file is open for reading; header has passed CheckBmpLayout against its
// size. Fails when a mask is unusable, the colour table is cut short, or
// the pixels cannot be read or allocated.
std::optional<CPixelImage> DecodeBmpPlain(const BmpHeader& header, QFile& file, QString* reason);
