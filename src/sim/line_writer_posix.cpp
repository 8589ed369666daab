#include "sim/line_writer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <unistd.h>

namespace {

// Pieces small enough that a pipe reported writable takes them whole.
constexpr qsizetype kPiece = 512;

}  // namespace

int CLineWriter::StandardOutput()
{
    return STDOUT_FILENO;
}

CLineWriter::~CLineWriter()
{
    Finish(0);
}

void CLineWriter::Start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { Run(); });
}

void CLineWriter::Post(const QString& line)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_lines.size() >= kMaxQueued) {
            ++m_dropped;
            return;
        }
        if (m_dropped > 0) {
            m_lines.push_back(QStringLiteral("(%1 log lines dropped: nobody was reading them)\n").arg(m_dropped).toLocal8Bit());
            m_dropped = 0;
        }
        m_lines.push_back((line + QLatin1Char('\n')).toLocal8Bit());
    }
    m_wake.notify_one();
}

void CLineWriter::Finish(int timeoutMs)
{
    if (!m_thread.joinable())
        return;
    std::unique_lock lock(m_mutex);
    // What is still queued after the wait is dropped.
    m_wake.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_lines.empty() && !m_writing; });
    m_stop = true;
    lock.unlock();
    m_wake.notify_all();
    m_thread.join();
}

void CLineWriter::Run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_lines.empty(); });
        if (m_stop)
            return;
        const QByteArray line = std::move(m_lines.front());
        m_lines.pop_front();
        m_writing = true;
        lock.unlock();
        qsizetype at = 0;
        while (at < line.size() && !m_stop) {
            // Wait in short steps, so that Finish() is never kept waiting
            // by a reader that does not read.
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t written = ::write(m_fd, line.constData() + at, static_cast<size_t>(std::min(kPiece, line.size() - at)));
            if (written < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (written <= 0)
                break;  // the reader has gone; the line is lost
            at += written;
        }
        lock.lock();
        m_writing = false;
        m_wake.notify_all();
    }
}
