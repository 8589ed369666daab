#include "transport/usb_port.h"

#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>

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
    m_device = OpenDevice(m_devicePath, &error);
    return error;
}

TransferResult CUsbPort::Write(const char* bytes, int count)
{
    if (!IsOpen() || !bytes || count <= 0)
        return {};
    TransferResult result;
    while (result.transferred < count) {
        const int block = std::min(kBlockSize, count - result.transferred);
        const TransferResult sent = WriteAllWithin(m_device.Get(), bytes + result.transferred, block,
                                                   TotalTimeoutMs(kBlockPerByteMs, kBlockConstantMs, block), m_devicePath);
        result.transferred += sent.transferred;
        if (sent.error.IsSet()) {
            result.error = sent.error;
            break;
        }
    }
    return result;
}

TransferResult CUsbPort::Read(char* buffer, int count, int timeoutMs)
{
    if (!IsOpen() || !buffer || count <= 0)
        return {};
    return ReadSomeWithin(m_device.Get(), buffer, count, timeoutMs > 0 ? timeoutMs : kDefaultReadTimeoutMs,
                          m_devicePath);
}

void CUsbPort::Close()
{
    m_device.Reset();
}
