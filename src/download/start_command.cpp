#include "download/start_command.h"

#include "imaging/printer_kind.h"

QByteArray MakeStartCommand(int modelType, int itemCount)
{
    if (modelType == kModelTypeMono)
        return QByteArray("\x1C\x71", 2) + static_cast<char>(itemCount & 0xFF);
    return QByteArray("\x1B\x67\x00", 3) + static_cast<char>((itemCount - 1) & 0xFF);
}
