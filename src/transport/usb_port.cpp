#include "transport/usb_port.h"

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
