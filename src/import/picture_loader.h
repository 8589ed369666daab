#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// The size a picture should be decoded at, given its natural size (already
// turned upright as its orientation tag says). Raster pictures are decoded at
// their natural size or, where the decoder can shrink cheaply while decoding
// (JPEG by 1/2, 1/4, 1/8), at the smallest such size that is still at least
// this large; drawings (SVG) are rendered at exactly this size.
using PictureSizeWanted = std::function<QSize(QSize natural)>;

// Reads any picture the platform's image plug-ins read (PNG, JPEG, GIF, BMP,
// TIFF, WebP ...) or an SVG drawing, and returns it as opaque 32-bit RGB
// (QImage::Format_RGB32) with transparent parts laid over white paper. An
// orientation tag (photographs) is applied. A file that cannot be read gives
// nothing and a one-line reason naming the file in *error.
std::optional<QImage> LoadPicture(const QString& path, const PictureSizeWanted& wanted, QString* error);

// The picture laid over white paper, as opaque Format_RGB32.
QImage FlattenOverWhite(const QImage& image);

// The name filters of every picture format that LoadPicture reads, such as
// "*.png", for file dialogs.
QStringList PictureNameFilters();
