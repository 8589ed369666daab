#include "operations/download_list_builder.h"

#include "imaging/bitmap_surface.h"
#include "logos/logo_renderer.h"
#include "imaging/raster_converter.h"
#include "operations/kind_records.h"
#include "operations/printer_kind_table.h"

QByteArray MakeDotModeStream(const RasterSource& source, DotDensity density)
{
    const CRasterConverter converter;
    const int width = source.surface->Width();
    const int height = source.surface->Height();
    switch (density) {
    case DotDensity::Single:
        return converter.MakeDotBandsSingle(source.ShrunkTo(width / 2, height / 2), width / 2, height / 2);
    case DotDensity::Double:
        return converter.MakeDotBandsDouble(source.ShrunkTo(width, height / 2), width, height / 2);
    case DotDensity::Quad:
        break;
    }
    return converter.MakeDotBandsQuad(source, width, height);
}

std::optional<DownloadList> BuildDownloadList(const CModelType& modelType, const std::vector<const LogoEntry*>& logos,
                                              const DownloadBuildOptions& options, QString* error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    const PrinterKindEntry* kind = KindEntry(modelType);
    if (!kind) {
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
            *error = LogoRefusal(*logo, QStringLiteral("the file %1 cannot be loaded as a bitmap (%2).").arg(logo->path, reason));
            return std::nullopt;
        }
        // Separates while it packs: no separated copy of the image is written.
        const SeparationInputs inputs = MakeEntryInputs(*logo, options.colors);
        const RasterSource source(*surface, inputs);
        std::optional<QByteArray> bytes = kind->buildRecord(source, *logo, options, error);
        if (!bytes)
            return std::nullopt;
        if (kind->lengthTable) {
            // Lengths go high byte first, unlike every other number the printer takes.
            head.append(static_cast<char>((bytes->size() >> 8) & 0xFF));
            head.append(static_cast<char>(bytes->size() & 0xFF));
        }
        items.push_back(DownloadItem{logo->name, std::move(*bytes)});
    }
    if (kind->lengthTable)
        items.insert(items.begin(), DownloadItem{kHeadItemName, head});
    return items;
}
