#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Writes log lines to a file descriptor (standard output) on a thread of its
// own, so that a reader that stops reading can never stall the printer: the
// lines wait in a bounded queue, and when it is full new lines are dropped
// (and the number dropped is told with the next line that fits).
//
// Threading: Post() may be called from any thread. Start(), Finish() and
// the destructor belong to one thread.
class CLineWriter {
public:
    // The program's standard output, where the log goes.
    static int StandardOutput();

    explicit CLineWriter(int fd) : m_fd(fd) {}
    ~CLineWriter();
    CLineWriter(const CLineWriter&) = delete;
    CLineWriter& operator=(const CLineWriter&) = delete;

    void Start();
    void Post(const QString& line);
    // Waits up to timeoutMs for the queue to drain, then stops the thread
    // (within a tenth of a second, even when the reader never reads); lines
    // still queued are dropped.
    void Finish(int timeoutMs);

private:
    static constexpr size_t kMaxQueued = 10000;

    void Run();

    const int m_fd;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<QByteArray> m_lines;
    qint64 m_dropped = 0;
    bool m_writing = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
