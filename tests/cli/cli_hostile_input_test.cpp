// What a hostile or unlucky user can hand convert: inputs that are not
// files, a file-size limit, hand-made logo lists, files of other users, and
// compressed bitmaps whose pixels must not depend on the allocator.
#include "cli/cli_run.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kNobody = 65534;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString BlackLogo(const CTestDir& dir, const QString& name, int width = 8, int height = 8)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [](int x, int y) { return (x + y) % 3 == 0 ? win::MakeColorRef(0, 0, 0) : win::MakeColorRef(255, 255, 255); };
    EXPECT_TRUE(WriteBmp(dir.Path(name), spec));
    return dir.Path(name);
}

QStringList ConvertArgs(const QString& out, const QStringList& more)
{
    return QStringList{"convert", "--nv-inf", "/nonexistent/NV.inf", "--no-limits", "--model-type", "1",
                       "--receipt-width", "512", "-o", out} + more;
}

QStringList FilesIn(const CTestDir& dir)
{
    return QDir(dir.Root()).entryList(QDir::Files | QDir::System | QDir::Hidden);
}

}  // namespace

// ------------------------------------------------------- not regular files

TEST(CliHostileInput, AFifoOrFolderAsLogoListOrModelFileIsRefusedAtOnce)
{
    CTestDir dir;
    const QString fifo = dir.Path("pipe.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString logo = BlackLogo(dir, "logo.bmp");
    const QString out = dir.Path("out.prn");
    struct Case {
        const char* name;
        QStringList args;
        QString path;
        const char* kind;
    };
    const Case cases[] = {
        {"fifo logo", ConvertArgs(out, {fifo}), fifo, "FIFO"},
        {"folder logo", ConvertArgs(out, {dir.Root()}), dir.Root(), "directory"},
        {"fifo logo list", ConvertArgs(out, {"--logo-list", fifo}), fifo, "FIFO"},
        {"fifo model file", {"convert", "--nv-inf", fifo, "-o", out, logo}, fifo, "FIFO"},
    };
    for (const Case& c : cases) {
        // Before the mend this waited for ever for a writer to the FIFO.
        const CliResult result = RunCli(c.args);
        EXPECT_EQ(result.exitCode, 1) << c.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(QFile::encodeName(c.path))) << c.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.kind)) << c.name << ": " << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
}

// Outputs go through the same type check as inputs, and a link is never
// written through: import, convert and preview (the desktop's Save File
// writes through the same print-file code) refuse before any work.
TEST(CliHostileInput, AnOutputThatIsAFifoDeviceOrLinkIsRefusedAtOnce)
{
    CTestDir dir;
    const QString fifo = dir.Path("out.fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString precious = dir.Path("precious.txt");
    ASSERT_TRUE(WriteAll(precious, "keep me"));
    const QString link = dir.Path("out.link");
    ASSERT_TRUE(QFile::link(precious, link));
    const QString logo = BlackLogo(dir, "logo.bmp");
    const QStringList model{"--nv-inf", "/nonexistent/NV.inf", "--model-type", "1", "--receipt-width", "512"};
    struct Output {
        QString path;
        const char* reason;
    };
    for (const Output& output : {Output{fifo, "it is a FIFO"}, Output{QStringLiteral("/dev/null"), "it is a character device"},
                                 Output{link, "it is a symbolic link"}}) {
        const QList<QStringList> commands = {
            QStringList{"import", "-o", output.path, logo} + model,
            ConvertArgs(output.path, {logo}),
            QStringList{"preview", "-o", output.path, logo} + model,
        };
        for (const QStringList& args : commands) {
            // Before the mend the FIFO blocked for ever, /dev/null took the
            // bytes and the link's target was replaced.
            const CliResult result = RunCli(args);
            EXPECT_EQ(result.exitCode, 1) << args.join(' ').toStdString() << ": " << result.err.toStdString();
            EXPECT_TRUE(result.err.contains(QStringLiteral("Cannot write %1: %2").arg(output.path, output.reason).toUtf8()))
                << args.join(' ').toStdString() << ": " << result.err.toStdString();
        }
    }
    EXPECT_EQ(ReadAll(precious), "keep me");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(FilesIn(dir), (QStringList{"logo.bmp", "out.fifo", "out.link", "precious.txt"}));
}

// ------------------------------------------------------- file-size limit

TEST(CliHostileInput, AFileSizeLimitIsAClearFailureWithoutTemporaryFiles)
{
    CTestDir dir;
    const QString logo = BlackLogo(dir, "wide.bmp", 400, 64);
    const QString out = dir.Path("out.prn");
    CliRunOptions options;
    options.fileSizeLimit = 1024;  // the print file is 3,207 bytes
    const CliResult result = RunCli(ConvertArgs(out, {logo}), options);
    // Before the mend the signal's default action ended the program here.
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("out.prn")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("File too large")) << result.err.toStdString();
    EXPECT_EQ(FilesIn(dir), QStringList{"wide.bmp"});

    // An existing output stays as it was.
    ASSERT_TRUE(WriteAll(out, "previous"));
    EXPECT_EQ(RunCli(ConvertArgs(out, {logo}), options).exitCode, 1);
    EXPECT_EQ(ReadAll(out), "previous");
    EXPECT_EQ(FilesIn(dir), (QStringList{"out.prn", "wide.bmp"}));
}

