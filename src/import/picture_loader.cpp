#include "import/picture_loader.h"

#include "framework/regular_file.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// Beyond this many pixels a picture is refused rather than decoded: no logo
// needs it, and the decoded image alone would take 400 MB.
constexpr qint64 kMaxPicturePixels = 100'000'000;

bool IsSvg(const QString& path, const QByteArray& detectedFormat)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "svg" || suffix == "svgz" || detectedFormat.startsWith("svg");
}

std::optional<QImage> RenderSvg(const QString& path, const PictureSizeWanted& wanted, QString* error)
{
    QSvgRenderer renderer(path);
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
    if (static_cast<qint64>(size.width()) * size.height() > kMaxPicturePixels) {
        *error = QStringLiteral("%1: the drawing would be %2 x %3 pixels, too large.")
                     .arg(path).arg(size.width()).arg(size.height());
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

}  // namespace

QImage FlattenOverWhite(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(premultiplied.size(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(premultiplied.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            // Premultiplied colour plus white weighted by the transparency.
            const int paper = 255 - qAlpha(in[x]);
            line[x] = qRgb(qRed(in[x]) + paper, qGreen(in[x]) + paper, qBlue(in[x]) + paper);
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
    const QByteArray format = reader.format();
    if (IsSvg(path, format))
        return RenderSvg(path, wanted, error);
    if (format.isEmpty()) {
        *error = QStringLiteral("%1: not a picture format that can be read.").arg(path);
        return std::nullopt;
    }
    const QSize stored = reader.size();
    if (stored.isValid() && static_cast<qint64>(stored.width()) * stored.height() > kMaxPicturePixels) {
        *error = QStringLiteral("%1: %2 x %3 pixels is too large.").arg(path).arg(stored.width()).arg(stored.height());
        return std::nullopt;
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    if (format == "jpeg" && stored.isValid() && wanted) {
        // The decoder shrinks the picture as it is stored, before it is turned upright.
        QSize upright = turned ? stored.transposed() : stored;
        QSize target = wanted(upright);
        if (turned)
            target.transpose();
        const QSize decode = ShrunkDecodeSize(stored, target);
        if (decode != stored)
            reader.setScaledSize(decode);
    }
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
