#include "sim_test_support.h"

#include "sim/virtual_printer.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include "framework/file_descriptor.h"

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray kCapacityReply = Hex("37 31 32 36 32 31 34 34 00");

SimOptions LoopbackOptions()
{
    SimOptions options;
    options.listenPort = 0;
    return options;
}

// A two-colour printer on a free loopback port; the test fails loudly when
// it cannot start.
struct RunningPrinter {
    explicit RunningPrinter(SimOptions options = LoopbackOptions(), PrinterKind kind = PrinterKind::TwoColor)
    {
        const std::optional<quint16> started = printer.Start(kind, options);
        EXPECT_TRUE(started) << printer.ErrorString().toStdString();
        port = started.value_or(0);
    }
    CVirtualPrinter printer;
    quint16 port = 0;
};

TEST(SimServer, AnswersOverTcpAsSoonAsTheQueryIsComplete)
{
    RunningPrinter p;
    ASSERT_NE(p.port, 0);
    EXPECT_EQ(p.printer.ListenAddress(), "127.0.0.1");
    CSimClient client;
    ASSERT_TRUE(client.Connect(p.port));
    ASSERT_TRUE(client.Send(Hex("1B 40") + CapacityCommand()));
    EXPECT_EQ(client.Read(9, 2000), kCapacityReply);
    ASSERT_TRUE(client.Send(TwoColorDefine('0', '1', 10, 2) + TwoColorDefine('0', '2', 10, 2) + Hex("1B 40")
                            + ListKeysCommand()));
    EXPECT_EQ(client.Read(8, 2000), Hex("37 72 40 30 31 30 32 00"));
    // The query's last byte alone releases the reply.
    ASSERT_TRUE(client.Send(CapacityCommand().chopped(1)));
    EXPECT_TRUE(client.ReadUntilSilent(150, 1000).isEmpty());
    ASSERT_TRUE(client.Send(CapacityCommand().right(1)));
    EXPECT_EQ(client.Read(9, 2000), Hex("37 31 32 36 32 30 39 30 00"));
}

TEST(SimServer, EveryConnectionIsServedOnItsOwnAndAnIdleOneIsClosed)
{
    SimOptions options = LoopbackOptions();
    options.idleTimeoutMs = 400;
    RunningPrinter p(options);
    CSimClient idle;
    CSimClient busy;
    ASSERT_TRUE(idle.Connect(p.port));
    ASSERT_TRUE(idle.Send(Hex("1D 28 4C")));  // half a command, then nothing
    ASSERT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().bytesReceived == 3; }, 2000));
    // Another host is answered while the first one holds its connection.
    ASSERT_TRUE(busy.Connect(p.port));
    ASSERT_TRUE(busy.Send(CapacityCommand()));
    EXPECT_EQ(busy.Read(9, 2000), kCapacityReply);
    // The silent one is closed after its idle limit; its half command goes.
    EXPECT_TRUE(idle.WaitClosed(5000));
    EXPECT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().commandsAbandoned == 1; }, 2000));
    EXPECT_EQ(p.printer.Counters().connections, 2);
}

TEST(SimServer, IsIdleOnlyOnceEveryClosedConnectionIsCarriedOut)
{
    // With every slot taken, the next connection waits in the backlog: a
    // host that wrote an image there and closed has not been served yet.
    RunningPrinter p;
    ASSERT_NE(p.port, 0);
    std::vector<CSimClient> holders(CVirtualPrinter::kMaxConnections);
    for (CSimClient& holder : holders)
        ASSERT_TRUE(holder.Connect(p.port));
    const qint64 held = qint64(holders.size());
    ASSERT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().connections == held; }, 5000));
    CSimClient late;
    ASSERT_TRUE(late.Connect(p.port));
    ASSERT_TRUE(late.Send(TwoColorDefine('0', '1', 10, 2)));
    late.Close();
    EXPECT_FALSE(p.printer.IsIdle());
    for (CSimClient& holder : holders)
        holder.Close();
    ASSERT_TRUE(p.printer.WaitFor([&] { return p.printer.IsIdle(); }, 5000));
    EXPECT_EQ(p.printer.StoredImages().size(), 1u);
    EXPECT_EQ(p.printer.Counters().connections, held + 1);
    p.printer.Stop();
    EXPECT_TRUE(p.printer.IsIdle());
}

