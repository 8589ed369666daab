#include "transport/printer_socket.h"

#include "framework/outcome.h"
#include "transport/socket_peer.h"

#include <QTcpSocket>

#include <cerrno>
#include <cstring>

namespace {

const char kCreateFailedText[] = "Error : Failed to Create socket!";
const char kConnectFailedText[] =
    "Error : Failed to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"";

int ErrnoFor(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return ECONNREFUSED;
    case QAbstractSocket::RemoteHostClosedError: return ECONNRESET;
    case QAbstractSocket::HostNotFoundError: return EHOSTUNREACH;
    case QAbstractSocket::SocketTimeoutError: return ETIMEDOUT;
    case QAbstractSocket::SocketResourceError: return EMFILE;
    case QAbstractSocket::UnsupportedSocketOperationError: return EAFNOSUPPORT;
    case QAbstractSocket::NetworkError: return ENETUNREACH;
    case QAbstractSocket::SocketAccessError: return EACCES;
    default: return EIO;
    }
}

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
    const QAbstractSocket::SocketError error = m_socket ? m_socket->error() : QAbstractSocket::UnknownSocketError;
    return TransportError::FromErrno(ErrnoFor(error), what);
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
    m_socket = std::make_unique<QTcpSocket>();
    m_connected = false;
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
    m_socket->connectToHost(ipAddress, static_cast<quint16>(tcpPort));
    if (!m_socket->waitForConnected(m_connectTimeoutMs)) {
        StoreReason(reason, SocketError(QStringLiteral("connect to ") + target));
        m_socket->abort();
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
    if (m_socket->write(data, count) != count)
        return {0, SocketError(QStringLiteral("send"))};
    // Each wait returns as soon as some of the data has gone to the system;
    // only a connection that takes nothing for the whole stall time fails.
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(kSendStallTimeoutMs)) {
            const int sent = count - static_cast<int>(m_socket->bytesToWrite());
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
    if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(timeoutMs))
        return {0, SocketError(QStringLiteral("receive"))};
    const qint64 got = m_socket->read(buffer, count);
    if (got < 0)
        return {0, SocketError(QStringLiteral("receive"))};
    return {static_cast<int>(got), {}};
}

TransportError CPrinterSocket::Close()
{
    if (!m_socket)
        return {};
    m_socket->abort();
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
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool CPrinterSocket::HasPeerClosed() const
{
    if (!m_socket)
        return false;
    // Only the printer can have ended a connection we made and still hold:
    // our own Close() drops the socket. Qt gives up the descriptor (-1) when
    // it closes, so the peek alone would read that as "still open".
    if (m_connected && m_socket->state() != QAbstractSocket::ConnectedState)
        return true;
    return HasSocketPeerClosed(m_socket->socketDescriptor());
}
