#pragma once

#include "kinds/printer_kind.h"
#include "sim/dot_grid.h"

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

class CCommandSink;
class CStreamDecoder;

// The virtual printer's row per printer kind: its name, how it decodes the
// byte stream and its stored images. It sits beside the core's row
// (operations/printer_kind_table.h), keyed by the same kind, so the core knows
// nothing of the virtual printer.
struct SimKindEntry {
    PrinterKind kind;
    // The name on the command line and in the state file's name.
    const char* name;
    // The kind byte a saved NV memory carries. These numbers came before
    // the kinds were numbered as MODELTYPE numbers them and stay, so that
    // the memory saved by earlier runs still loads.
    char stateCode;
    // 576 dots (80 mm paper) for the thermal kinds, 400 for impact printers.
    int printableWidth;
    // Keeps images under two-byte addresses (GS 8 L / GS ( L) rather than
    // numbered by one define that replaces them all. The printer's own
    // answer, kept apart from the host's table so that a fault in either
    // shows up as a difference on the wire.
    bool addressed;
    // The name a define of numbered images goes by in the log ("FS q",
    // "ESC g 0"); the two-colour define is "GS 8 L".
    const char* defineName;
    // The decoder of the kind's command set.
    std::unique_ptr<CStreamDecoder> (*makeDecoder)(CCommandSink& sink);
    // The dots of one stored image (see nv_image_decode.h); nothing and *why
    // when the bytes are no image of the kind.
    std::optional<CDotGrid> (*decodeImage)(QByteArrayView bytes, QString* why);
};

// The row of a kind; every kind has one.
const SimKindEntry& SimKindEntryOf(PrinterKind kind);
