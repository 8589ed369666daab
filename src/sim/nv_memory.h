#pragma once

#include "sim/dot_grid.h"
#include "sim/sim_options.h"

#include <QByteArray>
#include <QDateTime>

#include <optional>
#include <vector>

// One stored NV image: its number (1..255) or key code (kc1 * 256 + kc2), the
// bytes the printer keeps for it (a single-colour record, a whole two-colour
// define command or a band stream) and when it was stored.
struct NvEntry {
    int key = 0;
    QByteArray bytes;
    QDateTime stored;
};

// The printer's NV image memory: entries in storage order, whose bytes
// together never exceed the capacity (a memory read back after the capacity
// was lowered may; it then has no room until images are deleted).
// A value type without locking; the owner guards it.
class CNvMemory {
public:
    explicit CNvMemory(qint64 capacity = 0) : m_capacity(capacity) {}

    qint64 Capacity() const { return m_capacity; }
    qint64 Used() const { return m_used; }
    qint64 Free() const { return m_capacity > m_used ? m_capacity - m_used : 0; }
    const std::vector<NvEntry>& Entries() const { return m_entries; }
    const NvEntry* Find(int key) const;

    // Room for an image stored under key: the free bytes plus those of the
    // image it would replace.
    qint64 RoomFor(int key) const;

    // Replaces everything by images numbered 1, 2, ... in order; false (and
    // nothing changed) when they do not fit the capacity.
    bool ReplaceAll(const std::vector<QByteArray>& images, const QDateTime& when);
    // Stores an image under key, replacing one stored there (the new one goes
    // to the end of the storage order); false (nothing changed) when it does
    // not fit.
    bool Put(int key, const QByteArray& bytes, const QDateTime& when);
    bool Remove(int key);
    void Clear();

    // The memory as a file: a fixed signature, the kind, the entries, and a
    // SHA-256 of all of it, so that a damaged file is recognised rather than
    // half read.
    QByteArray Serialize(PrinterKind kind) const;
    // Reads a file written by Serialize for the same kind; every entry must
    // decode as an image of that kind. Nothing (and the reason) when it does
    // not hold up.
    static std::optional<CNvMemory> Deserialize(QByteArrayView file, PrinterKind kind, qint64 capacity, QString* why);

private:
    qint64 m_capacity = 0;
    qint64 m_used = 0;
    std::vector<NvEntry> m_entries;
};

// The dots of an image a printer of the kind stores, by the decoders of
// nv_image_decode.h; nothing (and the reason in *why) when it is not one.
// Band streams longer than the 16-bit length table can announce are refused.
std::optional<CDotGrid> DecodeNvImage(PrinterKind kind, QByteArrayView bytes, QString* why = nullptr);
