#pragma once

#include <QByteArray>

// The command that opens a numbered NV download, built from the number of
// items in the download list:
// - single-colour thermal: FS q n (1C 71 n), n = the number of records;
// - DOT MODE: ESC g 0 n (1B 67 00 n), n = items minus the length table.
// n is one byte, the low 8 bits of the count. Two-colour printers take no
// start command.
QByteArray MakeStartCommand(int modelType, int itemCount);