TEST(SimServer, AHalfCommandIsDroppedAfterSilence)
{
    SimOptions options = LoopbackOptions();
    options.commandTimeoutMs = 150;
    RunningPrinter p(options);
    CSimClient client;
    ASSERT_TRUE(client.Connect(p.port));
    ASSERT_TRUE(client.Send(Hex("1D 38 4C 14 00 00 00 30 43 30 30 31")));
    EXPECT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().commandsAbandoned == 1; }, 3000));
    ASSERT_TRUE(client.Send(CapacityCommand()));
    EXPECT_EQ(client.Read(9, 2000), kCapacityReply);
}

TEST(SimServer, AnswersOverThePseudoTerminal)
{
    SimOptions options = LoopbackOptions();
    options.pty = true;
    RunningPrinter p(options);
    ASSERT_TRUE(p.printer.PtyPath().startsWith("/dev/pts/")) << p.printer.PtyPath().toStdString();
    CPtyClient line;
    ASSERT_TRUE(line.Open(p.printer.PtyPath()));
    ASSERT_TRUE(line.Send(Hex("1B 40") + CapacityCommand()));
    EXPECT_EQ(line.Read(9, 2000), kCapacityReply);
    // Binary bytes pass untouched: 0D and 0A are not translated, nothing is echoed.
    ASSERT_TRUE(line.Send(TwoColorDefine('\x30', '\x31', 8, 2, {{4, 0}, {5, 0}, {6, 0}, {7, 0}, {4, 1}, {6, 1}})
                          + ListKeysCommand()));
    EXPECT_EQ(line.Read(6, 2000), Hex("37 72 40 30 31 00"));
    ASSERT_EQ(p.printer.StoredImages().size(), 1u);
    EXPECT_EQ(p.printer.StoredImages()[0].dots.Count(CDotGrid::Black), 6);
    // The TCP side is served at the same time.
    CSimClient client;
    ASSERT_TRUE(client.Connect(p.port));
    ASSERT_TRUE(client.Send(ListKeysCommand()));
    EXPECT_EQ(client.Read(6, 2000), Hex("37 72 40 30 31 00"));
}

TEST(SimServer, APurgeOfTheHostsOutputLosesWhatIsStillOnTheSerialLine)
{
    SimOptions options = LoopbackOptions();
    options.pty = true;
    options.lineBaud = 1200;  // 120 characters a second: an image takes a while
    RunningPrinter p(options);
    CFileDescriptor host(::open(QFile::encodeName(p.printer.PtyPath()).constData(), O_RDWR | O_NOCTTY));
    ASSERT_TRUE(host.IsValid());
    termios raw{};
    ::tcgetattr(host.Get(), &raw);
    ::cfmakeraw(&raw);
    ASSERT_EQ(::tcsetattr(host.Get(), TCSANOW, &raw), 0);
    const QByteArray define = TwoColorDefine('0', '1', 16, 8);
    const auto query = [&] {
        // The reply leaves once everything before the query has crossed.
        EXPECT_EQ(::write(host.Get(), CapacityCommand().constData(), 7), 7);
        char reply[16] = {};
        qsizetype got = 0;
        for (int i = 0; i < 100 && (got == 0 || reply[got - 1] != '\0'); ++i) {
            pollfd entry{host.Get(), POLLIN, 0};
            if (::poll(&entry, 1, 100) > 0)
                got += ::read(host.Get(), reply + got, sizeof reply - static_cast<size_t>(got));
        }
        return got;
    };

    // Taken by the line but not across yet when the host purges, as a host
    // that closes and reopens the port does.
    ASSERT_EQ(::write(host.Get(), define.constData(), define.size()), define.size());
    ASSERT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().lineBytesTaken == define.size(); }, 5000));
    ASSERT_EQ(::tcflush(host.Get(), TCOFLUSH), 0);
    EXPECT_GT(query(), 0);
    EXPECT_TRUE(p.printer.StoredImages().empty());
    // The line runs in real time: on a loaded machine a byte or two may
    // cross between the last byte taken and the purge.
    EXPECT_GT(p.printer.Counters().lineBytesLost, define.size() - 8);
    EXPECT_LE(p.printer.Counters().lineBytesLost, define.size());

    // Given the time to cross, the image stays, purge or not.
    ASSERT_EQ(::write(host.Get(), define.constData(), define.size()), define.size());
    EXPECT_GT(query(), 0);
    ASSERT_EQ(::tcflush(host.Get(), TCOFLUSH), 0);
    ASSERT_EQ(p.printer.StoredImages().size(), 1u);
}

