#include "transport/serial_port.h"

#include "framework/clock.h"
#include "transport/device_io.h"
#include "transport/port_names.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <iterator>

#include <pthread.h>
#include <sys/resource.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct BaudEntry {
    int rate;
    speed_t code;
};

constexpr BaudEntry kBaudRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

bool BaudCode(int rate, speed_t* code)
{
    const auto* found = std::find_if(std::begin(kBaudRates), std::end(kBaudRates),
                                     [rate](const BaudEntry& e) { return e.rate == rate; });
    if (found == std::end(kBaudRates))
        return false;
    *code = found->code;
    return true;
}

bool CharacterSize(int dataBits, tcflag_t* size)
{
    switch (dataBits) {
    case 5: *size = CS5; return true;
    case 6: *size = CS6; return true;
    case 7: *size = CS7; return true;
    case 8: *size = CS8; return true;
    default: return false;
    }
}

// Checking received parity is on exactly when there is a parity bit.
bool ApplyParity(Parity parity, termios& line)
{
    line.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR);
    line.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    switch (parity) {
    case Parity::None: return true;
    case Parity::Odd: line.c_cflag |= PARENB | PARODD; break;
    case Parity::Even: line.c_cflag |= PARENB; break;
    default: return false;
    }
    line.c_iflag |= INPCK;
    return true;
}

// The UART sends one and a half stop bits only with 5-bit characters, where
// "two" means exactly that; with longer characters one and a half cannot be
// sent, so it is refused. A number that names no stop bits is refused too.
bool ApplyStopBits(StopBits stopBits, int dataBits, termios& line)
{
    line.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    switch (stopBits) {
    case StopBits::One: return true;
    case StopBits::OneAndHalf:
        if (dataBits != 5)
            return false;
        line.c_cflag |= CSTOPB;
        return true;
    case StopBits::Two: line.c_cflag |= CSTOPB; return true;
    default: return false;
    }
}

// Modem status, or ENOTTY/EINVAL for a device without modem lines.
TransportError CheckClearToSend(int fd, const QString& path)
{
    int status = 0;
    if (::ioctl(fd, TIOCMGET, &status) != 0) {
        if (errno == ENOTTY || errno == EINVAL)
            return {};  // no modem lines at all (a pseudo-terminal): nothing to gate on
        return TransportError::FromLastError("read modem status of", path);
    }
    if ((status & TIOCM_CTS) == 0)
        return TransportError::FromErrno(EIO, QStringLiteral("printer not ready (CTS off) on ") + path);
    return {};
}

}  // namespace

TransportError CSerialPort::ConfigureLine(int fd) const
{
    const auto fail = [this](int code, const char* what) {
        return TransportError::FromErrno(code, QString::fromLatin1(what) + m_devicePath);
    };
    termios line{};
    if (::tcgetattr(fd, &line) != 0)
        return fail(errno, "read line settings of ");

    speed_t speed = B0;
    tcflag_t size = CS8;
    if (!BaudCode(m_line.baudRate, &speed))
        return fail(EINVAL, "unsupported baud rate for ");
    if (!CharacterSize(m_line.dataBits, &size))
        return fail(EINVAL, "unsupported data bits for ");

    // Raw bytes both ways: printer commands are binary.
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    // CTS paces what we send; the carrier line is not looked at.
    line.c_cflag |= size | CREAD | CLOCAL | CRTSCTS;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (!ApplyParity(m_line.parity, line))
        return fail(EINVAL, "unsupported parity for ");
    if (!ApplyStopBits(m_line.stopBits, m_line.dataBits, line))
        return fail(EINVAL, "unsupported stop bits for ");
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
    if (::tcsetattr(fd, TCSANOW, &line) != 0)
        return fail(errno, "apply line settings to ");

    // RTS is held low (RTS control off); a device without modem lines
    // refuses this, which does not matter.
    const int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &rts);
    return {};
}

TransportError CSerialPort::Open()
{
    if (IsOpen())
        Close();
    m_device.Reset();

    m_devicePath = SerialDevicePath(m_portName, m_deviceRoot);
    if (m_devicePath.isEmpty())
        return TransportError::FromErrno(ENOENT, QStringLiteral("no serial device for ") + m_portName);
    TransportError error;
    CFileDescriptor device = OpenDevice(m_devicePath, &error);
    if (!device.IsValid())
        return error;
    error = ConfigureLine(device.Get());
    if (!error.IsSet())
        error = CheckClearToSend(device.Get(), m_devicePath);
    if (error.IsSet())
        return error;  // device closes on the way out

    // Whatever the settings said, each write attempt gets 5 ms per byte (a
    // byte takes 4.2 ms at 2,400 baud) + 3,000 ms for a busy printer.
    m_line.timeouts = PortTimeouts{};
    // Stale received bytes would read as the reply to our next query. The
    // output queue is left alone: a previous owner's close already drained
    // or discarded it, so all it can hold is bytes still on their way to the
    // printer (a pseudo-terminal's far end that has not read them yet), and
    // throwing those away loses the end of the last download.
    DiscardInput(device.Get());
    // Nobody else may open the port while we hold it (Close lifts this).
    ::ioctl(device.Get(), TIOCEXCL);
    m_device = std::move(device);
    StartReader();
    return {};
}

