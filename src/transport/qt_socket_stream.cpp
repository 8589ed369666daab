// The network module: CSocketStream over QtNetwork's TCP socket. Built as a
// library of its own (see src/transport/CMakeLists.txt) and opened by
// MakeSocketStream the first time a printer connection is made.
#include "transport/socket_stream.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <cerrno>

namespace {

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

class CQtSocketStream final : public CSocketStream {
public:
    bool ConnectToHost(const QString& host, quint16 port, int timeoutMs) override
    {
        m_socket.connectToHost(host, port);
        return m_socket.waitForConnected(timeoutMs);
    }
    void Abort() override { m_socket.abort(); }
    bool IsConnected() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    qint64 Write(const char* data, qint64 count) override { return m_socket.write(data, count); }
    qint64 BytesToWrite() const override { return m_socket.bytesToWrite(); }
    bool WaitForBytesWritten(int timeoutMs) override { return m_socket.waitForBytesWritten(timeoutMs); }
    qint64 BytesAvailable() const override { return m_socket.bytesAvailable(); }
    bool WaitForReadyRead(int timeoutMs) override { return m_socket.waitForReadyRead(timeoutMs); }
    qint64 Read(char* buffer, qint64 count) override { return m_socket.read(buffer, count); }
    qintptr Descriptor() const override { return m_socket.socketDescriptor(); }
    int ErrorCode() const override { return ErrnoFor(m_socket.error()); }

private:
    QTcpSocket m_socket;
};

}  // namespace

extern "C" Q_DECL_EXPORT CSocketStream* markograph_make_socket_stream()
{
    return new CQtSocketStream;
}

extern "C" Q_DECL_EXPORT bool markograph_parse_ipv4(const QString& text, quint32* value)
{
    QHostAddress address;
    if (!address.setAddress(text) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    *value = address.toIPv4Address();
    return true;
}
