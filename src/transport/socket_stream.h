#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <optional>

// One TCP connection in blocking use, as CPrinterSocket drives it. The
// implementation (QtNetwork's socket) lives in the network module
// (qt_socket_stream.cpp, built as a library of its own and opened the first
// time a connection is made), so that a run that never opens a socket never
// loads the network library and the many libraries behind it.
//
// The interface is header-only and passes only QtCore types, so the module
// needs nothing else of this program. Every wait is bounded by its argument.
class CSocketStream {
public:
    virtual ~CSocketStream() = default;

    // Starts connecting and waits up to timeoutMs; false when not connected.
    virtual bool ConnectToHost(const QString& host, quint16 port, int timeoutMs) = 0;
    // Drops the connection at once, discarding what was not yet sent.
    virtual void Abort() = 0;
    virtual bool IsConnected() const = 0;
    // Queues the bytes; the count taken, or -1.
    virtual qint64 Write(const char* data, qint64 count) = 0;
    virtual qint64 BytesToWrite() const = 0;
    virtual bool WaitForBytesWritten(int timeoutMs) = 0;
    virtual qint64 BytesAvailable() const = 0;
    virtual bool WaitForReadyRead(int timeoutMs) = 0;
    virtual qint64 Read(char* buffer, qint64 count) = 0;
    // The system descriptor while there is one, else -1.
    virtual qintptr Descriptor() const = 0;
    // The last failure as an errno value (ECONNREFUSED, ETIMEDOUT ...).
    virtual int ErrorCode() const = 0;
};

// A new, unconnected stream from the network module; nothing and the reason
// when the module cannot be loaded.
std::unique_ptr<CSocketStream> MakeSocketStream(QString* reason);

// The IPv4 address text as the socket reads it (what QtNetwork accepts as
// IPv4), from the network module; nothing when it is not one, or when the
// module cannot be loaded (*reason then says so).
std::optional<quint32> ParseIpv4Address(const QString& text, QString* reason = nullptr);

// The module's entry points, resolved by name.
extern "C" using MakeSocketStreamFunction = CSocketStream* ();
inline constexpr char kMakeSocketStreamSymbol[] = "markograph_make_socket_stream";
extern "C" using ParseIpv4Function = bool(const QString& text, quint32* value);
inline constexpr char kParseIpv4Symbol[] = "markograph_parse_ipv4";
