#pragma once

// A write beyond the process's file-size limit (ulimit -f) raises a signal
// whose default action ends the program at once: no message, and the
// temporary file of an atomic write left beside its target. With the signal
// ignored the write fails with EFBIG instead, which every writer reports and
// cleans up like a full disk. Each program calls this first thing in main().
void IgnoreFileSizeSignal();
