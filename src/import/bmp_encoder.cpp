#include "import/bmp_encoder.h"

#include <QtEndian>

namespace {

constexpr int kFileHeaderBytes = 14;
constexpr int kInfoHeaderBytes = 40;
constexpr int kPixelsPerMetre = 2835;  // 72 dots per inch, as most programs write

void Put16(QByteArray& out, int offset, int value)
{
    qToLittleEndian(static_cast<quint16>(value), out.data() + offset);
}
void Put32(QByteArray& out, int offset, qint64 value)
{
    qToLittleEndian(static_cast<quint32>(value), out.data() + offset);
}

}  // namespace

QByteArray EncodePaletteBmp(int width, int height, int bitsPerPixel, const std::vector<Rgb>& palette,
                            const std::vector<std::uint8_t>& indices)
{
    if ((bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) || width <= 0 || height <= 0
        || palette.empty() || palette.size() > (size_t{1} << bitsPerPixel)
        || indices.size() != static_cast<size_t>(width) * height)
        return QByteArray();
    const qint64 rowBytes = ((static_cast<qint64>(width) * bitsPerPixel + 31) / 32) * 4;
    const qint64 pixelOffset = kFileHeaderBytes + kInfoHeaderBytes + 4 * static_cast<qint64>(palette.size());
    const qint64 fileBytes = pixelOffset + rowBytes * height;
    if (fileBytes > 0x7FFFFFFF)
        return QByteArray();
    QByteArray out(static_cast<qsizetype>(fileBytes), '\0');
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, fileBytes);
    Put32(out, 10, pixelOffset);
    Put32(out, 14, kInfoHeaderBytes);
    Put32(out, 18, width);
    Put32(out, 22, height);  // positive: rows bottom-up
    Put16(out, 26, 1);       // planes
    Put16(out, 28, bitsPerPixel);
    Put32(out, 34, rowBytes * height);
    Put32(out, 38, kPixelsPerMetre);
    Put32(out, 42, kPixelsPerMetre);
    Put32(out, 46, static_cast<qint64>(palette.size()));
    char* entry = out.data() + kFileHeaderBytes + kInfoHeaderBytes;
    for (const Rgb& colour : palette) {
        entry[0] = static_cast<char>(colour.b);
        entry[1] = static_cast<char>(colour.g);
        entry[2] = static_cast<char>(colour.r);
        entry += 4;
    }
    const int perByte = 8 / bitsPerPixel;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint8_t*>(out.data() + pixelOffset + rowBytes * (height - 1 - y));
        const std::uint8_t* source = &indices[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            // The leftmost pixel takes the most significant bits of its byte.
            const int shift = (perByte - 1 - x % perByte) * bitsPerPixel;
            row[x / perByte] |= static_cast<std::uint8_t>(source[x] << shift);
        }
    }
    return out;
}
