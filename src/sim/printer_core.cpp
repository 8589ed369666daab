#include "sim/printer_core.h"

#include "kinds/command_bytes.h"
#include "operations/printer_kind_table.h"
#include "sim/nv_image_decode.h"
#include "sim/sim_kind_table.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

// The host reads the key-code list into a 90-byte buffer (the address list
// dialog's); a longer list is split as a printer splits it, with status 41
// saying that more would follow.
constexpr int kReplyBuffer = 90;

QDateTime Now()
{
    return QDateTime::currentDateTimeUtc();
}

}  // namespace

CPrinterCore::CPrinterCore(PrinterKind kind, const SimOptions& options)
    : m_kind(kind),
      m_commandTimeoutMs(options.commandTimeoutMs),
      m_printableWidth(options.printableWidth > 0 ? options.printableWidth : DefaultPrintableWidth(kind)),
      m_store(options.stateDir, kind),
      m_output(options.outDir),
      m_memory(options.capacity >= 0 ? options.capacity : DefaultCapacity(kind)),
      m_faults(options.faults)
{
}

bool CPrinterCore::Open(QStringList* notes, QString* error)
{
    QString note;
    CNvMemory loaded(m_memory.Capacity());
    if (!m_store.Load(&loaded, &note, error) || !m_output.Prepare(error))
        return false;
    if (!note.isEmpty()) {
        notes->append(note);
        Log(QStringLiteral("state"), note);
    }
    // Continue the numbering of prints left in the folder by earlier runs.
    if (m_output.IsEnabled()) {
        const QRegularExpression pattern(QStringLiteral("^print-(\\d+)\\.png$"));
        for (const QString& name : QDir(m_output.Folder()).entryList({QStringLiteral("print-*.png")}, QDir::Files)) {
            const QRegularExpressionMatch match = pattern.match(name);
            if (match.hasMatch())
                m_printSequence = std::max(m_printSequence, match.captured(1).toLongLong());
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_memory = std::move(loaded);
    }
    RemoveStaleRenderings();
    // The state file holds only images that decode (it is checked on reading).
    for (const NvEntry& entry : m_memory.Entries()) {
        const CDotGrid grid = *DecodeNvImage(m_kind, entry.bytes);
        CDotGrid cut = grid;
        m_dims[entry.key] = {grid.Width(), grid.Height(), CutToPaper(cut, 1)};
        RenderStored(entry.key, grid, QStringLiteral("state"));
    }
    FlushOutput(true);
    return true;
}

bool CPrinterCore::Addressed() const
{
    return KindEntry(m_kind).addressed;
}

qint64 CPrinterCore::RoomForNumbered() const
{
    std::lock_guard lock(m_mutex);
    return m_memory.Capacity();
}

qint64 CPrinterCore::RoomForAddressed(int key) const
{
    std::lock_guard lock(m_mutex);
    return m_memory.RoomFor(key);
}

QByteArray CPrinterCore::Execute(const SimCommand& command, const QString& channel)
{
    QByteArray reply;
    switch (command.type) {
    case SimCommandType::Initialise:
        Log(channel, QStringLiteral("ESC @: initialise"));
        break;
    case SimCommandType::DefineNumbered:
        DefineNumbered(command, channel);
        break;
    case SimCommandType::DefineAddressed:
        DefineAddressed(command, channel);
        break;
    case SimCommandType::PrintNumbered:
    case SimCommandType::PrintAddressed:
        Print(command, channel);
        break;
    case SimCommandType::DeleteAll:
    case SimCommandType::DeleteOne:
        Delete(command, channel);
        break;
    case SimCommandType::ListKeys:
        reply = KeyListReply();
        Log(channel, QStringLiteral("GS ( L fn 64: key-code list, %1 reply bytes").arg(reply.size()));
        break;
    case SimCommandType::QueryCapacity:
        reply = CapacityReply();
        Log(channel, QStringLiteral("GS ( L fn 51: remaining capacity %1").arg(QString::fromLatin1(reply.mid(2, reply.size() - 3))));
        break;
    case SimCommandType::HeaderBlock:
        Log(channel, QStringLiteral("header block \"%1\"").arg(command.header));
        break;
    case SimCommandType::Refused:
        Refuse(channel, command.name, command.reason);
        break;
    case SimCommandType::Abandoned: {
        std::lock_guard lock(m_mutex);
        ++m_journal.Counters().commandsAbandoned;
        break;
    }
    }
    if (command.type == SimCommandType::Abandoned)
        Log(channel, QStringLiteral("%1 abandoned half-way: %2").arg(command.name, command.reason));
    Changed(true);
    return reply;
}

void CPrinterCore::DefineNumbered(const SimCommand& command, const QString& channel)
{
    const QString name = QString::fromLatin1(SimKindEntryOf(m_kind).defineName);
    // One decoded image at a time: decoded dots take up to eight times the
    // bytes of the images, and a set may fill the whole memory.
    std::map<int, Dims> dims;
    for (size_t i = 0; i < command.images.size(); ++i) {
        QString why;
        const std::optional<CDotGrid> grid = DecodeNvImage(m_kind, command.images[i], &why);
        if (!grid)
            return Refuse(channel, name, QStringLiteral("image %1: %2").arg(i + 1).arg(why));
        CDotGrid cut = *grid;
        dims[static_cast<int>(i) + 1] = {grid->Width(), grid->Height(), CutToPaper(cut, 1)};
    }
    CNvMemory snapshot;
    {
        std::lock_guard lock(m_mutex);
        if (!m_memory.ReplaceAll(command.images, Now()))
            return Refuse(channel, name, QStringLiteral("the images do not fit the NV memory"));
        m_dims = dims;
        snapshot = m_memory;
    }
    SaveState(snapshot, channel);
    RemoveStaleRenderings();
    for (const auto& [number, size] : dims) {
        const QByteArray& image = command.images[static_cast<size_t>(number) - 1];
        if (m_output.IsEnabled())
            RenderStored(number, *DecodeNvImage(m_kind, image), channel);
        Log(channel, QStringLiteral("%1: image %2 stored, %3 x %4 dots, %5 bytes")
                         .arg(name).arg(number).arg(size.width).arg(size.height).arg(image.size()));
        if (size.clipped)
            NoteClipped(channel, QStringLiteral("image %1").arg(number), *DecodeNvImage(m_kind, image), 1);
    }
}

void CPrinterCore::DefineAddressed(const SimCommand& command, const QString& channel)
{
    const QString name = QStringLiteral("GS 8 L");
    QString why;
    const std::optional<CDotGrid> grid = DecodeNvImage(m_kind, command.images.front(), &why);
    if (!grid)
        return Refuse(channel, name, why);
    CNvMemory snapshot;
    {
        std::lock_guard lock(m_mutex);
        if (!m_memory.Put(command.key, command.images.front(), Now()))
            return Refuse(channel, name, QStringLiteral("%1 bytes do not fit the %2 bytes free")
                                             .arg(command.images.front().size()).arg(m_memory.RoomFor(command.key)));
        CDotGrid cut = *grid;
        m_dims[command.key] = {grid->Width(), grid->Height(), CutToPaper(cut, 1)};
        snapshot = m_memory;
    }
    SaveState(snapshot, channel);
    RenderStored(command.key, *grid, channel);
    Log(channel, QStringLiteral("GS 8 L: image %1 stored, %2 x %3 dots, %4 bytes")
                     .arg(KeyName(command.key)).arg(grid->Width()).arg(grid->Height())
                     .arg(command.images.front().size()));
    NoteClipped(channel, QStringLiteral("image %1").arg(KeyName(command.key)), *grid, 1);
}

void CPrinterCore::Print(const SimCommand& command, const QString& channel)
{
    SimPrint print;
    QByteArray bytes;
    {
        std::lock_guard lock(m_mutex);
        print.sequence = ++m_printSequence;
        if (const NvEntry* entry = m_memory.Find(command.key)) {
            print.found = true;
            bytes = entry->bytes;
        }
    }
    print.time = Now();
    print.channel = channel;
    print.key = command.key;
    print.name = KeyName(command.key);
    print.mode = command.mode;
    print.scaleX = command.scaleX;
    print.scaleY = command.scaleY;
    print.header = command.header;
    if (print.found) {
        CDotGrid paper = *DecodeNvImage(m_kind, bytes, nullptr);  // stored images decode
        print.clipped = CutToPaper(paper, print.scaleX);
    }
    if (print.found && m_output.IsEnabled()) {
        CDotGrid grid = *DecodeNvImage(m_kind, bytes, nullptr);
        CutToPaper(grid, print.scaleX);
        QString error;
        print.png = CSimOutput::PrintFileName(print.sequence);
        if (!m_output.WritePng(print.png, grid, grid.UnitWidth() * print.scaleX, grid.UnitHeight() * print.scaleY,
                               &error)) {
            Log(channel, error);
            print.png.clear();
        }
    }
    std::optional<SimPrint> dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped = m_journal.AddPrint(print);
    }
    if (dropped && !dropped->png.isEmpty())
        m_output.Remove(dropped->png);
    QString text = QStringLiteral("print image %1").arg(print.name);
    if (print.mode >= 0)
        text += QStringLiteral(", mode %1").arg(print.mode);
    if (print.scaleX != 1 || print.scaleY != 1)
        text += QStringLiteral(", scale %1 x %2").arg(print.scaleX).arg(print.scaleY);
    if (!print.header.isEmpty())
        text += QStringLiteral(", header \"%1\"").arg(print.header);
    if (!print.found)
        text += QStringLiteral(": not stored, nothing printed");
    if (print.clipped)
        text += QStringLiteral(": wider than the printable %1 dots, cut at them").arg(m_printableWidth);
    Log(channel, text);
}

