#pragma once

#include "transport/device_file.h"

#include <QByteArray>

#include <vector>

// A USB printer as the printer-class driver presents it, installed in place
// of the system's devices for the lifetime of the object (the device-file
// seam of the USB transport): it takes one transfer of up to 4,096 bytes at a
// time and finishes it while the host waits (for room for the next, or for
// the transfer to end); closing the device cancels a transfer that is still
// in flight, and its bytes never reach the printer. Whatever path the host
// opens, no system device is touched.
class CUsbStandIn {
public:
    struct Printer {
        QByteArray delivered;        // what reached the printer, in order
        std::vector<int> transfers;  // the size of every transfer handed over
        qint64 cancelled = 0;        // bytes lost to a close while in flight
        int opens = 0;
        bool stalled = false;        // out of paper: nothing finishes
        std::vector<int> waitBounds; // the time-outs the host waited with
    };

    CUsbStandIn();
    ~CUsbStandIn();
    CUsbStandIn(const CUsbStandIn&) = delete;
    CUsbStandIn& operator=(const CUsbStandIn&) = delete;

    Printer& State() { return m_printer; }

private:
    Printer m_printer;
    DeviceFileOpener m_previous;
};
