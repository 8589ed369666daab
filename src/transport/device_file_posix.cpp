#include "transport/device_file.h"

#include "framework/file_descriptor.h"
#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>

namespace {

// A character device driven non-blocking through device_io.
class CSystemDeviceFile final : public CDeviceFile {
public:
    CSystemDeviceFile(CFileDescriptor device, QString path) : m_device(std::move(device)), m_path(std::move(path)) {}

    TransferResult Write(const char* bytes, int count, int timeoutMs) override
    {
        return WriteAllWithin(m_device.Get(), bytes, count, timeoutMs, m_path);
    }

    // A terminal says how much it still has to send. The printer-class
    // driver keeps one transfer in flight and reports the device writable
    // only when it has finished; other devices report writable when they
    // have room, which is all they can tell.
    TransportError WaitWritten(int timeoutMs) override
    {
        const qint64 deadline = DeviceNowMs() + std::max(timeoutMs, 0);
        const TransportError drained = DrainOutputWithin(m_device.Get(), timeoutMs, m_path);
        if (drained.IsSet())
            return drained;
        for (;;) {
            pollfd entry{m_device.Get(), POLLOUT, 0};
            const int ready = ::poll(&entry, 1, MsLeftUntil(deadline));
            if (ready > 0)
                return (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0
                           ? TransportError()
                           : TransportError::FromErrno(EIO, QStringLiteral("send ") + m_path);
            if (ready == 0)
                return TransportError::FromErrno(ETIMEDOUT, QStringLiteral("send ") + m_path);
            if (errno != EINTR)
                return TransportError::FromLastError("poll", m_path);
        }
    }

    TransferResult Read(char* buffer, int count, int timeoutMs) override
    {
        return ReadSomeWithin(m_device.Get(), buffer, count, timeoutMs, m_path);
    }

private:
    CFileDescriptor m_device;
    QString m_path;
};

DeviceFileOpener& CurrentOpener()
{
    static DeviceFileOpener opener = OpenSystemDeviceFile;
    return opener;
}

}  // namespace

std::unique_ptr<CDeviceFile> OpenSystemDeviceFile(const QString& path, TransportError* error)
{
    CFileDescriptor device = OpenDevice(path, error);
    if (!device.IsValid())
        return nullptr;
    return std::make_unique<CSystemDeviceFile>(std::move(device), path);
}

const DeviceFileOpener& UsbDeviceOpener()
{
    return CurrentOpener();
}

DeviceFileOpener SetUsbDeviceOpener(DeviceFileOpener opener)
{
    DeviceFileOpener previous = std::move(CurrentOpener());
    CurrentOpener() = opener ? std::move(opener) : DeviceFileOpener(OpenSystemDeviceFile);
    return previous;
}
