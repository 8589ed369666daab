#include "support/read_only_folder.h"

#include <QFile>

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>
#include <thread>

namespace {

// Drops, for the calling thread only, root's rights to ignore file modes.
bool DropPermissionOverrides(QString* whyNot)
{
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0;  // the calling thread
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0) {
        *whyNot = QStringLiteral("capget: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        data[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
        data[CAP_TO_INDEX(capability)].permitted &= ~CAP_TO_MASK(capability);
    }
    if (syscall(SYS_capset, &header, data) != 0) {
        *whyNot = QStringLiteral("capset: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

}  // namespace

CReadOnlyFolder::CReadOnlyFolder(QString folder) : m_folder(std::move(folder))
{
    m_changed = ::chmod(QFile::encodeName(m_folder).constData(), 0555) == 0;
}

CReadOnlyFolder::~CReadOnlyFolder()
{
    if (m_changed)
        ::chmod(QFile::encodeName(m_folder).constData(), 0755);
}

bool CReadOnlyFolder::Run(const std::function<void()>& code, QString* whyNot)
{
    if (!m_changed) {
        *whyNot = QStringLiteral("cannot make %1 read-only").arg(m_folder);
        return false;
    }
    bool ran = false;
    std::thread worker([&] {
        if (!DropPermissionOverrides(whyNot))
            return;
        QFile probe(m_folder + QStringLiteral("/.write-probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            *whyNot = QStringLiteral("%1 is still writable (a file system that ignores modes?)").arg(m_folder);
            return;
        }
        code();
        ran = true;
    });
    worker.join();
    return ran;
}
