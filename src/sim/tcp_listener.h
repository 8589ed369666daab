#pragma once

#include "framework/file_descriptor.h"

#include <QString>

// A listening TCP socket (IPv4) that hands out connections without blocking.
// Used by one thread at a time; HasWaiting() may also be asked from another.
class CTcpListener {
public:
    // Binds address:port (port 0: the system picks one) and listens.
    // receiveBuffer > 0 asks for small socket buffers on the connections, so
    // that a printer that stops reading makes the host's writes block soon.
    bool Listen(const QString& address, quint16 port, int receiveBuffer, QString* error);

    int Fd() const { return m_fd.Get(); }
    quint16 Port() const { return m_port; }
    const QString& Address() const { return m_address; }

    // The next waiting connection, non-blocking, with Nagle's delay off so
    // that replies leave at once; an invalid descriptor when none waits.
    // *peer receives "address:port" of the other end.
    CFileDescriptor Accept(int receiveBuffer, QString* peer) const;
    // Whether a connection waits in the backlog, not yet accepted.
    bool HasWaiting() const;

private:
    CFileDescriptor m_fd;
    QString m_address;
    quint16 m_port = 0;
};
