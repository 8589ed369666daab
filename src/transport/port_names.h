#pragma once

#include <QString>

// How the port names that operators and NV.inf use map to devices of this
// system. deviceRoot is "/dev" in the programs; tests point it at a folder of
// their own.

// "COMn" (n from 1) is the n-th serial port, deviceRoot/ttyS(n-1): COM1 is
// /dev/ttyS0, COM11 /dev/ttyS10. An absolute path is taken as it is, so an
// operator can name /dev/ttyUSB0 or a pseudo-terminal. Anything else has no
// device: empty.
QString SerialDevicePath(const QString& portName, const QString& deviceRoot = QStringLiteral("/dev"));

// "LPTn" (n from 1) is deviceRoot/lp(n-1): LPT1 is /dev/lp0. Anything else:
// empty.
QString ParallelDevicePath(const QString& portName, const QString& deviceRoot = QStringLiteral("/dev"));

// True for a device path that names a terminal (under /dev/tty, or a
// pseudo-terminal under /dev/pts/): such a port is driven as a serial port,
// with line settings and the reader thread, whatever its name.
bool IsSerialDevicePath(const QString& portName);
