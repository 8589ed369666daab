#include "transport/legacy_windows.h"

quint32 SystemVersionWord()
{
    // Top bit clear with a non-zero upper half: a current system, never the
    // older line, so transports and discovery take their usual path.
    return 0x00010006u;
}