TransferResult CSerialPort::Write(const char* bytes, int count)
{
    if (!IsOpen() || !bytes || count <= 0)
        return {};
    const qint64 start = Clock().NowMs();
    TransferResult result;
    for (;;) {
        {
            std::lock_guard lock(m_writeMutex);
            const int left = count - result.transferred;
            const PortTimeouts& timeouts = m_line.timeouts;
            const int timeoutMs = TotalTimeoutMs(timeouts.writeTotalMultiplierMs, timeouts.writeTotalConstantMs, left);
            const TransferResult attempt =
                WriteAllWithin(m_device.Get(), bytes + result.transferred, left, timeoutMs, m_devicePath);
            result.transferred += attempt.transferred;
            result.error = attempt.error;
        }
        if (result.transferred == count) {
            result.error = {};
            break;
        }
        // A printer busy with a long job takes nothing for a while; give it
        // time and send the rest.
        Clock().Sleep(kWriteRetryPauseMs);
        if (Clock().NowMs() - start >= kWriteBudgetMs)
            break;
    }
    if (result.transferred == count)
        return AwaitDelivery(result);
    // Given up: what still waits in the queue goes too, so that nothing of a
    // failed write trickles out later or holds the close.
    result.transferred = std::max(0, result.transferred - DiscardOutput(m_device.Get()));
    return result;
}

TransferResult CSerialPort::AwaitDelivery(TransferResult written)
{
    int left = 0;
    const TransportError error = DrainOutputWithin(
        m_device.Get(),
        TotalTimeoutMs(m_line.timeouts.writeTotalMultiplierMs, m_line.timeouts.writeTotalConstantMs, written.transferred),
        m_devicePath, &left);
    if (!error.IsSet())
        return written;
    const int discarded = DiscardOutput(m_device.Get());
    written.transferred = std::max(0, written.transferred - std::max(left, discarded));
    written.error = TransportError::FromErrno(
        ETIMEDOUT, QStringLiteral("send %1 (%2 unsent bytes discarded)").arg(m_devicePath).arg(std::max(left, discarded)));
    return written;
}

TransportError CSerialPort::Close()
{
    {
        std::lock_guard lock(m_stopMutex);
        m_stopRequested = true;
    }
    m_stopSignal.notify_all();
    if (m_reader.joinable())
        m_reader.join();  // the reader never blocks longer than one poll
    TransportError error;
    if (m_device.IsValid()) {
        // The driver's own closing wait may hold close() for 30 s while a
        // stalled printer takes nothing: wait a bounded time ourselves, then
        // discard what is left (and say so), which makes close() quick.
        int left = 0;
        if (DrainOutputWithin(m_device.Get(), kCloseDrainMs, m_devicePath, &left).IsSet()) {
            const int discarded = std::max(left, DiscardOutput(m_device.Get()));
            error = TransportError::FromErrno(
                ETIMEDOUT, QStringLiteral("close %1 (%2 unsent bytes discarded)").arg(m_devicePath).arg(discarded));
        }
        ::ioctl(m_device.Get(), TIOCNXCL);
    }
    m_device.Reset();
    {
        std::lock_guard lock(m_rxMutex);
        m_received.clear();
        m_received.shrink_to_fit();
        m_readerError = {};
    }
    m_open = false;
    return error;
}

void CSerialPort::StartReader()
{
    {
        std::lock_guard lock(m_rxMutex);
        m_received.clear();
        m_receivedCapacity = m_line.receiveBufferSize > 0 ? m_line.receiveBufferSize : kReceiveBufferDefault;
        m_received.reserve(static_cast<size_t>(m_receivedCapacity));
        m_readerError = {};
    }
    {
        std::lock_guard lock(m_stopMutex);
        m_stopRequested = false;
    }
    m_open = true;
    m_reader = std::thread(&CSerialPort::ReaderLoop, this);
    // Named for thread listings and debuggers.
    pthread_setname_np(m_reader.native_handle(), "serial-reader");
}

void CSerialPort::ReaderLoop()
{
    // Replies are collected while the caller's thread is busy; a raised
    // priority where the system grants one, the normal one where it does not.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kReaderNice);
    std::unique_lock lock(m_stopMutex);
    while (!m_stopRequested) {
        lock.unlock();
        CollectReceivedBytes();
        lock.lock();
        m_stopSignal.wait_for(lock, std::chrono::milliseconds(kReaderPollMs), [this] { return m_stopRequested; });
    }
}

void CSerialPort::CollectReceivedBytes()
{
    int queued = 0;
    if (::ioctl(m_device.Get(), FIONREAD, &queued) != 0) {
        // A device that was unplugged or hung up answers EIO from now on.
        const TransportError error = TransportError::FromLastError("poll", m_devicePath);
        std::lock_guard lock(m_rxMutex);
        m_readerError = error;
        return;
    }
    if (queued <= 0)
        return;
    char chunk[kReaderChunk];
    const ssize_t got = ::read(m_device.Get(), chunk, static_cast<size_t>(std::min(queued, kReaderChunk)));
    if (got < 0) {
        if (errno == EAGAIN || errno == EINTR)
            return;
        const TransportError error = TransportError::FromLastError("read", m_devicePath);
        std::lock_guard lock(m_rxMutex);
        m_readerError = error;
        return;
    }
    std::lock_guard lock(m_rxMutex);
    // A full buffer drops what comes on top: the printer's replies are short
    // and the caller reads them long before 8 KByte pile up.
    const int room = m_receivedCapacity - static_cast<int>(m_received.size());
    const int kept = std::clamp(static_cast<int>(got), 0, std::max(room, 0));
    m_received.insert(m_received.end(), chunk, chunk + kept);
}
