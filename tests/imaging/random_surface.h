#pragma once

#include "imaging/bitmap_surface.h"

#include <functional>
#include <random>

// How RandomSurface draws its image.
struct RandomSurfaceShape {
    std::function<win::COLORREF(std::mt19937&)> colour;  // the colour of a new run
    int paletteEntries = 16;  // the palette's size (palette-based images)
    int indexRange = 16;      // indices drawn from 0 .. indexRange - 1; past the palette read black
    int runOneIn = 4;         // a new run starts at one pixel in this many
    bool clearFirstAlpha = false;  // zero the alpha of the first pixel (24-bit images)
};

// A random image, 24-bit or palette-based (then ReadRow goes through the
// palette), made of runs so that bands are not pure noise. The draws follow
// one fixed order, so a seed gives the same image every time.
CBitmapSurface RandomSurface(std::mt19937& random, int width, int height, bool palette,
                             const RandomSurfaceShape& shape);
