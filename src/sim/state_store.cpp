#include "sim/state_store.h"

#include "framework/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A saved memory holds at most the largest capacity plus a little framing
// per image; anything larger is not ours, and is not read into memory.
constexpr qint64 kMaxStateFile = kMaxCapacity + 1024 * 1024;

}  // namespace

CStateStore::CStateStore(QString folder, PrinterKind kind) : m_folder(std::move(folder)), m_kind(kind) {}

QString CStateStore::FilePath() const
{
    return m_folder + QStringLiteral("/nv-%1.bin").arg(SimKindName(m_kind));
}

bool CStateStore::Load(CNvMemory* memory, QString* note, QString* error) const
{
    *memory = CNvMemory(memory->Capacity());
    if (!IsEnabled())
        return true;
    if (!QDir().mkpath(m_folder)) {
        *error = QStringLiteral("%1: cannot create the state folder").arg(m_folder);
        return false;
    }
    const QString path = FilePath();
    QFile file(path);
    if (!file.exists())
        return true;
    QString why;
    std::optional<CNvMemory> loaded;
    if (QFileInfo(path).size() > kMaxStateFile)
        why = QStringLiteral("larger than any NV memory");
    else if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else
        loaded = CNvMemory::Deserialize(file.readAll(), m_kind, memory->Capacity(), &why);
    file.close();
    if (loaded) {
        *memory = std::move(*loaded);
        return true;
    }
    // Keep the damaged file for a look, out of the way of the next save.
    const QString aside = path + QStringLiteral(".corrupt");
    QFile::remove(aside);
    const bool moved = QFile::rename(path, aside);
    *note = QStringLiteral("%1: %2; starting with an empty NV memory%3")
                .arg(path, why, moved ? QStringLiteral(" (the file is kept as %1)").arg(aside) : QString());
    return true;
}

bool CStateStore::Save(const CNvMemory& memory, QString* error) const
{
    if (!IsEnabled())
        return true;
    return WriteFileAtomically(FilePath(), memory.Serialize(m_kind), error);
}
