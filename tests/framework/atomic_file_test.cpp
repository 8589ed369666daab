#include "framework/atomic_file.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

TEST(AtomicFile, ReplacesWholeAndKeepsPermissions)
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

// Print files, logos, the model file, the logo store and fleet state are
// only ever replaced when they are regular files: a FIFO would hold the
// program for ever, and a link would have the file it points to replaced.
TEST(AtomicFile, SpecialFilesAndLinksAreRefusedAtOnceAndLeftAlone)
{
    CTestDir dir;
    const QString fifo = dir.Path("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString target = dir.Path("precious.txt");
    ASSERT_TRUE(WriteFileAtomically(target, "keep me", nullptr));
    const QString link = dir.Path("link.prn");
    ASSERT_TRUE(QFile::link(target, link));
    const QString dangling = dir.Path("dangling.prn");
    ASSERT_TRUE(QFile::link(dir.Path("not-yet.txt"), dangling));
    struct Case {
        QString path;
        const char* reason;
    };
    const Case cases[] = {
        {fifo, "it is a FIFO, not a regular file"},
        {QStringLiteral("/dev/null"), "it is a character device, not a regular file"},
        {dir.Root(), "it is a directory, not a regular file"},
        {link, "it is a symbolic link"},
        {dangling, "it is a symbolic link"},
    };
    for (const Case& c : cases) {
        QString error;
        // Before, the FIFO blocked here for ever and the link replaced its target.
        EXPECT_FALSE(WriteFileAtomically(c.path, "new contents", &error)) << c.path.toStdString();
        EXPECT_TRUE(error.startsWith(c.path + QStringLiteral(": cannot write, ") + QLatin1String(c.reason)))
            << error.toStdString();
    }
    EXPECT_EQ(ReadAll(target), "keep me");
    EXPECT_TRUE(QFileInfo(link).isSymLink() && QFileInfo(dangling).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(dir.Path("not-yet.txt")));
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
              QStringList({"dangling.prn", "link.prn", "pipe", "precious.txt"}));  // no temporary file left

    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.Path("no/such/folder/x"), "x", &error));
    // A link among the folders on the way is no concern of the file's.
    ASSERT_TRUE(QFile::link(dir.Root(), dir.Path("folder-link")));
    EXPECT_TRUE(WriteFileAtomically(dir.Path("folder-link/through-folder.txt"), "fine", &error)) << error.toStdString();
    EXPECT_EQ(ReadAll(dir.Path("through-folder.txt")), "fine");
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
