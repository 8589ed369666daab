#include "sim/sim_journal.h"

#include <QJsonArray>

std::optional<SimPrint> CSimJournal::AddPrint(const SimPrint& print)
{
    m_prints.push_back(print);
    if (m_prints.size() <= kMaxEntries)
        return std::nullopt;
    SimPrint dropped = std::move(m_prints.front());
    m_prints.pop_front();
    return dropped;
}

void CSimJournal::AddRefusal(const QDateTime& time, const QString& channel, const QString& command,
                             const QString& reason)
{
    m_refusals.push_back({time, channel, command, reason});
    if (m_refusals.size() > kMaxEntries)
        m_refusals.pop_front();
}

void CSimJournal::AddLog(const QDateTime& time, const QString& channel, const QString& text)
{
    m_log.push_back({time, channel, text});
    if (m_log.size() > kMaxEntries)
        m_log.pop_front();
}

QString CSimJournal::TimeText(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

void CSimJournal::WriteJson(QJsonObject& index) const
{
    index["counters"] = QJsonObject{
        {"bytesReceived", m_counters.bytesReceived},
        {"unknownBytes", m_counters.unknownBytes},
        {"commandsRefused", m_counters.commandsRefused},
        {"commandsAbandoned", m_counters.commandsAbandoned},
        {"connections", m_counters.connections},
        {"repliesSent", m_counters.repliesSent},
        {"lineBytesTaken", m_counters.lineBytesTaken},
        {"lineBytesLost", m_counters.lineBytesLost},
        {"connectionsEnded", m_counters.connectionsEnded},
        {"faultHangUps", m_counters.faultHangUps},
    };
    QJsonArray prints;
    for (const SimPrint& print : m_prints) {
        QJsonObject entry{
            {"sequence", print.sequence},
            {"time", TimeText(print.time)},
            {"channel", print.channel},
            {"image", print.name},
            {"stored", print.found},
            {"scaleX", print.scaleX},
            {"scaleY", print.scaleY},
            {"png", print.png},
        };
        if (print.mode >= 0)
            entry["mode"] = print.mode;
        if (!print.header.isEmpty())
            entry["header"] = print.header;
        if (print.clipped)
            entry["clipped"] = true;
        prints.append(entry);
    }
    index["prints"] = prints;
    QJsonArray refused;
    for (const Refusal& refusal : m_refusals) {
        refused.append(QJsonObject{
            {"time", TimeText(refusal.time)},
            {"channel", refusal.channel},
            {"command", refusal.command},
            {"reason", refusal.reason},
        });
    }
    index["refused"] = refused;
}
