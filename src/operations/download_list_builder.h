#pragma once

#include "imaging/download_item.h"
#include "kinds/printer_kind.h"
#include "imaging/raster_source.h"
#include "imaging/separation_colors.h"
#include "logos/logo_entry.h"

#include <QString>

#include <optional>
#include <vector>

// The DOT MODE length table holds 16-bit lengths.
inline constexpr int kMaxDotStreamBytes = 65535;

struct DownloadBuildOptions {
    SeparationColors colors;  // the window's hue colour, palette and L colour
    int receiptWidth = 0;     // two-colour images are cropped to it
    DotDensity density = DotDensity::Single;
};

// Converts the logos, in list order, into the download list of a printer kind:
// - single-colour thermal: one NV bit image record per logo;
// - two-colour thermal: one GS 8 L define command per logo, key code 00 00
//   until an address is given;
// - DOT MODE: the length table item ("HeadCommnad") first, then one band
//   stream per logo, each scaled for the density.
// Every logo is converted before anything is returned, so a logo that cannot
// be loaded or is too large for its printer format stops the whole operation
// before a byte is sent or saved: the result is empty and *error names the
// logo and the reason. A model type that names no kind gives
// "Not Support Printer".
std::optional<DownloadList> BuildDownloadList(const CModelType& modelType, const std::vector<const LogoEntry*>& logos,
                                              const DownloadBuildOptions& options, QString* error);

// The band stream of one separated surface (or a surface with the inputs that
// separate it) at a density, after the halving the density needs (single:
// half width and height; double: half height; quad: as it is).
QByteArray MakeDotModeStream(const RasterSource& source, DotDensity density);
