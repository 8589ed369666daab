#include "sim/sim_options.h"

#include <QDir>

QString SimKindName(SimKind kind)
{
    switch (kind) {
    case SimKind::Mono:
        return QStringLiteral("mono");
    case SimKind::TwoColor:
        return QStringLiteral("two-color");
    case SimKind::Dot:
        return QStringLiteral("dot");
    }
    return {};
}

std::optional<SimKind> ParseSimKind(const QString& name)
{
    for (SimKind kind : {SimKind::Mono, SimKind::TwoColor, SimKind::Dot}) {
        if (name == SimKindName(kind))
            return kind;
    }
    if (name == QLatin1String("two-colour"))
        return SimKind::TwoColor;
    return std::nullopt;
}

qint64 DefaultCapacity(SimKind)
{
    return 262144;
}

QString DefaultStateDir()
{
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = !xdg.isEmpty() ? xdg : QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/markograph-sim");
}

int DefaultPrintableWidth(SimKind kind)
{
    return kind == SimKind::Dot ? 400 : 576;
}
