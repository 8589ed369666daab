#include "import/picture_loader.h"

#include "framework/regular_file.h"
#include "imaging/bitmap_surface.h"
#include "import/picture_budget.h"
#include "import/svg_drawing.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace {

bool IsSvg(const QString& path, const QByteArray& detectedFormat)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "svg" || suffix == "svgz" || detectedFormat.startsWith("svg");
}

// Text is drawn with the platform's fonts, which only a GUI application
// object provides; without one the font database ends the program.
bool CanDrawText()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

std::optional<QImage> RenderSvg(const QString& path, const PictureSizeWanted& wanted, QString* error)
{
    QString reason;
    QFile file;
    if (!OpenRegularFile(path, file, &reason)) {
        *error = QStringLiteral("%1: %2.").arg(path, reason);
        return std::nullopt;
    }
    if (file.size() > kMaxSvgBytes) {
        *error = QStringLiteral("%1: the drawing is larger than %2 MB.").arg(path).arg(kMaxSvgBytes >> 20);
        return std::nullopt;
    }
    const std::optional<SvgDrawing> drawing = ReadSvgDrawing(file.readAll(), &reason);
    if (!drawing) {
        *error = QStringLiteral("%1: %2.").arg(path, reason);
        return std::nullopt;
    }
    if (drawing->hasText && !CanDrawText()) {
        *error = QStringLiteral("%1: the drawing has text, and this program was started without the fonts "
                                "that drawing text needs.").arg(path);
        return std::nullopt;
    }
    QSvgRenderer renderer(drawing->xml);
    if (!renderer.isValid()) {
        *error = QStringLiteral("%1: not a drawing that can be read.").arg(path);
        return std::nullopt;
    }
    QSize natural = renderer.defaultSize();
    if (natural.isEmpty())
        natural = renderer.viewBox().size();
    if (natural.isEmpty()) {
        *error = QStringLiteral("%1: the drawing has no size.").arg(path);
        return std::nullopt;
    }
    QSize size = wanted ? wanted(natural) : natural;
    if (size.isEmpty())
        size = natural;
    constexpr qint64 kMiB = 1024 * 1024;
    if (4LL * size.width() * size.height() + drawing->pictureBytes > kPictureMemoryBudget) {
        *error = QStringLiteral("%1: the drawing would be %2 x %3 pixels, more than the %4 MB a picture may take.")
                     .arg(path).arg(size.width()).arg(size.height()).arg(kPictureMemoryBudget / kMiB);
        return std::nullopt;
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

// BMP files are read by the one BMP decoder every logo goes through, so a
// BMP gives the same picture on every path and every run.
std::optional<QImage> LoadBmpPicture(const QString& path, QString* error)
{
    QString reason;
    const std::optional<QImage> image = CBitmapSurface::LoadBmpImage(path, &reason);
    if (!image) {
        *error = QStringLiteral("%1: %2").arg(path, reason);
        return std::nullopt;
    }
    return FlattenOverWhite(*image);
}

// The largest shrink by 2, 4 or 8 that keeps the decoded picture at least as
// large as wanted; the JPEG decoder does it in the frequency domain, which is
// both fast and a proper averaging filter.
QSize ShrunkDecodeSize(QSize natural, QSize wanted)
{
    QSize best = natural;
    for (int k = 2; k <= 8; k *= 2) {
        const QSize shrunk((natural.width() + k - 1) / k, (natural.height() + k - 1) / k);
        if (shrunk.width() < wanted.width() || shrunk.height() < wanted.height())
            break;
        best = shrunk;
    }
    return best;
}

// The size the reader will decode at: JPEGs shrink while decoding.
QSize DecodeSize(QImageReader& reader, const QByteArray& format, QSize stored, const PictureSizeWanted& wanted)
{
    if (format != "jpeg" || !stored.isValid() || !wanted)
        return stored;
    // The decoder shrinks the picture as it is stored, before it is turned upright.
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize upright = turned ? stored.transposed() : stored;
    QSize target = wanted(upright);
    if (turned)
        target.transpose();
    return ShrunkDecodeSize(stored, target);
}

}  // namespace

QImage FlattenOverWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    // Row by row, so that a large picture is not copied whole once more.
    const bool argb = image.format() == QImage::Format_ARGB32;
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const QImage row = argb ? QImage() : image.copy(0, y, image.width(), 1).convertToFormat(QImage::Format_ARGB32);
        const auto* in = reinterpret_cast<const QRgb*>(argb ? image.constScanLine(y) : row.constScanLine(0));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            // Premultiplied colour plus white weighted by the transparency.
            const QRgb colour = qPremultiply(in[x]);
            const int paper = 255 - qAlpha(colour);
            line[x] = qRgb(qRed(colour) + paper, qGreen(colour) + paper, qBlue(colour) + paper);
        }
    }
    return out;
}

std::optional<QImage> LoadPicture(const QString& path, const PictureSizeWanted& wanted, QString* error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    // A FIFO or a device would hold the reader forever: refuse it by its type.
    if (const QString notAFile = NonRegularFileReason(path); !notAFile.isEmpty()) {
        *error = QStringLiteral("%1: %2.").arg(path, notAFile);
        return std::nullopt;
    }
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1: no such file.").arg(path);
        return std::nullopt;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>(kPictureMemoryBudget / (1024 * 1024)));
    const QByteArray format = reader.format();
    if (IsSvg(path, format))
        return RenderSvg(path, wanted, error);
    if (format == "bmp")
        return LoadBmpPicture(path, error);
    if (format.isEmpty() || format == "dib") {
        *error = QStringLiteral("%1: not a picture format that can be read.").arg(path);
        return std::nullopt;
    }
    const QSize stored = reader.size();
    const QSize decode = DecodeSize(reader, format, stored, wanted);
    QString reason;
    QFile file;
    if (!OpenRegularFile(path, file, &reason)) {
        *error = QStringLiteral("%1: %2.").arg(path, reason);
        return std::nullopt;
    }
    if (const QString problem = PictureBudgetProblem(file, format, stored, decode, DecodedImageFormat(reader, format));
        !problem.isEmpty()) {
        *error = QStringLiteral("%1: %2.").arg(path, problem);
        return std::nullopt;
    }
    if (decode != stored)
        reader.setScaledSize(decode);
    QImage image = reader.read();
    if (image.isNull()) {
        *error = QStringLiteral("%1: %2").arg(path, reader.errorString());
        return std::nullopt;
    }
    return FlattenOverWhite(image);
}

QStringList PictureNameFilters()
{
    QStringList filters;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    for (const QString& svg : {QStringLiteral("*.svg"), QStringLiteral("*.svgz")})
        if (!filters.contains(svg))
            filters << svg;
    if (filters.contains("*.jpeg") && !filters.contains("*.jpg"))
        filters << "*.jpg";
    filters.removeDuplicates();
    return filters;
}
