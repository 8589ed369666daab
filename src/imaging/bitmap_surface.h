#pragma once

#include "framework/colorref.h"
#include "imaging/pixel_image.h"

#include <QSize>
#include <QtEndian>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class QImage;

// A bitmap that is read and written pixel by pixel with the rules every
// conversion relies on:
// - it keeps the pixel format of its file: 1-, 4- and 8-bit files stay
//   palette-based (held as 8-bit indices with the file's palette), every other
//   depth is held as 24-bit colour;
// - writing a colour into a palette-based bitmap stores the nearest palette
//   colour, so a black-and-white file cannot show red;
// - reading outside the bitmap yields win::kInvalidColor, which counts as white.
//
// The bulk operations (MapColors, ReadRow, StretchAnd) follow the same rules as
// GetPixel/SetPixel but touch each palette entry or scan line once, which is
// what keeps conversion fast. Not thread-safe; a surface belongs to one thread.
class CBitmapSurface {
public:
    CBitmapSurface() = default;

    // Wraps an image, normalising it to one of the two internal formats.
    // The QImage forms (FromImage, Image, LoadBmpImage) belong to the
    // picture half of the core (bitmap_surface_image.cpp): converting a BMP
    // logo needs none of them, so the converting program does not load the
    // platform's image library.
    static CBitmapSurface FromImage(const QImage& image);
    static CBitmapSurface FromPixels(CPixelImage pixels);

    // Loads a BMP file. Anything that is not a BMP this program can read
    // (missing, not a regular file, truncated, absurd dimensions, another
    // format) gives nothing and a one-line reason in *error. A file whose
    // pixel data is shorter than its header promises is refused rather than
    // padded, and so is one of more than 16 Mpixel (kMaxBmpPixels). Every
    // pixel of a loaded file is defined by the file: the same file gives the
    // same surface on every run (RLE pixels the stream skips are index 0).
    static std::optional<CBitmapSurface> LoadBmp(const QString& path, QString* error = nullptr);

    // The image LoadBmp wraps, before it is normalised: the same checks,
    // the same decoders and the same pixels. The picture import reads BMP
    // files through this, so a BMP gives one picture on every path.
    static std::optional<QImage> LoadBmpImage(const QString& path, QString* error = nullptr);
    static std::optional<CPixelImage> LoadBmpPixels(const QString& path, QString* error = nullptr);

    // The size LoadBmp would give the file, or nothing and the reason LoadBmp
    // would give. Uncompressed 24-bit files are measured from their headers
    // (every check their decoding makes is made on the header and the file
    // size); the others are loaded.
    static std::optional<QSize> MeasureBmp(const QString& path, QString* error = nullptr);

    bool IsNull() const { return m_image.IsNull(); }
    int Width() const { return m_image.Width(); }
    int Height() const { return m_image.Height(); }
    bool IsPaletteBased() const { return m_image.PixelFormat() == CPixelImage::Format::Indexed8; }
    // A copy of the pixels as the platform's image (palette padded to 256).
    QImage Image() const;
    // The pixels themselves: indices, or 0xFFRRGGBB in native order.
    const CPixelImage& Pixels() const { return m_image; }
    const uchar* ConstScanLine(int y) const { return m_image.ConstScanLine(y); }

    win::COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, win::COLORREF colour);

    // Copies row y (0 <= y < Height()) as Width() COLORREF values into out.
    void ReadRow(int y, win::COLORREF* out) const;

    // Replaces every pixel p by map(p), with SetPixel's nearest-colour rule.
    // map must be a pure function of the colour: palette-based bitmaps call it
    // once per palette entry.
    template <class Map>
    void MapColors(Map&& map);

    // A new surface of the same pixel format, newWidth x newHeight, onto which
    // the whole image is shrunk; the colours of the source pixels that meet in
    // one destination pixel are combined with a bitwise AND (black wins over
    // every colour, a colour over white). A zero dimension gives a null surface.
    CBitmapSurface StretchAnd(int newWidth, int newHeight) const;

    // Index of the palette colour nearest to the colour (squared RGB distance,
    // the first of equals wins). Palette-based surfaces only.
    int NearestPaletteIndex(win::COLORREF colour) const;
    // The colour a palette index reads as (0..255; indices beyond the file's
    // palette read black). Palette-based surfaces only.
    win::COLORREF PaletteColour(int index) const { return m_palette[static_cast<size_t>(index)]; }

private:
    void RebuildPaletteCache();
    // 0xAARRGGBB and 0x00BBGGRR are each other's byte reversal, shifted by
    // one byte; a byte swap is one instruction where picking the channels
    // apart takes a dozen, and every pixel of a conversion passes here.
    static win::COLORREF FromQRgb(std::uint32_t value) { return qbswap(static_cast<quint32>(value)) >> 8; }
    static std::uint32_t ToQRgb(win::COLORREF c) { return (qbswap(static_cast<quint32>(c)) >> 8) | 0xFF000000u; }

    CPixelImage m_image;
    int m_paletteSize = 0;                  // colours the file's palette really has
    std::array<win::COLORREF, 256> m_palette{};  // every index, unused ones black
};

template <class Map>
void CBitmapSurface::MapColors(Map&& map)
{
    const int width = Width();
    const int height = Height();
    if (IsNull())
        return;
    if (IsPaletteBased()) {
        std::array<uchar, 256> remap{};
        for (int i = 0; i < 256; ++i)
            remap[i] = static_cast<uchar>(NearestPaletteIndex(map(m_palette[i])));
        for (int y = 0; y < height; ++y) {
            uchar* line = m_image.ScanLine(y);
            for (int x = 0; x < width; ++x)
                line[x] = remap[line[x]];
        }
        return;
    }
    // Logos are made of large areas of one colour: remembering the last
    // mapping saves most of the work.
    std::uint32_t lastIn = 0;
    std::uint32_t lastOut = ToQRgb(map(FromQRgb(lastIn)));
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(m_image.ScanLine(y));
        for (int x = 0; x < width; ++x) {
            const std::uint32_t in = line[x] | 0xFF000000u;
            if (in != lastIn) {
                lastIn = in;
                lastOut = ToQRgb(map(FromQRgb(in)));
            }
            line[x] = lastOut;
        }
    }
}
