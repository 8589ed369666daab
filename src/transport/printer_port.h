#pragma once

#include "config/port_settings.h"
#include "transport/printer_socket.h"
#include "transport/transfer_result.h"

#include <QString>

#include <memory>
#include <variant>

class CSerialPort;
class CParallelPort;
class CUsbPort;

// The one object through which a dialog opens, writes, reads and closes a
// printer. An Ethernet printer (interface kind 3) is reached over TCP
// (CPrinterSocket, its address and TCP port from the settings); for every
// other kind the transport is picked from the port name alone:
// - "COM..." (case-sensitive) or a terminal device path (/dev/tty...,
//   /dev/pts/...): serial (CSerialPort);
// - "LPT...": parallel (CParallelPort);
// - anything else, "com1" and "USB001:" included: a USB device path
//   (CUsbPort).
//
// Results are integers as the dialogs use them: 1/0, byte counts; a failed
// operation gives 0. Where the reason matters (the command-line tool), the
// optional reason argument receives it.
//
// Threading: all calls from one thread (the user-interface thread). A serial
// transport runs its own reader thread while open; nothing else does.
class CPrinterPort {
public:
    // connectTimeoutMs: how long a network printer is given to accept the
    // connection.
    explicit CPrinterPort(int connectTimeoutMs = CPrinterSocket::kConnectTimeoutMs);
    // Closes and destroys the transport, if any.
    ~CPrinterPort();
    CPrinterPort(const CPrinterPort&) = delete;
    CPrinterPort& operator=(const CPrinterPort&) = delete;

    // Closes and destroys the previous transport (the same port can then be
    // opened again), creates the one the port name calls for and passes the
    // settings to it. 1 when it accepted them; the transport stays in place
    // either way, and a refused one fails Open.
    int Setup(PortSettings settings);

    // 1 open, 0 failed (also before the first Setup).
    int Open(TransportError* reason = nullptr);

    // Bytes written; callers treat anything but count as a failed write. A
    // USB write whose block fails gives 0, as that transport never reports
    // part of a write.
    int Write(const char* bytes, int count, TransportError* reason = nullptr);

    // Bytes delivered, 0 if none. Only the serial transport waits timeoutMs
    // (callers give 1,000 ms); the others wait as their port allows.
    int Read(char* buffer, int count, int timeoutMs, TransportError* reason = nullptr);

    // Closes the port within the transport's bound (3,000 ms at most for
    // bytes still queued); when unsent bytes had to be discarded, reason says
    // so. Nothing to do before Setup or when closed.
    void Close(TransportError* reason = nullptr);

    // Drops received bytes that were not read yet (serial only; the other
    // transports keep none).
    void ClearInput();

    // Whether the far end closed the connection before the host did; only a
    // network printer can tell, local ports answer false.
    bool HasPeerClosed() const;

    // InterfaceKind::Serial, Parallel, Usb or Ethernet after Setup; nullopt
    // before.
    std::optional<InterfaceKind> Kind() const;

    // The kind Setup picks for a port name, by the rule above.
    static InterfaceKind KindForPortName(const QString& portName);

private:
    using Transport = std::variant<std::monostate, std::unique_ptr<CSerialPort>, std::unique_ptr<CParallelPort>,
                                   std::unique_ptr<CUsbPort>, std::unique_ptr<CPrinterSocket>>;
    int m_connectTimeoutMs;
    Transport m_transport;
};
