#include "transport/printer_connection.h"

#include "framework/clock.h"
#include "framework/outcome.h"
#include "transport/device_io.h"

#include <algorithm>
#include <cerrno>
#include <climits>

namespace {

QString OpenFailureMessage(OpenFailureText text)
{
    return text == OpenFailureText::AddressDialogs ? QStringLiteral("Error : Openport Failed!")
                                                   : QStringLiteral("Error : Openport failed!");
}

TransportError TooLarge()
{
    return TransportError::FromErrno(EFBIG, QStringLiteral("write of more than 2 GByte"));
}

}  // namespace

CPrinterConnection::CPrinterConnection(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress,
                                       int tcpPort, OpenFailureText openFailureText, int connectTimeoutMs)
    : m_settings(settings),
      m_interfaceKind(interfaceKind),
      m_ipAddress(std::move(ipAddress)),
      m_tcpPort(tcpPort),
      m_openFailureText(openFailureText),
      m_socket(connectTimeoutMs)
{
}

CPrinterConnection::CPrinterConnection(const PortSettings& settings, OpenFailureText openFailureText)
    : CPrinterConnection(settings, settings.interfaceKind, FormatIpAddress(settings.ipAddress), settings.tcpPort,
                         openFailureText)
{
}

CPrinterConnection::~CPrinterConnection()
{
    ClosePrinter();
}

bool CPrinterConnection::OpenPrinter()
{
    m_lastError = {};
    if (IsEthernet())
        return m_socket.OpenConnection(m_ipAddress, m_tcpPort, &m_lastError);
    m_port.Setup(m_settings);
    if (m_port.Open(&m_lastError) == 0) {
        // The second line names the device tried and why it did not open.
        const QString tried = m_lastError.IsSet() ? m_lastError.Text()
                                                  : QStringLiteral("Port %1").arg(m_settings.portName);
        ShowOutcome(Outcome::Failure(OpenFailureMessage(m_openFailureText), tried));
        return false;
    }
    return true;
}

bool CPrinterConnection::BeginWrite(QByteArrayView bytes)
{
    m_lastError = bytes.size() > INT_MAX ? TooLarge() : TransportError();
    return !m_lastError.IsSet();
}

bool CPrinterConnection::WritePrinter(QByteArrayView bytes)
{
    if (!BeginWrite(bytes))
        return false;
    if (!IsEthernet())
        return WriteToPort(bytes);
    for (qsizetype offset = 0; offset < bytes.size();) {
        const qsizetype piece = std::min<qsizetype>(kEthernetBlockSize, bytes.size() - offset);
        if (!SendBytes(bytes.sliced(offset, piece)))
            return false;
        offset += piece;
        if (offset < bytes.size())
            Clock().Sleep(kEthernetBlockPauseMs);
    }
    return true;
}

bool CPrinterConnection::SendWhole(QByteArrayView bytes)
{
    if (!BeginWrite(bytes))
        return false;
    return IsEthernet() ? SendBytes(bytes) : WriteToPort(bytes);
}

int CPrinterConnection::ReadPrinter(char* buffer, int count)
{
    m_lastError = {};
    if (IsEthernet()) {
        const TransferResult result = m_socket.Read(buffer, count, CPrinterSocket::kReceiveTimeoutMs);
        m_lastError = result.error;
        return result.transferred;
    }
    return m_port.Read(buffer, count, kPortReadTimeoutMs, &m_lastError);
}

void CPrinterConnection::ClearInput()
{
    if (!IsEthernet())
        m_port.ClearInput();
}

void CPrinterConnection::ClosePrinter()
{
    if (IsEthernet()) {
        m_socket.Close();
        return;
    }
    TransportError error;
    m_port.Close(&error);
    if (error.IsSet())
        m_lastError = error;
}

bool CPrinterConnection::SendBytes(QByteArrayView bytes)
{
    const TransferResult result = m_socket.Write(bytes.data(), static_cast<int>(bytes.size()));
    m_lastError = result.error;
    return !result.error.IsSet() && result.transferred == bytes.size();
}

bool CPrinterConnection::WriteToPort(QByteArrayView bytes)
{
    const int count = static_cast<int>(bytes.size());
    return m_port.Write(bytes.data(), count, &m_lastError) == count;
}
