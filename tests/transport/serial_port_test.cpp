#include "transport/serial_port.h"

#include "support/virtual_clock.h"
#include "transport/process_probe.h"
#include "transport/pseudo_terminal.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <termios.h>

namespace {

PortSettings SerialSettings(const QString& path, int dataBits = 8, Parity parity = Parity::None,
                            StopBits stopBits = StopBits::One)
{
    PortSettings settings;
    settings.portName = path;
    settings.baudRate = 19200;
    settings.dataBits = dataBits;
    settings.parity = parity;
    settings.stopBits = stopBits;
    return settings;
}

// Waits in real time until the reader has collected count bytes.
bool WaitForBuffered(const CSerialPort& port, int count)
{
    QElapsedTimer timer;
    timer.start();
    while (port.BufferedCount() < count && timer.elapsed() < 3000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return port.BufferedCount() == count;
}

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_printer.IsValid()) << "no pseudo-terminal available";
    }
    void OpenPort(const PortSettings& settings)
    {
        ASSERT_TRUE(m_port.Setup(settings));
        const TransportError error = m_port.Open();
        ASSERT_FALSE(error.IsSet()) << error.Text().toStdString();
    }

    CPseudoTerminal m_printer;
    CSerialPort m_port;
};

TEST_F(SerialPortTest, BytesWrittenReachThePrinterUnchanged)
{
    OpenPort(SerialSettings(m_printer.SlavePath()));
    // Line ends, XON/XOFF and zero bytes must pass as they are.
    const QByteArray bytes("\x1c\x71\x01\n\r\x11\x13\x00\xff", 9);
    const TransferResult written = m_port.Write(bytes.constData(), bytes.size());
    EXPECT_EQ(written.transferred, bytes.size());
    EXPECT_FALSE(written.error.IsSet());
    EXPECT_EQ(m_printer.ReadFromPort(bytes.size()), bytes);
}

TEST_F(SerialPortTest, RepliesAreCollectedByTheReaderAndReadInOrder)
{
    CVirtualClock clock;
    OpenPort(SerialSettings(m_printer.SlavePath()));
    QByteArray reply;
    for (int i = 0; i < 250; ++i)
        reply.append(static_cast<char>(i));  // more than one 100-byte poll
    ASSERT_TRUE(m_printer.SendToPort(reply));
    ASSERT_TRUE(WaitForBuffered(m_port, 250));

    char buffer[250] = {};
    EXPECT_EQ(m_port.Read(buffer, 1, 1000).transferred, 1);
    EXPECT_EQ(m_port.Read(buffer + 1, 249, 1000).transferred, 249);
    EXPECT_EQ(QByteArray(buffer, 250), reply);
    EXPECT_TRUE(clock.Sleeps().empty());  // everything was there: no waiting
}

TEST_F(SerialPortTest, ReadWithNothingBufferedWaitsItsTimeOutOnceAndReturnsNothing)
{
    CVirtualClock clock;
    OpenPort(SerialSettings(m_printer.SlavePath()));
    char byte = 0;
    const TransferResult result = m_port.Read(&byte, 1, 1000);
    EXPECT_EQ(result.transferred, 0);
    EXPECT_EQ(clock.Sleeps(), std::vector<int>{1000});
}

TEST_F(SerialPortTest, ClearInputDropsWhatWasNotRead)
{
    CVirtualClock clock;
    OpenPort(SerialSettings(m_printer.SlavePath()));
    ASSERT_TRUE(m_printer.SendToPort("stale"));
    ASSERT_TRUE(WaitForBuffered(m_port, 5));
    m_port.ClearInput();
    EXPECT_EQ(m_port.BufferedCount(), 0);
    char buffer[8] = {};
    EXPECT_EQ(m_port.Read(buffer, 5, 1000).transferred, 0);
}

TEST_F(SerialPortTest, AFullReceiveBufferDropsWhatComesOnTop)
{
    PortSettings settings = SerialSettings(m_printer.SlavePath());
    settings.receiveBufferSize = 16;
    OpenPort(settings);
    ASSERT_TRUE(m_printer.SendToPort("0123456789abcdefOVERFLOW"));
    ASSERT_TRUE(WaitForBuffered(m_port, 16));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a few more polls
    char buffer[32] = {};
    EXPECT_EQ(m_port.Read(buffer, 32, 0).transferred, 16);
    EXPECT_EQ(QByteArray(buffer, 16), QByteArray("0123456789abcdef"));
}

