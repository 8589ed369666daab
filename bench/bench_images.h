#pragma once

#include <QByteArray>
#include <QImage>

// A logo-like 24-bit test image: white paper, a red disc, black bars, a grey
// ramp and sprinkled noise, so that separation meets every outcome and long
// runs of one colour as real logos have them.
QImage MakeLogoImage(int width, int height, unsigned seed);

// Smooth colour ramps across and down the image: neighbouring pixels differ
// almost everywhere, so no run of one colour helps.
QImage MakeGradientImage(int width, int height);

// A photograph-like image: broad soft shapes of every hue with fine grain on
// top, as a scanned or photographed picture has them.
QImage MakePhotoImage(int width, int height, unsigned seed);

// Every pixel an independent random colour: the worst case for anything that
// relies on repeated colours.
QImage MakeNoiseImage(int width, int height, unsigned seed);

// The four picture classes the conversion is measured on, by name.
struct BenchPicture {
    const char* name;
    QImage (*make)(int width, int height);
};
inline constexpr int kBenchPictureCount = 4;
extern const BenchPicture kBenchPictures[kBenchPictureCount];

// The image as the bytes of a 24-bit BMP file.
QByteArray EncodeBmp24(const QImage& image);
