#include "sim_test_support.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QString HexText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

CoreHarness::CoreHarness(PrinterKind kind, SimOptions options)
{
    core = std::make_unique<CPrinterCore>(kind, options);
    QStringList notes;
    QString error;
    EXPECT_TRUE(core->Open(&notes, &error)) << error.toStdString();
    session = std::make_unique<CStreamSession>(*core, QStringLiteral("test"),
                                               [this](const QByteArray& reply) { replies += reply; });
}

void FeedSplit(CStreamSession& session, const QByteArray& stream, Split split, unsigned seed)
{
    std::mt19937 random(seed);
    qsizetype at = 0;
    while (at < stream.size()) {
        qsizetype take = stream.size() - at;
        if (split == Split::ByteByByte)
            take = 1;
        else if (split == Split::Random)
            take = std::min<qsizetype>(take, std::uniform_int_distribution<int>(1, 97)(random));
        session.Feed(QByteArrayView(stream).sliced(at, take));
        at += take;
    }
}

QByteArray MonoRecordOf(int width, int height, const std::vector<std::pair<int, int>>& blackDots)
{
    const int xBytes = (width + 7) / 8;
    const int yBytes = (height + 7) / 8;
    QByteArray record(4 + xBytes * 8 * yBytes, '\0');
    record[0] = static_cast<char>(xBytes & 0xFF);
    record[1] = static_cast<char>(xBytes >> 8);
    record[2] = static_cast<char>(yBytes & 0xFF);
    record[3] = static_cast<char>(yBytes >> 8);
    for (const auto& [x, y] : blackDots)
        record[4 + x * yBytes + y / 8] = static_cast<char>(record[4 + x * yBytes + y / 8] | (0x80 >> (y % 8)));
    return record;
}

QByteArray TwoColorDefine(char kc1, char kc2, int width, int height, const std::vector<std::pair<int, int>>& black,
                          const std::vector<std::pair<int, int>>& red)
{
    const int rowBytes = (width + 7) / 8;
    const int plane = rowBytes * height;
    const int length = 2 * plane + 12;
    QByteArray command = Hex("1D 38 4C");
    for (int i = 0; i < 4; ++i)
        command += static_cast<char>((length >> (8 * i)) & 0xFF);
    command += Hex("30 43 30");
    command += kc1;
    command += kc2;
    command += '\x02';
    command += static_cast<char>((rowBytes * 8) & 0xFF);
    command += static_cast<char>((rowBytes * 8) >> 8);
    command += static_cast<char>(height & 0xFF);
    command += static_cast<char>(height >> 8);
    QByteArray black1(plane, '\0');
    QByteArray red2(plane, '\0');
    for (const auto& [x, y] : black)
        black1[y * rowBytes + x / 8] = static_cast<char>(black1[y * rowBytes + x / 8] | (0x80 >> (x % 8)));
    for (const auto& [x, y] : red)
        red2[y * rowBytes + x / 8] = static_cast<char>(red2[y * rowBytes + x / 8] | (0x80 >> (x % 8)));
    return command + '\x31' + black1 + '\x32' + red2;
}

QByteArray DotDefine(const std::vector<QByteArray>& streams)
{
    QByteArray define = Hex("1B 67 00");
    define += static_cast<char>(streams.size());
    for (const QByteArray& stream : streams) {
        define += static_cast<char>(stream.size() >> 8);
        define += static_cast<char>(stream.size() & 0xFF);
    }
    for (const QByteArray& stream : streams)
        define += stream;
    return define;
}

QByteArray ListKeysCommand()
{
    return Hex("1D 28 4C 04 00 30 40 4B 43");
}

QByteArray CapacityCommand()
{
    return Hex("1D 28 4C 02 00 30 33");
}

namespace {

// Reads from fd until done(bytes) or timeoutMs; false on end of input.
QByteArray ReadBounded(int fd, int timeoutMs, const std::function<bool(const QByteArray&)>& done, int silenceMs = -1)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (!done(bytes) && clock.elapsed() < timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        const int wait = static_cast<int>(std::max<qint64>(timeoutMs - clock.elapsed(), 0));
        const int ready = ::poll(&p, 1, silenceMs >= 0 ? std::min(wait, silenceMs) : wait);
        if (ready == 0 && silenceMs >= 0)
            break;
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        bytes.append(buffer, got);
    }
    return bytes;
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype at = 0;
    QElapsedTimer clock;
    clock.start();
    while (at < bytes.size() && clock.elapsed() < 10000) {
        const ssize_t sent = ::write(fd, bytes.constData() + at, static_cast<size_t>(bytes.size() - at));
        if (sent > 0) {
            at += sent;
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd p{fd, POLLOUT, 0};
        ::poll(&p, 1, 100);
    }
    return at == bytes.size();
}

}  // namespace

bool CSimClient::Connect(quint16 port)
{
    m_fd.Reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return m_fd.IsValid() && ::connect(m_fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
}

bool CSimClient::Send(const QByteArray& bytes)
{
    return WriteAll(m_fd.Get(), bytes);
}

QByteArray CSimClient::Read(qsizetype count, int timeoutMs)
{
    return ReadBounded(m_fd.Get(), timeoutMs, [count](const QByteArray& b) { return b.size() >= count; });
}

QByteArray CSimClient::ReadUntilSilent(int silenceMs, int timeoutMs)
{
    return ReadBounded(m_fd.Get(), timeoutMs, [](const QByteArray&) { return false; }, silenceMs);
}

bool CSimClient::WaitClosed(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        pollfd p{m_fd.Get(), POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::recv(m_fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN))
            return true;
    }
    return false;
}

bool CPtyClient::Open(const QString& path)
{
    m_fd.Reset(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_fd.IsValid())
        return false;
    termios settings{};
    ::tcgetattr(m_fd.Get(), &settings);
    ::cfmakeraw(&settings);
    return ::tcsetattr(m_fd.Get(), TCSANOW, &settings) == 0;
}

bool CPtyClient::Send(const QByteArray& bytes)
{
    return WriteAll(m_fd.Get(), bytes);
}

QByteArray CPtyClient::Read(qsizetype count, int timeoutMs)
{
    return ReadBounded(m_fd.Get(), timeoutMs, [count](const QByteArray& b) { return b.size() >= count; });
}

QByteArray CPtyClient::ReadUntilSilent(int silenceMs, int timeoutMs)
{
    return ReadBounded(m_fd.Get(), timeoutMs, [](const QByteArray&) { return false; }, silenceMs);
}
