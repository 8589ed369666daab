#pragma once

#include "address/address_commands.h"  // NvAddress
#include "kinds/command_bytes.h"  // PrintSizeMode
#include "kinds/printer_kind.h"
#include "transport/printer_connection.h"  // OpenFailureText

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

struct DownloadBuildOptions;
struct DownloadOutcome;
struct DownloadRequest;
struct LogoEntry;
struct PortSettings;
struct RasterSource;

// What a print asks for; each kind reads the fields it uses.
struct PrintRequest {
    // Single-colour: the print dialog's range ("All" or a selection text),
    // size mode and header blocks.
    bool selectionSet = false;
    QString selection;
    PrintSizeMode sizeMode = PrintSizeMode::Normal;
    bool header = false;
    // Two-colour: every listed address, or the one given.
    bool all = false;
    NvAddress address{'0', '0'};
};

// How the preview tells paper from ink: what the printer leaves unprinted.
enum class PreviewPaper {
    AsShown,    // impact printers: exactly white is paper, the rest prints as shown
    OnlyWhite,  // single-colour thermal: exactly white is paper, every other colour prints black
    NearWhite,  // two-colour thermal: pixels above 240 in all three bytes are paper too
};

// Receives a line about a print's progress ("Printed 00,01"); may be empty.
using PrintProgress = std::function<void(const QString&)>;

// Everything the core does differently for one printer kind, in one row. The
// desktop's dialogs (app/kind_dialogs.h) and the virtual printer's decoders
// (sim/sim_kind_table.h) keep rows of their own, keyed by the same kind, so
// that this library needs neither widgets nor the virtual printer.
struct PrinterKindEntry {
    PrinterKind kind;
    // How the model is shown: "DOT MODE", "1 Color thermal", "2 Color thermal".
    const char* text;
    // Prints a second ink (red) beside black: the colour choice and its
    // sliders apply; single-ink models take "Not Used".
    bool secondInk;
    // Images are kept under two-byte addresses (GS 8 L / GS ( L) instead of
    // being numbered by one download that replaces them all.
    bool addressed;
    // Which messages a failed open shows for this kind's download and print.
    OpenFailureText openFailure;
    // The command that opens a numbered download of itemCount items; null
    // for addressed kinds, which take none.
    QByteArray (*startCommand)(int itemCount);
    // Milliseconds the printer needs after the start command before the
    // first item.
    int prepareDelayMs;
    // One logo's item of the download list; nothing (and *error) when the
    // logo is too large for the kind's format.
    std::optional<QByteArray> (*buildRecord)(const RasterSource& source, const LogoEntry& logo,
                                             const DownloadBuildOptions& options, QString* error);
    // A length table item (16-bit lengths, high byte first) goes in front of
    // the logos' items.
    bool lengthTable;
    // Downloads a converted list over its own connection, start to end
    // (download/download_operation.h).
    DownloadOutcome (*download)(const PortSettings& settings, const DownloadRequest& request,
                                const std::function<void(const QString&)>& progress);
    // Prints stored images over its own connection.
    bool (*print)(const PortSettings& settings, const PrintRequest& request, const PrintProgress& progress);
    // A print takes a range of the numbered images ("All" or a selection
    // text such as "1-3,5") that is checked before anything is sent.
    bool printsSelection;
    // Picture import: the operator chooses the second ink (red, green or
    // blue) and the picture is reduced to black and that ink, which ordered
    // dithering and the level cannot do; the BMP carries the ink in its
    // palette. Otherwise pictures are dithered to black dots.
    bool importInkChoice;
    // Picture import: the download's dot density halves the image (single:
    // both ways, double: in height), so the import draws larger dots.
    bool importDensityUnits;
    // How the preview shows what the printer leaves as paper.
    PreviewPaper previewPaper;
};

// The row of a kind; every kind has one.
const PrinterKindEntry& KindEntry(PrinterKind kind);

// Which messages a failed open shows for this kind's operations; the
// address list, delete and capacity commands are the two-colour kind's.
inline OpenFailureText OpenFailureOf(PrinterKind kind)
{
    return KindEntry(kind).openFailure;
}

// The row of a model type, or null for a number that names no kind.
const PrinterKindEntry* KindEntry(const CModelType& type);

// The row of a model type whose number names a kind; a number that names
// none is treated as single-colour thermal, the window's default.
const PrinterKindEntry& KindEntryOrMono(const CModelType& type);

// "DOT MODE" for 0, "2 Color thermal" for 2, "1 Color thermal" for any other
// value: an unknown kind is shown as single-colour.
QString ModelTypeText(const CModelType& type);
