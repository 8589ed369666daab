#include "fleet/fleet_state_lock.h"

#include "framework/clock.h"
#include "framework/regular_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRetryMs = 50;

}  // namespace

QString CFleetStateLock::PathFor(const QString& statePath)
{
    return statePath + QStringLiteral(".lock");
}

bool CFleetStateLock::Acquire(const QString& statePath, int waitMs, const std::function<void()>& waiting,
                              QString* error)
{
    const QString path = PathFor(statePath);
    auto fail = [&](const QString& reason) {
        *error = QStringLiteral("Cannot lock %1: %2").arg(path, reason);
        m_file.Reset();
        return false;
    };
    if (const QString reason = ReplaceableFileReason(path); !reason.isEmpty())
        return fail(reason);
    // O_NOFOLLOW and O_NONBLOCK: a link or FIFO put there after the look
    // above fails or is caught by the type check below, never waited on.
    m_file.Reset(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                        0666));
    if (!m_file.IsValid())
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::fstat(m_file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return fail(QStringLiteral("it is not a regular file"));
    const qint64 deadline = Clock().NowMs() + waitMs;
    bool told = false;
    for (;;) {
        if (::flock(m_file.Get(), LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        if (Clock().NowMs() >= deadline)
            return fail(QStringLiteral("another fleet run has held it for %1 s").arg(waitMs / 1000));
        if (!told && waiting)
            waiting();
        told = true;
        Clock().Sleep(kRetryMs);
    }
}
