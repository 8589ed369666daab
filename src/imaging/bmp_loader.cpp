// CBitmapSurface::LoadBmp: the one place BMP files are read.
//
// Uncompressed and bit-field files go to the platform's image loader once
// their sizes have been checked against the file. RLE files are decoded here
// (bmp_rle_decoder.cpp): the loader leaves the pixels an RLE stream does not
// set as whatever memory held, so the same file printed differently from run
// to run. Uncompressed 24-bit files, the usual colour logo, are decoded here
// too (bmp_rgb24_decoder.cpp), to the same pixels, faster.
#include "framework/regular_file.h"
#include "imaging/bitmap_surface.h"
#include "imaging/bmp_header.h"
#include "imaging/bmp_rgb24_decoder.h"
#include "imaging/bmp_rle_decoder.h"

#include <QImageReader>

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

std::optional<QImage> ReadImage(QFile& file, QString* reason)
{
    const std::optional<BmpHeader> header = ReadCheckedHeader(file, reason);
    if (!header)
        return std::nullopt;
    if (header->IsPlainRgb24())
        return DecodeBmpRgb24(*header, file, reason);
    if (header->IsRle())
        return DecodeBmpRle(*header, file.read(std::min(file.size(), kMaxRleFileBytes)), reason);
    // The format is forced: a file that is not a BMP is refused even when
    // its name ends in .bmp, as the platform's bitmap loader refuses it.
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (reader.read(&image) && !image.isNull())
        return image;
    *reason = reader.errorString();
    return std::nullopt;
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
            if (const std::optional<QImage> image = ReadImage(file, &reason))
                return image->size();
        }
    }
    if (error)
        *error = reason;
    return std::nullopt;
}

std::optional<QImage> CBitmapSurface::LoadBmpImage(const QString& path, QString* error)
{
    QString reason;
    QFile file;
    if (OpenRegularFile(path, file, &reason)) {
        if (std::optional<QImage> image = ReadImage(file, &reason))
            return image;
    }
    if (error)
        *error = reason;
    return std::nullopt;
}

std::optional<CBitmapSurface> CBitmapSurface::LoadBmp(const QString& path, QString* error)
{
    const std::optional<QImage> image = LoadBmpImage(path, error);
    if (!image)
        return std::nullopt;
    return FromImage(*image);
}
