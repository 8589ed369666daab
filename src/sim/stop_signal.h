#pragma once

// SIGINT and SIGTERM end markograph-sim in order: the main thread waits for
// them while the printer serves on its own thread.

// Blocks both signals in the calling thread and in every thread it starts
// afterwards, so that they stay pending for WaitForStopSignal(). Call before
// starting threads. Also ignores SIGPIPE: a host that goes away while a
// reply is written is an ordinary event, not a reason to die.
void BlockStopSignals();

// Returns the signal that arrived (SIGINT or SIGTERM).
int WaitForStopSignal();
