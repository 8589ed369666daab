#include "transport/usb_port.h"

#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

namespace {

qint64 MonotonicNowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int RemainingUntil(qint64 deadline)
{
    return static_cast<int>(std::clamp<qint64>(deadline - MonotonicNowMs(), 0, INT_MAX));
}

}  // namespace

CUsbPort::~CUsbPort()
{
    Close();
}

bool CUsbPort::Setup(const PortSettings& settings)
{
    if (settings.portName.isEmpty())
        return false;
    m_devicePath = settings.portName;
    return true;
}

TransportError CUsbPort::Open()
{
    if (IsOpen())
        return {};
    if (!m_devicePath.startsWith(u'/'))
        return TransportError::FromErrno(ENOENT, QStringLiteral("not a device path: ") + m_devicePath);
    TransportError error;
    m_device = UsbDeviceOpener()(m_devicePath, &error);
    if (!m_device && !error.IsSet())
        error = TransportError::FromErrno(ENODEV, QStringLiteral("open ") + m_devicePath);
    return error;
}

TransferResult CUsbPort::Write(const char* bytes, int count)
{
    if (!IsOpen() || !bytes || count <= 0)
        return {};
    TransferResult result;
    while (result.transferred < count) {
        const int block = std::min(kBlockSize, count - result.transferred);
        // One bound for handing the block over and for its sending.
        const qint64 deadline = MonotonicNowMs() + TotalTimeoutMs(kBlockPerByteMs, kBlockConstantMs, block);
        const TransferResult handed = m_device->Write(bytes + result.transferred, block, RemainingUntil(deadline));
        TransportError error = handed.error;
        if (!error.IsSet())
            error = m_device->WaitWritten(RemainingUntil(deadline));
        if (error.IsSet()) {
            result.error = error;
            break;
        }
        result.transferred += block;
    }
    return result;
}

TransferResult CUsbPort::Read(char* buffer, int count, int timeoutMs)
{
    if (!IsOpen() || !buffer || count <= 0)
        return {};
    return m_device->Read(buffer, count, timeoutMs > 0 ? timeoutMs : kDefaultReadTimeoutMs);
}

TransportError CUsbPort::Close()
{
    if (!m_device)
        return {};
    TransportError error = m_device->WaitWritten(kCloseWaitMs);
    if (error.IsSet())
        error.what = QStringLiteral("close %1 (unsent data cancelled)").arg(m_devicePath);
    m_device.reset();
    return error;
}
