#pragma once

#include "kinds/printer_kind.h"
#include "imaging/separation_colors.h"
#include "logos/logo_entry.h"
#include "sim/dot_grid.h"
#include "sim/sim_records.h"

#include <QString>

#include <map>
#include <vector>

// A logo as a download takes it: its file, its own stored settings, and the
// window's second ink at that moment (a printer's cartridges, not a logo's).
struct LogoSnapshot {
    LogoEntry entry;
    Rgb lColor;
    int density = 2;  // impact printers: 0 single, 1 double, 2 quad (full size)
    Rgb windowHue;    // the hue the window's THRESHOLD slider showed (for the report)
    QString Describe() const;
};

// What the operator expects the printer to print for a logo: the preview of
// that logo drawn with its own settings (THRESHOLD, R Value, L Value, colour
// choice) as the printer kind prints it. Cached: journeys compare often.
class CExpectedDots {
public:
    // withWindowHue: separated with the hue the window showed instead of
    // the logo's own; a mismatch that this explains says which setting won.
    const CDotGrid& Of(const LogoSnapshot& logo, PrinterKind kind, bool withWindowHue = false);

private:
    std::map<QString, CDotGrid> m_cache;
};

// The images one printer holds, by name ("7", "01"), as last seen.
using HeldImages = std::map<QString, CDotGrid>;
HeldImages HeldBy(const std::vector<SimStoredImage>& stored);

// The model of one printer: which logo each name may hold. A download the
// operator starts says what each name should hold from then on; what the
// printer stored of it must be exactly that (or, for a name the download
// did not reach, what it held before).
class CPrinterModel {
public:
    // Names a download is about to write, with their logos.
    using Attempt = std::map<QString, LogoSnapshot>;

    // Checks what the printer holds now against the attempt (may be empty)
    // and what was known; returns the faults found, one line each, and
    // learns the names that now hold their attempted logo.
    QStringList Check(const HeldImages& now, const Attempt& attempt, PrinterKind kind, CExpectedDots& expected);

private:
    std::map<QString, LogoSnapshot> m_known;
    HeldImages m_lastSeen;
};

// How many dots of a stored image differ from the expected ones (outside
// the expected image: paper). A size beyond the padding of the printer's
// bytes or bands counts as every dot.
int DotsDiffering(const CDotGrid& a, const CDotGrid& b);
