#include "framework/atomic_file.h"

#include "framework/regular_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

CAtomicFile::CAtomicFile(QString path) : m_path(std::move(path)) {}

CAtomicFile::~CAtomicFile()
{
    Discard();
}

bool CAtomicFile::Fail(const QString& what, int error)
{
    return Refuse(QStringLiteral("%1 (%2)").arg(what, QString::fromLocal8Bit(std::strerror(error))));
}

bool CAtomicFile::Refuse(const QString& why)
{
    m_failed = true;
    m_error = QStringLiteral("%1: %2").arg(m_path, why);
    Discard();
    return false;
}

void CAtomicFile::Discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.isEmpty())
        ::unlink(QFile::encodeName(m_tempPath).constData());
    m_tempPath.clear();
}

bool CAtomicFile::Open()
{
    // Nothing but a regular file is replaced, and nothing is ever opened
    // here but the new temporary file; a FIFO, device or link put in place
    // after this look is replaced by the rename itself, never written to.
    if (const QString reason = ReplaceableFileReason(m_path); !reason.isEmpty())
        return Refuse(QStringLiteral("cannot write, %1").arg(reason));
    const QByteArray target = QFile::encodeName(m_path);
    struct stat existing {};
    const bool exists = ::lstat(target.constData(), &existing) == 0;
    QByteArray pattern = target + ".XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    if (m_fd < 0)
        return Fail(QStringLiteral("cannot create a file in its folder"), errno);
    ::fcntl(m_fd, F_SETFD, FD_CLOEXEC);
    m_tempPath = QFile::decodeName(pattern);
    if (!exists)
        return ::fchmod(m_fd, NewFileMode()) == 0 || Fail(QStringLiteral("cannot set the permissions"), errno);
    return KeepOwnerAndMode(existing);
}

// The new file takes the place of the old one, so it takes its owner, group
// and permissions too: a file of another user saved by root stays that
// user's. When that cannot be done (an ordinary user replacing someone
// else's file in a shared folder) the file is not replaced at all.
bool CAtomicFile::KeepOwnerAndMode(const struct stat& existing)
{
    struct stat created {};
    if (::fstat(m_fd, &created) != 0)
        return Fail(QStringLiteral("cannot check the new file"), errno);
    if ((created.st_uid != existing.st_uid || created.st_gid != existing.st_gid)
        && ::fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
        const int error = errno;
        return Fail(QStringLiteral("cannot keep the file's owner %1 and group %2, so it is not replaced")
                        .arg(existing.st_uid)
                        .arg(existing.st_gid),
                    error);
    }
    // After the owner: changing it clears the set-user-id and set-group-id bits.
    if (::fchmod(m_fd, existing.st_mode & 07777) != 0)
        return Fail(QStringLiteral("cannot keep the file's permissions"), errno);
    return true;
}

bool CAtomicFile::Write(QByteArrayView bytes)
{
    if (m_fd < 0)
        return m_failed ? false : Fail(QStringLiteral("not open"), EBADF);
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return Fail(QStringLiteral("cannot write"), written < 0 ? errno : ENOSPC);
        data += written;
        left -= written;
    }
    return true;
}

bool CAtomicFile::Commit()
{
    if (m_fd < 0)
        return m_failed ? false : Fail(QStringLiteral("not open"), EBADF);
    if (::fsync(m_fd) != 0)
        return Fail(QStringLiteral("cannot flush to disk"), errno);
    const int closed = ::close(m_fd);
    m_fd = -1;
    if (closed != 0)
        return Fail(QStringLiteral("cannot finish writing"), errno);
    if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_path).constData()) != 0)
        return Fail(QStringLiteral("cannot replace"), errno);
    m_tempPath.clear();
    return true;
}

bool WriteFileAtomically(const QString& path, QByteArrayView bytes, QString* error)
{
    CAtomicFile file(path);
    if (file.Open() && file.Write(bytes) && file.Commit())
        return true;
    if (error)
        *error = file.ErrorString();
    return false;
}
