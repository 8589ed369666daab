#include "sim_test_support.h"
#include "support/temp_dir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

const QString kProgram = QStringLiteral(MARKOGRAPH_BIN_DIR "/markograph-sim");

// The real program, started with arguments; stopped with SIGTERM when the
// test is done with it.
class CSimProcess {
public:
    explicit CSimProcess(const QStringList& args)
    {
        m_process.start(kProgram, args);
        EXPECT_TRUE(m_process.waitForStarted(5000)) << m_process.errorString().toStdString();
    }
    ~CSimProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // The next line of standard output, waiting at most timeoutMs.
    QString ReadLine(int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine() && clock.elapsed() < timeoutMs
               && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(100);
        return QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }

    // "listening on 127.0.0.1:N" gives N; 0 when the line is not that.
    quint16 ReadPort()
    {
        const QString line = ReadLine();
        EXPECT_TRUE(line.startsWith("listening on 127.0.0.1:")) << line.toStdString() << "\n"
                                                                << m_process.readAllStandardError().toStdString();
        return static_cast<quint16>(line.section(':', -1).toUInt());
    }

    // Sends SIGTERM; returns the exit code (-1: crashed or did not end).
    int Terminate()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }

    QProcess& Process() { return m_process; }

private:
    QProcess m_process;
};

TEST(SimProgram, ServesTcpAndPtyAndKeepsItsMemoryAcrossRestarts)
{
    CTestDir dir;
    const QStringList args = {"--kind", "two-color", "--listen", "127.0.0.1:0", "--pty", "--state", dir.Path("state"),
                              "--out", dir.Path("out")};
    {
        CSimProcess sim(args);
        const quint16 port = sim.ReadPort();
        const QString ptyLine = sim.ReadLine();
        ASSERT_TRUE(ptyLine.startsWith("pty /dev/pts/")) << ptyLine.toStdString();

        CSimClient client;
        ASSERT_TRUE(client.Connect(port));
        ASSERT_TRUE(client.Send(Hex("1B 40") + CapacityCommand()));
        EXPECT_EQ(client.Read(9, 3000), Hex("37 31 32 36 32 31 34 34 00"));
        ASSERT_TRUE(client.Send(TwoColorDefine('0', '1', 10, 2, {{0, 0}})));
        client.Close();

        CPtyClient line;
        ASSERT_TRUE(line.Open(ptyLine.mid(4)));
        ASSERT_TRUE(line.Send(Hex("1B 40") + ListKeysCommand()));
        EXPECT_EQ(line.Read(6, 3000), Hex("37 72 40 30 31 00"));
        // One log line per command follows the address lines.
        EXPECT_FALSE(sim.ReadLine().isEmpty());
        EXPECT_EQ(sim.Terminate(), 0);
    }
    EXPECT_TRUE(QFile::exists(dir.Path("state/nv-two-color.bin")));
    EXPECT_TRUE(QFile::exists(dir.Path("out/nv-3031.png")));
    EXPECT_TRUE(QFile::exists(dir.Path("out/index.json")));

    CSimProcess again({"--kind", "two-color", "--listen", "127.0.0.1:0", "--state", dir.Path("state"), "--quiet"});
    CSimClient client;
    ASSERT_TRUE(client.Connect(again.ReadPort()));
    ASSERT_TRUE(client.Send(ListKeysCommand() + CapacityCommand()));
    EXPECT_EQ(client.Read(6 + 9, 3000), Hex("37 72 40 30 31 00 37 31 32 36 32 31 31 37 00"));
    EXPECT_EQ(again.Terminate(), 0);
}

TEST(SimProgram, FaultOptionsReachTheLine)
{
    struct Case {
        QStringList options;
        QByteArray reply;
    };
    const Case cases[] = {
        {{"--reply", "garbage"}, Hex("3F A5 5A C3 81 7E 00")},
        {{"--reply-cut", "2"}, Hex("37 31")},
        {{"--reply", "none"}, {}},
    };
    for (const Case& c : cases) {
        CTestDir dir;
        CSimProcess sim(QStringList{"--kind", "two-color", "--listen", "127.0.0.1:0", "--no-state", "--quiet"} + c.options);
        CSimClient client;
        ASSERT_TRUE(client.Connect(sim.ReadPort()));
        ASSERT_TRUE(client.Send(CapacityCommand()));
        EXPECT_EQ(client.ReadUntilSilent(300, 3000), c.reply) << c.options.join(' ').toStdString();
        EXPECT_EQ(sim.Terminate(), 0);
    }
}

