#pragma once

#include <QByteArrayView>
#include <QString>

struct stat;

// Writes a file so that readers only ever see the old contents or the whole
// new ones: the bytes go to a temporary file beside the target, are flushed to
// disk, and the temporary file is renamed over the target on Commit(). Every
// write is checked to its last byte, so a full disk or a size limit is a
// reported failure, never a silently shortened file (Qt's QSaveFile has been
// seen to commit such a file as a success).
//
// Only a regular file is replaced (see ReplaceableFileReason): a target that
// is a FIFO, a device, a socket, a folder or a symbolic link fails Open() at
// once with the path and the reason, and is never opened. The rename
// replaces the name itself, so even a link put in place after that check is
// replaced, not written through.
//
// The new file keeps the owner, group and permissions of the file it
// replaces; when the owner or group cannot be kept, Open() fails and the
// file is left alone.
//
// An object that is destroyed without a successful Commit() removes its
// temporary file and leaves the target as it was.
class CAtomicFile {
public:
    explicit CAtomicFile(QString path);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool Open();
    bool Write(QByteArrayView bytes);
    bool Commit();

    // Why the last operation failed: the target's path and the system's reason.
    const QString& ErrorString() const { return m_error; }

private:
    bool Fail(const QString& what, int error);
    bool Refuse(const QString& why);
    bool KeepOwnerAndMode(const struct stat& existing);
    void Discard();

    QString m_path;        // the target
    QString m_tempPath;    // the new file until it is renamed
    int m_fd = -1;
    bool m_failed = false;
    QString m_error;
};

// Writes bytes to path with CAtomicFile; on failure returns false and the
// reason in *error.
bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* error);
