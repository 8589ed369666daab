#include "config/model_file.h"

#include "config/config_test_files.h"
#include "config/profile_file.h"
#include "support/read_only_folder.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// A model file with what a byte-for-byte copy must keep: CRLF line ends, a
// comment, an 8-bit character.
const QByteArray kInstalledBytes = "; installed\r\n[COMMON]\r\nDESCRIPTION=Markograph \xE9t\xE9\r\nModelName=TX-100\r\n";
const QByteArray kOtherBytes = "[COMMON]\nModelName=QX-80N\n";

// A prefix as an install lays it out: PREFIX/bin for the programs,
// PREFIX/share/markograph for the model file; and a config home beside it.
struct InstallTree {
    CTestDir dir;
    QString bin = dir.Path("prefix/bin");
    QString shared = dir.Path("prefix/share/markograph/NV.inf");
    QString config = dir.Path("config");
    QString userCopy = dir.Path("config/markograph/NV.inf");

    InstallTree() { EXPECT_TRUE(QDir().mkpath(bin)); }

    void PutShared(const QByteArray& bytes = kInstalledBytes)
    {
        EXPECT_TRUE(QDir().mkpath(QFileInfo(shared).absolutePath()));
        WriteFileBytes(shared, bytes);
    }
    void PutBeside(const QByteArray& bytes = kInstalledBytes) { WriteFileBytes(bin + "/NV.inf", bytes); }
};

// Resolves the model file with bin made read-only for the calling code, as
// /usr/bin is for an operator. Fails the test when that cannot be arranged.
QString ResolveInReadOnlyFolder(const InstallTree& tree)
{
    CReadOnlyFolder readOnly(tree.bin);
    QString path;
    QString whyNot;
    const bool ran = readOnly.Run([&] { path = ResolveModelFilePath(tree.bin, tree.config); }, &whyNot);
    EXPECT_TRUE(ran) << "could not run with a read-only program folder: " << whyNot.toStdString();
    return path;
}

TEST(ModelFilePath, BuildTreeUsesTheFileBesideTheExecutable)
{
    InstallTree tree;
    tree.PutBeside();
    tree.PutShared(kOtherBytes);
    EXPECT_EQ(ResolveModelFilePath(tree.bin, tree.config), tree.bin + "/NV.inf");
    EXPECT_FALSE(QFileInfo::exists(tree.config)) << "a build-tree run made a per-user copy";
}

TEST(ModelFilePath, WritableFolderWithoutAnyModelFileStaysBesideTheExecutable)
{
    InstallTree tree;
    EXPECT_EQ(ResolveModelFilePath(tree.bin, tree.config), tree.bin + "/NV.inf");
    EXPECT_FALSE(QFileInfo::exists(tree.config));
}

TEST(ModelFilePath, InstalledProgramCopiesTheSharedFileOnFirstUse)
{
    InstallTree tree;
    tree.PutShared();
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    EXPECT_EQ(ReadFileBytes(tree.userCopy), kInstalledBytes);
    EXPECT_EQ(ReadFileBytes(tree.shared), kInstalledBytes);
}

TEST(ModelFilePath, ReadOnlyFolderCopiesTheFileBesideTheExecutable)
{
    InstallTree tree;
    tree.PutBeside();
    tree.PutShared(kOtherBytes);
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    EXPECT_EQ(ReadFileBytes(tree.userCopy), kInstalledBytes) << "the file beside the executable comes first";
}

TEST(ModelFilePath, InstalledProgramRunByRootStillUsesTheUserCopy)
{
    // Root can write /usr/bin; the program still must not leave NV.inf there.
    InstallTree tree;
    tree.PutShared();
    EXPECT_EQ(ResolveModelFilePath(tree.bin, tree.config), tree.userCopy);
    EXPECT_EQ(ReadFileBytes(tree.userCopy), kInstalledBytes);
    EXPECT_FALSE(QFileInfo::exists(tree.bin + "/NV.inf"));
}

TEST(ModelFilePath, ExistingUserCopyIsKeptWhenThePackageChanges)
{
    InstallTree tree;
    tree.PutShared();
    ASSERT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    WriteFileBytes(tree.userCopy, kOtherBytes);  // the operator's settings
    WriteFileBytes(tree.shared, "[COMMON]\nModelName=DX-300\n");  // an update of the package
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    EXPECT_EQ(ReadFileBytes(tree.userCopy), kOtherBytes);
}

TEST(ModelFilePath, WritesGoToTheUserCopyAndLeaveTheInstalledFileAlone)
{
    InstallTree tree;
    tree.PutShared();
    const QString path = ResolveInReadOnlyFolder(tree);
    ASSERT_EQ(path, tree.userCopy);
    CProfileFile file(path);
    QString error;
    ASSERT_TRUE(file.WriteString("COMMON", "ModelName", "QX-58M", &error)) << error.toStdString();

    EXPECT_EQ(ReadFileBytes(tree.shared), kInstalledBytes);
    const CProfileFile again(ResolveInReadOnlyFolder(tree));
    EXPECT_EQ(again.ReadString("COMMON", "ModelName"), "QX-58M");
    EXPECT_EQ(again.ReadString("COMMON", "DESCRIPTION"), QString::fromLatin1("Markograph \xE9t\xE9"));
}

TEST(ModelFilePath, CopyThatCannotBeMadeFallsBackToTheInstalledFile)
{
    InstallTree tree;
    tree.PutShared();
    WriteFileBytes(tree.config, "a file where the config folder should be");
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), QDir::cleanPath(tree.shared));
    EXPECT_EQ(ReadFileBytes(tree.shared), kInstalledBytes);
}

TEST(ModelFilePath, UnreadableInstalledFileMakesNoEmptyCopy)
{
    InstallTree tree;
    tree.PutShared();
    ASSERT_TRUE(QFile::setPermissions(tree.shared, QFileDevice::WriteOwner));
    // Root reads any file; the read-only thread has given that right up.
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), QDir::cleanPath(tree.shared));
    EXPECT_FALSE(QFileInfo::exists(tree.userCopy)) << "a copy of a file that could not be read";
}

TEST(ModelFilePath, NoConfigFolderUsesTheInstalledFile)
{
    InstallTree tree;
    tree.PutShared();
    CReadOnlyFolder readOnly(tree.bin);
    QString path;
    QString whyNot;
    ASSERT_TRUE(readOnly.Run([&] { path = ResolveModelFilePath(tree.bin, QString()); }, &whyNot))
        << whyNot.toStdString();
    EXPECT_EQ(path, QDir::cleanPath(tree.shared));
}

TEST(ModelFilePath, WithoutAnyInstalledFileTheUserPathIsUsedAndNothingIsCreated)
{
    InstallTree tree;
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    EXPECT_FALSE(QFileInfo::exists(tree.userCopy));
}

TEST(ModelFilePath, UserCopyAloneIsUsedWhenTheInstalledFileIsGone)
{
    InstallTree tree;
    QDir().mkpath(tree.config + "/markograph");
    WriteFileBytes(tree.userCopy, kOtherBytes);
    EXPECT_EQ(ResolveInReadOnlyFolder(tree), tree.userCopy);
    EXPECT_EQ(ReadFileBytes(tree.userCopy), kOtherBytes);
}

}  // namespace
