#pragma once

class CBitmapSurface;
struct SeparationInputs;

// What a packing operation reads: either a surface whose pixels are printed as
// they are (one already separated), or an unseparated surface together with
// the separation inputs, which the packing then applies row by row as it
// reads, with exactly SeparateSurface's result but without writing a separated
// copy of the image first. Either may first be shrunk (ShrunkTo) as
// CBitmapSurface::StretchAnd shrinks, after the separation.
//
// Holds pointers only: the surface and the inputs must outlive it. It is
// meant to be built in the argument list of the call that uses it.
struct RasterSource {
    // Implicit, so that an already separated surface can be passed wherever a
    // source is expected.
    RasterSource(const CBitmapSurface& separated) : surface(&separated) {}  // NOLINT(google-explicit-constructor)
    RasterSource(const CBitmapSurface& original, const SeparationInputs& inputs)
        : surface(&original), separation(&inputs)
    {
    }

    RasterSource ShrunkTo(int width, int height) const
    {
        RasterSource shrunk = *this;
        shrunk.shrink = true;
        shrunk.shrinkWidth = width;
        shrunk.shrinkHeight = height;
        return shrunk;
    }

    const CBitmapSurface* surface;
    const SeparationInputs* separation = nullptr;  // null: print the pixels as they are
    bool shrink = false;
    int shrinkWidth = 0;   // a size of 0 or less gives a null (all paper) image
    int shrinkHeight = 0;
};
