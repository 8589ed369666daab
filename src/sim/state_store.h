#pragma once

#include "sim/nv_memory.h"

#include <QString>

// Keeps the NV memory of one printer kind in a state folder across runs, as a
// printer keeps it across power cycles: the file "nv-<kind>.bin", so one
// folder can serve a printer of each kind. Saved atomically after every
// change. A file that cannot be read back (damaged, cut short, of another
// format) is moved aside as "nv-<kind>.bin.corrupt" and the printer starts
// with an empty memory; that is reported, never fatal. A store without a
// folder keeps nothing. Used by one thread at a time.
class CStateStore {
public:
    CStateStore(QString folder, PrinterKind kind);

    bool IsEnabled() const { return !m_folder.isEmpty(); }
    QString FilePath() const;

    // Reads the saved memory into *memory (of the given capacity). Returns
    // false only when the folder cannot be used at all (*error says why);
    // a damaged file gives an empty memory and a note in *note.
    bool Load(CNvMemory* memory, QString* note, QString* error) const;

    bool Save(const CNvMemory& memory, QString* error) const;

private:
    QString m_folder;
    PrinterKind m_kind;
};
