#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <cstdint>

// The pixels of a bitmap in one of the two layouts the conversion works on,
// held without the platform's image class: converting a BMP logo needs
// nothing of the window system, and the command-line tool starts without it.
//
// The layouts are those of the platform's image class, byte for byte, so a
// picture passes between the two with one copy of its rows:
// - Indexed8: one palette index a pixel, rows padded to 4 bytes;
// - Rgb32 / Argb32: 0xAARRGGBB a pixel in native order (alpha 0xFF for Rgb32).
// Copies share the pixels until one of them writes (QByteArray's sharing).
class CPixelImage {
public:
    enum class Format { Invalid, Indexed8, Rgb32, Argb32 };

    CPixelImage() = default;
    // Uninitialised pixels; null when the size is empty or cannot be allocated.
    CPixelImage(int width, int height, Format format);

    bool IsNull() const { return m_format == Format::Invalid; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Format PixelFormat() const { return m_format; }
    // Only between the two 32-bit layouts, which differ only in what alpha means.
    void ReinterpretAs(Format format);
    qsizetype BytesPerLine() const { return m_bytesPerLine; }

    uchar* ScanLine(int y) { return reinterpret_cast<uchar*>(m_data.data()) + y * m_bytesPerLine; }
    const uchar* ConstScanLine(int y) const { return reinterpret_cast<const uchar*>(m_data.constData()) + y * m_bytesPerLine; }
    void Fill(uchar byte) { m_data.fill(static_cast<char>(byte)); }

    // 0xFFRRGGBB entries; Indexed8 only.
    const QList<std::uint32_t>& ColorTable() const { return m_colorTable; }
    void SetColorTable(QList<std::uint32_t> table) { m_colorTable = std::move(table); }

    // The resolution the file states, kept as the platform's loader keeps it.
    int DotsPerMeterX() const { return m_dotsPerMeterX; }
    int DotsPerMeterY() const { return m_dotsPerMeterY; }
    void SetDotsPerMeter(int x, int y)
    {
        m_dotsPerMeterX = x;
        m_dotsPerMeterY = y;
    }

private:
    int m_width = 0;
    int m_height = 0;
    Format m_format = Format::Invalid;
    qsizetype m_bytesPerLine = 0;
    QByteArray m_data;
    QList<std::uint32_t> m_colorTable;
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
};

// An opaque 0xFFRRGGBB colour, the palette entry and pixel form above.
constexpr std::uint32_t OpaqueRgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(r & 0xFF) << 16) | (static_cast<std::uint32_t>(g & 0xFF) << 8) |
           static_cast<std::uint32_t>(b & 0xFF);
}
