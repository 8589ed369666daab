#include "imaging/bmp_rle_decoder.h"

#include <algorithm>

namespace {

// Walks an RLE stream. Codes come in byte pairs:
//   n > 0, v      a run of n pixels: v (RLE8), or v's two nibbles in turn (RLE4)
//   0, 0          end of line: next row, first column
//   0, 1          end of bitmap
//   0, 2, dx, dy  move right dx and down dy pixels
//   0, n >= 3     n literal pixels follow, padded to an even byte count
class CRleReader {
public:
    CRleReader(const BmpHeader& header, const QByteArray& file, CPixelImage& image)
        : m_data(file.constData()), m_end(file.size()), m_pos(header.DataStart()), m_nibbles(header.compression == BmpHeader::kRle4),
          m_width(header.width), m_rows(header.Rows()), m_topDown(header.TopDown()), m_image(image)
    {
    }

    // True when the stream ends with end-of-bitmap or leaves the last row.
    bool Decode()
    {
        while (m_y < m_rows) {
            if (!Has(2))
                return false;
            const int count = Byte();
            const int value = Byte();
            if (count > 0) {
                PutRun(count, value);
                continue;
            }
            switch (value) {
            case 0:
                m_x = 0;
                ++m_y;
                break;
            case 1:
                return true;
            case 2:
                if (!Has(2))
                    return false;
                m_x += Byte();
                m_y += Byte();
                break;
            default:
                if (!PutLiteral(value))
                    return false;
                break;
            }
        }
        return true;
    }

private:
    bool Has(qint64 bytes) const { return m_pos + bytes <= m_end; }
    int Byte() { return static_cast<quint8>(m_data[m_pos++]); }

    void Put(int index)
    {
        if (m_x < m_width) {
            const qint64 row = m_topDown ? m_y : m_rows - 1 - m_y;
            m_image.ScanLine(static_cast<int>(row))[m_x] = static_cast<uchar>(index);
        }
        ++m_x;
    }

    void PutRun(int count, int value)
    {
        // Pixels past the right edge are dropped; x keeps counting so that a
        // later run on the same row stays off the image too.
        const int visible = static_cast<int>(std::clamp<qint64>(m_width - m_x, 0, count));
        for (int i = 0; i < visible; ++i)
            Put(m_nibbles ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
        m_x += count - visible;
    }

    bool PutLiteral(int count)
    {
        const qint64 bytes = m_nibbles ? (count + 1) / 2 : count;
        if (!Has(bytes))
            return false;
        for (int i = 0; i < count; ++i) {
            const int byte = static_cast<quint8>(m_data[m_pos + (m_nibbles ? i / 2 : i)]);
            Put(m_nibbles ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
        }
        // Literal runs keep the stream on 16-bit boundaries; a missing pad
        // byte at the very end of the file is harmless.
        m_pos = std::min(m_end, m_pos + bytes + (bytes % 2));
        return true;
    }

    const char* m_data;
    qint64 m_end;
    qint64 m_pos;
    bool m_nibbles;
    qint64 m_width;
    qint64 m_rows;
    bool m_topDown;
    CPixelImage& m_image;
    qint64 m_x = 0;
    qint64 m_y = 0;  // rows from where the file starts: the bottom unless top-down
};

}  // namespace

std::optional<CPixelImage> DecodeBmpRle(const BmpHeader& header, const QByteArray& file, QString* reason)
{
    const std::optional<QList<std::uint32_t>> palette = ReadBmpPalette(header, file, reason);
    if (!palette)
        return std::nullopt;
    CPixelImage image(static_cast<int>(header.width), static_cast<int>(header.Rows()), CPixelImage::Format::Indexed8);
    if (image.IsNull()) {
        *reason = QStringLiteral("not enough memory for %1 x %2 pixels").arg(header.width).arg(header.Rows());
        return std::nullopt;
    }
    image.Fill(0);
    image.SetColorTable(*palette);
    if (header.DataStart() >= file.size() || !CRleReader(header, file, image).Decode()) {
        *reason = QStringLiteral("the compressed pixel data is truncated");
        return std::nullopt;
    }
    return image;
}
