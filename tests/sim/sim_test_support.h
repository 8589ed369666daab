#pragma once

#include "framework/file_descriptor.h"
#include "sim/printer_core.h"
#include "sim/stream_session.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// Bytes from hex text such as "1D 28 4C 02 00"; spaces are ignored.
QByteArray Hex(const char* text);
QString HexText(const QByteArray& bytes);

// A printer core with one stream session, driven directly by a test: no
// thread, no sockets. Replies collect in replies.
struct CoreHarness {
    explicit CoreHarness(PrinterKind kind, SimOptions options = {});
    void Feed(const QByteArray& bytes) { session->Feed(bytes); }

    std::unique_ptr<CPrinterCore> core;
    std::unique_ptr<CStreamSession> session;
    QByteArray replies;
};

// How a stream is cut into reads: all at once, one byte at a time, or in
// random pieces of 1 to 97 bytes (seeded, so a failure repeats).
enum class Split { Whole, ByteByByte, Random };
void FeedSplit(CStreamSession& session, const QByteArray& stream, Split split, unsigned seed = 1);

// Streams as the host builds them.
QByteArray MonoRecordOf(int width, int height, const std::vector<std::pair<int, int>>& blackDots);
QByteArray TwoColorDefine(char kc1, char kc2, int width, int height,
                          const std::vector<std::pair<int, int>>& black = {},
                          const std::vector<std::pair<int, int>>& red = {});
QByteArray DotDefine(const std::vector<QByteArray>& streams);  // ESC g 0 n, length table, streams
QByteArray ListKeysCommand();
QByteArray CapacityCommand();

// A TCP client on 127.0.0.1 whose every wait is bounded.
class CSimClient {
public:
    bool Connect(quint16 port);
    bool Send(const QByteArray& bytes);
    // Reads until count bytes have arrived or timeoutMs pass.
    QByteArray Read(qsizetype count, int timeoutMs);
    // Reads what arrives until the line has been silent for silenceMs.
    QByteArray ReadUntilSilent(int silenceMs, int timeoutMs);
    // True when the printer closed the connection within timeoutMs.
    bool WaitClosed(int timeoutMs);
    int Fd() const { return m_fd.Get(); }
    void Close() { m_fd.Reset(); }

private:
    CFileDescriptor m_fd;
};

// The slave side of the printer's pseudo-terminal, opened raw as the serial
// transport opens it.
class CPtyClient {
public:
    bool Open(const QString& path);
    bool Send(const QByteArray& bytes);
    QByteArray Read(qsizetype count, int timeoutMs);
    QByteArray ReadUntilSilent(int silenceMs, int timeoutMs);

private:
    CFileDescriptor m_fd;
};
