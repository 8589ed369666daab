#include "logos/store_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

CStoreLock::CStoreLock(QString lockPath) : m_path(std::move(lockPath)) {}

CStoreLock::~CStoreLock() = default;

CStoreLock::Result CStoreLock::TryLock()
{
    m_holder.clear();
    m_error.clear();
    if (m_lock && m_lock->isLocked())
        return Result::Locked;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return Result::Unavailable;
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    // Only a dead holder makes a lock stale, never its age: a window may stay
    // open for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Result::Locked;
    if (m_lock->error() != QLockFile::LockFailedError) {
        m_error = QStringLiteral("%1: cannot create the lock file").arg(m_path);
        return Result::Unavailable;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock->getLockInfo(&pid, &host, &application))
        m_holder = QStringLiteral("process %1 on %2").arg(pid).arg(host);
    else
        m_holder = QStringLiteral("another program (%1)").arg(QDir::toNativeSeparators(m_path));
    return Result::HeldByOther;
}

void CStoreLock::Unlock()
{
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
