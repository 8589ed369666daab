#pragma once

#include "kinds/printer_kind.h"

#include <QString>
#include <QtGlobal>

#include <optional>

// The virtual printer can be each printer kind, named as on its command
// line: "mono" (single-colour thermal, numbered images by FS q / FS p),
// "two-color" (two-colour thermal, images under two-byte key codes, GS 8 L and
// GS ( L) and "dot" (impact printer, numbered band streams by ESC g).
QString SimKindName(PrinterKind kind);
// Also takes "two-colour".
std::optional<PrinterKind> ParseSimKind(const QString& name);

// NV memory a printer of the kind has unless told otherwise: 256 KiB for
// every kind. It is what the two-colour printers report when empty
// (262144), and no single image the host builds for the other kinds comes
// near it, while a whole set of large logos still runs out of room as it
// would on a real printer.
qint64 DefaultCapacity(PrinterKind kind);

// Largest NV memory that may be configured: the memory and everything
// derived from it (state file, decoded images) must stay small enough for a
// test machine.
inline constexpr qint64 kMaxCapacity = 64LL * 1024 * 1024;

// How the printer answers the two queries that have replies.
enum class SimReplyFault {
    Normal,   // the exact reply
    None,     // no reply at all
    Garbage,  // a fixed reply that no query has: 3F A5 5A C3 81 7E 00
    Endless,  // the reply without its closing 00, then '9' bytes until the line closes
    CutShort, // the first cutReplyBytes bytes of the reply, then silence
};

// Misbehaviour on demand, so that the host's time-outs and bounds can be
// tested. Every value off is a well-behaved printer.
struct SimFaults {
    // Close a TCP connection once it has delivered this many bytes (< 0: never).
    // On the pseudo-terminal, which cannot be closed without losing its path,
    // the line goes dead instead: later bytes are dropped unread until the
    // fault is switched off.
    qint64 closeAfterBytes = -1;
    SimReplyFault reply = SimReplyFault::Normal;
    int cutReplyBytes = 0;
    // Stop reading for pauseReadingMs once a connection has delivered this
    // many bytes (< 0: never); the host's writes block when the buffers fill.
    qint64 pauseReadingAfterBytes = -1;
    int pauseReadingMs = 0;
    // Read at most this many bytes per second (0: as fast as they come).
    int readBytesPerSecond = 0;

    friend bool operator==(const SimFaults&, const SimFaults&) = default;
};

inline constexpr int kDefaultReceiveBufferBytes = 4096;
inline constexpr int kMaxReceiveBufferBytes = 1024 * 1024;

struct SimOptions {
    // Address and port to listen on; port 0 lets the system choose.
    QString listenAddress = QStringLiteral("127.0.0.1");
    quint16 listenPort = 9100;
    bool pty = false;
    // Folder of the saved NV memory; empty: the memory lives only as long as
    // the printer runs.
    QString stateDir;
    // Folder for PNG renderings and index.json; empty: none are written.
    QString outDir;
    qint64 capacity = -1;  // < 0: DefaultCapacity(kind)
    // A command that stops half-way is discarded after this much silence.
    // The host pauses 7 s between the FS q start command and the first record
    // (the time a printer takes to erase its memory), so the bound lies well
    // beyond that.
    int commandTimeoutMs = 15000;
    // A TCP connection that brings no byte for this long is closed, so that
    // a host that went away does not hold a connection for ever. Each
    // connection is served on its own; an idle one keeps nobody waiting.
    // The host's longest silence on a connection is 7 s (the pause after
    // the FS q start command).
    int idleTimeoutMs = 60000;
    // The pseudo-terminal's line speed in baud; 0: the speed the host set on
    // its side of the terminal, as a real line would run.
    int lineBaud = 0;
    // The printer's receive buffer on the pseudo-terminal's line: the
    // printer takes no more than this from the host ahead of what has
    // crossed the line, so the host's writes wait for the line as they
    // would on a real port. Real printers hold a few KiB.
    int receiveBufferBytes = kDefaultReceiveBufferBytes;
    // Printable width in dots; an image wider than this is drawn cut at it,
    // as the paper shows it, and marked. < 0: DefaultPrintableWidth(kind).
    int printableWidth = -1;
    SimFaults faults;
};

// The printable width of a printer of the kind: 576 dots (80 mm paper) for
// the thermal kinds, 400 dots for impact printers.
int DefaultPrintableWidth(PrinterKind kind);

// The default state folder: $XDG_STATE_HOME/markograph-sim, or
// ~/.local/state/markograph-sim when that variable is not set.
QString DefaultStateDir();
