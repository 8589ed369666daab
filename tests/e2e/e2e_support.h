#pragma once

#include "config/port_settings.h"
#include "imaging/download_item.h"
#include "sim/virtual_printer.h"
#include "support/temp_dir.h"

#include <QStringList>

// A virtual printer of one kind on a free loopback port, and the settings
// that reach it over Ethernet.
class CSimulatedPrinter {
public:
    explicit CSimulatedPrinter(PrinterKind kind, const SimFaults& faults = {}, bool pty = false);
    // With options of its own (the listening port is always a free one).
    CSimulatedPrinter(PrinterKind kind, SimOptions options);
    ~CSimulatedPrinter() { m_printer.Stop(); }

    PortSettings Ethernet() const;
    // The pseudo-terminal as a serial port.
    PortSettings Serial() const;
    CVirtualPrinter& Printer() { return m_printer; }
    // Waits until the printer stores this many images (or prints this many).
    bool WaitForImages(int count, int timeoutMs = 5000);
    bool WaitForPrints(int count, int timeoutMs = 5000);
    QStringList StoredNames() const;

private:
    CTestDir m_dir;
    CVirtualPrinter m_printer;
    quint16 m_port = 0;
};

// Draws a logo file: black columns every third dot and a red band, so every
// printer kind stores black and (for two-ink kinds) coloured dots.
QString WriteTestLogo(const CTestDir& dir, const QString& name, int width, int height);

// The logos converted for a printer kind, with the default colour settings.
DownloadList ConvertLogos(PrinterKind kind, const QStringList& paths, DotDensity density = DotDensity::Single);
