#pragma once

#include "framework/file_descriptor.h"
#include "transport/transfer_result.h"

#include <QString>

// Bounded I/O on device descriptors, shared by the serial, parallel and USB
// transports. Descriptors are opened non-blocking and every wait is a poll()
// with a time-out, so a printer that stops taking or sending data can slow an
// operation down but never hang it. The time-outs are real time (the device
// keeps real time); paced pauses go through the clock seam instead.
//
// All functions may be called from any thread; they touch only the
// descriptor given.

// Opens a device for reading and writing without making it the controlling
// terminal, non-blocking, closed on exec. Only a character device is a
// printer port: a regular file, a folder, a FIFO or a socket of that name is
// refused with ENODEV and the reason "not a printer device", and nothing is
// opened or written. On failure the result is invalid and *error says why.
CFileDescriptor OpenDevice(const QString& path, TransportError* error);

// Reason given when a port name is no character device.
inline constexpr char kNotAPrinterDevice[] = "not a printer device";

// Waits until the device has sent everything written to it, at most
// timeoutMs: a terminal's output queue and its transmitter are empty. A
// device that keeps no such queue (it cannot say) counts as drained at once.
// On time-out the error is ETIMEDOUT and *left (if given) holds the bytes
// still queued. Never blocks in the driver: the queue is polled.
TransportError DrainOutputWithin(int fd, int timeoutMs, const QString& path, int* left = nullptr);

// Throws away what a terminal's output queue still holds; the number of
// bytes thrown away (0 for a device without such a queue).
int DiscardOutput(int fd);

// Throws away what a terminal received and nobody read yet.
void DiscardInput(int fd);

// Writes count bytes, waiting for the device to take more while it is busy,
// until all went out or timeoutMs has passed (ETIMEDOUT).
TransferResult WriteAllWithin(int fd, const char* bytes, int count, int timeoutMs, const QString& path);

// Waits up to timeoutMs for data and reads once: whatever is there, at most
// count bytes. Nothing within the time is 0 bytes with ETIMEDOUT.
TransferResult ReadSomeWithin(int fd, char* buffer, int count, int timeoutMs, const QString& path);

// Reads until count bytes have come, totalMs has passed since the call, or
// (intervalMs > 0) no byte has come for intervalMs after the first one; the
// meaning of the total and interval time-outs of a port. The end of the data
// (a file's end, a hung-up device) also ends the read.
TransferResult ReadWithin(int fd, char* buffer, int count, int totalMs, int intervalMs, const QString& path);

// Real time in milliseconds on a monotonic scale, for device time-outs (the
// device keeps real time; protocol pauses use the clock seam instead), and
// what is left of it until a deadline on that scale (0 once passed).
qint64 DeviceNowMs();
int MsLeftUntil(qint64 deadline);

// milliseconds = multiplier x count + constant, clamped to what an int holds.
int TotalTimeoutMs(quint32 multiplier, quint32 constant, int count);
