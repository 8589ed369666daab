#include "download/start_command.h"

#include "kinds/command_bytes.h"
#include "kinds/printer_kind_table.h"

QByteArray MakeMonoStartCommand(int itemCount)
{
    const char bytes[] = {cmd::Char(cmd::kFs), cmd::Char(cmd::kMonoDefine), static_cast<char>(itemCount & 0xFF)};
    return QByteArray(bytes, sizeof(bytes));
}

QByteArray MakeDotStartCommand(int itemCount)
{
    const char bytes[] = {cmd::Char(cmd::kEsc), cmd::Char(cmd::kDotImage), 0,
                          static_cast<char>((itemCount - 1) & 0xFF)};
    return QByteArray(bytes, sizeof(bytes));
}

QByteArray MakeStartCommand(PrinterKind kind, int itemCount)
{
    const PrinterKindEntry& entry = KindEntry(kind);
    return entry.startCommand ? entry.startCommand(itemCount) : QByteArray();
}
