#include "plain_kernel.h"

void PlainThresholdPack(const std::uint32_t* pixels, int width, int height, int stride, unsigned threshold,
                        std::uint8_t* out)
{
    const int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels + static_cast<long long>(y) * stride;
        std::uint8_t* packed = out + static_cast<long long>(y) * rowBytes;
        for (int byte = 0; byte < rowBytes; ++byte) {
            unsigned bits = 0;
            for (int i = 0; i < 8; ++i) {
                const int x = byte * 8 + i;
                unsigned dot = 0;
                if (x < width) {
                    const std::uint32_t p = row[x];
                    const unsigned sum = (p & 0xFFu) + ((p >> 8) & 0xFFu) + ((p >> 16) & 0xFFu);
                    dot = sum < threshold ? 1u : 0u;
                }
                bits |= dot << (7 - i);
            }
            packed[byte] = static_cast<std::uint8_t>(bits);
        }
    }
}