TEST(SimProgram, UsageErrorsHelpVersionAndStartFailures)
{
    struct Case {
        QStringList args;
        int exitCode;
        const char* output;  // expected in standard output or error
    };
    CTestDir dir;
    QFile blocker(dir.Path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Case cases[] = {
        {{}, 2, "--kind is required"},
        {{"--kind", "laser"}, 2, "--kind takes"},
        {{"--kind", "dot", "--listen", "localhost:99999"}, 2, "--listen takes"},
        {{"--kind", "dot", "--capacity", "-1"}, 2, "--capacity takes"},
        {{"--kind", "dot", "--reply", "sometimes"}, 2, "--reply takes"},
        {{"--kind", "dot", "--idle-timeout", "0"}, 2, "--idle-timeout takes"},
        {{"--kind", "dot", "--line-baud", "10"}, 2, "--line-baud takes"},
        {{"--kind", "dot", "--receive-buffer", "0"}, 2, "--receive-buffer takes"},
        {{"--kind", "dot", "--width", "wide"}, 2, "--width takes"},
        {{"--kind", "dot", "extra"}, 2, "Unexpected argument"},
        {{"--help"}, 0, "--pause-reading-after"},
        {{"--version"}, 0, "markograph-sim 3."},
        {{"--kind", "mono", "--listen", "127.0.0.1:0", "--state", dir.Path("file/state")}, 1, "cannot create the state folder"},
    };
    for (const Case& c : cases) {
        QProcess process;
        process.start(kProgram, c.args);
        ASSERT_TRUE(process.waitForFinished(10000)) << c.args.join(' ').toStdString();
        const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
        EXPECT_EQ(process.exitCode(), c.exitCode) << c.args.join(' ').toStdString() << "\n" << output.toStdString();
        EXPECT_TRUE(output.contains(c.output)) << c.args.join(' ').toStdString() << "\n" << output.toStdString();
    }
}

TEST(SimProgram, PrintableWidthFromTheCommandLineCutsWideImages)
{
    CTestDir dir;
    CSimProcess sim({"--kind", "two-color", "--listen", "127.0.0.1:0", "--no-state", "--out", dir.Path("out"),
                     "--width", "16"});
    CSimClient client;
    ASSERT_TRUE(client.Connect(sim.ReadPort()));
    // The reply to the list comes after the define was carried out.
    ASSERT_TRUE(client.Send(TwoColorDefine('0', '1', 24, 2, {{0, 0}}) + ListKeysCommand()));
    EXPECT_EQ(client.Read(6, 5000), Hex("37 72 40 30 31 00"));
    EXPECT_EQ(sim.Terminate(), 0);
    QFile index(dir.Path("out/index.json"));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray json = index.readAll();
    EXPECT_TRUE(json.contains("\"printableWidth\": 16")) << json.toStdString();
    EXPECT_TRUE(json.contains("\"clipped\": true")) << json.toStdString();
}

TEST(SimProgram, ALogNobodyReadsDoesNotStallThePrinter)
{
    CSimProcess sim({"--kind", "two-color", "--listen", "127.0.0.1:0", "--no-state"});
    CSimClient client;
    ASSERT_TRUE(client.Connect(sim.ReadPort()));
    // Some 20,000 log lines, far more than a pipe holds, while the test reads
    // none of them.
    QByteArray initialise;
    for (int i = 0; i < 20000; ++i)
        initialise += Hex("1B 40");
    ASSERT_TRUE(client.Send(initialise + CapacityCommand()));
    EXPECT_EQ(client.Read(9, 5000), Hex("37 31 32 36 32 31 34 34 00"));
    EXPECT_EQ(sim.Terminate(), 0);
}

TEST(SimProgram, APortInUseIsReportedAndFails)
{
    CSimProcess first({"--kind", "dot", "--listen", "127.0.0.1:0", "--no-state", "--quiet"});
    const quint16 port = first.ReadPort();
    QProcess second;
    second.start(kProgram, {"--kind", "dot", "--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--no-state"});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardError().contains("cannot listen"));
    EXPECT_EQ(first.Terminate(), 0);
}

}  // namespace
