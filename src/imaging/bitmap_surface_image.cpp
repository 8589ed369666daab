// The bitmap surface as the platform's image: for the desktop's preview, the
// picture import and the tests, which have the image library loaded anyway.
#include "imaging/bitmap_surface.h"

#include <QImage>

#include <cstring>

namespace {

QImage::Format ImageFormat(CPixelImage::Format format)
{
    switch (format) {
    case CPixelImage::Format::Indexed8: return QImage::Format_Indexed8;
    case CPixelImage::Format::Rgb32: return QImage::Format_RGB32;
    case CPixelImage::Format::Argb32: return QImage::Format_ARGB32;
    case CPixelImage::Format::Invalid: break;
    }
    return QImage::Format_Invalid;
}

QImage ToImage(const CPixelImage& pixels)
{
    if (pixels.IsNull())
        return QImage();
    QImage image(pixels.Width(), pixels.Height(), ImageFormat(pixels.PixelFormat()));
    if (image.isNull())
        return image;
    const size_t rowBytes = static_cast<size_t>(std::min(image.bytesPerLine(), pixels.BytesPerLine()));
    for (int y = 0; y < pixels.Height(); ++y)
        std::memcpy(image.scanLine(y), pixels.ConstScanLine(y), rowBytes);
    if (pixels.PixelFormat() == CPixelImage::Format::Indexed8)
        image.setColorTable(QList<QRgb>(pixels.ColorTable().begin(), pixels.ColorTable().end()));
    // Decoders that state no resolution leave the image's own default.
    if (pixels.DotsPerMeterX() != 0 || pixels.DotsPerMeterY() != 0) {
        image.setDotsPerMeterX(pixels.DotsPerMeterX());
        image.setDotsPerMeterY(pixels.DotsPerMeterY());
    }
    return image;
}

CPixelImage ToPixels(const QImage& source)
{
    QImage image;
    CPixelImage::Format format = CPixelImage::Format::Rgb32;
    switch (source.format()) {
    case QImage::Format_Invalid:
        return CPixelImage();
    case QImage::Format_Indexed8:
        image = source;
        format = CPixelImage::Format::Indexed8;
        break;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        image = source.convertToFormat(QImage::Format_Indexed8);
        format = CPixelImage::Format::Indexed8;
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        image = source;
        break;
    default:
        image = source.convertToFormat(QImage::Format_RGB32);
        break;
    }
    CPixelImage pixels(image.width(), image.height(), format);
    if (pixels.IsNull())
        return pixels;
    const size_t rowBytes = static_cast<size_t>(std::min(image.bytesPerLine(), pixels.BytesPerLine()));
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(pixels.ScanLine(y), image.constScanLine(y), rowBytes);
    if (format == CPixelImage::Format::Indexed8) {
        const QList<QRgb> table = image.colorTable();
        pixels.SetColorTable(QList<std::uint32_t>(table.begin(), table.end()));
    }
    return pixels;
}

}  // namespace

CBitmapSurface CBitmapSurface::FromImage(const QImage& image)
{
    return FromPixels(ToPixels(image));
}

QImage CBitmapSurface::Image() const
{
    return ToImage(m_image);
}

std::optional<QImage> CBitmapSurface::LoadBmpImage(const QString& path, QString* error)
{
    const std::optional<CPixelImage> pixels = LoadBmpPixels(path, error);
    if (!pixels)
        return std::nullopt;
    return ToImage(*pixels);
}
