#pragma once

#include "kinds/command_bytes.h"  // PrintSizeMode

#include <QByteArray>

// Print commands for images already stored in NV memory.

// The 30-byte header block sent in front of an image when the operator asks
// for one: "----- Logo : N -----\n", then zero bytes to the end of the block.
QByteArray HeaderBlock(int number);

// FS p n m: print NV bit image n (the low 8 bits of the number) in size mode
// m.
QByteArray PrintNvBitImageCommand(int number, PrintSizeMode sizeMode);

// ESC g n: print DOT MODE NV image n.
QByteArray PrintDotImageCommand(int number);
