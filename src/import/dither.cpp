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

void FloydSteinberg(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    CErrorRows errors(plane.width, 2);
    for (int y = 0; y < plane.height; ++y) {
        int* here = errors.Row(0);
        int* below = errors.Row(1);
        const size_t base = static_cast<size_t>(y) * plane.width;
        for (int x = 0; x < plane.width; ++x) {
            const int value = plane.levels[base + x] + here[x];
            const bool dot = value < level;
            dots[base + x] = dot ? 1 : 0;
            const int error = value - (dot ? 0 : 255);
            const int right = (error * 7 + 8) >> 4;
            const int downLeft = (error * 3 + 8) >> 4;
            const int down = (error * 5 + 8) >> 4;
            here[x + 1] += right;
            below[x - 1] += downLeft;
            below[x] += down;
            below[x + 1] += error - right - downLeft - down;
        }
        errors.Advance();
    }
}

void Atkinson(const GreyPlane& plane, int level, std::vector<std::uint8_t>& dots)
{
    CErrorRows errors(plane.width, 3);
    for (int y = 0; y < plane.height; ++y) {
        int* here = errors.Row(0);
        int* below = errors.Row(1);
        int* twoBelow = errors.Row(2);
        const size_t base = static_cast<size_t>(y) * plane.width;
        for (int x = 0; x < plane.width; ++x) {
            const int value = plane.levels[base + x] + here[x];
            const bool dot = value < level;
            dots[base + x] = dot ? 1 : 0;
            const int part = ((value - (dot ? 0 : 255)) + 4) >> 3;
            here[x + 1] += part;
            here[x + 2] += part;
            below[x - 1] += part;
            below[x] += part;
            below[x + 1] += part;
            twoBelow[x] += part;
        }
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
