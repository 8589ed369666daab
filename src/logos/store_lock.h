#pragma once

#include <QString>

#include <memory>

class QLockFile;

// Keeps two running windows off one logo store (and the model file that goes
// with it): the first takes a lock file beside the store, a second one finds
// it taken and can say by whom. A lock left by a program that died (kill -9,
// a crash) belongs to no running process and is taken over. The lock is
// released by Unlock() or the destructor.
class CStoreLock {
public:
    enum class Result {
        Locked,       // this program holds the store now
        HeldByOther,  // another running program holds it; see Holder()
        Unavailable,  // the lock file cannot be made (no folder, no rights)
    };

    // lockPath: the lock file, e.g. LogoStoreLockPath().
    explicit CStoreLock(QString lockPath);
    ~CStoreLock();
    CStoreLock(const CStoreLock&) = delete;
    CStoreLock& operator=(const CStoreLock&) = delete;

    // Tries once, without waiting.
    Result TryLock();
    void Unlock();

    // Who holds the lock after HeldByOther: "process 1234 on host".
    const QString& Holder() const { return m_holder; }
    // Why the lock file could not be made after Unavailable.
    const QString& Error() const { return m_error; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QString m_holder;
    QString m_error;
};
