#pragma once

#include "framework/colorref.h"
#include "import/import_settings.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

// What a pixel of a two-colour printer can be.
enum TwoInkDot : std::uint8_t { kPaperDot = 0, kBlackDot = 1, kInkDot = 2 };

// A colour in the OKLab space, where straight distances follow how different
// colours look: a pale pink is near white, a dark red near black.
struct OkLab {
    float l = 0;
    float a = 0;
    float b = 0;
};
OkLab ToOkLab(int r, int g, int b);

// Reduces an opaque RGB32 picture to paper (white), black and the second ink,
// each pixel taking the one nearest in OKLab (colour differences weighted
// above lightness, so greys stay black and white). With FloydSteinberg or Atkinson
// the difference between a pixel and the colour it gets is passed on to its
// neighbours (in RGB, with the kernels of the one-ink dithering, never across
// the right or left edge); with None each pixel is on its own. One value per
// pixel, row by row (TwoInkDot). Bayer is not a two-colour method; it is
// treated as None.
std::vector<std::uint8_t> ReduceToTwoInks(const QImage& picture, Rgb ink, DitherMethod method);
