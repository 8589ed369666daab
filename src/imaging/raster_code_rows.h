#pragma once

#include "framework/colorref.h"

#include <array>
#include <cstdint>
#include <vector>

class CBitmapSurface;

// The rows of a surface as one class code per pixel (0 paper, others chosen by
// the classifier), in the shape the packing operations pack: Stride() codes
// per row, the surface's own pixels for columns below min(width, surface
// width) and rows below min(height, surface height), 0 everywhere else. The
// caller's width and height rule, not the surface's: a surface may be smaller
// (or null) or larger than what is packed.
//
// Each row is read whole with CBitmapSurface::ReadRow and classified once,
// into a ring of the most recent kRingRows rows, so a print pass can look at
// rows up to 16 apart and interleaved passes share rows without reading them
// again. A returned row stays valid until a row kRingRows further down (or
// up) is read.
class CRasterCodeRows {
public:
    static constexpr int kRingRows = 32;

    // Writes the class code of each of count colours.
    using Classifier = void (*)(const COLORREF* colours, int count, std::uint8_t* codes);

    // Negative width or height count as 0.
    CRasterCodeRows(const CBitmapSurface& surface, int width, int height, Classifier classify);

    // Codes per row: width rounded up to a multiple of 8, so rows can be
    // packed eight columns at a time; the padding codes are 0.
    int Stride() const { return m_stride; }

    const std::uint8_t* Row(long long y);

private:
    const CBitmapSurface& m_surface;
    Classifier m_classify;
    int m_rows = 0;     // rows that come from the surface
    int m_copied = 0;   // columns that come from the surface
    int m_stride = 0;
    std::vector<COLORREF> m_colours;  // one whole surface row
    std::vector<std::uint8_t> m_ring;
    std::array<long long, kRingRows> m_ringRow{};
    std::vector<std::uint8_t> m_paper;
};
