// Inputs that are not regular files are refused at once, never opened for a
// read that could wait for ever.
#include "framework/regular_file.h"
#include "config/config_test_files.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A listening-less Unix socket file: a file system entry of its own kind.
bool MakeSocketFile(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || name.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
        return false;
    std::copy(name.begin(), name.end(), address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    return bound;
}

struct NonRegularCase {
    const char* name;
    const char* kind;  // part of the reason
};

class RegularFileRefusal : public ::testing::TestWithParam<NonRegularCase> {};

// Makes the entry the case names and gives its path. The device is only
// looked at by the code under test (the type is checked before any open),
// so the null device stands for every device.
QString MakeEntry(const CTestDir& dir, const std::string& name)
{
    const QString path = dir.Path("input");
    if (name == "Fifo")
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (name == "Directory")
        EXPECT_TRUE(QDir().mkdir(path));
    else if (name == "Socket")
        EXPECT_TRUE(MakeSocketFile(path));
    else
        return QStringLiteral("/dev/null");
    return path;
}

TEST_P(RegularFileRefusal, IsRefusedAtOnceWithItsKind)
{
    CTestDir dir;
    const QString path = MakeEntry(dir, GetParam().name);
    QFile file;
    QString reason;
    // A FIFO without a writer would block here if it were opened for reading.
    EXPECT_FALSE(OpenRegularFile(path, file, &reason));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(reason, QStringLiteral("it is %1, not a regular file").arg(QLatin1String(GetParam().kind)));
    EXPECT_EQ(NonRegularFileReason(path), reason);
}

INSTANTIATE_TEST_SUITE_P(Entries, RegularFileRefusal,
                         ::testing::Values(NonRegularCase{"Fifo", "a FIFO"}, NonRegularCase{"Directory", "a directory"},
                                           NonRegularCase{"Socket", "a socket"},
                                           NonRegularCase{"Device", "a character device"}),
                         [](const ::testing::TestParamInfo<NonRegularCase>& testInfo) { return std::string(testInfo.param.name); });

}  // namespace

TEST(RegularFile, PlainFilesAndLinksToThemOpenAndMissingOnesSayWhy)
{
    CTestDir dir;
    const QString plain = dir.Path("plain.txt");
    WriteFileBytes(plain, "contents\n");
    ASSERT_TRUE(QFile::link(plain, dir.Path("link.txt")));
    for (const QString& path : {plain, dir.Path("link.txt")}) {
        QFile file;
        QString reason;
        ASSERT_TRUE(OpenRegularFile(path, file, &reason)) << reason.toStdString();
        EXPECT_EQ(file.readAll(), "contents\n");
        EXPECT_TRUE(NonRegularFileReason(path).isEmpty());
    }
    QFile missing;
    QString reason;
    EXPECT_FALSE(OpenRegularFile(dir.Path("nothing.txt"), missing, &reason));
    EXPECT_EQ(reason, QStringLiteral("No such file or directory"));
}
