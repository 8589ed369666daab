#pragma once

#include "framework/file_descriptor.h"

#include <QString>

#include <functional>

// Serialises the writers of one fleet state file. Every run reads the state
// again, adds its own results and saves it while it holds this lock, so two
// runs on one hosts file that end together both keep their results. The
// lock is an advisory lock (flock) on "STATE.lock" beside the state file;
// the file is created on first use and stays, empty, since removing it could
// let a third run lock a new file while a second still waits on the old one.
// A run that dies lets go of the lock with its descriptor.
class CFleetStateLock {
public:
    // How long a run waits for another run's save: a save takes
    // milliseconds, so a wait this long means that run is stuck.
    static constexpr int kWaitMs = 30000;

    // Takes the lock, waiting at most waitMs (through the clock seam) for
    // another holder; waiting is called once when the first try finds the
    // lock taken. A lock file that is not a regular file (a FIFO, a link ...)
    // is refused without waiting. False with the reason in *error.
    bool Acquire(const QString& statePath, int waitMs, const std::function<void()>& waiting, QString* error);

    static QString PathFor(const QString& statePath);

private:
    CFileDescriptor m_file;  // the lock goes with the descriptor
};