void CPrinterCore::Delete(const SimCommand& command, const QString& channel)
{
    const bool all = command.type == SimCommandType::DeleteAll;
    CNvMemory snapshot;
    bool removed = true;
    {
        std::lock_guard lock(m_mutex);
        if (all) {
            m_memory.Clear();
            m_dims.clear();
        } else {
            removed = m_memory.Remove(command.key);
            m_dims.erase(command.key);
        }
        snapshot = m_memory;
    }
    if (!removed) {
        Log(channel, QStringLiteral("GS ( L fn 66: image %1 is not stored").arg(KeyName(command.key)));
        return;
    }
    SaveState(snapshot, channel);
    RemoveStaleRenderings();
    Log(channel, all ? QStringLiteral("GS ( L fn 65: all images deleted")
                     : QStringLiteral("GS ( L fn 66: image %1 deleted").arg(KeyName(command.key)));
}

QByteArray CPrinterCore::KeyListReply() const
{
    std::lock_guard lock(m_mutex);
    QByteArray pairs;
    bool more = false;
    for (const NvEntry& entry : m_memory.Entries()) {
        // 37 72 s, the pairs and the closing 00 must fit the host's buffer;
        // status 41 says that the list goes on.
        if (3 + pairs.size() + 2 + 1 > kReplyBuffer) {
            more = true;
            break;
        }
        pairs.append(static_cast<char>(entry.key >> 8));
        pairs.append(static_cast<char>(entry.key & 0xFF));
    }
    return cmd::Bytes({cmd::kReplyHead, cmd::kReplyKeyList, more ? cmd::kKeyListMore : cmd::kKeyListComplete}) + pairs
           + '\0';
}

