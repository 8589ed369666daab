#include "operations/start_command.h"

#include "kinds/command_bytes.h"
#include "operations/printer_kind_table.h"

QByteArray MakeMonoStartCommand(int itemCount)
{
    return cmd::Bytes({cmd::kFs, cmd::kMonoDefine, cmd::LowByte(itemCount)});
}

QByteArray MakeDotStartCommand(int itemCount)
{
    return cmd::Bytes({cmd::kEsc, cmd::kDotImage, 0, cmd::LowByte(itemCount - 1)});
}

QByteArray MakeStartCommand(PrinterKind kind, int itemCount)
{
    const PrinterKindEntry& entry = KindEntry(kind);
    return entry.startCommand ? entry.startCommand(itemCount) : QByteArray();
}
