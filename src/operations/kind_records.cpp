#include "operations/kind_records.h"

#include "imaging/bitmap_surface.h"
#include "operations/download_list_builder.h"
#include "imaging/raster_converter.h"

QString LogoRefusal(const LogoEntry& logo, const QString& reason)
{
    return QStringLiteral("Cannot convert %1: %2").arg(logo.name, reason);
}

std::optional<QByteArray> MakeMonoLogoRecord(const RasterSource& source, const LogoEntry& logo,
                                             const DownloadBuildOptions&, QString* error)
{
    const int width = source.surface->Width();
    const int height = source.surface->Height();
    std::optional<QByteArray> record = CRasterConverter().MakeMonoRecord(source, width, height);
    if (!record)
        *error = LogoRefusal(logo, QStringLiteral("the image (%1 x %2 dots) is larger than one NV bit image "
                                              "record can hold (%3 bytes).")
                                   .arg(width).arg(height).arg(kMonoRecordLimit));
    return record;
}

std::optional<QByteArray> MakeTwoColorLogoRecord(const RasterSource& source, const LogoEntry& logo,
                                                 const DownloadBuildOptions& options, QString* error)
{
    const int width = source.surface->Width();
    const int height = source.surface->Height();
    QByteArray command = CRasterConverter().MakeTwoColorRecord(source, width, height, {0, 0}, options.receiptWidth);
    if (command.isEmpty()) {
        *error = LogoRefusal(logo, QStringLiteral("the image (%1 x %2 dots) is larger than one NV graphics "
                                              "definition can hold (%3 bytes).")
                                   .arg(width).arg(height).arg(kTwoColorRecordLimit));
        return std::nullopt;
    }
    return command;
}

std::optional<QByteArray> MakeDotLogoStream(const RasterSource& source, const LogoEntry& logo,
                                            const DownloadBuildOptions& options, QString* error)
{
    QByteArray stream = MakeDotModeStream(source, options.density);
    if (stream.size() > kMaxDotStreamBytes) {
        *error = LogoRefusal(logo, QStringLiteral("its DOT MODE data is %1 bytes long, more than the %2 bytes "
                                              "the printer's length table can describe. Use a smaller image "
                                              "or a lower density.")
                                   .arg(stream.size()).arg(kMaxDotStreamBytes));
        return std::nullopt;
    }
    return stream;
}
