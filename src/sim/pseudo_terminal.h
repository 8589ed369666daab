#pragma once

#include "framework/file_descriptor.h"

#include <QString>

// A pseudo-terminal whose slave side stands in for a serial port: the host
// opens SlavePath() (/dev/pts/N) as it opens a serial device, and the printer
// reads and writes the master side.
//
// The terminal is set raw (no echo, no line editing, no translation of
// carriage returns or line feeds), since printer data is binary. The object
// keeps the slave side open itself, so the line stays up while no host has
// it open and the master never sees a hang-up between two hosts.
//
// The master runs in packet mode: every read starts with a status byte, 0
// before data, or the TIOCPKT_ flags of an event, so the printer learns when
// the host purges its queues (tcflush on the slave side).
class CPseudoTerminal {
public:
    bool Open(QString* error);

    // Seconds one character takes on the line as the host set it up (start
    // bit, data bits, parity bit, stop bits at its baud rate), or at
    // fixedBaud when that is above 0.
    static double CharacterSeconds(int masterFd, int fixedBaud);

    int MasterFd() const { return m_master.Get(); }
    const QString& SlavePath() const { return m_slavePath; }

private:
    CFileDescriptor m_master;
    CFileDescriptor m_slave;
    QString m_slavePath;
};
