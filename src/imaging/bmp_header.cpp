#include "imaging/bmp_header.h"

#include "imaging/pixel_image.h"

#include <algorithm>

namespace {

qint64 ReadLe(const QByteArray& bytes, int offset, int size)
{
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    if (size == 4)
        return static_cast<qint32>(static_cast<quint32>(value));
    return static_cast<qint64>(value);
}

// The depth and compression pairs BMP files use; the image loader reads
// exactly these, and the RLE ones are decoded here.
bool KnownEncoding(qint64 bits, qint64 compression)
{
    switch (compression) {
    case BmpHeader::kRgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BmpHeader::kRle8:
        return bits == 8;
    case BmpHeader::kRle4:
        return bits == 4;
    case BmpHeader::kBitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

}  // namespace

qint64 BmpHeader::PaletteEntries() const
{
    if (bits > 8)
        return 0;
    return coloursUsed > 0 ? coloursUsed : qint64(1) << bits;
}

qint64 BmpHeader::PaletteStart() const
{
    // Version-1 headers with bit fields keep their three masks before the table.
    const qint64 masks = compression == kBitFields && infoSize == 40 ? 12 : 0;
    return 14 + infoSize + masks;
}

qint64 BmpHeader::DataStart() const
{
    const qint64 tablesEnd = PaletteStart() + PaletteEntries() * (core ? 3 : 4);
    // The loader starts at the header's data offset unless that points into
    // the header or the colour table.
    return std::max(dataOffset, tablesEnd);
}

bool BmpHeader::IsPlainRgb24() const
{
    // The four header sizes the image loader reads with 32-bit fields; it
    // reads any other size as the short header of old files.
    const bool wideFields = infoSize == 40 || infoSize == 64 || infoSize == 108 || infoSize == 124;
    return wideFields && planes == 1 && bits == 24 && compression == kRgb;
}

std::optional<BmpHeader> ReadBmpHeader(const QByteArray& head, QString* reason)
{
    if (head.isEmpty()) {
        *reason = QStringLiteral("the file is empty");
        return std::nullopt;
    }
    if (!head.startsWith("BM")) {
        *reason = QStringLiteral("not a BMP file");
        return std::nullopt;
    }
    BmpHeader h;
    h.infoSize = head.size() >= 18 ? ReadLe(head, 14, 4) : 0;
    h.core = h.infoSize == 12;
    if (!(h.core && head.size() >= 26) && !(h.infoSize >= 40 && head.size() >= 54)) {
        *reason = QStringLiteral("the header is truncated or of an unknown kind");
        return std::nullopt;
    }
    h.dataOffset = ReadLe(head, 10, 4) & 0xFFFFFFFF;
    h.width = h.core ? ReadLe(head, 18, 2) : ReadLe(head, 18, 4);
    h.height = h.core ? ReadLe(head, 20, 2) : ReadLe(head, 22, 4);
    h.planes = ReadLe(head, h.core ? 22 : 26, 2);
    h.bits = ReadLe(head, h.core ? 24 : 28, 2);
    h.compression = h.core ? 0 : ReadLe(head, 30, 4) & 0xFFFFFFFF;
    h.coloursUsed = h.core ? 0 : ReadLe(head, 46, 4) & 0xFFFFFFFF;
    h.xPelsPerMeter = h.core ? 0 : ReadLe(head, 38, 4);
    h.yPelsPerMeter = h.core ? 0 : ReadLe(head, 42, 4);
    return h;
}

// The image loader accepts a file whose pixel area is cut short, fills the
// missing part with whatever was in memory and reports success, which would
// put garbage into the printer; so the sizes are checked first. Compressed
// data cannot be sized from the header: its decoder checks it as it reads.
bool CheckBmpLayout(const BmpHeader& h, qint64 fileSize, QString* reason)
{
    const qint64 rows = h.Rows();
    if (h.width <= 0 || rows == 0) {
        *reason = QStringLiteral("invalid size %1 x %2").arg(h.width).arg(h.height);
        return false;
    }
    if (h.width * rows > kMaxBmpPixels) {
        *reason = QStringLiteral("the image is too large (%1 x %2 pixels)").arg(h.width).arg(rows);
        return false;
    }
    if (!KnownEncoding(h.bits, h.compression)) {
        *reason = QStringLiteral("unsupported encoding (%1 bits per pixel, compression %2)").arg(h.bits).arg(h.compression);
        return false;
    }
    if (h.PaletteEntries() > 256) {
        *reason = QStringLiteral("the colour table has %1 entries, more than 256").arg(h.PaletteEntries());
        return false;
    }
    if (h.IsRle())
        return true;
    const qint64 dataSize = (h.width * h.bits + 31) / 32 * 4 * rows;
    const qint64 available = std::max<qint64>(fileSize - h.DataStart(), 0);
    if (available < dataSize) {
        *reason = QStringLiteral("the pixel data is truncated (%1 of %2 bytes)").arg(available).arg(dataSize);
        return false;
    }
    return true;
}

std::optional<QList<std::uint32_t>> ReadBmpPalette(const BmpHeader& header, const QByteArray& file, QString* reason)
{
    const qint64 entries = header.PaletteEntries();
    const qint64 entrySize = header.core ? 3 : 4;
    const qint64 start = header.PaletteStart();
    if (start + entries * entrySize > file.size()) {
        *reason = QStringLiteral("the colour table is truncated");
        return std::nullopt;
    }
    QList<std::uint32_t> table;
    table.reserve(entries);
    for (qint64 i = 0; i < entries; ++i) {
        const char* entry = file.constData() + start + i * entrySize;
        // Stored blue, green, red (and a reserved byte).
        table.append(OpaqueRgb(static_cast<quint8>(entry[2]), static_cast<quint8>(entry[1]), static_cast<quint8>(entry[0])));
    }
    return table;
}
