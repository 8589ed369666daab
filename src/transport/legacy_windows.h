#pragma once

#include <QtGlobal>

// True on the older consumer line of Windows, told from the system's 32-bit
// version word v: with the top bit clear, only when bits 16 to 31 are all 0;
// with the top bit set, when the low byte (the major version) is 4 or more,
// and otherwise only when bits 16 to 30 are all 0. That line kept USB vendor
// ids in the device's registry entry rather than in its path, and gave
// parallel-port reads 100 ms time-outs. Pure; any thread.
bool IsLegacyWindows(quint32 versionWord);

// The version word of the running system. Systems other than Windows report a
// word for which IsLegacyWindows is false.
quint32 SystemVersionWord();
