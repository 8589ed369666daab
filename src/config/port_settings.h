#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// Interface kinds (INTERFACE of NV.inf). Kind 3 is reached over TCP; every
// other kind goes through the port facade. The main window shows any value
// other than 0, 1 and 2 as Ethernet and keeps the value as it was read.
inline constexpr int kInterfaceSerial = 0;
inline constexpr int kInterfaceParallel = 1;
inline constexpr int kInterfaceUsb = 2;
inline constexpr int kInterfaceEthernet = 3;

// Parity codes as the port driver takes them.
inline constexpr int kParityNone = 0;
inline constexpr int kParityOdd = 1;
inline constexpr int kParityEven = 2;

// Receive buffer of the transport: USB keeps less.
inline constexpr int kReceiveBufferUsb = 4096;
inline constexpr int kReceiveBufferDefault = 8192;

// The communication settings. The main window holds the current ones and
// copies them into every dialog that talks to the printer; portName to
// receiveBufferSize is what the port facade's Setup receives.
struct PortSettings {
    int interfaceKind = kInterfaceSerial;  // kInterface*
    QString portName;                      // "COMn", "LPTn", the USB device path; unused for Ethernet
    int baudRate = 0;
    int dataBits = 0;
    int stopBits = 0;                      // stop-bit code: 0 one, 1 one and a half, 2 two
    int parity = kParityNone;              // kParity*
    // Milliseconds in the Win32 COMMTIMEOUTS order: read interval, read total
    // multiplier, read total constant, write total multiplier, write total
    // constant. Never read from the file; always these values.
    std::array<quint32, 5> timeouts{0, 0, 0, 5, 3000};
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
