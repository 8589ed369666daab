#include "imaging/bmp_rgb24_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Rows are read in blocks of about this many bytes: a buffer that stays in
// the cache, and few reads.
constexpr qint64 kBlockBytes = 64 * 1024;

// One row of B G R bytes to opaque 0xFFRRGGBB pixels. Each pixel is read as
// four bytes and its fourth byte replaced: the buffer has slack after the
// last row, so the read past the last pixel stays inside it.
void ExpandRow(const uchar* bgr, int width, std::uint32_t* out)
{
    for (int x = 0; x < width; ++x) {
        std::uint32_t v = 0;
        std::memcpy(&v, bgr + 3 * static_cast<std::ptrdiff_t>(x), sizeof v);
        if constexpr (std::endian::native == std::endian::big)
            v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u);
        out[x] = v | 0xFF000000u;
    }
}

}  // namespace

std::optional<CPixelImage> DecodeBmpRgb24(const BmpHeader& header, QFile& file, QString* reason)
{
    const int width = static_cast<int>(header.width);
    const int rows = static_cast<int>(header.Rows());
    CPixelImage image(width, rows, CPixelImage::Format::Rgb32);
    if (image.IsNull()) {
        *reason = QStringLiteral("not enough memory for %1 x %2 pixels").arg(width).arg(rows);
        return std::nullopt;
    }
    const qint64 rowBytes = (header.width * 24 + 31) / 32 * 4;
    const int blockRows = static_cast<int>(std::clamp<qint64>(kBlockBytes / rowBytes, 1, rows));
    std::vector<uchar> block(static_cast<size_t>(blockRows * rowBytes + 4));
    if (!file.seek(header.DataStart())) {
        *reason = file.errorString();
        return std::nullopt;
    }
    for (int first = 0; first < rows; first += blockRows) {
        const int count = std::min(blockRows, rows - first);
        const qint64 bytes = count * rowBytes;
        if (file.read(reinterpret_cast<char*>(block.data()), bytes) != bytes) {
            *reason = QStringLiteral("the pixel data cannot be read: %1").arg(file.errorString());
            return std::nullopt;
        }
        for (int i = 0; i < count; ++i) {
            const int y = header.TopDown() ? first + i : rows - 1 - (first + i);
            ExpandRow(block.data() + i * rowBytes, width, reinterpret_cast<std::uint32_t*>(image.ScanLine(y)));
        }
    }
    image.SetDotsPerMeter(static_cast<int>(header.xPelsPerMeter), static_cast<int>(header.yPelsPerMeter));
    return image;
}
