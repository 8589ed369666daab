#include "import/dither.h"

#include <array>

namespace {

constexpr std::array<std::array<std::uint8_t, 8>, 8> kBayer8{{
    {0, 32, 8, 40, 2, 34, 10, 42},
    {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},
    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},
    {63, 31, 55, 23, 61, 29, 53, 21},
}};

// Rows of carried error with two spare cells on either side, where error that
// leaves the picture lands and is never read.
constexpr int kPad = 2;

class CErrorRows {
public:
    CErrorRows(int width, int rows) : m_stride(width + 2 * kPad), m_rows(static_cast<size_t>(rows))
    {
        for (auto& row : m_rows)
            row.assign(static_cast<size_t>(m_stride), 0);
    }
    // Row 0 is the current one, 1 the next, 2 the one after.
    int* Row(int offset) { return m_rows[(m_first + static_cast<size_t>(offset)) % m_rows.size()].data() + kPad; }
    void Advance()
    {
        std::fill(m_rows[m_first].begin(), m_rows[m_first].end(), 0);
        m_first = (m_first + 1) % m_rows.size();
    }

private:
    int m_stride;
    std::vector<std::vector<int>> m_rows;
    size_t m_first = 0;
};

void Threshold(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    for (size_t i = 0; i < plane.levels.size(); ++i)
        dots[i] = plane.levels[i] < level ? 1 : 0;
}

void Bayer(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    const int shift = level - 128;
    for (int y = 0; y < plane.height; ++y) {
        const auto& matrixRow = kBayer8[static_cast<size_t>(y & 7)];
        const size_t base = static_cast<size_t>(y) * plane.width;
        for (int x = 0; x < plane.width; ++x) {
            // Thresholds 2, 6, ..., 254: a flat level g leaves about g / 4 of 64 cells white.
            const int threshold = matrixRow[static_cast<size_t>(x & 7)] * 4 + 2 + shift;
            dots[base + x] = plane.levels[base + x] < threshold ? 1 : 0;
        }
    }
}

// Both diffusion loops keep the error bound for the next pixel and the
// partial sums for the row below in registers and touch each cell of the
// error rows once per pixel; the picture is one long dependency chain, so
// every memory round trip saved shows.

void FloydSteinberg(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    CErrorRows errors(plane.width, 2);
    for (int y = 0; y < plane.height; ++y) {
        const int* here = errors.Row(0);
        int* below = errors.Row(1);  // all zero: only this row writes it
        const std::uint8_t* levels = &plane.levels[static_cast<size_t>(y) * plane.width];
        std::uint8_t* out = &dots[static_cast<size_t>(y) * plane.width];
        int fromLeft = 0;   // error passed right by the previous pixel
        int belowLeft = 0;  // what below[x - 1] has gathered so far
        int belowHere = 0;  // what below[x] has gathered so far
        for (int x = 0; x < plane.width; ++x) {
            const int value = levels[x] + here[x] + fromLeft;
            const int dot = value < level;
            out[x] = static_cast<std::uint8_t>(dot);
            const int error = value - 255 + dot * 255;
            const int right = (error * 7 + 8) >> 4;
            const int downLeft = (error * 3 + 8) >> 4;
            const int down = (error * 5 + 8) >> 4;
            below[x - 1] = belowLeft + downLeft;  // complete: no later pixel reaches x - 1
            belowLeft = belowHere + down;
            belowHere = error - right - downLeft - down;
            fromLeft = right;
        }
        // What the last pixel passed right or down-right falls off the edge.
        below[plane.width - 1] = belowLeft;
        errors.Advance();
    }
}

void Atkinson(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    CErrorRows errors(plane.width, 3);
    for (int y = 0; y < plane.height; ++y) {
        const int* here = errors.Row(0);
        int* below = errors.Row(1);     // already holds what the row above passed two down
        int* twoBelow = errors.Row(2);  // all zero: only this row writes it
        const std::uint8_t* levels = &plane.levels[static_cast<size_t>(y) * plane.width];
        std::uint8_t* out = &dots[static_cast<size_t>(y) * plane.width];
        int next = 0;       // error bound for x + 1
        int afterNext = 0;  // error bound for x + 2
        int belowLeft = 0;  // this row's share of below[x - 1] so far
        int belowHere = 0;  // this row's share of below[x] so far
        for (int x = 0; x < plane.width; ++x) {
            const int value = levels[x] + here[x] + next;
            const int dot = value < level;
            out[x] = static_cast<std::uint8_t>(dot);
            const int part = (value - 255 + dot * 255 + 4) >> 3;
            next = afterNext + part;
            afterNext = part;
            below[x - 1] += belowLeft + part;
            belowLeft = belowHere + part;
            belowHere = part;
            twoBelow[x] = part;
        }
        below[plane.width - 1] += belowLeft;
        errors.Advance();
    }
}

}  // namespace

std::vector<std::uint8_t> DitherToDots(const GreyPlane& plane, DitherMethod method, int level)
{
    std::vector<std::uint8_t> dots(plane.levels.size(), 0);
    switch (method) {
    case DitherMethod::None:
        Threshold(plane, level, dots);
        break;
    case DitherMethod::FloydSteinberg:
        FloydSteinberg(plane, level, dots);
        break;
    case DitherMethod::Atkinson:
        Atkinson(plane, level, dots);
        break;
    case DitherMethod::Bayer:
        Bayer(plane, level, dots);
        break;
    }
    return dots;
}
