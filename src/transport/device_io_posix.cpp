#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace {

qint64 MonotonicMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int RemainingMs(qint64 deadline)
{
    return static_cast<int>(std::clamp<qint64>(deadline - MonotonicMs(), 0, INT_MAX));
}

// Waits for events on fd until the deadline. Returns 1 ready, 0 time-out,
// -1 error (errno set).
int WaitFor(int fd, short events, qint64 deadline)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, RemainingMs(deadline));
        if (ready >= 0)
            return ready;
        if (errno != EINTR)
            return -1;
    }
}

// A write to a FIFO or socket whose reader is gone raises SIGPIPE, which
// would end the whole program. It is blocked on this thread for the write;
// one that the write raised is taken back, so EPIPE is an ordinary error.
class CSigPipeBlocker {
public:
    CSigPipeBlocker()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigemptyset(&pending);
        m_wasPending = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~CSigPipeBlocker()
    {
        if (m_raised && !m_wasPending) {
            const timespec none{0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &none) < 0 && errno == EINTR) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    CSigPipeBlocker(const CSigPipeBlocker&) = delete;
    CSigPipeBlocker& operator=(const CSigPipeBlocker&) = delete;

    void NoteBrokenPipe() { m_raised = true; }

private:
    sigset_t m_pipe;
    sigset_t m_previous;
    bool m_wasPending = false;
    bool m_raised = false;
};

}  // namespace

CFileDescriptor OpenDevice(const QString& path, TransportError* error)
{
    const QByteArray name = path.toLocal8Bit();
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && error)
        *error = TransportError::FromErrno(errno, QStringLiteral("open ") + path);
    return CFileDescriptor(fd);
}

TransferResult WriteAllWithin(int fd, const char* bytes, int count, int timeoutMs, const QString& path)
{
    TransferResult result;
    CSigPipeBlocker pipeBlocker;
    const qint64 deadline = MonotonicMs() + std::max(timeoutMs, 0);
    while (result.transferred < count) {
        const ssize_t written = ::write(fd, bytes + result.transferred, static_cast<size_t>(count - result.transferred));
        if (written > 0) {
            result.transferred += static_cast<int>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (errno == EPIPE)
                pipeBlocker.NoteBrokenPipe();
            result.error = TransportError::FromErrno(errno, QStringLiteral("write ") + path);
            return result;
        }
        // The device's buffer is full (or it took nothing): wait for room.
        const int ready = WaitFor(fd, POLLOUT, deadline);
        if (ready < 0) {
            result.error = TransportError::FromErrno(errno, QStringLiteral("poll ") + path);
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
    const qint64 deadline = MonotonicMs() + std::max(timeoutMs, 0);
    for (;;) {
        const ssize_t got = ::read(fd, buffer, static_cast<size_t>(count));
        if (got >= 0) {
            result.transferred = static_cast<int>(got);
            return result;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            result.error = TransportError::FromErrno(errno, QStringLiteral("read ") + path);
            return result;
        }
        const int ready = WaitFor(fd, POLLIN, deadline);
        if (ready <= 0) {
            result.error = TransportError::FromErrno(ready < 0 ? errno : ETIMEDOUT, QStringLiteral("read ") + path);
            return result;
        }
    }
}

TransferResult ReadWithin(int fd, char* buffer, int count, int totalMs, int intervalMs, const QString& path)
{
    TransferResult result;
    const qint64 totalDeadline = MonotonicMs() + std::max(totalMs, 0);
    while (result.transferred < count) {
        qint64 deadline = totalDeadline;
        if (intervalMs > 0 && result.transferred > 0)
            deadline = std::min(deadline, MonotonicMs() + intervalMs);
        const TransferResult part = ReadSomeWithin(fd, buffer + result.transferred, count - result.transferred,
                                                   RemainingMs(deadline), path);
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
