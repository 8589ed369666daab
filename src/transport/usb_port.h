#pragma once

#include "config/port_settings.h"
#include "transport/device_file.h"
#include "transport/printer_transport.h"
#include "transport/transfer_result.h"

#include <QString>

#include <memory>

// The transport for USB printers. Its port name is the printer's device path
// (/dev/usb/lpN as USB discovery finds it). Data goes out in blocks of 4,096
// bytes, each sent completely before the next is handed over, since the
// driver cancels what is still in flight when the device is closed; reads
// happen on the caller's thread. Nothing is buffered, so clearing received
// bytes has nothing to do. The device is reached through UsbDeviceOpener().
//
// Threading: belongs to one thread at a time.
class CUsbPort {
public:
    // The printer class driver takes data in pieces of this size.
    static constexpr int kBlockSize = 4096;
    // A block that the printer has not taken after 5 ms per byte + 3,000 ms
    // (23.5 s for a full block) fails the write: the printer is stalled (out
    // of paper, cover open) or gone.
    static constexpr quint32 kBlockPerByteMs = 5;
    static constexpr quint32 kBlockConstantMs = 3000;
    // Bound of a read when the caller gives none.
    static constexpr int kDefaultReadTimeoutMs = 1000;
    // Longest time Close waits for a transfer still in flight.
    static constexpr int kCloseWaitMs = 3000;

    CUsbPort() = default;
    ~CUsbPort();
    CUsbPort(const CUsbPort&) = delete;
    CUsbPort& operator=(const CUsbPort&) = delete;

    // Stores the port name as the device path. False, without storing it, for
    // an empty name.
    bool Setup(const PortSettings& settings);

    // Opens the device path. An open port stays as it is (success). Only an
    // absolute path is opened: a display name such as "USB001:" or a relative
    // name is no device and fails with ENOENT rather than opening a file of
    // that name in the current folder; a path that is no character device
    // fails with "not a printer device".
    TransportError Open();

    // Writes count bytes in consecutive blocks of 4,096 (the last holds the
    // rest), each handed over and then waited for until the device has sent
    // it, within 5 ms per byte + 3,000 ms per block. A block that fails ends
    // the write at once; the result holds the bytes of the blocks that were
    // sent and the error.
    TransferResult Write(const char* bytes, int count);

    // Waits up to timeoutMs (1,000 ms when 0 or less) for data and reads what
    // is there, at most count bytes.
    TransferResult Read(char* buffer, int count, int timeoutMs);

    // Waits at most kCloseWaitMs for a transfer still in flight (there is
    // none after a successful Write), then closes the device, which cancels
    // what is left; that is reported as ETIMEDOUT.
    TransportError Close();
    void ClearInput() {}

    bool IsOpen() const { return m_device != nullptr; }

private:
    QString m_devicePath;
    std::unique_ptr<CDeviceFile> m_device;
};

static_assert(PrinterTransport<CUsbPort>);
