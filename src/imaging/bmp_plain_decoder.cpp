#include "imaging/bmp_plain_decoder.h"

#include <bit>
#include <utility>

namespace {

quint32 ReadU32(const QByteArray& bytes, qint64 offset)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[offset + i]);
    return value;
}

// One colour channel of a 16- or 32-bit pixel: where it sits and how a value
// of its width becomes 0..255 (by multiplying with 256 / 2^width, as the
// platform's loader does, so a 5-bit channel's brightest is 248).
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 scale = 0;

    static std::optional<Channel> FromMask(quint32 mask)
    {
        Channel c;
        c.mask = mask;
        c.shift = mask ? std::countr_zero(mask) : 0;
        const quint64 levels = quint64(mask >> c.shift) + 1;
        if (levels > 0xFFFFFFFFu)
            return std::nullopt;  // a mask of all 32 bits has no room for the others
        c.scale = static_cast<quint32>(256 / levels);
        return c;
    }
    quint32 Value(quint32 pixel) const { return ((pixel & mask) >> shift) * scale; }
};

struct Masks {
    Channel red, green, blue, alpha;
    bool hasAlpha = false;
};

std::optional<Masks> ReadMasks(const BmpHeader& h, const QByteArray& head, QString* reason)
{
    Masks m;
    if (h.compression != BmpHeader::kBitFields) {
        // Without masks: 5-5-5 for 16 bits, 8-8-8 for 24 and 32.
        const bool wide = h.bits != 16;
        m.red = *Channel::FromMask(wide ? 0xFF0000u : 0x7C00u);
        m.green = *Channel::FromMask(wide ? 0xFF00u : 0x3E0u);
        m.blue = *Channel::FromMask(wide ? 0xFFu : 0x1Fu);
        // A newer header's alpha mask counts for uncompressed 32-bit pixels
        // only when it is the top byte, as the loader takes it.
        if (h.bits == 32 && h.infoSize >= 108 && head.size() >= 14 + 40 + 16 && ReadU32(head, 14 + 40 + 12) == 0xFF000000u) {
            m.alpha = *Channel::FromMask(0xFF000000u);
            m.hasAlpha = true;
        }
        return m;
    }
    if (head.size() < 14 + 40 + 12 + (h.infoSize >= 108 ? 4 : 0)) {
        *reason = QStringLiteral("the colour masks are truncated");
        return std::nullopt;
    }
    const qint64 at = 14 + 40;
    const auto red = Channel::FromMask(ReadU32(head, at));
    const auto green = Channel::FromMask(ReadU32(head, at + 4));
    const auto blue = Channel::FromMask(ReadU32(head, at + 8));
    const auto alpha = Channel::FromMask(h.infoSize >= 108 ? ReadU32(head, at + 12) : 0);
    if (!red || !green || !blue || !alpha) {
        *reason = QStringLiteral("a colour mask is unusable");
        return std::nullopt;
    }
    m = {*red, *green, *blue, *alpha, alpha->mask != 0};
    return m;
}

int Grey(quint32 rgb)
{
    return (((rgb >> 16) & 0xFF) * 11 + ((rgb >> 8) & 0xFF) * 16 + (rgb & 0xFF) * 5) / 32;
}

void ExpandIndices(const uchar* in, int bits, int width, uchar* out)
{
    if (bits == 8) {
        std::copy(in, in + width, out);
        return;
    }
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        out[x] = static_cast<uchar>((in[x / perByte] >> shift) & mask);
    }
}

void ExpandColours(const uchar* in, int bits, int width, const Masks& m, quint32* out)
{
    const int bytes = bits / 8;
    for (int x = 0; x < width; ++x) {
        quint32 c = 0;
        for (int b = bytes - 1; b >= 0; --b)
            c = (c << 8) | in[x * bytes + b];
        const quint32 a = m.hasAlpha ? m.alpha.Value(c) & 0xFF : 0xFF;
        out[x] = (a << 24) | ((m.red.Value(c) & 0xFF) << 16) | ((m.green.Value(c) & 0xFF) << 8) | (m.blue.Value(c) & 0xFF);
    }
}

// A two-colour file shows its darker colour as index 1, as the loader does.
void PutDarkSecond(CPixelImage& image)
{
    QList<std::uint32_t> table = image.ColorTable();
    if (table.size() != 2 || Grey(table[0]) >= Grey(table[1]))
        return;
    std::swap(table[0], table[1]);
    image.SetColorTable(table);
    for (int y = 0; y < image.Height(); ++y) {
        uchar* line = image.ScanLine(y);
        for (int x = 0; x < image.Width(); ++x)
            line[x] ^= 1;
    }
}

}  // namespace

std::optional<CPixelImage> DecodeBmpPlain(const BmpHeader& header, QFile& file, QString* reason)
{
    const int width = static_cast<int>(header.width);
    const int rows = static_cast<int>(header.Rows());
    const bool indexed = header.bits <= 8;
    const QByteArray head = file.peek(header.DataStart());
    std::optional<Masks> masks;
    std::optional<QList<std::uint32_t>> palette;
    if (indexed)
        palette = ReadBmpPalette(header, head, reason);
    else
        masks = ReadMasks(header, head, reason);
    if (indexed ? !palette : !masks)
        return std::nullopt;
    CPixelImage image(width, rows, indexed ? CPixelImage::Format::Indexed8
                                           : masks->hasAlpha ? CPixelImage::Format::Argb32 : CPixelImage::Format::Rgb32);
    if (image.IsNull()) {
        *reason = QStringLiteral("not enough memory for %1 x %2 pixels").arg(width).arg(rows);
        return std::nullopt;
    }
    const qint64 rowBytes = (header.width * header.bits + 31) / 32 * 4;
    if (!file.seek(header.DataStart())) {
        *reason = file.errorString();
        return std::nullopt;
    }
    const QByteArray data = file.read(rowBytes * rows);
    if (data.size() != rowBytes * rows) {
        *reason = QStringLiteral("the pixel data cannot be read: %1").arg(file.errorString());
        return std::nullopt;
    }
    for (int i = 0; i < rows; ++i) {
        const int y = header.TopDown() ? i : rows - 1 - i;
        const auto* in = reinterpret_cast<const uchar*>(data.constData()) + i * rowBytes;
        if (indexed)
            ExpandIndices(in, static_cast<int>(header.bits), width, image.ScanLine(y));
        else
            ExpandColours(in, static_cast<int>(header.bits), width, *masks, reinterpret_cast<quint32*>(image.ScanLine(y)));
    }
    if (indexed) {
        image.SetColorTable(*palette);
        if (header.bits == 1)
            PutDarkSecond(image);
    }
    image.SetDotsPerMeter(static_cast<int>(header.xPelsPerMeter), static_cast<int>(header.yPelsPerMeter));
    return image;
}
