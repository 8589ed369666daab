#include "transport/usb_port.h"

#include "transport/printer_port.h"
#include "transport/pseudo_terminal.h"
#include "transport/usb_stand_in.h"

#include <gtest/gtest.h>

namespace {

// Never opened: the stand-in answers for every path.
const QString kStandInPath = QStringLiteral("/nonexistent/usb-stand-in/lp0");

PortSettings UsbSettings(const QString& path)
{
    PortSettings settings;
    settings.portName = path;
    settings.receiveBufferSize = kReceiveBufferUsb;
    return settings;
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

TEST(UsbPort, EveryBlockIsSentBeforeWriteReturnsSoCloseLosesNothing)
{
    struct Case {
        int size;
        std::vector<int> transfers;
    };
    const Case cases[] = {
        {10000, {4096, 4096, 1808}},
        {4096, {4096}},
        {1, {1}},
    };
    for (const Case& c : cases) {
        CUsbStandIn printer;
        CUsbPort port;
        ASSERT_TRUE(port.Setup(UsbSettings(kStandInPath)));
        ASSERT_FALSE(port.Open().IsSet());
        const QByteArray job = Pattern(c.size);
        const TransferResult result = port.Write(job.constData(), c.size);
        // Closed at once, as the two-colour download does after each image.
        const TransportError closed = port.Close();
        EXPECT_EQ(result.transferred, c.size);
        EXPECT_FALSE(result.error.IsSet());
        EXPECT_FALSE(closed.IsSet());
        EXPECT_EQ(printer.State().transfers, c.transfers) << c.size;
        EXPECT_EQ(printer.State().delivered, job) << c.size;
        EXPECT_EQ(printer.State().cancelled, 0);
    }
}

TEST(UsbPort, ABlockThePrinterDoesNotFinishFailsTheWriteWithinItsBound)
{
    CUsbStandIn printer;
    CUsbPort port;
    ASSERT_TRUE(port.Setup(UsbSettings(kStandInPath)));
    ASSERT_FALSE(port.Open().IsSet());
    const QByteArray job = Pattern(10000);
    ASSERT_EQ(port.Write(job.constData(), 4096).transferred, 4096);  // the first block goes out
    printer.State().stalled = true;                                    // then the paper runs out

    const TransferResult result = port.Write(job.constData(), job.size());
    EXPECT_EQ(result.transferred, 0);  // no block of this write was sent
    EXPECT_EQ(result.error.code, ETIMEDOUT);
    // 5 ms per byte + 3,000 ms for a whole block, never more.
    for (const int bound : printer.State().waitBounds)
        EXPECT_LE(bound, 5 * 4096 + 3000);

    const TransportError closed = port.Close();
    EXPECT_EQ(closed.code, ETIMEDOUT);  // the close says that it cancelled a transfer
    EXPECT_LE(printer.State().waitBounds.back(), CUsbPort::kCloseWaitMs);
    EXPECT_EQ(printer.State().cancelled, 4096);
    EXPECT_EQ(printer.State().delivered, job.left(4096));
}

TEST(UsbPort, TheFacadeReportsAFailedBlockAsNothingWritten)
{
    TransportError reason;
    {
        CUsbStandIn printer;
        printer.State().stalled = true;
        CPrinterPort port;
        ASSERT_EQ(port.Setup(UsbSettings(kStandInPath)), 1);
        ASSERT_EQ(port.Open(), 1);
        EXPECT_EQ(port.Write("abc", 3, &reason), 0);
        EXPECT_EQ(reason.code, ETIMEDOUT);
    }

    CPrinterPort full;
    ASSERT_EQ(full.Setup(UsbSettings(QStringLiteral("/dev/full"))), 1);
    ASSERT_EQ(full.Open(), 1);
    const QByteArray job(10000, 'x');
    EXPECT_EQ(full.Write(job.constData(), job.size(), &reason), 0);
    EXPECT_EQ(reason.code, ENOSPC);
}

TEST(UsbPort, OpenRulesAndSecondOpen)
{
    CUsbStandIn printer;
    CUsbPort port;
    EXPECT_FALSE(port.Setup(UsbSettings(QString())));  // USBPORT missing
    EXPECT_EQ(port.Open().code, ENOENT);
    EXPECT_TRUE(port.Setup(UsbSettings(QStringLiteral("NONE"))));  // what an empty discovery saves
    EXPECT_EQ(port.Open().code, ENOENT);
    EXPECT_EQ(printer.State().opens, 0);

    ASSERT_TRUE(port.Setup(UsbSettings(kStandInPath)));
    ASSERT_FALSE(port.Open().IsSet());
    ASSERT_FALSE(port.Open().IsSet());
    EXPECT_EQ(printer.State().opens, 1);  // the second Open keeps the device
}

TEST(UsbPort, AnUnpluggedPrinterDoesNotOpen)
{
    CUsbPort port;
    ASSERT_TRUE(port.Setup(UsbSettings(kStandInPath)));  // no stand-in: the system's devices
    EXPECT_EQ(port.Open().code, ENOENT);
}

TEST(UsbPort, ReadDeliversWhatIsThereWithinItsTimeOut)
{
    CPseudoTerminal printer;  // a character device that can answer
    ASSERT_TRUE(printer.IsValid()) << "no pseudo-terminal available";
    CUsbPort port;
    ASSERT_TRUE(port.Setup(UsbSettings(printer.SlavePath())));
    ASSERT_FALSE(port.Open().IsSet());

    char buffer[8] = {};
    const TransferResult nothing = port.Read(buffer, 1, 50);
    EXPECT_EQ(nothing.transferred, 0);
    EXPECT_EQ(nothing.error.code, ETIMEDOUT);

    ASSERT_TRUE(printer.SendToPort(QByteArray("\x10\x04", 2)));
    EXPECT_EQ(port.Read(buffer, 8, 1000).transferred, 2);
}

}  // namespace
