#pragma once

#include "config/port_settings.h"
#include "transport/transfer_result.h"

#include <concepts>

// The contract every printer transport keeps, written once. Transports share
// no base class and no virtual calls; each is checked against these concepts
// with a static_assert beside its class, and the port facade dispatches over
// them with a template.

// A connection bytes go to and come back from.
// - Write(bytes, count): sends count bytes within the transport's bound. The
//   result holds the bytes that went out and, when that is short of count,
//   why; nothing happens when closed or empty.
// - Read(buffer, count, timeoutMs): delivers at most count bytes, waiting at
//   most about timeoutMs (or the transport's own read bound) for them;
//   nothing happens when closed.
// - IsOpen(): whether Write and Read can reach the printer.
template <typename T>
concept PrinterStream = requires(T& stream, const T& constStream, const char* bytes, char* buffer, int count,
                                 int timeoutMs) {
    { stream.Write(bytes, count) } -> std::same_as<TransferResult>;
    { stream.Read(buffer, count, timeoutMs) } -> std::same_as<TransferResult>;
    { constStream.IsOpen() } -> std::same_as<bool>;
};

// A local port (serial, parallel, USB): a stream that is set up from the
// port settings and opened and closed by the port facade.
// - Setup(settings): copies what the transport needs; false when the port
//   name is not one it can open (the name is then not stored, Open fails).
// - Open(): opens the device; an open port is reopened (serial) or stays as
//   it is (parallel, USB). A failure leaves it closed and says why.
// - Close(): waits a bounded time for bytes still queued, then closes; says
//   ETIMEDOUT when unsent bytes had to be discarded. Nothing when closed.
// - ClearInput(): drops received bytes that were not read yet.
// The destructor closes an open port.
template <typename T>
concept PrinterTransport = PrinterStream<T> && requires(T& port, const PortSettings& settings) {
    { port.Setup(settings) } -> std::same_as<bool>;
    { port.Open() } -> std::same_as<TransportError>;
    { port.Close() } -> std::same_as<TransportError>;
    { port.ClearInput() } -> std::same_as<void>;
};
