// CBitmapSurface::LoadBmp: the one place BMP files are read.
//
// Every variant is decoded here, to the pixels the platform's image loader
// gives the same file, without loading that library: RLE files
// (bmp_rle_decoder.cpp, which also defines the pixels the loader leaves as
// whatever memory held, so the same file prints the same on every run),
// uncompressed 24-bit files, the usual colour logo (bmp_rgb24_decoder.cpp,
// fast), and the other uncompressed variants (bmp_plain_decoder.cpp).
#include "framework/regular_file.h"
#include "imaging/bitmap_surface.h"
#include "imaging/bmp_header.h"
#include "imaging/bmp_plain_decoder.h"
#include "imaging/bmp_rgb24_decoder.h"
#include "imaging/bmp_rle_decoder.h"

#include <algorithm>

namespace {

// An RLE stream for the largest image accepted, coded as badly as the
// format allows, stays far below this; bytes beyond it are never read.
constexpr qint64 kMaxRleFileBytes = 4 * kMaxBmpPixels;

std::optional<BmpHeader> ReadCheckedHeader(QFile& file, QString* reason)
{
    std::optional<BmpHeader> header = ReadBmpHeader(file.peek(54), reason);
    if (!header || !CheckBmpLayout(*header, file.size(), reason))
        return std::nullopt;
    return header;
}

// The header sizes whose fields are read at their documented width; the
// loader reads any other size as the short header of old files, which
// gives a different picture than the file means, so such files are refused.
bool KnownHeaderSize(const BmpHeader& header)
{
    return header.core || header.infoSize == 40 || header.infoSize == 64 || header.infoSize == 108 ||
           header.infoSize == 124;
}

std::optional<CPixelImage> ReadImage(QFile& file, QString* reason)
{
    const std::optional<BmpHeader> header = ReadCheckedHeader(file, reason);
    if (!header)
        return std::nullopt;
    if (header->IsPlainRgb24())
        return DecodeBmpRgb24(*header, file, reason);
    if (header->IsRle())
        return DecodeBmpRle(*header, file.read(std::min(file.size(), kMaxRleFileBytes)), reason);
    if (header->planes != 1 || !KnownHeaderSize(*header)) {
        *reason = QStringLiteral("unsupported header (size %1, %2 planes)").arg(header->infoSize).arg(header->planes);
        return std::nullopt;
    }
    return DecodeBmpPlain(*header, file, reason);
}

}  // namespace

std::optional<QSize> CBitmapSurface::MeasureBmp(const QString& path, QString* error)
{
    QString reason;
    QFile file;
    if (OpenRegularFile(path, file, &reason)) {
        const std::optional<BmpHeader> header = ReadCheckedHeader(file, &reason);
        // Our own decoder checks nothing the header checks have not: the
        // pixels of such a file need not be read to know it loads.
        if (header && header->IsPlainRgb24())
            return QSize(static_cast<int>(header->width), static_cast<int>(header->Rows()));
        if (header) {
            if (const std::optional<CPixelImage> image = ReadImage(file, &reason))
                return QSize(image->Width(), image->Height());
        }
    }
    if (error)
        *error = reason;
    return std::nullopt;
}

std::optional<CPixelImage> CBitmapSurface::LoadBmpPixels(const QString& path, QString* error)
{
    QString reason;
    QFile file;
    if (OpenRegularFile(path, file, &reason)) {
        if (std::optional<CPixelImage> image = ReadImage(file, &reason))
            return image;
    }
    if (error)
        *error = reason;
    return std::nullopt;
}

std::optional<CBitmapSurface> CBitmapSurface::LoadBmp(const QString& path, QString* error)
{
    std::optional<CPixelImage> image = LoadBmpPixels(path, error);
    if (!image)
        return std::nullopt;
    return FromPixels(std::move(*image));
}
