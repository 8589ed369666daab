#pragma once

#include "imaging/bitmap_surface.h"

#include <QByteArray>

// The surface as a PNG file (8-bit RGB, every pixel as GetPixel reads it),
// written without the platform's image library: a preview is one of the
// runs that loads QtCore alone. Empty for a null surface or when the
// compressor fails.
QByteArray EncodePng(const CBitmapSurface& surface);
