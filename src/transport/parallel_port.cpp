#include "transport/parallel_port.h"

CParallelPort::CParallelPort(QString deviceRoot) : m_deviceRoot(std::move(deviceRoot)) {}

CParallelPort::~CParallelPort()
{
    Close();
}

bool CParallelPort::Setup(const PortSettings& settings)
{
    m_timeouts = settings.timeouts;
    if (!settings.portName.startsWith(QStringLiteral("LPT")))
        return false;
    m_portName = settings.portName;
    return true;
}
