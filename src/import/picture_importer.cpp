#include "import/picture_importer.h"

#include "framework/atomic_file.h"
#include "import/bmp_encoder.h"
#include "import/dither.h"
#include "import/picture_loader.h"
#include "import/picture_scaler.h"
#include "import/tone_curve.h"
#include "import/two_ink_reduction.h"
#include "operations/printer_kind_table.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTransform>

// Settings whose number names no kind are refused by CheckImportSettings
// before any picture is converted, so the rows below are read with the
// single-colour row as the fallback only for completeness.

namespace {

// The hue angles whose colours are the three inks.
constexpr std::array<int, 3> kInkThreshold{0, 120, 240};

void DotUnits(const ImportSettings& settings, int* unitWidth, int* unitHeight)
{
    *unitWidth = 1;
    *unitHeight = 1;
    if (!KindEntryOrMono(settings.modelType).importDensityUnits)
        return;
    // The download halves single-density images both ways and double-density
    // ones in height (see MakeDotModeStream).
    if (settings.density == DotDensity::Single)
        *unitWidth = 2;
    if (settings.density != DotDensity::Quad)
        *unitHeight = 2;
}

// The dots the printer gets for a picture of this upright size.
QSize DotSize(QSize upright, const ImportSettings& settings)
{
    const QSize fitted = FitToWidth(upright, settings.width, settings.receiptWidth);
    int unitWidth = 1;
    int unitHeight = 1;
    DotUnits(settings, &unitWidth, &unitHeight);
    return QSize(std::max(1, fitted.width() / unitWidth), std::max(1, fitted.height() / unitHeight));
}

LogoSettings SettingsFor(const ImportSettings& settings)
{
    LogoSettings logo;
    // Black, white and the three pure inks land on themselves under the
    // default R and L Values: black has the lowest dark score, white the
    // lowest light score, and an ink whose hue is the THRESHOLD colour a
    // colour score of 0.
    logo.rValue = 100;
    logo.lValue = 100;
    const PrinterKindEntry& kind = KindEntryOrMono(settings.modelType);
    if (kind.importInkChoice) {
        logo.colorMode = settings.ink;
        logo.threshold = kInkThreshold[static_cast<size_t>(settings.ink)];
    } else {
        // As the window sets it: single-ink printers take "Not Used".
        logo.colorMode = kind.secondInk ? ColorChoice::Red : ColorChoice::NotUsed;
    }
    return logo;
}

std::vector<std::uint8_t> MakeDots(const QImage& scaled, const ImportSettings& settings)
{
    const ToneTable tones = MakeToneTable(settings.brightness, settings.contrast, settings.gamma);
    if (KindEntryOrMono(settings.modelType).importInkChoice)
        return ReduceToTwoInks(ApplyTones(scaled, tones), kSeparationPalette[static_cast<size_t>(settings.ink)],
                               settings.dither);
    return DitherToDots(ToGreyPlane(scaled, tones), settings.dither, settings.level);
}

void EncodeBmp(ImportedLogo& logo)
{
    const int width = logo.dotWidth * logo.unitWidth;
    const int height = logo.dotHeight * logo.unitHeight;
    std::vector<std::uint8_t> indices(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            indices[static_cast<size_t>(y) * width + x] = logo.DotAt(x / logo.unitWidth, y / logo.unitHeight);
    // Palette order is the dot value: paper, black, ink.
    std::vector<Rgb> palette{{255, 255, 255}, {0, 0, 0}};
    int bits = 1;
    if (KindEntryOrMono(logo.modelType).importInkChoice) {
        palette.push_back(logo.inkColour);
        bits = 4;
    }
    logo.bmp = EncodePaletteBmp(width, height, bits, palette, indices);
    logo.bmpSize = QSize(width, height);
}

}  // namespace

QImage ImportedLogo::Preview() const
{
    QImage image(dotWidth * unitWidth, dotHeight * unitHeight, QImage::Format_RGB32);
    const QRgb colours[3] = {qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(inkColour.r, inkColour.g, inkColour.b)};
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = colours[DotAt(x / unitWidth, y / unitHeight)];
    }
    return image;
}

QSize ImportSourceSize(QSize picture, const ImportSettings& settings)
{
    const QSize dots = DotSize(settings.rotate ? picture.transposed() : picture, settings);
    return settings.rotate ? dots.transposed() : dots;
}

