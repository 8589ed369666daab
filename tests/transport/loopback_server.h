#pragma once

#include "framework/file_descriptor.h"

#include <QByteArray>

#include <vector>

// A listening TCP socket on 127.0.0.1 (port chosen by the system) standing in
// for an Ethernet printer. The kernel completes connections into the backlog,
// so a client in the same thread can connect and send before Accept().
class CLoopbackServer {
public:
    explicit CLoopbackServer(int backlog = 4);

    bool IsValid() const { return m_listener.IsValid(); }
    int Port() const { return m_port; }

    // Takes the next connection, waiting up to timeoutMs. False when none came.
    bool Accept(int timeoutMs = 2000);
    // Reads what the client sent until at least count bytes are there in all
    // (since Accept) or timeoutMs has passed without a new byte; returns
    // everything received so far.
    QByteArray ReceiveUntil(int count, int timeoutMs = 2000);
    const QByteArray& Received() const { return m_received; }
    bool SendToClient(const QByteArray& bytes);
    // Connects a client of its own, filling the backlog (blocking connect).
    bool ConnectOwnClient();

private:
    CFileDescriptor m_listener;
    CFileDescriptor m_connection;
    std::vector<CFileDescriptor> m_ownClients;
    QByteArray m_received;
    int m_port = 0;
};

// A port on 127.0.0.1 where nothing listens (bound for a moment, then freed).
int UnusedLoopbackPort();