TEST_F(SerialPortTest, CloseStopsTheReaderAndReleasesTheDevice)
{
    OpenPort(SerialSettings(m_printer.SlavePath()));
    EXPECT_EQ(ThreadsNamed(QStringLiteral("serial-reader")), 1);
    EXPECT_EQ(OpenDescriptorsOf(m_printer.SlavePath()), 2);  // the test's and the port's
    m_port.Close();
    EXPECT_FALSE(m_port.IsOpen());
    EXPECT_EQ(ThreadsNamedOnceGone(QStringLiteral("serial-reader")), 0);
    EXPECT_EQ(OpenDescriptorsOf(m_printer.SlavePath()), 1);
    char byte = 0;
    EXPECT_EQ(m_port.Write("x", 1).transferred, 0);
    EXPECT_EQ(m_port.Read(&byte, 1, 0).transferred, 0);
}

TEST_F(SerialPortTest, OpenAppliesTheLineSettings)
{
    // A pseudo-terminal keeps every setting but the character size and the
    // parity bit (always 8 bits, no parity); the rest is checked here.
    struct Case {
        int dataBits;
        Parity parity;
        StopBits stopBits;
        bool checkParity;
        bool oddParity;
        bool twoStopBits;
    };
    const Case cases[] = {
        {8, Parity::None, StopBits::One, false, false, false},
        {7, Parity::Even, StopBits::One, true, false, false},
        {7, Parity::Odd, StopBits::Two, true, true, true},
        {5, Parity::None, StopBits::OneAndHalf, false, false, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(m_port.Setup(SerialSettings(m_printer.SlavePath(), c.dataBits, c.parity, c.stopBits)));
        ASSERT_FALSE(m_port.Open().IsSet())
            << c.dataBits << static_cast<int>(c.parity) << FileValue(c.stopBits);
        termios line{};
        ASSERT_EQ(::tcgetattr(m_printer.Slave(), &line), 0);
        EXPECT_EQ((line.c_iflag & INPCK) != 0, c.checkParity);
        EXPECT_EQ((line.c_cflag & PARODD) != 0, c.oddParity);
        EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_NE(line.c_cflag & CRTSCTS, 0u);
        EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);
        EXPECT_EQ(line.c_iflag & (IXON | ICRNL), 0u);
        EXPECT_EQ(line.c_oflag & OPOST, 0u);
        EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B19200));
        m_port.Close();
    }
}

TEST_F(SerialPortTest, RefusesSettingsTheLineCannotCarry)
{
    struct Case {
        int baudRate;
        int dataBits;
        Parity parity;
        StopBits stopBits;
    };
    const Case cases[] = {
        {19200, 9, Parity::None, StopBits::One},         // no 9-bit characters
        {19200, 8, Parity{7}, StopBits::One},            // a parity value that names none
        {19200, 8, Parity::None, StopBits::OneAndHalf},  // one and a half stop bits only with 5 data bits
        {19200, 8, Parity::None, StopBitsFromFile(5)},   // STOPBITS=5 from the file, kept as read
        {12345, 8, Parity::None, StopBits::One},         // no such baud rate
        {0, 8, Parity::None, StopBits::One},
    };
    for (const Case& c : cases) {
        PortSettings settings = SerialSettings(m_printer.SlavePath(), c.dataBits, c.parity, c.stopBits);
        settings.baudRate = c.baudRate;
        ASSERT_TRUE(m_port.Setup(settings));
        const TransportError error = m_port.Open();
        EXPECT_EQ(error.code, EINVAL) << c.baudRate << " " << c.dataBits << " " << static_cast<int>(c.parity) << " "
                                      << FileValue(c.stopBits);
        EXPECT_FALSE(m_port.IsOpen());
        EXPECT_EQ(OpenDescriptorsOf(m_printer.SlavePath()), 1);  // the failed open left nothing behind
    }
}

TEST_F(SerialPortTest, WriteToAVanishedPrinterRetriesFor20SecondsAndReportsFailure)
{
    CVirtualClock clock;
    OpenPort(SerialSettings(m_printer.SlavePath()));
    m_printer.CloseMaster();  // the line hangs up

    const TransferResult result = m_port.Write("abc", 3);
    EXPECT_EQ(result.transferred, 0);
    EXPECT_EQ(result.error.code, EIO);
    // A retry every 1,500 ms until 20,000 ms have passed: 14 pauses.
    EXPECT_EQ(clock.Sleeps(), std::vector<int>(14, 1500));

    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a few reader polls
    char byte = 0;
    const TransferResult read = m_port.Read(&byte, 1, 1000);
    EXPECT_EQ(read.transferred, 0);
    EXPECT_TRUE(read.error.IsSet());  // the reader saw the hang-up
}

}  // namespace