QByteArray CPrinterCore::CapacityReply() const
{
    std::lock_guard lock(m_mutex);
    return cmd::Bytes({cmd::kReplyHead, cmd::kReplyCapacity}) + QByteArray::number(m_memory.Free()) + '\0';
}

void CPrinterCore::Refuse(const QString& channel, const QString& command, const QString& reason)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_journal.Counters().commandsRefused;
        m_journal.AddRefusal(Now(), channel, command, reason);
    }
    Log(channel, QStringLiteral("%1 refused: %2").arg(command, reason));
}

void CPrinterCore::SaveState(const CNvMemory& snapshot, const QString& channel)
{
    QString error;
    if (!m_store.Save(snapshot, &error))
        Log(channel, QStringLiteral("NV memory not saved: %1").arg(error));
}

void CPrinterCore::RenderStored(int key, const CDotGrid& grid, const QString& channel)
{
    CDotGrid paper = grid;
    CutToPaper(paper, 1);
    QString error;
    if (!m_output.WritePng(CSimOutput::StoredFileName(Addressed(), key), paper, 1, 1, &error))
        Log(channel, error);
}

bool CPrinterCore::CutToPaper(CDotGrid& grid, int scaleX) const
{
    const int unitsPerDot = grid.UnitWidth() * std::max(scaleX, 1);
    const int columns = std::max(1, m_printableWidth / unitsPerDot);
    if (grid.Width() <= columns)
        return false;
    grid = grid.LeftPart(columns);
    return true;
}

