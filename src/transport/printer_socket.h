#pragma once

#include "config/port_settings.h"
#include "transport/printer_transport.h"
#include "transport/transfer_result.h"

#include <QString>

#include <memory>

class CSocketStream;

// The blocking TCP connection to an Ethernet printer, with the connect
// sequence that every operation shares. Each operation (a download, a print,
// an address query) opens its own connection and closes it at its end.
//
// Blocking use of QTcpSocket: every call waits in place (no event loop is
// needed) and every wait is bounded:
// - connecting by the connect time-out (kConnectTimeoutMs, 5 s: a printer on
//   the local network answers in milliseconds; one that has not answered
//   after a few seconds is off or at another address);
// - sending by kSendStallTimeoutMs without progress (a printer busy writing
//   its NV memory stops reading for a while, but not for 20 s);
// - receiving by kReceiveTimeoutMs (1,000 ms, as a port read).
//
// Threading: use an object from the thread that created its connection
// (Qt sockets belong to a thread). Not shared between threads.
class CPrinterSocket {
public:
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kSendStallTimeoutMs = 20000;
    static constexpr int kReceiveTimeoutMs = 1000;

    // connectTimeoutMs: how long Connect waits for the printer to answer.
    explicit CPrinterSocket(int connectTimeoutMs = kConnectTimeoutMs);
    // Closes an open connection.
    ~CPrinterSocket();
    CPrinterSocket(const CPrinterSocket&) = delete;
    CPrinterSocket& operator=(const CPrinterSocket&) = delete;

    // The connect sequence: Create, then Connect. On failure it shows
    // "Error : Failed to Create socket!" (no socket could be made) or
    // "Error : Failed to connected \r\nPlease, check IP port configuration in
    // printer control pannel \"PORT\"" (the printer did not accept the
    // connection) through ShowMessage, leaves no socket behind and returns
    // false. A connection that was open before is closed first.
    bool OpenConnection(const QString& ipAddress, int tcpPort, TransportError* reason = nullptr);

    // Makes a new, unconnected socket (closing any previous one). False when
    // the system has no socket to give or the network module cannot be loaded
    // (socket_stream.h; the reason says which).
    bool Create(TransportError* reason = nullptr);

    // Connects to the address text (dotted IPv4, or a host name) and port,
    // within the connect time-out. A port outside 1..65535 is refused rather
    // than wrapped to another port. On failure the socket stays created but
    // unconnected; the reason's code is EMFILE or EAFNOSUPPORT when the system
    // could not make the socket itself.
    bool Connect(const QString& ipAddress, int tcpPort, TransportError* reason = nullptr);

    // Sends count bytes and waits until the system has taken all of them.
    // Returns count, or -1 when the connection failed or stalled before the
    // end (below 1 counts as failure; a partial send is never reported as
    // bytes sent). 0 for an empty buffer.
    int Send(const char* data, int count);
    // The same with the transport contract's result: the bytes that went out
    // and, when short of count, why.
    TransferResult Write(const char* data, int count);

    // Waits up to 1,000 ms for data and delivers what has come, at most count
    // bytes; 0 when nothing came, the peer closed, or there is no connection.
    int Receive(char* buffer, int count);
    // The same with a time-out of the caller's and the contract's result.
    TransferResult Read(char* buffer, int count, int timeoutMs);

    // Closes the connection and drops the socket. Safe to call at any time;
    // nothing is queued that could be lost, so it never has a reason to give.
    TransportError Close();

    // The port facade's side of it (PrinterTransport): Setup keeps the
    // printer's address (FormatIpAddress) and TCP port from the settings,
    // Open runs the connect sequence above with its messages, and there is
    // no received input kept aside to clear.
    bool Setup(const PortSettings& settings);
    TransportError Open();
    void ClearInput() {}

    // True when the printer has closed or reset its end of the connection.
    // A printer keeps the connection until the host closes it, so a closed
    // end means it stopped taking what was sent. Looks without taking
    // anything from the connection. A connection that was made and has
    // since closed itself counts too: whenever the event loop runs (between
    // the upload dialog's timer ticks), Qt reads the printer's hang-up on
    // its own, closes its descriptor and leaves the socket unconnected.
    bool HasPeerClosed() const;

    // True while a socket exists (created or connected).
    bool IsCreated() const { return m_socket != nullptr; }
    // True while connected.
    bool IsOpen() const;

private:
    TransportError SocketError(const QString& what) const;

    int m_connectTimeoutMs;
    QString m_ipAddress;
    int m_tcpPort = 0;
    std::unique_ptr<CSocketStream> m_socket;
    // Connect succeeded on this socket; only Close() or a new Create() clear it.
    bool m_connected = false;
};

static_assert(PrinterTransport<CPrinterSocket>);
