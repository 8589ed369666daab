#include "framework/atomic_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

TEST(AtomicFile, ReplacesWholeAndKeepsPermissionsAndLinks)
{
    CTestDir dir;
    const QString path = dir.Path("out.bin");
    ASSERT_TRUE(WriteFileAtomically(path, QByteArray(3000, 'a'), nullptr));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(WriteFileAtomically(path, "short", nullptr));
    EXPECT_EQ(ReadAll(path), "short");
    const QFile::Permissions kept = QFile::permissions(path);
    EXPECT_TRUE(kept.testFlag(QFile::ReadGroup));
    EXPECT_FALSE(kept.testFlag(QFile::ReadOther));

    // Writing through a link replaces the file it points to, not the link.
    const QString link = dir.Path("link.bin");
    ASSERT_TRUE(QFile::link(path, link));
    ASSERT_TRUE(WriteFileAtomically(link, "through the link", nullptr));
    EXPECT_EQ(ReadAll(path), "through the link");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files | QDir::System), QStringList({"link.bin", "out.bin"}));
}

TEST(AtomicFile, AShortWriteFailsAndKeepsTheOldFile)
{
    CTestDir dir;
    const QString path = dir.Path("kept.bin");
    ASSERT_TRUE(WriteFileAtomically(path, "previous", nullptr));
    QString error;
    bool written = true;
    {
        CFileSizeLimit limit(1000);
        written = WriteFileAtomically(path, QByteArray(5000, 'x'), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_TRUE(error.contains("kept.bin")) << error.toStdString();
    EXPECT_EQ(ReadAll(path), "previous");
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files), QStringList({"kept.bin"}));  // no temporary file left
}

TEST(AtomicFile, DevicesAreWrittenInPlaceAndTheirErrorsReported)
{
    QString error;
    EXPECT_TRUE(WriteFileAtomically("/dev/null", "anything", &error)) << error.toStdString();
    EXPECT_FALSE(WriteFileAtomically("/dev/full", "anything", &error));
    EXPECT_TRUE(error.contains("/dev/full")) << error.toStdString();
    EXPECT_TRUE(QFileInfo("/dev/full").exists());

    CTestDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir.Root(), "a folder", &error));
    EXPECT_FALSE(WriteFileAtomically(dir.Path("no/such/folder/x"), "x", &error));
}

TEST(AtomicFile, TheReplacedFilesOwnerGroupAndModeStay)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "NOT RUN: needs root to make a file of another user; run the suite as root to cover it";
    constexpr uid_t kNobody = 65534;
    CTestDir dir;
    const QString path = dir.Path("NV.inf");
    ASSERT_TRUE(WriteFileAtomically(path, "old", nullptr));
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chown(name.constData(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(name.constData(), 02640), 0);  // set-group-id survives the change of owner too
    QString error;
    ASSERT_TRUE(WriteFileAtomically(path, "new", &error)) << error.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(name.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 02640u);
    EXPECT_EQ(ReadAll(path), "new");
}
