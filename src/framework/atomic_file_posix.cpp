#include "framework/atomic_file.h"

#include <QFile>
#include <QFileInfo>

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

CAtomicFile::CAtomicFile(QString path) : m_path(std::move(path))
{
    const QFileInfo info(m_path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        m_path = info.canonicalFilePath();
}

CAtomicFile::~CAtomicFile()
{
    Discard();
}

bool CAtomicFile::Fail(const QString& what, int error)
{
    m_failed = true;
    m_error = QStringLiteral("%1: %2 (%3)").arg(m_path, what, QString::fromLocal8Bit(std::strerror(error)));
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
    const QByteArray target = QFile::encodeName(m_path);
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return Fail(QStringLiteral("cannot write"), EISDIR);
    if (exists && !S_ISREG(existing.st_mode)) {
        m_fd = ::open(target.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        return m_fd >= 0 || Fail(QStringLiteral("cannot open"), errno);
    }
    QByteArray pattern = target + ".XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    if (m_fd < 0)
        return Fail(QStringLiteral("cannot create a file in its folder"), errno);
    ::fcntl(m_fd, F_SETFD, FD_CLOEXEC);
    m_tempPath = QFile::decodeName(pattern);
    // Keep the permissions of the file being replaced, or those of a new file.
    ::fchmod(m_fd, exists ? (existing.st_mode & 07777) : NewFileMode());
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
    if (m_tempPath.isEmpty()) {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 || Fail(QStringLiteral("cannot finish writing"), errno);
    }
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
