#include "sim/nv_memory.h"

#include "sim/nv_image_decode.h"
#include "sim/sim_kind_table.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr char kSignature[] = "MKSIMNV1";
constexpr qsizetype kSignatureSize = sizeof(kSignature) - 1;
constexpr qsizetype kHashSize = 32;
constexpr qsizetype kEntryHead = 4 + 8 + 4;  // key, time, length

void AppendU32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void AppendI64(QByteArray& out, qint64 value)
{
    char bytes[8];
    qToBigEndian(value, bytes);
    out.append(bytes, 8);
}

}  // namespace

const NvEntry* CNvMemory::Find(int key) const
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [key](const NvEntry& e) { return e.key == key; });
    return it == m_entries.end() ? nullptr : &*it;
}

qint64 CNvMemory::RoomFor(int key) const
{
    const NvEntry* existing = Find(key);
    return Free() + (existing ? existing->bytes.size() : 0);
}

bool CNvMemory::ReplaceAll(const std::vector<QByteArray>& images, const QDateTime& when)
{
    qint64 total = 0;
    for (const QByteArray& image : images)
        total += image.size();
    if (total > m_capacity)
        return false;
    m_entries.clear();
    int number = 0;
    for (const QByteArray& image : images)
        m_entries.push_back({++number, image, when});
    m_used = total;
    return true;
}

bool CNvMemory::Put(int key, const QByteArray& bytes, const QDateTime& when)
{
    if (bytes.size() > RoomFor(key))
        return false;
    Remove(key);
    m_entries.push_back({key, bytes, when});
    m_used += bytes.size();
    return true;
}

bool CNvMemory::Remove(int key)
{
    const auto it = std::find_if(m_entries.begin(), m_entries.end(), [key](const NvEntry& e) { return e.key == key; });
    if (it == m_entries.end())
        return false;
    m_used -= it->bytes.size();
    m_entries.erase(it);
    return true;
}

void CNvMemory::Clear()
{
    m_entries.clear();
    m_used = 0;
}

QByteArray CNvMemory::Serialize(PrinterKind kind) const
{
    QByteArray out(kSignature, kSignatureSize);
    out.append(SimKindEntryOf(kind).stateCode);
    AppendU32(out, static_cast<quint32>(m_entries.size()));
    for (const NvEntry& entry : m_entries) {
        AppendU32(out, static_cast<quint32>(entry.key));
        AppendI64(out, entry.stored.toMSecsSinceEpoch());
        AppendU32(out, static_cast<quint32>(entry.bytes.size()));
        out.append(entry.bytes);
    }
    out.append(QCryptographicHash::hash(out, QCryptographicHash::Sha256));
    return out;
}

std::optional<CNvMemory> CNvMemory::Deserialize(QByteArrayView file, PrinterKind kind, qint64 capacity, QString* why)
{
    auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return std::optional<CNvMemory>();
    };
    if (file.size() < kSignatureSize + 1 + 4 + kHashSize || file.first(kSignatureSize) != QByteArrayView(kSignature))
        return fail(QStringLiteral("not a saved NV memory"));
    const QByteArrayView body = file.first(file.size() - kHashSize);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256) != file.last(kHashSize))
        return fail(QStringLiteral("damaged (checksum does not match)"));
    if (body[kSignatureSize] != SimKindEntryOf(kind).stateCode)
        return fail(QStringLiteral("saved by a printer of another kind"));
    const char* p = body.data() + kSignatureSize + 1;
    const char* const end = body.data() + body.size();
    const quint32 count = qFromBigEndian<quint32>(p);
    p += 4;
    CNvMemory memory(capacity);
    for (quint32 i = 0; i < count; ++i) {
        if (end - p < kEntryHead)
            return fail(QStringLiteral("entry %1 is cut short").arg(i + 1));
        const int key = static_cast<int>(qFromBigEndian<quint32>(p));
        const qint64 msecs = qFromBigEndian<qint64>(p + 4);
        const quint32 length = qFromBigEndian<quint32>(p + 12);
        p += kEntryHead;
        if (length > static_cast<quint64>(end - p))
            return fail(QStringLiteral("entry %1 is cut short").arg(i + 1));
        const QByteArray bytes(p, length);
        p += length;
        QString invalid;
        if (!DecodeNvImage(kind, bytes, &invalid))
            return fail(QStringLiteral("entry %1: %2").arg(i + 1).arg(invalid));
        if (key < 0 || key > 0xFFFF || memory.Find(key))
            return fail(QStringLiteral("entry %1 has a bad or repeated key").arg(i + 1));
        // Kept even beyond a capacity lowered since: a printer does not lose
        // images because of a setting; it just has no room for more.
        memory.m_entries.push_back({key, bytes, QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC)});
        memory.m_used += length;
    }
    if (p != end)
        return fail(QStringLiteral("unexpected bytes after the last entry"));
    return memory;
}

std::optional<CDotGrid> DecodeNvImage(PrinterKind kind, QByteArrayView bytes, QString* why)
{
    return SimKindEntryOf(kind).decodeImage(bytes, why);
}
