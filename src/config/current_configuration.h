#pragma once

#include "config/port_settings.h"
#include "kinds/printer_kind.h"

#include <QString>

class CProfileFile;

// What the main window holds of NV.inf: the current model and the current
// communication settings.
struct CurrentConfiguration {
    // MODELTYPE; a number that names no kind is kept and shown as "1 Color thermal".
    CModelType modelType = CModelType::FromNumber(0);
    QString modelName;
    int receiptWidth = 0;   // dots
    int downMax = 0;        // logos per download
    int memorySize = 0;     // KByte
    PortSettings port;
    // PORTNAME as the file holds it (the "USB%03d:" name for USB), read once
    // more after the settings: the main window shows it for USB instead of the
    // device path in port.portName. Empty when missing; no message for it.
    QString portNameText;

    friend bool operator==(const CurrentConfiguration&, const CurrentConfiguration&) = default;
};

// The main window's state before the model file is read (as OnInitDialog
// sets it up): model type 1, "COM1", baud 9600, data bits 9, stop 0, parity 0,
// receive buffer 8096, address 0.0.0.0, TCP port 0. The odd 9 and 8096 are
// kept on purpose: they are only seen by settings that the loaded interface
// does not read, and operators' files may have come to rely on them.
CurrentConfiguration MainWindowDefaults();

// Loads the current model and settings into state, in this order:
// 1. COMMON/MODELTYPE, COMMUNICATION/INTERFACE, COMMON/RECEIPTWIDTH, DOWNMAX,
//    MEMORYSIZE (default 0 each) and ModelName (default "").
// 2. PORTNAME; missing or empty shows "Failed to load PortNmae" and falls back
//    to Serial on "COM1".
// 3. By interface: Serial reads BAUDRATE (19200), DATABITS (8), PARITY ("NONE"
//    0, "ODD" 1, "EVEN" 2, anything else 0, case-sensitive) and STOPBITS (0);
//    Parallel takes the port name; USB takes USBPORT (missing shows the same
//    message and leaves the port name empty); any other value is Ethernet and
//    reads IP1..IP4 (each cut to 8 bits) and PORT, keeping the previous port
//    name. The receive buffer is 4096 for USB, else 8192.
// Settings that the branch does not read keep the values state had; the
// interface kind keeps the value read, so 7 stays 7 (shown as Ethernet).
void LoadConfiguration(const CProfileFile& file, CurrentConfiguration& state);
