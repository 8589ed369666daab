#include "transport/printer_socket.h"

#include "framework/outcome.h"
#include "transport/socket_peer.h"
#include "transport/socket_stream.h"

#include <cerrno>
#include <cstring>

namespace {

const char kCreateFailedText[] = "Error : Failed to Create socket!";
const char kConnectFailedText[] =
    "Error : Failed to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"";

void StoreReason(TransportError* reason, const TransportError& error)
{
    if (reason)
        *reason = error;
}

}  // namespace

CPrinterSocket::CPrinterSocket(int connectTimeoutMs) : m_connectTimeoutMs(connectTimeoutMs) {}

CPrinterSocket::~CPrinterSocket()
{
    Close();
}

TransportError CPrinterSocket::SocketError(const QString& what) const
{
    return TransportError::FromErrno(m_socket ? m_socket->ErrorCode() : EIO, what);
}

bool CPrinterSocket::OpenConnection(const QString& ipAddress, int tcpPort, TransportError* reason)
{
    TransportError error;
    if (!Create(&error)) {
        StoreReason(reason, error);
        ShowOutcome(Outcome::Failure(QString::fromLatin1(kCreateFailedText)));
        return false;
    }
    if (!Connect(ipAddress, tcpPort, &error)) {
        Close();
        StoreReason(reason, error);
        // Qt makes the system socket while connecting: running out of
        // sockets there is the create failure, not a printer problem.
        const bool noSocket = error.code == EMFILE || error.code == EAFNOSUPPORT;
        // The second line names the printer tried and what the system said.
        QString tried = QStringLiteral("Printer %1, port %2").arg(ipAddress).arg(tcpPort);
        if (error.IsSet())
            tried += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error.code));
        ShowOutcome(Outcome::Failure(QString::fromLatin1(noSocket ? kCreateFailedText : kConnectFailedText), tried));
        return false;
    }
    StoreReason(reason, {});
    return true;
}

bool CPrinterSocket::Create(TransportError* reason)
{
    Close();
    QString why;
    m_socket = MakeSocketStream(&why);
    m_connected = false;
    if (!m_socket) {
        StoreReason(reason, TransportError::FromErrno(EAFNOSUPPORT, why));
        return false;
    }
    StoreReason(reason, {});
    return true;
}

bool CPrinterSocket::Connect(const QString& ipAddress, int tcpPort, TransportError* reason)
{
    const QString target = ipAddress + u':' + QString::number(tcpPort);
    if (!m_socket) {
        StoreReason(reason, TransportError::FromErrno(EBADF, QStringLiteral("connect to ") + target));
        return false;
    }
    if (tcpPort < 1 || tcpPort > 65535) {
        StoreReason(reason, TransportError::FromErrno(EINVAL, QStringLiteral("connect to ") + target));
        return false;
    }
    if (!m_socket->ConnectToHost(ipAddress, static_cast<quint16>(tcpPort), m_connectTimeoutMs)) {
        StoreReason(reason, SocketError(QStringLiteral("connect to ") + target));
        m_socket->Abort();
        return false;
    }
    m_connected = true;
    StoreReason(reason, {});
    return true;
}

int CPrinterSocket::Send(const char* data, int count)
{
    if (count <= 0)
        return 0;
    const TransferResult result = Write(data, count);
    return result.error.IsSet() ? -1 : result.transferred;
}

TransferResult CPrinterSocket::Write(const char* data, int count)
{
    if (!IsOpen())
        return {0, TransportError::FromErrno(ENOTCONN, QStringLiteral("send"))};
    if (!data || count <= 0)
        return {};
    if (m_socket->Write(data, count) != count)
        return {0, SocketError(QStringLiteral("send"))};
    // Each wait returns as soon as some of the data has gone to the system;
    // only a connection that takes nothing for the whole stall time fails.
    while (m_socket->BytesToWrite() > 0) {
        if (!m_socket->WaitForBytesWritten(kSendStallTimeoutMs)) {
            const int sent = count - static_cast<int>(m_socket->BytesToWrite());
            return {sent, SocketError(QStringLiteral("send"))};
        }
    }
    return {count, {}};
}

int CPrinterSocket::Receive(char* buffer, int count)
{
    return Read(buffer, count, kReceiveTimeoutMs).transferred;
}

TransferResult CPrinterSocket::Read(char* buffer, int count, int timeoutMs)
{
    if (!m_socket)
        return {0, TransportError::FromErrno(ENOTCONN, QStringLiteral("receive"))};
    if (!buffer || count <= 0)
        return {};
    // Bytes that came before the peer closed are still delivered.
    if (m_socket->BytesAvailable() == 0 && !m_socket->WaitForReadyRead(timeoutMs))
        return {0, SocketError(QStringLiteral("receive"))};
    const qint64 got = m_socket->Read(buffer, count);
    if (got < 0)
        return {0, SocketError(QStringLiteral("receive"))};
    return {static_cast<int>(got), {}};
}

TransportError CPrinterSocket::Close()
{
    if (!m_socket)
        return {};
    m_socket->Abort();
    m_socket.reset();
    m_connected = false;
    return {};
}

bool CPrinterSocket::Setup(const PortSettings& settings)
{
    m_ipAddress = FormatIpAddress(settings.ipAddress);
    m_tcpPort = settings.tcpPort;
    return true;
}

TransportError CPrinterSocket::Open()
{
    TransportError error;
    if (!OpenConnection(m_ipAddress, m_tcpPort, &error) && !error.IsSet())
        error = TransportError::FromErrno(ENOTCONN, QStringLiteral("connect to %1:%2").arg(m_ipAddress).arg(m_tcpPort));
    return error;
}

bool CPrinterSocket::IsOpen() const
{
    return m_socket && m_socket->IsConnected();
}

bool CPrinterSocket::HasPeerClosed() const
{
    if (!m_socket)
        return false;
    // Only the printer can have ended a connection we made and still hold:
    // our own Close() drops the socket. Qt gives up the descriptor (-1) when
    // it closes, so the peek alone would read that as "still open".
    if (m_connected && !m_socket->IsConnected())
        return true;
    return HasSocketPeerClosed(m_socket->Descriptor());
}
