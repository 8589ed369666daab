#pragma once

// The body of the plain kernel (plain_kernel.h), included by the two files
// that build it with different compiler options. Internal to each of them, so
// the linker cannot merge the two builds into one.

#include <cstdint>

namespace {

unsigned PlainDot(std::uint32_t p, unsigned threshold)
{
    const unsigned sum = (p & 0xFFu) + ((p >> 8) & 0xFFu) + ((p >> 16) & 0xFFu);
    return sum < threshold ? 1u : 0u;
}

// Whole bytes first, then the part byte of a width that is not a multiple of
// eight: with no bounds test inside, the compiler can vectorise the loop.
void PlainThresholdPackBody(const std::uint32_t* pixels, int width, int height, int stride, unsigned threshold,
                            std::uint8_t* out)
{
    const int rowBytes = (width + 7) / 8;
    const int wholeBytes = width / 8;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<long long>(y) * stride;
        std::uint8_t* packed = out + static_cast<long long>(y) * rowBytes;
        for (int byte = 0; byte < wholeBytes; ++byte) {
            unsigned bits = 0;
            for (int i = 0; i < 8; ++i)
                bits |= PlainDot(row[byte * 8 + i], threshold) << (7 - i);
            packed[byte] = static_cast<std::uint8_t>(bits);
        }
        if (wholeBytes < rowBytes) {
            unsigned bits = 0;
            for (int x = wholeBytes * 8; x < width; ++x)
                bits |= PlainDot(row[x], threshold) << (7 - x % 8);
            packed[wholeBytes] = static_cast<std::uint8_t>(bits);
        }
    }
}

}  // namespace
