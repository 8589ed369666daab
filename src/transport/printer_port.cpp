#include "transport/printer_port.h"

#include "transport/parallel_port.h"
#include "transport/port_names.h"
#include "transport/serial_port.h"
#include "transport/usb_port.h"

#include <cerrno>
#include <type_traits>

namespace {

void StoreReason(TransportError* reason, const TransportError& error)
{
    if (reason)
        *reason = error;
}

struct Nothing {};

// Calls operation on the transport that the variant holds, or gives none
// before the first Setup. The transports share no base class; each keeps the
// PrinterTransport contract, which is all that operation may use.
template <typename Transport, typename Result, typename Operation>
Result Forward(Transport& transport, Result none, Operation operation)
{
    return std::visit(
        [&](auto& held) -> Result {
            if constexpr (std::is_same_v<std::decay_t<decltype(held)>, std::monostate>)
                return none;
            else
                return operation(*held);
        },
        transport);
}

TransportError NoTransport()
{
    return TransportError::FromErrno(ENODEV, QStringLiteral("port not set up"));
}

}  // namespace

CPrinterPort::CPrinterPort(int connectTimeoutMs) : m_connectTimeoutMs(connectTimeoutMs) {}

CPrinterPort::~CPrinterPort()
{
    Close();
}

int CPrinterPort::Setup(PortSettings settings)
{
    Close();
    m_transport = std::monostate{};  // the old transport is gone before the new one exists
    const InterfaceKind kind = settings.interfaceKind == InterfaceKind::Ethernet
                                   ? InterfaceKind::Ethernet
                                   : KindForPortName(settings.portName);
    switch (kind) {
    case InterfaceKind::Serial: m_transport = std::make_unique<CSerialPort>(); break;
    case InterfaceKind::Parallel: m_transport = std::make_unique<CParallelPort>(); break;
    case InterfaceKind::Ethernet: m_transport = std::make_unique<CPrinterSocket>(m_connectTimeoutMs); break;
    default: m_transport = std::make_unique<CUsbPort>(); break;
    }
    return Forward(m_transport, 0,
                   [&settings](PrinterTransport auto& port) { return port.Setup(settings) ? 1 : 0; });
}

int CPrinterPort::Open(TransportError* reason)
{
    const TransportError error =
        Forward(m_transport, NoTransport(), [](PrinterTransport auto& port) { return port.Open(); });
    StoreReason(reason, error);
    return error.IsSet() ? 0 : 1;
}

int CPrinterPort::Write(const char* bytes, int count, TransportError* reason)
{
    const TransferResult result =
        Forward(m_transport, TransferResult{0, NoTransport()},
                [bytes, count](PrinterTransport auto& port) { return port.Write(bytes, count); });
    StoreReason(reason, result.error);
    if (Kind() == InterfaceKind::Usb && result.error.IsSet())
        return 0;
    return result.transferred;
}

int CPrinterPort::Read(char* buffer, int count, int timeoutMs, TransportError* reason)
{
    const TransferResult result =
        Forward(m_transport, TransferResult{0, NoTransport()},
                [=](PrinterTransport auto& port) { return port.Read(buffer, count, timeoutMs); });
    StoreReason(reason, result.error);
    return result.transferred;
}

void CPrinterPort::Close(TransportError* reason)
{
    const TransportError error =
        Forward(m_transport, TransportError(), [](PrinterTransport auto& port) { return port.Close(); });
    StoreReason(reason, error);
}

void CPrinterPort::ClearInput()
{
    Forward(m_transport, Nothing{}, [](PrinterTransport auto& port) {
        port.ClearInput();
        return Nothing{};
    });
}

bool CPrinterPort::HasPeerClosed() const
{
    const auto* socket = std::get_if<std::unique_ptr<CPrinterSocket>>(&m_transport);
    return socket && (*socket)->HasPeerClosed();
}

InterfaceKind CPrinterPort::KindForPortName(const QString& portName)
{
    if (portName.startsWith(QStringLiteral("COM")) || IsSerialDevicePath(portName))
        return InterfaceKind::Serial;
    if (portName.startsWith(QStringLiteral("LPT")))
        return InterfaceKind::Parallel;
    return InterfaceKind::Usb;
}

std::optional<InterfaceKind> CPrinterPort::Kind() const
{
    switch (m_transport.index()) {
    case 1: return InterfaceKind::Serial;
    case 2: return InterfaceKind::Parallel;
    case 3: return InterfaceKind::Usb;
    case 4: return InterfaceKind::Ethernet;
    default: return std::nullopt;
    }
}
