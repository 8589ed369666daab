#include "transport/printer_connection.h"

#include "framework/clock.h"
#include "framework/outcome.h"
#include "transport/device_io.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
#include <cerrno>
#include <climits>

namespace {

QString OpenFailureMessage(OpenFailureText text)
{
    return text == OpenFailureText::AddressDialogs ? QStringLiteral("Error : Openport Failed!")
                                                   : QStringLiteral("Error : Openport failed!");
}

// "a.b.c.d" with four numbers of 0 to 255; nothing for any other text.
std::optional<std::array<quint8, 4>> DottedOctets(const QString& text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<quint8, 4> octets{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok);
        if (!ok || value > 255)
            return std::nullopt;
        octets[static_cast<size_t>(i)] = static_cast<quint8>(value);
    }
    return octets;
}

TransportError TooLarge()
{
    return TransportError::FromErrno(EFBIG, QStringLiteral("write of more than 2 GByte"));
}

}  // namespace

ConnectionCapabilities CapabilitiesOf(InterfaceKind kind)
{
    switch (kind) {
    case InterfaceKind::Usb: return {false, kReceiveBufferUsb, 0, false};
    case InterfaceKind::Ethernet:
        return {true, kReceiveBufferDefault, CPrinterConnection::kEthernetBlockSize, true};
    default: return {true, kReceiveBufferDefault, 0, false};
    }
}

CPrinterConnection::CPrinterConnection(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress,
                                       int tcpPort, OpenFailureText openFailureText, int connectTimeoutMs)
    : m_settings(settings),
      m_interfaceKind(interfaceKind),
      m_openFailureText(openFailureText),
      m_port(connectTimeoutMs)
{
    m_settings.interfaceKind = interfaceKind;
    m_settings.tcpPort = tcpPort;
    if (const std::optional<std::array<quint8, 4>> octets = DottedOctets(ipAddress))
        m_settings.ipAddress = *octets;
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
    m_port.Setup(m_settings);
    if (m_port.Open(&m_lastError) != 0)
        return true;
    if (!Capabilities().reportsOwnOpenFailure) {
        // The second line names the device tried and why it did not open.
        const QString tried = m_lastError.IsSet() ? m_lastError.Text()
                                                  : QStringLiteral("Port %1").arg(m_settings.portName);
        ShowOutcome(Outcome::Failure(OpenFailureMessage(m_openFailureText), tried));
        return false;
    }
    return false;
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
    const int pieceSize = Capabilities().writePieceSize;
    if (pieceSize <= 0)
        return WriteToPort(bytes);
    for (qsizetype offset = 0; offset < bytes.size();) {
        const qsizetype piece = std::min<qsizetype>(pieceSize, bytes.size() - offset);
        if (!WriteToPort(bytes.sliced(offset, piece)))
            return false;
        offset += piece;
        if (offset < bytes.size())
            Clock().Sleep(kEthernetBlockPauseMs);
    }
    return true;
}

bool CPrinterConnection::SendWhole(QByteArrayView bytes)
{
    return BeginWrite(bytes) && WriteToPort(bytes);
}

int CPrinterConnection::ReadPrinter(char* buffer, int count)
{
    m_lastError = {};
    return m_port.Read(buffer, count, kPortReadTimeoutMs, &m_lastError);
}

void CPrinterConnection::ClearInput()
{
    m_port.ClearInput();
}

void CPrinterConnection::ClosePrinter()
{
    TransportError error;
    m_port.Close(&error);
    if (error.IsSet())
        m_lastError = error;
}

bool CPrinterConnection::WriteToPort(QByteArrayView bytes)
{
    const int count = static_cast<int>(bytes.size());
    return m_port.Write(bytes.data(), count, &m_lastError) == count;
}
