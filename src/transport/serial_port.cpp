#include "transport/serial_port.h"

#include "framework/clock.h"

#include <algorithm>
#include <cstring>

CSerialPort::CSerialPort(QString deviceRoot) : m_deviceRoot(std::move(deviceRoot)) {}

CSerialPort::~CSerialPort()
{
    Close();
}

bool CSerialPort::Setup(const PortSettings& settings)
{
    m_line = settings;
    if (settings.portName.isEmpty())
        return false;
    m_portName = settings.portName;
    return true;
}

TransferResult CSerialPort::Read(char* buffer, int count, int timeoutMs)
{
    if (!IsOpen() || !buffer || count <= 0)
        return {};
    if (BufferedCount() < count)
        Clock().Sleep(timeoutMs);

    std::lock_guard lock(m_rxMutex);
    TransferResult result;
    result.transferred = std::min<int>(count, static_cast<int>(m_received.size()));
    std::memcpy(buffer, m_received.data(), static_cast<size_t>(result.transferred));
    m_received.erase(m_received.begin(), m_received.begin() + result.transferred);
    if (result.transferred < count)
        result.error = m_readerError;  // why nothing more came, if the reader knows
    return result;
}

void CSerialPort::ClearInput()
{
    std::lock_guard lock(m_rxMutex);
    m_received.clear();
}

int CSerialPort::BufferedCount() const
{
    std::lock_guard lock(m_rxMutex);
    return static_cast<int>(m_received.size());
}
