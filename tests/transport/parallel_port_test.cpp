#include "transport/parallel_port.h"

#include "framework/file_descriptor.h"
#include "support/temp_dir.h"
#include "transport/pseudo_terminal.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PortSettings ParallelSettings(const QString& name)
{
    PortSettings settings;
    settings.portName = name;
    return settings;
}

// A folder standing in for /dev, whose lp0 (LPT1) leads to a pseudo-
// terminal: a character device whose far end the test plays.
class ParallelPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_printer.IsValid()) << "no pseudo-terminal available";
        ASSERT_TRUE(QFile::link(m_printer.SlavePath(), m_dir.Path(QStringLiteral("lp0"))));
    }
    QByteArray Drain() { return m_printer.ReadFromPort(256, 200); }

    CPseudoTerminal m_printer;
    CTestDir m_dir;
    CParallelPort m_port{m_dir.Root()};
};

TEST(ParallelPortSetup, AcceptsOnlyLptNames)
{
    struct Case {
        const char* name;
        bool accepted;
    };
    const Case cases[] = {{"LPT3", true}, {"LPT1", true}, {"COM1", false}, {"lpt1", false}, {"", false}};
    for (const Case& c : cases) {
        CParallelPort port;
        EXPECT_EQ(port.Setup(ParallelSettings(QString::fromLatin1(c.name))), c.accepted) << c.name;
    }
}

TEST_F(ParallelPortTest, WritesReachTheDeviceOfLpt1)
{
    ASSERT_TRUE(m_port.Setup(ParallelSettings(QStringLiteral("LPT1"))));
    ASSERT_FALSE(m_port.Open().IsSet());
    const TransferResult written = m_port.Write("\x1b\x40hello", 7);
    EXPECT_EQ(written.transferred, 7);
    EXPECT_FALSE(written.error.IsSet());
    EXPECT_EQ(Drain(), QByteArray("\x1b\x40hello"));
}

TEST_F(ParallelPortTest, ReadIsBoundedWhenThePortHasNoReadTimeOut)
{
    ASSERT_TRUE(m_port.Setup(ParallelSettings(QStringLiteral("LPT1"))));
    ASSERT_FALSE(m_port.Open().IsSet());
    char buffer[4] = {};
    const TransferResult nothing = m_port.Read(buffer, 1, 50);
    EXPECT_EQ(nothing.transferred, 0);
    EXPECT_EQ(nothing.error.code, ETIMEDOUT);

    ASSERT_TRUE(m_printer.SendToPort("ok"));
    const TransferResult reply = m_port.Read(buffer, 4, 200);  // fewer than asked for
    EXPECT_EQ(reply.transferred, 2);
    EXPECT_FALSE(reply.error.IsSet());
    EXPECT_EQ(QByteArray(buffer, 2), QByteArray("ok"));
}

TEST_F(ParallelPortTest, WriteThatThePrinterDoesNotTakeTimesOutWithWhatWentOut)
{
    PortSettings settings = ParallelSettings(QStringLiteral("LPT1"));
    settings.timeouts.writeTotalMultiplierMs = 0;  // nobody reads the far end: give up after 100 ms
    settings.timeouts.writeTotalConstantMs = 100;
    ASSERT_TRUE(m_port.Setup(settings));
    ASSERT_FALSE(m_port.Open().IsSet());
    const QByteArray job(256 * 1024, 'x');  // more than the terminal holds
    const TransferResult result = m_port.Write(job.constData(), job.size());
    EXPECT_GT(result.transferred, 0);
    EXPECT_LT(result.transferred, job.size());
    EXPECT_EQ(result.error.code, ETIMEDOUT);
}

TEST(ParallelPortFailure, WriteToAFailingDeviceReportsTheError)
{
    CTestDir dir;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), dir.Path(QStringLiteral("lp1"))));
    CParallelPort port(dir.Root());
    ASSERT_TRUE(port.Setup(ParallelSettings(QStringLiteral("LPT2"))));
    ASSERT_FALSE(port.Open().IsSet());
    const TransferResult result = port.Write("abc", 3);
    EXPECT_EQ(result.transferred, 0);
    EXPECT_EQ(result.error.code, ENOSPC);
}

}  // namespace
