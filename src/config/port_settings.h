#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// Interface kinds (INTERFACE of NV.inf). Kind 3 is reached over TCP; every
// other kind goes through the port facade. The file may hold a number that
// names no kind: it is kept as read (InterfaceKind{7}), the main window shows
// it as Ethernet, and only InterfaceKind::Ethernet itself uses the network.
enum class InterfaceKind : int { Serial = 0, Parallel = 1, Usb = 2, Ethernet = 3 };

// Parity as the port driver takes it. NV.inf writes it as a name
// ("NONE", "ODD", "EVEN").
enum class Parity : int { None = 0, Odd = 1, Even = 2 };

// Stop bits (STOPBITS of NV.inf). A number that names none is kept as read;
// the serial transport refuses it when the port is opened.
enum class StopBits : int { One = 0, OneAndHalf = 1, Two = 2 };

// The kinds as NV.inf numbers them. Taken and given back unchanged, so a
// value the program does not know survives a read and a write.
inline constexpr InterfaceKind InterfaceKindFromFile(int value) { return static_cast<InterfaceKind>(value); }
inline constexpr StopBits StopBitsFromFile(int value) { return static_cast<StopBits>(value); }
inline constexpr int FileValue(InterfaceKind kind) { return static_cast<int>(kind); }
inline constexpr int FileValue(StopBits stopBits) { return static_cast<int>(stopBits); }

// "NONE", "ODD" or "EVEN", exactly (case-sensitive); nullopt for anything else.
std::optional<Parity> ParityFromName(const QString& name);
// The name of a parity; "NONE" for a value that names none.
QString ParityName(Parity parity);

// Receive buffer of the transport: USB keeps less.
inline constexpr int kReceiveBufferUsb = 4096;
inline constexpr int kReceiveBufferDefault = 8192;

// Time-outs of a port in milliseconds. A read waits at most the read total
// (multiplier per byte asked for + constant) and, between two bytes, the read
// interval; a write waits at most the write total. 0 for both parts of a
// total means no bound of its own (the transport uses its fallback). Never read
// from the file: every port starts with these values.
struct PortTimeouts {
    quint32 readIntervalMs = 0;
    quint32 readTotalMultiplierMs = 0;
    quint32 readTotalConstantMs = 0;
    quint32 writeTotalMultiplierMs = 5;
    quint32 writeTotalConstantMs = 3000;

    friend bool operator==(const PortTimeouts&, const PortTimeouts&) = default;
};

// The communication settings. The main window holds the current ones and
// copies them into every dialog that talks to the printer; portName to
// receiveBufferSize is what the port facade's Setup receives.
struct PortSettings {
    InterfaceKind interfaceKind = InterfaceKind::Serial;
    QString portName;                      // "COMn", "LPTn", the USB device path; unused for Ethernet
    int baudRate = 0;
    int dataBits = 0;
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    PortTimeouts timeouts;
    int receiveBufferSize = kReceiveBufferDefault;
    std::array<quint8, 4> ipAddress{};     // IP1 first (most significant)
    int tcpPort = 0;

    friend bool operator==(const PortSettings&, const PortSettings&) = default;
};

// "%d.%d.%d.%d", first octet first: how the address is shown and handed to the
// network connection.
inline QString FormatIpAddress(const std::array<quint8, 4>& address)
{
    return QString::asprintf("%d.%d.%d.%d", address[0], address[1], address[2], address[3]);
}
