#include "sim/sim_options.h"

#include "sim/sim_kind_table.h"

#include <QDir>

QString SimKindName(PrinterKind kind)
{
    return QString::fromLatin1(SimKindEntryOf(kind).name);
}

std::optional<PrinterKind> ParseSimKind(const QString& name)
{
    for (PrinterKind kind : kPrinterKinds) {
        if (name == SimKindName(kind))
            return kind;
    }
    if (name == QLatin1String("two-colour"))
        return PrinterKind::TwoColor;
    return std::nullopt;
}

qint64 DefaultCapacity(PrinterKind)
{
    return 262144;
}

QString DefaultStateDir()
{
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = !xdg.isEmpty() ? xdg : QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/markograph-sim");
}

int DefaultPrintableWidth(PrinterKind kind)
{
    return SimKindEntryOf(kind).printableWidth;
}
