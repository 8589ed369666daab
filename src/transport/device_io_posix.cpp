#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

qint64 DeviceNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int MsLeftUntil(qint64 deadline)
{
    return static_cast<int>(std::clamp<qint64>(deadline - DeviceNowMs(), 0, INT_MAX));
}

namespace {

// Waits for the device to become ready for events, until the deadline.
// Returns 1 ready, 0 time-out, -1 error (errno set).
//
// Some drivers (the parallel printer driver) cannot be polled: poll() says
// "ready" at once while the transfer still answers EAGAIN. A device that was
// reported ready last time and still refused is therefore given a short pause
// instead, so that waiting for it does not spin the processor.
class CDeviceWait {
public:
    CDeviceWait(int fd, short events, qint64 deadline) : m_fd(fd), m_events(events), m_deadline(deadline) {}

    int Wait()
    {
        if (m_saidReady) {
            const int pause = std::min(kBusyPauseMs, MsLeftUntil(m_deadline));
            if (pause == 0)
                return 0;
            ::poll(nullptr, 0, pause);
            return 1;
        }
        for (;;) {
            pollfd entry{m_fd, m_events, 0};
            const int ready = ::poll(&entry, 1, MsLeftUntil(m_deadline));
            if (ready > 0)
                m_saidReady = true;
            if (ready >= 0)
                return ready;
            if (errno != EINTR)
                return -1;
        }
    }
    // The transfer moved bytes: the device's readiness can be trusted again.
    void Progressed() { m_saidReady = false; }

private:
    static constexpr int kBusyPauseMs = 10;
    int m_fd;
    short m_events;
    qint64 m_deadline;
    bool m_saidReady = false;
};

}  // namespace

CFileDescriptor OpenDevice(const QString& path, TransportError* error)
{
    const QByteArray name = path.toLocal8Bit();
    const auto notDevice = [&] {
        if (error)
            *error = TransportError::WithReason(ENODEV, QStringLiteral("open ") + path,
                                                QString::fromLatin1(kNotAPrinterDevice));
        return CFileDescriptor();
    };
    // Looked at before the open, so that opening a FIFO or a file has no
    // effect at all, and again after it, on what was really opened.
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 && !S_ISCHR(info.st_mode))
        return notDevice();
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (error)
            *error = TransportError::FromLastError("open", path);
        return CFileDescriptor();
    }
    CFileDescriptor device(fd);
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return notDevice();
    return device;
}

TransportError DrainOutputWithin(int fd, int timeoutMs, const QString& path, int* left)
{
    constexpr int kDrainPollMs = 2;
    const qint64 deadline = DeviceNowMs() + std::max(timeoutMs, 0);
    if (left)
        *left = 0;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
            return {};  // no output queue to wait for
        bool empty = queued <= 0;
        unsigned int lineStatus = 0;
        // The UART's own transmitter, where the driver tells (real serial
        // ports do; USB adapters and pseudo-terminals do not).
        if (empty && ::ioctl(fd, TIOCSERGETLSR, &lineStatus) == 0)
            empty = (lineStatus & TIOCSER_TEMT) != 0;
        if (empty)
            return {};
        if (DeviceNowMs() >= deadline) {
            if (left)
                *left = std::max(queued, 1);
            return TransportError::FromErrno(ETIMEDOUT, QStringLiteral("drain ") + path);
        }
        ::poll(nullptr, 0, std::min(kDrainPollMs, MsLeftUntil(deadline)));
    }
}

int DiscardOutput(int fd)
{
    int queued = 0;
    if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
        return 0;
    ::tcflush(fd, TCOFLUSH);
    return std::max(queued, 0);
}

void DiscardInput(int fd)
{
    if (::isatty(fd))
        ::tcflush(fd, TCIFLUSH);
}

TransferResult WriteAllWithin(int fd, const char* bytes, int count, int timeoutMs, const QString& path)
{
    TransferResult result;
    CDeviceWait wait(fd, POLLOUT, DeviceNowMs() + std::max(timeoutMs, 0));
    while (result.transferred < count) {
        const ssize_t written = ::write(fd, bytes + result.transferred, static_cast<size_t>(count - result.transferred));
        if (written > 0) {
            result.transferred += static_cast<int>(written);
            wait.Progressed();
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            result.error = TransportError::FromLastError("write", path);
            return result;
        }
        // The device's buffer is full (or it took nothing): wait for room.
        const int ready = wait.Wait();
        if (ready < 0) {
            result.error = TransportError::FromLastError("poll", path);
            return result;
        }
        if (ready == 0) {
            result.error = TransportError::FromErrno(ETIMEDOUT, QStringLiteral("write ") + path);
            return result;
        }
    }
    return result;
}

TransferResult ReadSomeWithin(int fd, char* buffer, int count, int timeoutMs, const QString& path)
{
    TransferResult result;
    CDeviceWait wait(fd, POLLIN, DeviceNowMs() + std::max(timeoutMs, 0));
    for (;;) {
        const ssize_t got = ::read(fd, buffer, static_cast<size_t>(count));
        if (got >= 0) {
            result.transferred = static_cast<int>(got);
            return result;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result.error = TransportError::FromLastError("read", path);
            return result;
        }
        const int ready = wait.Wait();
        if (ready <= 0) {
            result.error = ready < 0 ? TransportError::FromLastError("poll", path)
                                     : TransportError::FromErrno(ETIMEDOUT, QStringLiteral("read ") + path);
            return result;
        }
    }
}

TransferResult ReadWithin(int fd, char* buffer, int count, int totalMs, int intervalMs, const QString& path)
{
    TransferResult result;
    const qint64 totalDeadline = DeviceNowMs() + std::max(totalMs, 0);
    while (result.transferred < count) {
        qint64 deadline = totalDeadline;
        if (intervalMs > 0 && result.transferred > 0)
            deadline = std::min(deadline, DeviceNowMs() + intervalMs);
        const TransferResult part = ReadSomeWithin(fd, buffer + result.transferred, count - result.transferred,
                                                   MsLeftUntil(deadline), path);
        result.transferred += part.transferred;
        if (part.error.IsSet()) {
            // Running out of time is how a port read ends when less came.
            if (part.error.code != ETIMEDOUT || result.transferred == 0)
                result.error = part.error;
            break;
        }
        if (part.transferred == 0)
            break;  // end of data
    }
    return result;
}

int TotalTimeoutMs(quint32 multiplier, quint32 constant, int count)
{
    const qint64 total = static_cast<qint64>(multiplier) * std::max(count, 0) + constant;
    return static_cast<int>(std::min<qint64>(total, INT_MAX));
}
