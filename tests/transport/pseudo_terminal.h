#pragma once

#include "framework/file_descriptor.h"

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair standing in for a serial printer: the transport
// opens SlavePath() as its port, the test plays the printer on the master
// side. A test that cannot get one fails on IsValid().
class CPseudoTerminal {
public:
    CPseudoTerminal();

    bool IsValid() const { return m_master.IsValid() && !m_slavePath.isEmpty(); }
    const QString& SlavePath() const { return m_slavePath; }
    // The test's own descriptor of the slave side, to look at its settings.
    int Slave() const { return m_slave.Get(); }

    // What the port sent: reads until count bytes have come or timeoutMs has
    // passed without a new byte.
    QByteArray ReadFromPort(int count, int timeoutMs = 2000);
    // Plays the printer sending bytes to the port.
    bool SendToPort(const QByteArray& bytes);
    // Unplugs the printer: the slave side hangs up.
    void CloseMaster() { m_master.Reset(); }

private:
    CFileDescriptor m_master;
    CFileDescriptor m_slave;
    QString m_slavePath;
};
