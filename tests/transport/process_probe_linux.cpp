#include "transport/process_probe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <chrono>
#include <thread>

#include <unistd.h>

int OpenDescriptorsOf(const QString& path)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    const QDir fds(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString& entry : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char link[PATH_MAX];
        const ssize_t length = ::readlink(QFile::encodeName(fds.filePath(entry)).constData(), link, sizeof link);
        if (length > 0 && QByteArray(link, length) == target)
            ++count;
    }
    return count;
}

int ThreadsNamed(const QString& name)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    int count = 0;
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task) + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly) && QString::fromLatin1(comm.readAll()).trimmed() == name)
            ++count;
    }
    return count;
}

int ThreadsNamedOnceGone(const QString& name)
{
    // Bounded by real time on purpose: it waits for the kernel, not for code
    // under test, and only a thread that never ends takes the whole second.
    int count = ThreadsNamed(name);
    for (int i = 0; i < 1000 && count > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        count = ThreadsNamed(name);
    }
    return count;
}