void CPrinterCore::NoteClipped(const QString& channel, const QString& what, const CDotGrid& grid, int scaleX)
{
    CDotGrid paper = grid;
    if (!CutToPaper(paper, scaleX))
        return;
    Log(channel, QStringLiteral("%1 is %2 dots wide, wider than the printable %3 dots: it is drawn cut at them")
                     .arg(what).arg(grid.Width() * grid.UnitWidth() * std::max(scaleX, 1)).arg(m_printableWidth));
}

void CPrinterCore::RemoveStaleRenderings()
{
    if (!m_output.IsEnabled())
        return;
    QStringList keep;
    {
        std::lock_guard lock(m_mutex);
        for (const NvEntry& entry : m_memory.Entries())
            keep.append(CSimOutput::StoredFileName(Addressed(), entry.key));
    }
    for (const QString& name : QDir(m_output.Folder()).entryList({QStringLiteral("nv-*.png")}, QDir::Files)) {
        if (!keep.contains(name))
            m_output.Remove(name);
    }
}

template <class Change>
void CPrinterCore::Count(Change change)
{
    {
        std::lock_guard lock(m_mutex);
        change(m_journal.Counters());
    }
    Changed(false);
}

void CPrinterCore::CountReceived(qint64 bytes)
{
    Count([bytes](SimCounters& counters) { counters.bytesReceived += bytes; });
}

void CPrinterCore::CountSkipped(qint64 bytes)
{
    Count([bytes](SimCounters& counters) { counters.unknownBytes += bytes; });
}

void CPrinterCore::CountReply()
{
    Count([](SimCounters& counters) { ++counters.repliesSent; });
}

void CPrinterCore::CountLine(qint64 taken, qint64 lost)
{
    Count([taken, lost](SimCounters& counters) {
        counters.lineBytesTaken += taken;
        counters.lineBytesLost += lost;
    });
}

void CPrinterCore::CountConnection()
{
    Count([](SimCounters& counters) { ++counters.connections; });
}

void CPrinterCore::CountConnectionEnded()
{
    Count([](SimCounters& counters) { ++counters.connectionsEnded; });
}

void CPrinterCore::CountFaultHangUp()
{
    Count([](SimCounters& counters) { ++counters.faultHangUps; });
}

void CPrinterCore::Log(const QString& channel, const QString& text)
{
    std::function<void(const QString&)> sink;
    {
        std::lock_guard lock(m_mutex);
        m_journal.AddLog(Now(), channel, text);
        sink = m_logSink;
    }
    // A waiter may be waiting for this entry: wake it without marking
    // anything for the next write of index.json.
    {
        std::lock_guard lock(m_changeMutex);
        ++m_generation;
    }
    m_changed.notify_all();
    if (sink)
        sink(QStringLiteral("[%1] %2").arg(channel, text));
}

void CPrinterCore::Changed(bool event)
{
    (event ? m_eventsDirty : m_countersDirty) = true;
    {
        std::lock_guard lock(m_changeMutex);
        ++m_generation;
    }
    m_changed.notify_all();
}
