#pragma once

#include "config/port_settings.h"
#include "framework/file_descriptor.h"
#include "transport/printer_transport.h"
#include "transport/transfer_result.h"

#include <QString>

#include <array>

// The transport for printers on a parallel port ("LPT1" ... "LPT5"). Every
// write and read happens on the caller's thread, bounded by the port
// time-outs; there is no reader thread and nothing is buffered, so clearing
// received bytes has nothing to do.
//
// Threading: belongs to one thread at a time.
class CParallelPort {
public:
    // deviceRoot: where LPTn names are looked for (see ParallelDevicePath).
    explicit CParallelPort(QString deviceRoot = QStringLiteral("/dev"));
    ~CParallelPort();
    CParallelPort(const CParallelPort&) = delete;
    CParallelPort& operator=(const CParallelPort&) = delete;

    // Copies the time-outs; stores the port name when it begins with "LPT"
    // (case-sensitive). False, without storing it, for any other name.
    bool Setup(const PortSettings& settings);

    // Longest time Close waits for unsent bytes before it discards them.
    static constexpr int kCloseDrainMs = 3000;

    // Opens the device (a character device only: anything else is "not a
    // printer device") and drops received bytes where the device keeps any.
    // An open port stays as it is (success).
    TransportError Open();

    // Writes count bytes within the write time-out: multiplier x count +
    // constant (5 ms per byte + 3,000 ms as the settings give them; those
    // values also stand in when both are 0, since a write without any limit
    // could wait for ever on a printer that is out of paper). A device that
    // queues output is waited for until it has sent it, within the same
    // bound; what is still queued then is discarded and the write fails.
    TransferResult Write(const char* bytes, int count);

    // Reads up to count bytes within the read time-outs. timeoutMs plays no
    // part while the port has a total read time-out of its own; when it has
    // none (multiplier and constant 0, as the settings give them) the read is
    // bounded by timeoutMs (1,000 ms when that is 0) instead of waiting for
    // count bytes for ever.
    TransferResult Read(char* buffer, int count, int timeoutMs);

    // Waits at most kCloseDrainMs for unsent bytes (ETIMEDOUT when some had
    // to be discarded), then closes.
    TransportError Close();
    void ClearInput() {}

    bool IsOpen() const { return m_device.IsValid(); }

private:
    QString m_deviceRoot;
    QString m_portName;
    QString m_devicePath;
    PortTimeouts m_timeouts;
    CFileDescriptor m_device;
};

static_assert(PrinterTransport<CParallelPort>);
