#include "sim/printer_core.h"

#include "sim/nv_image_decode.h"

#include <QJsonArray>
#include <QJsonDocument>

// The reporting side of the printer: index.json and the accessors.

int CPrinterCore::FlushOutput(bool force)
{
    if (!m_output.IsEnabled())
        return -1;
    // Counters change with every byte; rewriting the index for each would
    // cost more than the printing, so counter-only changes wait a second.
    constexpr auto kCounterDelay = std::chrono::milliseconds(1000);
    const auto now = std::chrono::steady_clock::now();
    const bool due = force || m_eventsDirty || (m_countersDirty && now - m_lastIndexWrite >= kCounterDelay);
    if (!due) {
        if (!m_countersDirty)
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_lastIndexWrite + kCounterDelay - now);
        return static_cast<int>(std::max<qint64>(left.count(), 1));
    }
    m_eventsDirty = false;
    m_countersDirty = false;
    m_lastIndexWrite = now;
    QString error;
    if (!m_output.WriteFile(QStringLiteral("index.json"), IndexJson(), &error))
        Log(QStringLiteral("output"), error);
    return -1;
}

QByteArray CPrinterCore::IndexJson() const
{
    std::lock_guard lock(m_mutex);
    QJsonObject index{
        {"kind", SimKindName(m_kind)},
        {"capacity", m_memory.Capacity()},
        {"printableWidth", m_printableWidth},
        {"used", m_memory.Used()},
        {"free", m_memory.Free()},
    };
    QJsonArray stored;
    for (const NvEntry& entry : m_memory.Entries()) {
        const auto dims = m_dims.find(entry.key);
        QJsonObject image{
            {"kind", SimKindName(m_kind)},
            {Addressed() ? "address" : "number", Addressed() ? QJsonValue(KeyName(entry.key)) : QJsonValue(entry.key)},
            {"width", dims == m_dims.end() ? 0 : dims->second.width},
            {"height", dims == m_dims.end() ? 0 : dims->second.height},
            {"bytes", entry.bytes.size()},
            {"png", m_output.IsEnabled() ? CSimOutput::StoredFileName(Addressed(), entry.key) : QString()},
            {"time", CSimJournal::TimeText(entry.stored)},
        };
        if (dims != m_dims.end() && dims->second.clipped)
            image["clipped"] = true;
        if (Addressed())
            image["keyCode"] = QStringLiteral("%1").arg(entry.key, 4, 16, QLatin1Char('0')).toUpper();
        stored.append(image);
    }
    index["stored"] = stored;
    m_journal.WriteJson(index);
    return QJsonDocument(index).toJson(QJsonDocument::Indented);
}

SimFaults CPrinterCore::Faults() const
{
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void CPrinterCore::SetFaults(const SimFaults& faults)
{
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

void CPrinterCore::SetLogSink(std::function<void(const QString&)> sink)
{
    std::lock_guard lock(m_mutex);
    m_logSink = std::move(sink);
}

std::vector<SimStoredImage> CPrinterCore::StoredImages() const
{
    std::vector<NvEntry> entries;
    {
        std::lock_guard lock(m_mutex);
        entries = m_memory.Entries();
    }
    std::vector<SimStoredImage> images;
    for (const NvEntry& entry : entries) {
        SimStoredImage image;
        image.key = entry.key;
        image.name = KeyName(entry.key);
        image.dots = DecodeNvImage(m_kind, entry.bytes, nullptr).value_or(CDotGrid());
        image.byteCount = entry.bytes.size();
        image.stored = entry.stored;
        CDotGrid paper = image.dots;
        image.clipped = CutToPaper(paper, 1);
        if (m_output.IsEnabled())
            image.png = CSimOutput::StoredFileName(Addressed(), entry.key);
        images.push_back(std::move(image));
    }
    return images;
}

std::vector<SimPrint> CPrinterCore::Prints() const
{
    std::lock_guard lock(m_mutex);
    return m_journal.Prints();
}

std::vector<SimLogEntry> CPrinterCore::CommandLog() const
{
    std::lock_guard lock(m_mutex);
    return m_journal.Log();
}

SimCounters CPrinterCore::Counters() const
{
    std::lock_guard lock(m_mutex);
    return m_journal.Counters();
}

qint64 CPrinterCore::FreeBytes() const
{
    std::lock_guard lock(m_mutex);
    return m_memory.Free();
}

bool CPrinterCore::WaitFor(const std::function<bool()>& condition, int timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        quint64 seen = 0;
        {
            std::lock_guard lock(m_changeMutex);
            seen = m_generation;
        }
        if (condition())
            return true;
        std::unique_lock lock(m_changeMutex);
        if (!m_changed.wait_until(lock, deadline, [&] { return m_generation != seen; })) {
            lock.unlock();
            return condition();
        }
    }
}

QString CPrinterCore::KeyName(int key) const
{
    if (!Addressed())
        return QString::number(key);
    const int kc1 = key >> 8;
    const int kc2 = key & 0xFF;
    auto printable = [](int c) { return c > 0x20 && c < 0x7F; };
    if (printable(kc1) && printable(kc2))
        return QString(QChar(kc1)) + QChar(kc2);
    return QStringLiteral("%1 %2").arg(kc1, 2, 16, QLatin1Char('0')).arg(kc2, 2, 16, QLatin1Char('0')).toUpper();
}
