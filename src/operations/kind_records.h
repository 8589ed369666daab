#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct DownloadBuildOptions;
struct LogoEntry;
struct RasterSource;

// One logo's item of a download, per printer kind. Each separates while it
// packs: the loaded image is read once, row by row. Each refuses a logo too
// large for its printer format, with a message naming the logo.

// "Cannot convert <logo>: <reason>", how a download refuses a logo.
QString LogoRefusal(const LogoEntry& logo, const QString& reason);

// Single-colour thermal: one NV bit image record.
std::optional<QByteArray> MakeMonoLogoRecord(const RasterSource& source, const LogoEntry& logo,
                                             const DownloadBuildOptions& options, QString* error);

// Two-colour thermal: one GS 8 L define command, key code 00 00 until an
// address is given, cropped to the printable width.
std::optional<QByteArray> MakeTwoColorLogoRecord(const RasterSource& source, const LogoEntry& logo,
                                                 const DownloadBuildOptions& options, QString* error);

// DOT MODE: one band stream at the options' density; its length must fit the
// length table's 16 bits.
std::optional<QByteArray> MakeDotLogoStream(const RasterSource& source, const LogoEntry& logo,
                                            const DownloadBuildOptions& options, QString* error);
