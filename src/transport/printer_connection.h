#pragma once

#include "config/port_settings.h"
#include "transport/printer_port.h"
#include "transport/printer_socket.h"

#include <QByteArrayView>
#include <QString>

// Which words a failed port open is reported with: the address dialogs say
// "Error : Openport Failed!", the upload and print paths "Error : Openport
// failed!". The texts differ in one letter; each caller keeps its own.
enum class OpenFailureText { AddressDialogs, UploadAndPrint };

// What a connection over one interface kind can do. Operations ask this
// instead of comparing the interface kind.
struct ConnectionCapabilities {
    // The printer's replies (the key-code list, the free memory) can be read
    // back. A USB printer-class device is only written to here, so an
    // operation that needs an answer assumes it or is refused.
    bool readsReplies = true;
    // The receive buffer the port is set up with: USB keeps less.
    int receiveBufferSize = kReceiveBufferDefault;
    // Bytes written in one piece, each piece followed by more after a pause
    // (CPrinterConnection::kEthernetBlockPauseMs); 0: one write for all.
    int writePieceSize = 0;
    // The transport shows its own messages when it cannot be opened (the
    // network's connect sequence); otherwise the connection shows the
    // open-failure text.
    bool reportsOwnOpenFailure = false;
};

// The capabilities of a connection over this interface kind.
ConnectionCapabilities CapabilitiesOf(InterfaceKind kind);

// The connection operations every dialog and the command-line tool share:
// one printer, reached through the port facade (over TCP when the interface
// kind is Ethernet (3)). One object serves one
// operation: open, write/read, close. Failures to open are shown through
// ShowMessage; everything else is reported by the result and left to the
// caller's own messages.
//
// Threading: all calls from one thread (see CPrinterPort and CPrinterSocket).
class CPrinterConnection {
public:
    // Over Ethernet the data goes out in pieces of this size, with a pause
    // after each piece that is followed by more, so that the printer's small
    // network buffer is not overrun.
    static constexpr int kEthernetBlockSize = 1024;
    static constexpr int kEthernetBlockPauseMs = 500;
    // How long a port read waits for the reply byte.
    static constexpr int kPortReadTimeoutMs = 1000;

    // settings: the port settings for Setup (its own interface kind, address
    // and TCP port are not looked at); interfaceKind, ipAddress ("%d.%d.%d.%d"
    // text; other text leaves the settings' address) and tcpPort as the main
    // window hands them to the dialogs.
    CPrinterConnection(const PortSettings& settings, InterfaceKind interfaceKind, QString ipAddress, int tcpPort,
                       OpenFailureText openFailureText,
                       int connectTimeoutMs = CPrinterSocket::kConnectTimeoutMs);
    // Takes kind, address and port from the settings themselves.
    CPrinterConnection(const PortSettings& settings, OpenFailureText openFailureText);
    // Closes whatever is open.
    ~CPrinterConnection();
    CPrinterConnection(const CPrinterConnection&) = delete;
    CPrinterConnection& operator=(const CPrinterConnection&) = delete;

    // Ethernet: the connect sequence (its messages on failure). Other kinds:
    // Setup and Open of the port; on failure shows the open-failure text
    // (the device tried and the reason on its second line).
    // True when the printer can be written to.
    bool OpenPrinter();

    // Ports: one Write, true only when the full count went out. Ethernet:
    // pieces of 1,024 bytes with a 500 ms pause (on the clock seam) after
    // each piece that is followed by more, so up to 1,024 bytes are one send
    // without pause; stops at the first failed send (what went out stays
    // sent). True for an empty buffer.
    bool WritePrinter(QByteArrayView bytes);

    // The upload and print paths: the whole buffer in one send (Ethernet) or
    // one Write (ports). True when all of it went out.
    bool SendWhole(QByteArrayView bytes);

    // Ports: Read with a 1,000 ms time-out. Ethernet: Receive, bounded by
    // 1,000 ms. The bytes delivered; 0 when none came.
    int ReadPrinter(char* buffer, int count);

    // Drops received bytes that were not read yet (ports only; a network
    // connection keeps nothing aside).
    void ClearInput();

    void ClosePrinter();

    // Ethernet: whether the printer closed or reset the connection before
    // the host did; ports cannot tell and answer false.
    bool HasPeerClosed() const { return m_port.HasPeerClosed(); }

    bool IsEthernet() const { return m_interfaceKind == InterfaceKind::Ethernet; }

    // What this connection can do (see ConnectionCapabilities).
    ConnectionCapabilities Capabilities() const { return CapabilitiesOf(m_interfaceKind); }
    bool CanReadReplies() const { return Capabilities().readsReplies; }

    // Why the last failed operation failed, for callers that report more
    // than the fixed texts (the command-line tool).
    const TransportError& LastError() const { return m_lastError; }

private:
    // Clears the last error; false (with the reason kept) for a buffer
    // larger than one transfer can count.
    bool BeginWrite(QByteArrayView bytes);
    bool WriteToPort(QByteArrayView bytes);

    // The settings the port facade is set up with: the interface kind,
    // address and TCP port the connection was made for.
    PortSettings m_settings;
    InterfaceKind m_interfaceKind;
    OpenFailureText m_openFailureText;
    CPrinterPort m_port;
    TransportError m_lastError;
};
