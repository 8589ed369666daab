#pragma once

#include "sim/dot_grid.h"

#include <QByteArray>
#include <QString>

// The output folder: a PNG per stored image and per print, and index.json.
// Every file is written atomically (CAtomicFile), so a reader sees a whole
// file or the previous one. An object without a folder writes nothing and
// reports success. Used by one thread at a time.
class CSimOutput {
public:
    explicit CSimOutput(QString folder = {}) : m_folder(std::move(folder)) {}

    bool IsEnabled() const { return !m_folder.isEmpty(); }
    const QString& Folder() const { return m_folder; }

    // Creates the folder; false with the reason when it cannot be made.
    bool Prepare(QString* error) const;

    // The file names used for stored images ("nv-007.png" for numbers,
    // "nv-3031.png" for key codes, in hexadecimal since a key code may hold
    // characters that a file name cannot) and prints ("print-000042.png").
    static QString StoredFileName(bool addressed, int key);
    static QString PrintFileName(qint64 sequence);

    // Writes grid as PNG, each dot scaleX x scaleY pixels.
    bool WritePng(const QString& fileName, const CDotGrid& grid, int scaleX, int scaleY, QString* error) const;
    bool WriteFile(const QString& fileName, const QByteArray& bytes, QString* error) const;
    void Remove(const QString& fileName) const;

private:
    QString m_folder;
};
