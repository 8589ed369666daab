#include "imaging/download_list_builder.h"

#include "imaging/bitmap_surface.h"
#include "imaging/logo_renderer.h"
#include "imaging/raster_converter.h"

namespace {

QString Refusal(const LogoEntry& logo, const QString& reason)
{
    return QStringLiteral("Cannot convert %1: %2").arg(logo.name, reason);
}

// Separates while it packs: the loaded image is read once, row by row, and
// no separated copy of it is written.
std::optional<QByteArray> ConvertLogo(int modelType, const CBitmapSurface& surface, const LogoEntry& logo,
                                      const DownloadBuildOptions& options, QString* error)
{
    const CRasterConverter converter;
    const SeparationInputs inputs = MakeEntryInputs(logo, options.colors);
    const RasterSource source(surface, inputs);
    const int width = surface.Width();
    const int height = surface.Height();
    switch (modelType) {
    case kModelTypeMono: {
        std::optional<QByteArray> record = converter.MakeMonoRecord(source, width, height);
        if (!record)
            *error = Refusal(logo, QStringLiteral("the image (%1 x %2 dots) is larger than one NV bit image "
                                                  "record can hold (%3 bytes).")
                                       .arg(width).arg(height).arg(kMonoRecordLimit));
        return record;
    }
    case kModelTypeTwoColor: {
        QByteArray command = converter.MakeTwoColorRecord(source, width, height, {0, 0}, options.receiptWidth);
        if (command.isEmpty()) {
            *error = Refusal(logo, QStringLiteral("the image (%1 x %2 dots) is larger than one NV graphics "
                                                  "definition can hold (%3 bytes).")
                                       .arg(width).arg(height).arg(kTwoColorRecordLimit));
            return std::nullopt;
        }
        return command;
    }
    default: {
        QByteArray stream = MakeDotModeStream(source, options.density);
        if (stream.size() > kMaxDotStreamBytes) {
            *error = Refusal(logo, QStringLiteral("its DOT MODE data is %1 bytes long, more than the %2 bytes "
                                                  "the printer's length table can describe. Use a smaller image "
                                                  "or a lower density.")
                                       .arg(stream.size()).arg(kMaxDotStreamBytes));
            return std::nullopt;
        }
        return stream;
    }
    }
}

}  // namespace

QByteArray MakeDotModeStream(const RasterSource& source, int density)
{
    const CRasterConverter converter;
    const int width = source.surface->Width();
    const int height = source.surface->Height();
    switch (density) {
    case kDensitySingle:
        return converter.MakeDotBandsSingle(source.ShrunkTo(width / 2, height / 2), width / 2, height / 2);
    case kDensityDouble:
        return converter.MakeDotBandsDouble(source.ShrunkTo(width, height / 2), width, height / 2);
    default:
        return converter.MakeDotBandsQuad(source, width, height);
    }
}

std::optional<DownloadList> BuildDownloadList(int modelType, const std::vector<const LogoEntry*>& logos,
                                              const DownloadBuildOptions& options, QString* error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (modelType != kModelTypeDotMode && modelType != kModelTypeMono && modelType != kModelTypeTwoColor) {
        *error = QStringLiteral("Not Support Printer");
        return std::nullopt;
    }
    if (logos.empty()) {
        *error = QStringLiteral("Without a bitmap file being selected.");
        return std::nullopt;
    }

    DownloadList items;
    items.reserve(logos.size() + 1);
    QByteArray head;
    for (const LogoEntry* logo : logos) {
        QString reason;
        const std::optional<CBitmapSurface> surface = LoadLogoBitmap(*logo, &reason);
        if (!surface) {
            *error = Refusal(*logo, QStringLiteral("the file %1 cannot be loaded as a bitmap (%2).").arg(logo->path, reason));
            return std::nullopt;
        }
        std::optional<QByteArray> bytes = ConvertLogo(modelType, *surface, *logo, options, error);
        if (!bytes)
            return std::nullopt;
        if (modelType == kModelTypeDotMode) {
            // Lengths go high byte first, unlike every other number the printer takes.
            head.append(static_cast<char>((bytes->size() >> 8) & 0xFF));
            head.append(static_cast<char>(bytes->size() & 0xFF));
        }
        items.push_back(DownloadItem{logo->name, std::move(*bytes)});
    }
    if (modelType == kModelTypeDotMode)
        items.insert(items.begin(), DownloadItem{kHeadItemName, head});
    return items;
}
