#include "transport/process_probe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int OpenDescriptorsOf(const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    int count = 0;
    for (const QString& entry : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        if (QFileInfo(fds.filePath(entry)).symLinkTarget() == target)
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
