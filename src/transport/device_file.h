#pragma once

#include "transport/transfer_result.h"

#include <QString>

#include <functional>
#include <memory>

// One opened printer device as the USB transport drives it: data is handed
// to the device's queue, and the device is asked when it has finished
// sending it. Closing (destroying) the object cancels whatever the device has
// not sent yet, as the printer-class driver does, so a caller that wants its
// bytes delivered waits for them first.
//
// This is the seam between the transport and the system's device: the
// programs use the POSIX device, tests a stand-in that behaves like the
// driver (see docs/ARCHITECTURE.md).
class CDeviceFile {
public:
    virtual ~CDeviceFile() = default;

    // Hands count bytes to the device, waiting while it is busy, at most
    // timeoutMs in all (ETIMEDOUT). Accepted is not yet sent.
    virtual TransferResult Write(const char* bytes, int count, int timeoutMs) = 0;

    // Waits until the device has sent everything it accepted, at most
    // timeoutMs (ETIMEDOUT).
    virtual TransportError WaitWritten(int timeoutMs) = 0;

    // Waits up to timeoutMs for data and reads what is there, at most count.
    virtual TransferResult Read(char* buffer, int count, int timeoutMs) = 0;
};

// Opens the device at path; nothing (and *error) when it cannot.
using DeviceFileOpener = std::function<std::unique_ptr<CDeviceFile>(const QString& path, TransportError* error)>;

// The system's device: a character device opened as OpenDevice does.
std::unique_ptr<CDeviceFile> OpenSystemDeviceFile(const QString& path, TransportError* error);

// The opener the USB transport uses: the system's unless a test installed
// another. Installing one (an empty one restores the system's) returns the
// previous. Install only while no port is being opened.
const DeviceFileOpener& UsbDeviceOpener();
DeviceFileOpener SetUsbDeviceOpener(DeviceFileOpener opener);
