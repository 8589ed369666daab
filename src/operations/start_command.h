#pragma once

#include "kinds/printer_kind.h"

#include <QByteArray>

// The command that opens a numbered NV download, built from the number of
// items in the download list. n is one byte, the low 8 bits of the count.

// Single-colour thermal: FS q n (1C 71 n), n = the number of records.
QByteArray MakeMonoStartCommand(int itemCount);

// DOT MODE: ESC g 0 n (1B 67 00 n), n = items minus the length table.
QByteArray MakeDotStartCommand(int itemCount);

// Milliseconds a single-colour printer needs after its start command to
// prepare its NV memory, before the first item.
inline constexpr int kMonoPrepareMs = 6000;

// The start command of a kind (its table row's); empty for two-colour
// printers, which take none.
QByteArray MakeStartCommand(PrinterKind kind, int itemCount);
