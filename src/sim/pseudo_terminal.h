#pragma once

#include "sim/unique_fd.h"

#include <QString>

// A pseudo-terminal whose slave side stands in for a serial port: the host
// opens SlavePath() (/dev/pts/N) as it opens a serial device, and the printer
// reads and writes the master side.
//
// The terminal is set raw (no echo, no line editing, no translation of
// carriage returns or line feeds), since printer data is binary. The object
// keeps the slave side open itself, so the line stays up while no host has
// it open and the master never sees a hang-up between two hosts.
class CPseudoTerminal {
public:
    bool Open(QString* error);

    int MasterFd() const { return m_master.Get(); }
    const QString& SlavePath() const { return m_slavePath; }

private:
    CUniqueFd m_master;
    CUniqueFd m_slave;
    QString m_slavePath;
};
