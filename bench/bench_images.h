#pragma once

#include <QByteArray>
#include <QImage>

// A logo-like 24-bit test image: white paper, a red disc, black bars, a grey
// ramp and sprinkled noise, so that separation meets every outcome and long
// runs of one colour as real logos have them.
QImage MakeLogoImage(int width, int height, unsigned seed);

// The image as the bytes of a 24-bit BMP file.
QByteArray EncodeBmp24(const QImage& image);
