#include "transport/parallel_port.h"

#include "transport/device_io.h"
#include "transport/port_names.h"

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

// Used when the port has no write time-out at all.
constexpr quint32 kFallbackWritePerByteMs = 5;
constexpr quint32 kFallbackWriteConstantMs = 3000;
// Used when neither the port nor the caller gives a read time-out.
constexpr int kFallbackReadMs = 1000;

}  // namespace

TransportError CParallelPort::Open()
{
    if (IsOpen())
        return {};
    m_devicePath = ParallelDevicePath(m_portName, m_deviceRoot);
    if (m_devicePath.isEmpty())
        return TransportError::FromErrno(ENOENT, QStringLiteral("no parallel device for ") + m_portName);
    TransportError error;
    m_device = OpenDevice(m_devicePath, &error);
    if (!m_device.IsValid())
        return error;
    // The purge: a port that keeps received bytes (a terminal standing in
    // for the printer port) drops them. The printer-port driver keeps no
    // queue either way, and nothing queued for sending is thrown away (see
    // the serial port's Open).
    DiscardInput(m_device.Get());
    return {};
}

TransferResult CParallelPort::Write(const char* bytes, int count)
{
    if (!IsOpen() || !bytes || count <= 0)
        return {};
    int timeoutMs = TotalTimeoutMs(m_timeouts.writeTotalMultiplierMs, m_timeouts.writeTotalConstantMs, count);
    if (m_timeouts.writeTotalMultiplierMs == 0 && m_timeouts.writeTotalConstantMs == 0)
        timeoutMs = TotalTimeoutMs(kFallbackWritePerByteMs, kFallbackWriteConstantMs, count);
    const qint64 start = DeviceNowMs();
    TransferResult result = WriteAllWithin(m_device.Get(), bytes, count, timeoutMs, m_devicePath);
    if (result.error.IsSet())
        return result;
    // The printer-port driver has sent a block when write() returns; a
    // device with an output queue is waited for, within the same bound.
    int left = 0;
    const int spent = static_cast<int>(DeviceNowMs() - start);
    if (DrainOutputWithin(m_device.Get(), std::max(timeoutMs - spent, 0), m_devicePath, &left).IsSet()) {
        const int discarded = std::max(left, DiscardOutput(m_device.Get()));
        result.transferred = std::max(0, count - discarded);
        result.error = TransportError::FromErrno(
            ETIMEDOUT, QStringLiteral("send %1 (%2 unsent bytes discarded)").arg(m_devicePath).arg(discarded));
    }
    return result;
}

TransferResult CParallelPort::Read(char* buffer, int count, int timeoutMs)
{
    if (!IsOpen() || !buffer || count <= 0)
        return {};
    const int intervalMs = static_cast<int>(std::min<quint32>(m_timeouts.readIntervalMs, INT_MAX));
    int totalMs = TotalTimeoutMs(m_timeouts.readTotalMultiplierMs, m_timeouts.readTotalConstantMs, count);
    if (m_timeouts.readTotalMultiplierMs == 0 && m_timeouts.readTotalConstantMs == 0)
        totalMs = timeoutMs > 0 ? timeoutMs : kFallbackReadMs;
    return ReadWithin(m_device.Get(), buffer, count, totalMs, intervalMs, m_devicePath);
}

TransportError CParallelPort::Close()
{
    TransportError error;
    int left = 0;
    if (m_device.IsValid() && DrainOutputWithin(m_device.Get(), kCloseDrainMs, m_devicePath, &left).IsSet()) {
        const int discarded = std::max(left, DiscardOutput(m_device.Get()));
        error = TransportError::FromErrno(
            ETIMEDOUT, QStringLiteral("close %1 (%2 unsent bytes discarded)").arg(m_devicePath).arg(discarded));
    }
    m_device.Reset();
    return error;
}