// ------------------------------------------------------- logo lists

TEST(CliHostileInput, LogoListLinesTheWindowCouldNotHaveWrittenAreRefusedByLine)
{
    CTestDir dir;
    const QString logo = BlackLogo(dir, "logo.bmp");
    const QString out = dir.Path("out.prn");
    struct Case {
        QString line;
        const char* problem;  // empty: accepted
    };
    const Case cases[] = {
        {logo + ",120,100,085,1", ""},
        {logo + ",360,255,000,3", ""},
        {logo + ",000,000,000,7", ""},  // colour modes beyond 3 leave pixels unchanged
        {logo + ",000,000,000,9", ""},
        {logo + ",999999999999,100,100,1", "threshold 999 is out of range (0 to 360)"},
        {logo + ",361,100,100,1", "threshold 361 is out of range"},
        {logo + ",120,-10,100,1", "rValue \"-10,\" is not three digits"},
        {logo + ",120,100,256,1", "lValue 256 is out of range (0 to 255)"},
        {logo + ",12,100,100,1", "threshold \"12,1\" is not three digits"},
        {logo + ",120,100,100", "no colorMode"},
        {logo, "no numbers after the path"},
    };
    for (const Case& c : cases) {
        const QString list = dir.Path("logos.txt");
        // The line under test comes third, after a good line and a blank one.
        ASSERT_TRUE(WriteAll(list, (logo + ",000,100,100,3\n\n" + c.line + "\n").toLocal8Bit()));
        const CliResult result = RunCli(ConvertArgs(out, {"--logo-list", list}));
        if (*c.problem == '\0') {
            EXPECT_EQ(result.exitCode, 0) << c.line.toStdString() << ": " << result.err.toStdString();
            continue;
        }
        EXPECT_EQ(result.exitCode, 1) << c.line.toStdString();
        EXPECT_TRUE(result.err.contains((list + ":3: ").toLocal8Bit())) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.problem)) << result.err.toStdString();
    }
}

// ------------------------------------------------------- owners

TEST(CliHostileInput, ReplacingAnotherUsersFileKeepsItsOwnerOrIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "NOT RUN: needs root to make files of another user; run the suite as root to cover it";
    CTestDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.Root()).constData(), 0777), 0);
    const QString logo = BlackLogo(dir, "logo.bmp");
    ASSERT_EQ(::chmod(QFile::encodeName(logo).constData(), 0644), 0);

    // Root saves over a file of nobody's: it stays nobody's, with its mode.
    const QString theirs = dir.Path("theirs.prn");
    ASSERT_TRUE(WriteAll(theirs, "old"));
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(theirs).constData(), 0640), 0);
    CliResult result = RunCli(ConvertArgs(theirs, {logo}));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(theirs).constData(), &info), 0);
    EXPECT_EQ(info.st_uid, static_cast<uid_t>(kNobody));
    EXPECT_EQ(info.st_gid, static_cast<gid_t>(kNobody));
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_NE(ReadAll(theirs), "old");

    // nobody may write the folder but cannot give a new file root's name:
    // root's file is left alone and the reason given.
    const QString roots = dir.Path("roots.prn");
    ASSERT_TRUE(WriteAll(roots, "root's"));
    ASSERT_EQ(::chmod(QFile::encodeName(roots).constData(), 0666), 0);
    CliRunOptions asNobody;
    asNobody.userId = kNobody;
    result = RunCli(ConvertArgs(roots, {logo}), asNobody);
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("cannot keep the file's owner 0 and group 0")) << result.err.toStdString();
    EXPECT_EQ(ReadAll(roots), "root's");
    EXPECT_EQ(QFileInfo(roots).ownerId(), 0u);
    EXPECT_EQ(FilesIn(dir), (QStringList{"logo.bmp", "roots.prn", "theirs.prn"}));
}

// ------------------------------------------------------- determinism

TEST(CliHostileInput, AnRleLogoConvertsToTheSameBytesWhateverTheAllocatorLeaves)
{
    CTestDir dir;
    const QString logo = dir.Path("rle.bmp");
    ASSERT_TRUE(WriteAll(logo, EarlyEndingRle8Bmp()));
    QByteArray first;
    for (const char* perturb : {"0", "170", "85", "255"}) {
        CliRunOptions options;
        options.environment.insert("MALLOC_PERTURB_", perturb);
        const QString out = dir.Path(QStringLiteral("out-%1.prn").arg(perturb));
        const CliResult result = RunCli(ConvertArgs(out, {logo}), options);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QByteArray bytes = ReadAll(out);
        if (first.isEmpty())
            first = bytes;
        EXPECT_EQ(bytes, first) << "MALLOC_PERTURB_=" << perturb;
    }
    // Every pixel the stream skips is palette entry 0, paper white: the
    // bottom row is all dots, row 43 has dots at x = 8 to 23, nothing else.
    QByteArray expected = QByteArray::fromHex("1C7101" "08000600");
    for (int x = 0; x < 64; ++x)
        expected += QByteArray(5, '\0') + char(0x01 | (x >= 8 && x < 24 ? 0x10 : 0));
    EXPECT_EQ(first.toHex(), expected.toHex());
}