std::optional<QImage> PrepareImportSource(const QImage& picture, const ImportSettings& settings, QString* error)
{
    const QString problem = CheckImportSettings(settings);
    if (!problem.isEmpty() || picture.isNull()) {
        *error = problem.isEmpty() ? QStringLiteral("The picture is empty.") : problem;
        return std::nullopt;
    }
    int unitWidth = 1;
    int unitHeight = 1;
    DotUnits(settings, &unitWidth, &unitHeight);
    const QSize source = ImportSourceSize(picture.size(), settings);
    const int rows = (settings.rotate ? source.width() : source.height()) * unitHeight;
    if (rows > kMaxImportHeight) {
        *error = QStringLiteral("The logo would be %1 dots high; at most %2 fit a receipt logo. "
                                "Give a smaller width.").arg(rows).arg(kMaxImportHeight);
        return std::nullopt;
    }
    QImage scaled = ResizePicture(FlattenOverWhite(picture), source);
    if (settings.rotate)
        scaled = scaled.transformed(QTransform().rotate(90)).convertToFormat(QImage::Format_RGB32);
    return scaled;
}

ImportedLogo ImportPreparedPicture(const QImage& prepared, const ImportSettings& settings)
{
    return LogoFromDots(prepared.width(), prepared.height(), MakeDots(prepared, settings), settings);
}

QSize ImportDotUnit(const ImportSettings& settings)
{
    int unitWidth = 1;
    int unitHeight = 1;
    DotUnits(settings, &unitWidth, &unitHeight);
    return QSize(unitWidth, unitHeight);
}

ImportedLogo LogoFromDots(int dotWidth, int dotHeight, std::vector<std::uint8_t> dots, const ImportSettings& settings)
{
    ImportedLogo logo;
    logo.modelType = settings.modelType;
    DotUnits(settings, &logo.unitWidth, &logo.unitHeight);
    logo.dotWidth = dotWidth;
    logo.dotHeight = dotHeight;
    if (KindEntryOrMono(settings.modelType).importInkChoice)
        logo.inkColour = kSeparationPalette[static_cast<size_t>(settings.ink)];
    logo.dots = std::move(dots);
    logo.logoSettings = SettingsFor(settings);
    EncodeBmp(logo);
    return logo;
}

std::optional<ImportedLogo> ImportPicture(const QImage& picture, const ImportSettings& settings, QString* error)
{
    const std::optional<QImage> prepared = PrepareImportSource(picture, settings, error);
    if (!prepared)
        return std::nullopt;
    return ImportPreparedPicture(*prepared, settings);
}

std::optional<ImportedLogo> ImportPictureFile(const QString& path, const ImportSettings& settings, QString* error)
{
    const QString problem = CheckImportSettings(settings);
    if (!problem.isEmpty()) {
        *error = problem;
        return std::nullopt;
    }
    const std::optional<QImage> picture =
        LoadPicture(path, [&](QSize natural) { return ImportSourceSize(natural, settings); }, error);
    if (!picture)
        return std::nullopt;
    std::optional<ImportedLogo> logo = ImportPicture(*picture, settings, error);
    if (!logo)
        *error = QStringLiteral("%1: %2").arg(path, *error);
    return logo;
}

SeparationColors ImportedLogoColors(const ImportedLogo&)
{
    return SeparationColors{};
}

QString ImportedLogosFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/markograph/logos";
}

QString ImportedLogoFileName(const QString& sourcePath, const ImportSettings& settings)
{
    QString base = QFileInfo(sourcePath).completeBaseName();
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]+")), QStringLiteral("_"));
    base = base.left(40);
    if (base.isEmpty())
        base = QStringLiteral("logo");
    const QByteArray key = (QFileInfo(sourcePath).absoluteFilePath() + '\n' + DescribeImportSettings(settings)).toUtf8();
    const QString hash = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(8));
    const QString method = DescribeImportSettings(settings).section(' ', 2, 2);
    const int width = settings.width > 0 ? settings.width : settings.receiptWidth;
    return QStringLiteral("%1-k%2-%3-%4-%5.bmp").arg(base).arg(settings.modelType.Number()).arg(width).arg(method, hash);
}

bool SaveImportedLogo(const ImportedLogo& logo, const QString& path, QString* error)
{
    if (logo.bmp.isEmpty()) {
        *error = QStringLiteral("%1: the logo is empty.").arg(path);
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("%1: cannot create the folder.").arg(folder);
        return false;
    }
    return WriteFileAtomically(path, logo.bmp, error);
}

std::optional<QString> ImportPictureToLogos(const QString& sourcePath, const ImportSettings& settings,
                                            ImportedLogo* logo, QString* error)
{
    std::optional<ImportedLogo> imported = ImportPictureFile(sourcePath, settings, error);
    if (!imported)
        return std::nullopt;
    const QString path = ImportedLogosFolder() + '/' + ImportedLogoFileName(sourcePath, settings);
    if (!SaveImportedLogo(*imported, path, error))
        return std::nullopt;
    if (logo)
        *logo = std::move(*imported);
    return path;
}
