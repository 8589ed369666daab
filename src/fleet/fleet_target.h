#pragma once

#include "config/port_settings.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One printer of a fleet, as a line of the hosts file names it.
struct FleetTarget {
    QString label;          // "10.0.0.7:9100" (port always written), or the device path as given
    PortSettings settings;  // how it is reached
    QString model;          // the catalogue model the line names; empty: the command's model
    int line = 0;           // 1-based line of the hosts file
};

// Reads a hosts file: one printer a line, "HOST[:PORT] [MODEL]" with an IPv4
// address, or "DEVICE [MODEL]" with an absolute device path (a terminal is
// serial, /dev/lp* parallel, anything else USB) or COMn / LPTn. MODEL, the
// rest of the line, names a catalogue model for that printer. '#' starts a
// comment; blank lines are skipped. base gives the line settings of serial
// printers; a host without a port gets defaultTcpPort.
//
// Every bad line is reported in *errors as "FILE:LINE: reason", and so is a
// printer named twice (two jobs on one printer would mix their bytes) and a
// file without any printer; nothing is returned then.
std::optional<std::vector<FleetTarget>> ReadHostsFile(const QString& path, const PortSettings& base,
                                                      int defaultTcpPort, QStringList* errors);

// One line's target (comment already removed, not blank). Nothing, with the
// reason in *error, for a line that names no printer.
std::optional<FleetTarget> ParseHostsLine(const QString& line, const PortSettings& base, int defaultTcpPort,
                                          QString* error);
