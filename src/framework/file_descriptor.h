#pragma once

// Owns one file descriptor and closes it when it goes, so no error path of a
// transport or of the virtual printer can leak a device, socket or pipe.
// Move-only. Whoever opens the descriptor decides its flags (close-on-exec,
// non-blocking); this class only ends its life.
class CFileDescriptor {
public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor() { Reset(); }
    CFileDescriptor(CFileDescriptor&& other) noexcept : m_fd(other.Release()) {}
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    int Get() const { return m_fd; }
    bool IsValid() const { return m_fd >= 0; }

    // Closes the held descriptor (if any) and takes fd instead.
    void Reset(int fd = -1);
    // Gives up ownership without closing.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd = -1;
};
