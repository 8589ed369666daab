#include "transport/printer_socket.h"

#include "support/message_recorder.h"
#include "transport/loopback_server.h"

#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Uses up every descriptor this process may open while it lives, so that
// the system has no socket to give.
class CNoFreeDescriptors {
public:
    CNoFreeDescriptors()
    {
        getrlimit(RLIMIT_NOFILE, &m_previous);
        int highest = 0;
        for (int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC); fd >= 0; fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) {
            m_held.push_back(fd);
            highest = fd;
            if (m_held.size() > 100000)
                break;
            if (m_held.size() == 1) {  // lower the limit once the first gap is known
                rlimit limit = m_previous;
                limit.rlim_cur = static_cast<rlim_t>(fd) + 64;
                setrlimit(RLIMIT_NOFILE, &limit);
            }
        }
        m_exhausted = errno == EMFILE && highest > 0;
    }
    ~CNoFreeDescriptors()
    {
        for (int fd : m_held)
            ::close(fd);
        setrlimit(RLIMIT_NOFILE, &m_previous);
    }
    CNoFreeDescriptors(const CNoFreeDescriptors&) = delete;
    CNoFreeDescriptors& operator=(const CNoFreeDescriptors&) = delete;

    bool Exhausted() const { return m_exhausted; }

private:
    rlimit m_previous{};
    std::vector<int> m_held;
    bool m_exhausted = false;
};

const QString kLoopback = QStringLiteral("127.0.0.1");
const QString kConnectFailed = QStringLiteral(
    "Error : Failed to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"");

TEST(PrinterSocket, SendsEveryByteAndReceivesTheReply)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CMessageRecorder messages;
    CPrinterSocket socket;
    ASSERT_TRUE(socket.OpenConnection(kLoopback, printer.Port()));
    ASSERT_TRUE(printer.Accept());

    const QByteArray job(300000, '\x5a');  // more than the socket buffers hold at once
    EXPECT_EQ(socket.Send(job.constData(), job.size()), job.size());
    EXPECT_EQ(printer.ReceiveUntil(job.size()).size(), job.size());

    ASSERT_TRUE(printer.SendToClient(QByteArray("\x00", 1)));
    char byte = 1;
    EXPECT_EQ(socket.Receive(&byte, 1), 1);
    EXPECT_EQ(byte, 0);
    EXPECT_TRUE(messages.Texts().isEmpty());
    socket.Close();
    EXPECT_FALSE(socket.IsCreated());
}

TEST(PrinterSocket, ReceiveThatTimesOutDeliversFewerBytes)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CPrinterSocket socket;
    ASSERT_TRUE(socket.OpenConnection(kLoopback, printer.Port()));
    ASSERT_TRUE(printer.Accept());
    ASSERT_TRUE(printer.SendToClient("abc"));

    char buffer[10] = {};
    int got = 0;
    for (int i = 0; i < 3 && got < 3; ++i)  // the three bytes may come in pieces
        got += socket.Receive(buffer + got, 10 - got);
    EXPECT_EQ(got, 3);
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("abc"));
    const TransferResult nothing = socket.Read(buffer, 10, 100);
    EXPECT_EQ(nothing.transferred, 0);
    EXPECT_EQ(nothing.error.code, ETIMEDOUT);
}

TEST(PrinterSocket, RefusedConnectionShowsTheMessageAndLeavesNoSocket)
{
    CMessageRecorder messages;
    CPrinterSocket socket;
    TransportError reason;
    EXPECT_FALSE(socket.OpenConnection(kLoopback, UnusedLoopbackPort(), &reason));
    EXPECT_EQ(reason.code, ECONNREFUSED);
    EXPECT_EQ(messages.Texts(), QStringList{kConnectFailed});
    EXPECT_FALSE(socket.IsCreated());
    EXPECT_EQ(socket.Send("x", 1), -1);
    char byte = 0;
    EXPECT_EQ(socket.Receive(&byte, 1), 0);
}

TEST(PrinterSocket, ConnectToAPrinterThatDoesNotAnswerEndsAfterTheTimeOut)
{
    // A listener whose backlog is full drops further connection requests, as
    // a printer that is switched off does not answer them.
    CLoopbackServer printer(0);
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    ASSERT_TRUE(printer.ConnectOwnClient());
    CMessageRecorder messages;
    CPrinterSocket socket(300);
    TransportError reason;
    EXPECT_FALSE(socket.OpenConnection(kLoopback, printer.Port(), &reason));
    EXPECT_EQ(reason.code, ETIMEDOUT);
    EXPECT_EQ(messages.Texts(), QStringList{kConnectFailed});
    EXPECT_FALSE(socket.IsCreated());
}

TEST(PrinterSocket, NoSocketToBeHadShowsTheCreateMessage)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CMessageRecorder messages;
    CPrinterSocket socket;
    bool opened = true;
    TransportError reason;
    // One connection while descriptors are free, so that what the process
    // sets up on first use is there (the sanitizer runtime checks a type on
    // its first call through a pointer with a pipe, which it could not open
    // later): what fails below is the socket alone.
    ASSERT_TRUE(socket.OpenConnection(kLoopback, printer.Port(), &reason));
    socket.Close();
    {
        CNoFreeDescriptors exhausted;
        ASSERT_TRUE(exhausted.Exhausted()) << "cannot use up the descriptors";
        opened = socket.OpenConnection(kLoopback, printer.Port(), &reason);
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(reason.code, EMFILE);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Error : Failed to Create socket!")});
    EXPECT_FALSE(socket.IsCreated());
}

TEST(PrinterSocket, PortOutsideTheTcpRangeIsRefusedNotWrapped)
{
    CLoopbackServer printer;
    ASSERT_TRUE(printer.IsValid()) << "cannot listen on 127.0.0.1";
    CMessageRecorder messages;
    CPrinterSocket socket;
    TransportError reason;
    // 65536 more than the real port would land on it after wrapping.
    EXPECT_FALSE(socket.OpenConnection(kLoopback, printer.Port() + 65536, &reason));
    EXPECT_EQ(reason.code, EINVAL);
    EXPECT_EQ(messages.Texts(), QStringList{kConnectFailed});
    EXPECT_FALSE(printer.Accept(100));
}

}  // namespace
