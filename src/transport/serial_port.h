#pragma once

#include "config/port_settings.h"
#include "framework/file_descriptor.h"
#include "transport/printer_transport.h"
#include "transport/transfer_result.h"

#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// The transport for printers on a serial port ("COM1" ... "COM11", or a
// terminal device path). It opens the port with the stored line settings and
// hardware flow control, refuses a printer that does not assert CTS, writes
// with retries for up to 20 seconds, and runs a reader thread that collects
// every received byte in a receive buffer from which Read takes them.
//
// Threading: the public operations belong to one thread (the caller's; the
// user-interface thread in the desktop program). The only other thread is
// the object's own reader, which runs from a successful Open to Close; the
// receive buffer it fills is guarded by a mutex, so BufferedCount and
// ClearInput may also be called from elsewhere.
class CSerialPort {
public:
    // Pause between two write attempts, and the time after which no further
    // attempt is started.
    static constexpr int kWriteRetryPauseMs = 1500;
    static constexpr int kWriteBudgetMs = 20000;
    // The reader asks the port for received bytes this often, and takes at
    // most this many per poll.
    static constexpr int kReaderPollMs = 10;
    static constexpr int kReaderChunk = 100;
    // The reader asks for this nice value (higher priority than the
    // caller's); where the system refuses, it keeps the normal one.
    static constexpr int kReaderNice = -10;
    // Longest time Close waits for unsent bytes before it discards them.
    static constexpr int kCloseDrainMs = 3000;

    // deviceRoot: where COMn names are looked for (see SerialDevicePath).
    explicit CSerialPort(QString deviceRoot = QStringLiteral("/dev"));
    // Closes the port if it is still open.
    ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Copies baud rate, data bits, stop bits, parity, time-outs and
    // receive buffer size; then stores the port name unless it is empty.
    // False for an empty name (which is then not stored).
    bool Setup(const PortSettings& settings);

    // Opens the port (closing it first if open), applies the line settings
    // (raw bytes, parity checking exactly when there is a parity bit, CTS
    // output flow control, RTS held low), checks CTS, sets the write time-out
    // to 5 ms per byte + 3,000 ms, discards what was received before, and
    // starts the reader thread at a raised priority where allowed. A device
    // without modem lines (a pseudo-terminal) is not gated on CTS. Every
    // failure leaves the port closed and says why; a printer that is
    // switched off (CTS low) is EIO.
    TransportError Open();

    // Writes count bytes. An attempt that the device does not finish within
    // the write time-out is retried with what is left after a 1,500 ms pause
    // (on the clock seam), until 20,000 ms have passed since the start. Then
    // waits until the bytes have left the host's queue (the port's
    // transmitter is empty), at most the write time-out for count bytes;
    // what is still queued after that is discarded and the write fails with
    // ETIMEDOUT. The result holds the bytes that went out and, when that is
    // short of count, why. Nothing when closed or empty.
    TransferResult Write(const char* bytes, int count);

    // Takes up to count bytes from the receive buffer. When fewer than count
    // are buffered it first sleeps timeoutMs once (on the clock seam) so that
    // the reader can collect them. Nothing when closed.
    TransferResult Read(char* buffer, int count, int timeoutMs);

    // Stops and joins the reader thread, waits at most kCloseDrainMs for
    // bytes still queued for sending (discarding them after that, which the
    // result reports as ETIMEDOUT), closes the device and drops the receive
    // buffer. Does nothing when closed.
    TransportError Close();

    // Drops every received byte that has not been read.
    void ClearInput();

    bool IsOpen() const { return m_open.load(); }
    int BufferedCount() const;
    const QString& PortName() const { return m_portName; }

private:
    TransportError ConfigureLine(int fd) const;
    TransferResult AwaitDelivery(TransferResult written);
    void StartReader();
    void ReaderLoop();
    void CollectReceivedBytes();

    QString m_deviceRoot;

    // Settings, as Setup copied them.
    QString m_portName;
    PortSettings m_line;  // line settings, time-outs, receive buffer size; its portName is not used

    // The reader reads m_device only while it runs; Close joins it before the
    // descriptor is closed.
    CFileDescriptor m_device;
    QString m_devicePath;
    std::atomic<bool> m_open{false};
    std::mutex m_writeMutex;  // one write attempt at a time

    std::thread m_reader;
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
    bool m_stopRequested = false;  // under m_stopMutex

    mutable std::mutex m_rxMutex;
    std::vector<char> m_received;   // under m_rxMutex; oldest byte first
    int m_receivedCapacity = 0;     // under m_rxMutex
    TransportError m_readerError;   // under m_rxMutex; the reader's last failure
};

static_assert(PrinterTransport<CSerialPort>);
