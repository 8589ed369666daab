// CBitmapSurface::LoadBmp: the one place BMP files are read.
//
// Uncompressed and bit-field files go to the platform's image loader once
// their sizes have been checked against the file. RLE files are decoded here
// (bmp_rle_decoder.cpp): the loader leaves the pixels an RLE stream does not
// set as whatever memory held, so the same file printed differently from run
// to run.
#include "framework/regular_file.h"
#include "imaging/bitmap_surface.h"
#include "imaging/bmp_header.h"
#include "imaging/bmp_rle_decoder.h"

#include <QImageReader>

#include <algorithm>

namespace {

// An RLE stream for the largest image accepted, coded as badly as the
// format allows, stays far below this; bytes beyond it are never read.
constexpr qint64 kMaxRleFileBytes = 4 * kMaxBmpPixels;

std::optional<QImage> ReadImage(QFile& file, QString* reason)
{
    const std::optional<BmpHeader> header = ReadBmpHeader(file.peek(54), reason);
    if (!header || !CheckBmpLayout(*header, file.size(), reason))
        return std::nullopt;
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

std::optional<CBitmapSurface> CBitmapSurface::LoadBmp(const QString& path, QString* error)
{
    QString reason;
    QFile file;
    if (OpenRegularFile(path, file, &reason)) {
        if (const std::optional<QImage> image = ReadImage(file, &reason))
            return FromImage(*image);
    }
    if (error)
        *error = reason;
    return std::nullopt;
}
