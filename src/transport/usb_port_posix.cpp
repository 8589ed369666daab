#include "transport/usb_port.h"

#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>

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
        const qint64 deadline = DeviceNowMs() + TotalTimeoutMs(kBlockPerByteMs, kBlockConstantMs, block);
        const TransferResult handed = m_device->Write(bytes + result.transferred, block, MsLeftUntil(deadline));
        TransportError error = handed.error;
        if (!error.IsSet())
            error = m_device->WaitWritten(MsLeftUntil(deadline));
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
