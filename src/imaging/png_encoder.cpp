#include "imaging/png_encoder.h"

#include <zlib.h>

#include <vector>

namespace {

void AppendU32(QByteArray& out, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xFF));
}

// A chunk: length, type, data, and the CRC of type and data.
void AppendChunk(QByteArray& out, const char type[4], const QByteArray& data)
{
    AppendU32(out, static_cast<quint32>(data.size()));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data);
    const auto* crcStart = reinterpret_cast<const Bytef*>(out.constData() + typeAt);
    AppendU32(out, static_cast<quint32>(crc32(0, crcStart, static_cast<uInt>(4 + data.size()))));
}

// Each row is the filter byte 0 (none) and the row's R G B bytes.
QByteArray RawRows(const CBitmapSurface& surface)
{
    const int width = surface.Width();
    QByteArray raw;
    raw.reserve((1 + 3 * static_cast<qsizetype>(width)) * surface.Height());
    std::vector<win::COLORREF> row(static_cast<size_t>(width));
    for (int y = 0; y < surface.Height(); ++y) {
        surface.ReadRow(y, row.data());
        raw.append('\0');
        for (const win::COLORREF colour : row) {
            raw.append(static_cast<char>(win::RedOf(colour)));
            raw.append(static_cast<char>(win::GreenOf(colour)));
            raw.append(static_cast<char>(win::BlueOf(colour)));
        }
    }
    return raw;
}

}  // namespace

QByteArray EncodePng(const CBitmapSurface& surface)
{
    if (surface.IsNull())
        return {};
    const QByteArray raw = RawRows(surface);
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    QByteArray packed(static_cast<qsizetype>(packedSize), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.constData()),
                  static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return {};
    packed.truncate(static_cast<qsizetype>(packedSize));

    QByteArray header;
    AppendU32(header, static_cast<quint32>(surface.Width()));
    AppendU32(header, static_cast<quint32>(surface.Height()));
    header.append(char(8));  // bits per channel
    header.append(char(2));  // colour type: RGB
    header.append(3, '\0');  // deflate, adaptive filtering, no interlace
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}
