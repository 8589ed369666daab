#include "transport/legacy_windows.h"

bool IsLegacyWindows(quint32 versionWord)
{
    if ((versionWord & 0x80000000u) == 0)
        return (versionWord >> 16) == 0;
    if ((versionWord & 0xFFu) >= 4)
        return true;
    return ((versionWord >> 16) & 0x7FFFu) == 0;
}
