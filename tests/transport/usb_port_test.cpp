#include "transport/usb_port.h"

#include "support/temp_dir.h"
#include "transport/file_descriptor.h"
#include "transport/printer_port.h"
#include "transport/process_probe.h"

#include <QFile>

#include <gtest/gtest.h>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PortSettings UsbSettings(const QString& path)
{
    PortSettings settings;
    settings.portName = path;
    settings.receiveBufferSize = kReceiveBufferUsb;
    return settings;
}

// Reads a FIFO of one page in a thread: every write of up to a page goes in
// whole and the next waits until it was taken, so each read returns exactly
// one of the transport's blocks.
class CPageFifoReader {
public:
    CPageFifoReader(const QString& path, int total) : m_total(total)
    {
        m_thread = std::thread([this, path] {
            CFileDescriptor fifo(::open(QFile::encodeName(path).constData(), O_RDONLY));
            char buffer[65536];
            while (m_data.size() < m_total) {
                const ssize_t got = ::read(fifo.Get(), buffer, sizeof buffer);
                if (got <= 0)
                    break;
                m_reads.push_back(static_cast<int>(got));
                m_data.append(buffer, got);
            }
        });
    }
    void Join() { m_thread.join(); }
    const std::vector<int>& Reads() const { return m_reads; }
    const QByteArray& Data() const { return m_data; }

private:
    int m_total;
    std::vector<int> m_reads;
    QByteArray m_data;
    std::thread m_thread;
};

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 256);
    return bytes;
}

TEST(UsbPort, WritesInBlocksOf4096Bytes)
{
    struct Case {
        int size;
        std::vector<int> reads;
    };
    const Case cases[] = {
        {10000, {4096, 4096, 1808}},
        {4096, {4096}},
        {1, {1}},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        const QString device = dir.Path(QStringLiteral("lp0"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(device).constData(), 0600), 0);
        CUsbPort port;
        ASSERT_TRUE(port.Setup(UsbSettings(device)));
        ASSERT_FALSE(port.Open().IsSet());
        // Opened first by the port (read-write), the FIFO can be shrunk to a page.
        CFileDescriptor probe(::open(QFile::encodeName(device).constData(), O_WRONLY | O_NONBLOCK));
        ASSERT_EQ(::fcntl(probe.Get(), F_SETPIPE_SZ, 4096), 4096) << "cannot size the FIFO";

        CPageFifoReader reader(device, c.size);
        const QByteArray job = Pattern(c.size);
        const TransferResult result = port.Write(job.constData(), c.size);
        reader.Join();
        EXPECT_EQ(result.transferred, c.size);
        EXPECT_FALSE(result.error.IsSet());
        EXPECT_EQ(reader.Reads(), c.reads) << c.size;
        EXPECT_EQ(reader.Data(), job);
    }
}

TEST(UsbPort, OpenRulesAndSecondOpen)
{
    CTestDir dir;
    const QString device = dir.Path(QStringLiteral("lp0"));
    QFile(device).open(QIODevice::WriteOnly);

    CUsbPort port;
    EXPECT_FALSE(port.Setup(UsbSettings(QString())));  // USBPORT missing
    EXPECT_EQ(port.Open().code, ENOENT);

    EXPECT_TRUE(port.Setup(UsbSettings(dir.Path(QStringLiteral("unplugged")))));
    EXPECT_EQ(port.Open().code, ENOENT);

    EXPECT_TRUE(port.Setup(UsbSettings(QStringLiteral("NONE"))));  // what an empty discovery saves
    EXPECT_EQ(port.Open().code, ENOENT);

    ASSERT_TRUE(port.Setup(UsbSettings(device)));
    ASSERT_FALSE(port.Open().IsSet());
    ASSERT_FALSE(port.Open().IsSet());
    EXPECT_EQ(OpenDescriptorsOf(device), 1);
    port.Close();
    EXPECT_EQ(OpenDescriptorsOf(device), 0);
}

TEST(UsbPort, ReadDeliversWhatIsThereWithinItsTimeOut)
{
    CTestDir dir;
    const QString device = dir.Path(QStringLiteral("lp0"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(device).constData(), 0600), 0);
    CUsbPort port;
    ASSERT_TRUE(port.Setup(UsbSettings(device)));
    ASSERT_FALSE(port.Open().IsSet());

    char buffer[8] = {};
    const TransferResult nothing = port.Read(buffer, 1, 50);
    EXPECT_EQ(nothing.transferred, 0);
    EXPECT_EQ(nothing.error.code, ETIMEDOUT);

    CFileDescriptor printer(::open(QFile::encodeName(device).constData(), O_WRONLY | O_NONBLOCK));
    ASSERT_EQ(::write(printer.Get(), "\x10\x04", 2), 2);
    EXPECT_EQ(port.Read(buffer, 8, 50).transferred, 2);
}

TEST(UsbPort, FailingBlockMakesTheFacadeReportNothingWritten)
{
    CPrinterPort port;
    ASSERT_EQ(port.Setup(UsbSettings(QStringLiteral("/dev/full"))), 1);
    ASSERT_EQ(port.Kind(), kInterfaceUsb);
    ASSERT_EQ(port.Open(), 1);
    const QByteArray job(10000, 'x');
    TransportError reason;
    EXPECT_EQ(port.Write(job.constData(), job.size(), &reason), 0);
    EXPECT_EQ(reason.code, ENOSPC);
}

}  // namespace
