#pragma once

#include "sim/dot_grid.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// Turns the bytes a printer stores for one NV image back into its dots. Each
// function refuses (nothing, and the reason in *why) what no printer would
// store: inconsistent layouts, and images beyond the limits below.

// Largest image payload accepted in one piece: a single-colour record's
// column data or a two-colour definition's planes. Logos come to a few
// hundred kilobytes at most (the host refuses records of more than 250,000
// bytes of dots and planes of more than 256,000 bytes); the bound keeps a
// corrupt length from making the printer buffer or wait for megabytes.
inline constexpr qint64 kMaxImageBytes = 1024 * 1024;

// Largest decoded image, in dots (one byte each while decoded).
inline constexpr qint64 kMaxImageDots = 16LL * 1024 * 1024;

// Single-colour record: xL xH yL yH, then (xL + xH * 256) * 8 columns of
// (yL + yH * 256) bytes each, bit 7 the top dot. The grid is the record's
// full size, (xL + xH * 256) * 8 by (yL + yH * 256) * 8 dots, all black.
// The record must be exactly that long.
std::optional<CDotGrid> DecodeMonoRecord(QByteArrayView record, QString* why = nullptr);

// Size in bytes of a single-colour record with the header xL xH yL yH.
qint64 MonoRecordSize(int xBytes, int yBytes);

// Two-colour definition, the whole command: 1D 38 4C, p (32-bit LE), 30 43 30,
// kc1 kc2, b planes (1 or 2), width (16-bit LE, dots), height (16-bit LE),
// then b times a colour code (31 black, 32 red) and height rows of
// ceil(width / 8) bytes, bit 7 the leftmost dot. Where both planes have a dot,
// black is drawn.
std::optional<CDotGrid> DecodeTwoColorDefine(QByteArrayView command, QString* why = nullptr);

// Impact printer band stream: print lines ESC r c (colour: even black, odd
// red), ESC * m nL nH and nL + nH * 256 column bytes (bit 7 the first row of
// the pass), carriage returns (0D) and feeds ESC J n, each feed ending a pass
// over the paper. Bytes of any other kind are skipped.
//
// Which rows a pass prints follows from how the host builds the streams:
// - when the first pass ends with the full feed 16 (single and double
//   density), pass k prints rows 8k .. 8k+7;
// - otherwise (quad density, feeds 1 and 7), the passes alternate between
//   even and odd rows of a 16-row span: pass k starts at row
//   9 * (k / 2) + k % 2 and prints every second row from there, eight rows.
// The grid is as wide as the widest line and as high as the rows the passes
// cover. Its dots are 2 units wide for single density (m = 0) and 1 unit
// otherwise, 2 units high for single and double density and 1 unit for quad.
// A black and a red dot at one place give black. An empty stream gives an
// empty grid.
std::optional<CDotGrid> DecodeDotStream(QByteArrayView stream, QString* why = nullptr);
