#include "framework/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a directory");
    if (S_ISFIFO(mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a plain file");
}

QString NotRegular(mode_t mode)
{
    return QStringLiteral("it is %1, not a regular file").arg(KindOf(mode));
}

}  // namespace

bool OpenRegularFile(const QString& path, QFile& file, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    // Looked at before it is opened: opening a device can have effects of
    // its own (a tape rewinds, a port resets).
    struct stat before {};
    if (::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode)) {
        if (reason)
            *reason = NotRegular(before.st_mode);
        return false;
    }
    // O_NONBLOCK keeps the open of a FIFO without a writer from waiting;
    // O_NOCTTY keeps a terminal from becoming ours.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(error));
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (reason)
            *reason = NotRegular(info.st_mode);
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (reason)
            *reason = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

QString NonRegularFileReason(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    return NotRegular(info.st_mode);
}

QString ReplaceableFileReason(const QString& path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("it is a symbolic link, which is never written through or replaced; "
                              "name the file it points to");
    return NotRegular(info.st_mode);
}
