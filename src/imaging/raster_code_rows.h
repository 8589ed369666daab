#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Where the class codes of a packing come from: one code per pixel (0 paper,
// bit 0 black, bit 1 any other ink) for the rows and columns of an image of
// Width() x Height() pixels. Implementations are in pixel_code_rows.h.
class CCodeRowSource {
public:
    virtual ~CCodeRowSource() = default;
    virtual bool IsNull() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Writes the codes of the first count pixels of row y
    // (0 <= y < Height(), count <= Width()).
    virtual void CodeRow(int y, int count, std::uint8_t* codes) = 0;
};

// The rows of a code source in the shape the packing operations pack:
// Stride() codes per row, the source's own codes for columns below
// min(width, source width) and rows below min(height, source height), 0
// everywhere else. The caller's width and height rule, not the source's: a
// source may be smaller (or null) or larger than what is packed.
//
// Each row is coded once, into a ring of the most recent kRingRows rows, so a
// print pass can look at rows up to 16 apart and interleaved passes share rows
// without coding them again. A returned row stays valid until a row kRingRows
// further down (or up) is read.
class CRasterCodeRows {
public:
    static constexpr int kRingRows = 32;

    // Negative width or height count as 0.
    CRasterCodeRows(CCodeRowSource& source, int width, int height);

    // Codes per row: width rounded up to a multiple of 8, so rows can be
    // packed eight columns at a time; the padding codes are 0.
    int Stride() const { return m_stride; }

    const std::uint8_t* Row(long long y);

private:
    CCodeRowSource& m_source;
    int m_rows = 0;     // rows that come from the source
    int m_copied = 0;   // columns that come from the source
    int m_stride = 0;
    std::vector<std::uint8_t> m_ring;
    std::array<long long, kRingRows> m_ringRow{};
    std::vector<std::uint8_t> m_paper;
};