struct FaultCase {
    const char* name;
    SimFaults faults;
    std::function<void(CSimClient&, CVirtualPrinter&)> check;
};

SimFaults Fault(std::function<void(SimFaults&)> set)
{
    SimFaults faults;
    set(faults);
    return faults;
}

const FaultCase kFaultCases[] = {
    {"CloseAfterBytes", Fault([](SimFaults& f) { f.closeAfterBytes = 5; }),
     [](CSimClient& client, CVirtualPrinter& printer) {
         ASSERT_TRUE(client.Send(ListKeysCommand()));
         EXPECT_TRUE(client.WaitClosed(2000));
         EXPECT_EQ(printer.Counters().bytesReceived, 5);
         EXPECT_EQ(printer.Counters().repliesSent, 0);
     }},
    {"NoReply", Fault([](SimFaults& f) { f.reply = SimReplyFault::None; }),
     [](CSimClient& client, CVirtualPrinter& printer) {
         ASSERT_TRUE(client.Send(CapacityCommand()));
         EXPECT_TRUE(client.ReadUntilSilent(250, 1000).isEmpty());
         EXPECT_TRUE(printer.WaitFor([&] { return printer.Counters().bytesReceived == 7; }, 1000));
         EXPECT_FALSE(client.WaitClosed(50));
     }},
    {"GarbageReply", Fault([](SimFaults& f) { f.reply = SimReplyFault::Garbage; }),
     [](CSimClient& client, CVirtualPrinter&) {
         ASSERT_TRUE(client.Send(ListKeysCommand()));
         EXPECT_EQ(client.Read(7, 2000), Hex("3F A5 5A C3 81 7E 00"));
     }},
    {"EndlessReply", Fault([](SimFaults& f) { f.reply = SimReplyFault::Endless; }),
     [](CSimClient& client, CVirtualPrinter&) {
         ASSERT_TRUE(client.Send(CapacityCommand()));
         const QByteArray reply = client.Read(100000, 5000);
         ASSERT_GE(reply.size(), 100000);
         EXPECT_TRUE(reply.startsWith(Hex("37 31 32 36 32 31 34 34 39 39")));
         EXPECT_FALSE(reply.contains('\0'));
     }},
    {"ReplyCutShort", Fault([](SimFaults& f) { f.reply = SimReplyFault::CutShort; f.cutReplyBytes = 3; }),
     [](CSimClient& client, CVirtualPrinter&) {
         ASSERT_TRUE(client.Send(CapacityCommand()));
         EXPECT_EQ(client.ReadUntilSilent(250, 2000), Hex("37 31 32"));
     }},
    {"PauseReading", Fault([](SimFaults& f) { f.pauseReadingAfterBytes = 100; f.pauseReadingMs = 1000; }),
     [](CSimClient& client, CVirtualPrinter& printer) {
         // The host's writes block: a non-blocking writer soon meets a full line.
         const int small = 4096;
         ::setsockopt(client.Fd(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
         ::fcntl(client.Fd(), F_SETFL, ::fcntl(client.Fd(), F_GETFL) | O_NONBLOCK);
         const QByteArray zeros(4096, '\0');
         qint64 written = 0;
         bool blocked = false;
         QElapsedTimer clock;
         clock.start();
         while (!blocked && written < 16 * 1024 * 1024 && clock.elapsed() < 300) {
             const ssize_t sent = ::send(client.Fd(), zeros.constData(), zeros.size(), MSG_NOSIGNAL);
             if (sent > 0)
                 written += sent;
             blocked = sent < 0 && errno == EAGAIN;
         }
         EXPECT_TRUE(blocked) << written << " bytes written without blocking";
         EXPECT_TRUE(printer.WaitFor([&] { return printer.Counters().bytesReceived >= 100; }, 2000));
         EXPECT_EQ(printer.Counters().bytesReceived, 100);
         ::fcntl(client.Fd(), F_SETFL, ::fcntl(client.Fd(), F_GETFL) & ~O_NONBLOCK);
         EXPECT_TRUE(printer.WaitFor([&] { return printer.Counters().bytesReceived == written; }, 5000));
         ASSERT_TRUE(client.Send(CapacityCommand()));
         EXPECT_EQ(client.Read(9, 2000), kCapacityReply);
     }},
    {"ReadRate", Fault([](SimFaults& f) { f.readBytesPerSecond = 20000; }),
     [](CSimClient& client, CVirtualPrinter& printer) {
         // 6,000 bytes at 20,000 per second take at least 0.25 s before the query is read.
         QElapsedTimer clock;
         clock.start();
         ASSERT_TRUE(client.Send(QByteArray(6000, '\0') + CapacityCommand()));
         EXPECT_EQ(client.Read(9, 5000), kCapacityReply);
         EXPECT_GE(clock.elapsed(), 250);
         EXPECT_EQ(printer.Counters().bytesReceived, 6007);
     }},
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class SimFaultModes : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SimFaultModes, AreObservableFromAClient)
{
    SimOptions options = LoopbackOptions();
    options.faults = GetParam().faults;
    RunningPrinter p(options);
    CSimClient client;
    ASSERT_TRUE(client.Connect(p.port));
    GetParam().check(client, p.printer);
    // Switched off, the printer behaves again on the next connection.
    p.printer.SetFaults({});
    client.Close();
    CSimClient next;
    ASSERT_TRUE(next.Connect(p.port));
    ASSERT_TRUE(next.Send(CapacityCommand()));
    EXPECT_EQ(next.Read(9, 3000), kCapacityReply);
}

INSTANTIATE_TEST_SUITE_P(Faults, SimFaultModes, ::testing::ValuesIn(kFaultCases),
                         [](const ::testing::TestParamInfo<FaultCase>& param) { return param.param.name; });

TEST(SimServer, EndlessReplyOnThePseudoTerminalEndsWithTheNextCommand)
{
    SimOptions options = LoopbackOptions();
    options.pty = true;
    options.faults.reply = SimReplyFault::Endless;
    RunningPrinter p(options);
    CPtyClient line;
    ASSERT_TRUE(line.Open(p.printer.PtyPath()));
    ASSERT_TRUE(line.Send(CapacityCommand()));
    const QByteArray first = line.Read(20000, 3000);
    EXPECT_GE(first.size(), 20000);
    EXPECT_FALSE(first.contains('\0'));
    p.printer.SetFaults({});
    ASSERT_TRUE(line.Send(Hex("1B 40")));
    // Whatever filler was still on its way drains; then the line is quiet
    // and answers normally.
    EXPECT_FALSE(line.ReadUntilSilent(200, 3000).contains('\0'));
    ASSERT_TRUE(line.Send(CapacityCommand()));
    EXPECT_EQ(line.Read(9, 2000), kCapacityReply);
}

TEST(SimServer, StopClosesTheLinesAndKeepsTheReport)
{
    RunningPrinter p;
    CSimClient client;
    ASSERT_TRUE(client.Connect(p.port));
    ASSERT_TRUE(client.Send(TwoColorDefine('0', '1', 8, 1).left(10)));
    ASSERT_TRUE(p.printer.WaitFor([&] { return p.printer.Counters().bytesReceived == 10; }, 2000));
    p.printer.Stop();
    EXPECT_FALSE(p.printer.IsRunning());
    EXPECT_TRUE(client.WaitClosed(2000));
    EXPECT_EQ(p.printer.Counters().commandsAbandoned, 1);
    CSimClient late;
    EXPECT_FALSE(late.Connect(p.port));
}

}  // namespace
