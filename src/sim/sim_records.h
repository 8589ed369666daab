#pragma once

#include "sim/dot_grid.h"

#include <QDateTime>
#include <QString>

// What the virtual printer reports about itself: plain values, copied out
// under its lock, so they may be kept and read on any thread.

// An image in NV memory.
struct SimStoredImage {
    int key = 0;          // number 1..255, or kc1 * 256 + kc2
    QString name;         // "7", or the two-character address "01"
    CDotGrid dots;
    qint64 byteCount = 0; // NV memory it takes
    QDateTime stored;
    QString png;          // file name in the output folder; empty without one
    bool clipped = false; // wider than the printable width: drawn cut at it
};

// One print command carried out (or asked for an image that is not there).
struct SimPrint {
    qint64 sequence = 0;  // 1, 2, ... over the printer's run
    QDateTime time;
    QString channel;      // "tcp" or "pty"
    int key = 0;
    QString name;         // as in SimStoredImage
    bool found = false;   // the image was stored
    int mode = -1;        // FS p's size mode 0..3; -1 for the other print commands
    int scaleX = 1;
    int scaleY = 1;
    QString header;       // header block in front of it, without its line feed
    QString png;          // file name of the rendering; empty without one
    bool clipped = false; // printed wider than the paper: drawn cut at the printable width
};

// One line of the command log: every command, refusal and connection event.
struct SimLogEntry {
    QDateTime time;
    QString channel;
    QString text;
};

struct SimCounters {
    qint64 bytesReceived = 0;
    qint64 unknownBytes = 0;       // skipped: no command of the kind, or garbage headers
    qint64 commandsRefused = 0;    // recognised but not carried out (no room, bad layout, ...)
    qint64 commandsAbandoned = 0;  // stopped half-way (silence, connection closed)
    qint64 connections = 0;        // TCP connections accepted
    qint64 connectionsEnded = 0;   // of those, closed by either side since
    qint64 faultHangUps = 0;       // connections the printer closed in its hang-up fault mode
    qint64 repliesSent = 0;        // replies to queries handed to the line
    qint64 lineBytesTaken = 0;     // bytes the pseudo-terminal's line took from the host
    qint64 lineBytesLost = 0;      // of those, lost to a purge of the host's output before they crossed

    friend bool operator==(const SimCounters&, const SimCounters&) = default;
};
