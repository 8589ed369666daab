#include "cli/cli_run.h"
#include "support/data_home.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

// markograph-cli import, and pictures given straight to convert.

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString WritePicture(const CTestDir& dir, const QString& name)
{
    QImage image(300, 100, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, 150, 100, QColor(200, 0, 0));
    painter.fillRect(150, 50, 150, 50, Qt::black);
    painter.end();
    const QString path = dir.Path(name);
    EXPECT_TRUE(image.save(path));
    return path;
}

QStringList Kind(int modelType, int width)
{
    return {"--nv-inf", "/nonexistent/NV.inf", "--model-type", QString::number(modelType), "--receipt-width",
            QString::number(width)};
}

QStringList Names(const CTestDir& dir)
{
    return QDir(dir.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
}

}  // namespace

// A logo's name must come back as that logo: the settings line import prints
// is read by --logo-list, one logo a line with the numbers after the first
// comma; and a name is bytes, which must never reach the file system as
// another name.
TEST(CliImport, NamesThatCannotComeBackUnchangedAreRefusedWithTheReason)
{
    CTestDir dir;
    const QString picture = WritePicture(dir, "logo.png");
    struct Case {
        QString name;
        const char* reason;
    };
    for (const Case& c : {Case{"a,b.bmp", "holds a comma"}, Case{"two\nlines.bmp", "holds a line break"}}) {
        // Before the mend the line printed read back as another file, or as two lines.
        const CliResult result = RunCli(QStringList{"import", "-o", dir.Path(c.name), picture} + Kind(1, 512));
        EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.reason)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << result.out.toStdString();
    }
    EXPECT_EQ(Names(dir), QStringList{"logo.png"});

    // Bytes that are not UTF-8: before, the logo was written under U+FFFD
    // and pictures and hosts files with such names were "no such file".
    const QByteArray odd = QFile::encodeName(dir.Root()) + "/\xffodd";
    QFile::copy(picture, dir.Path("plain.png"));
    ASSERT_EQ(::rename(QFile::encodeName(dir.Path("plain.png")).constData(), odd.constData()), 0);
    const QString oddFormat = dir.Root() + QStringLiteral("/\\0377odd");
    const QList<QStringList> commands = {
        QStringList{"import", "-o", dir.Root() + QStringLiteral("/\\0377out.bmp"), picture} + Kind(1, 512),
        QStringList{"convert", "-o", dir.Path("out.prn"), oddFormat} + Kind(1, 512),
        QStringList{"capacity", "--hosts", oddFormat},
    };
    for (const QStringList& args : commands) {
        const CliResult result = RunCliWithBytes(args);
        EXPECT_EQ(result.exitCode, 1) << args.join(' ').toStdString() << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("\\xffo") && result.err.contains("is not UTF-8 text"))
            << args.join(' ').toStdString() << ": " << result.err.toStdString();
    }
    // The same bytes inside a logo list or a hosts file: refused by line.
    const QString list = dir.Path("logos.txt");
    QFile listFile(list);
    ASSERT_TRUE(listFile.open(QIODevice::WriteOnly));
    listFile.write(odd + ",000,100,100,1\n");
    listFile.close();
    CliResult result = RunCli(QStringList{"convert", "--no-limits", "-o", dir.Path("out.prn"), "--logo-list", list} +
                              Kind(1, 512));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains((list + ":1: the line is not UTF-8 text").toUtf8())) << result.err.toStdString();
    const QString hosts = dir.Path("hosts.txt");
    QFile hostsFile(hosts);
    ASSERT_TRUE(hostsFile.open(QIODevice::WriteOnly));
    hostsFile.write("/dev/usb/lp\xff\n");
    hostsFile.close();
    result = RunCli({"capacity", "--hosts", hosts});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains((hosts + ":1: the line is not UTF-8 text (/dev/usb/lp\\xff)").toUtf8()))
        << result.err.toStdString();
    // Nothing was written, under U+FFFD or otherwise (the listing leaves out
    // the name that is not text; the file itself is still there).
    EXPECT_EQ(Names(dir), (QStringList{"hosts.txt", "logo.png", "logos.txt"}));
    EXPECT_TRUE(QFile::exists(picture) && ::access(odd.constData(), R_OK) == 0);
}

TEST(CliImport, WritesTheBmpAndPrintsTheLogoWithItsSettings)
{
    CTestDir dir;
    const QString picture = WritePicture(dir, "logo.png");
    const QString out = dir.Path("logo.bmp");
    const CliResult result = RunCli(QStringList{"import", "-o", out, "--dither", "none", picture} + Kind(2, 120));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out.trimmed(), (out + ",000,100,100,0").toUtf8());
    EXPECT_TRUE(result.err.contains("120 x 40 dots")) << result.err.toStdString();
    const QImage bmp(out, "BMP");
    EXPECT_EQ(bmp.size(), QSize(120, 40));
    EXPECT_EQ(bmp.pixel(10, 10), qRgb(255, 0, 0));   // the dark red became the red ink
    EXPECT_EQ(bmp.pixel(100, 30), qRgb(0, 0, 0));
    EXPECT_EQ(bmp.pixel(100, 10), qRgb(255, 255, 255));  // transparent is paper

    // Green ink: the settings name the green colour choice and its hue.
    const CliResult green = RunCli(QStringList{"import", "-o", out, "--ink", "green", "--dither", "atkinson", picture} + Kind(2, 120));
    ASSERT_EQ(green.exitCode, 0) << green.err.toStdString();
    EXPECT_EQ(green.out.trimmed(), (out + ",120,100,100,1").toUtf8());
}

TEST(CliImport, WithoutOutputTheLogoGoesToTheUsersLogosFolder)
{
    CTestDir dir;
    CDataHome home(dir.Path("data"));
    const CliResult result = RunCli(QStringList{"import", "--rotate", WritePicture(dir, "shop.png")} + Kind(1, 576));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString written = QString::fromUtf8(result.out.trimmed()).section(',', 0, 0);
    EXPECT_TRUE(written.startsWith(dir.Path("data/markograph/logos/shop-k1-576-fs-"))) << written.toStdString();
    EXPECT_EQ(QImage(written, "BMP").size(), QSize(100, 300));  // turned, not enlarged
}

TEST(CliImport, BadOptionsAreUsageErrorsAndBadPicturesFailures)
{
    CTestDir dir;
    const QString picture = WritePicture(dir, "logo.png");
    const QString out = dir.Path("out.bmp");
    struct Case {
        QStringList args;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {QStringList{"--dither", "sideways", picture}, 2, "--dither takes"},
        {QStringList{"--gamma", "0", picture}, 2, "--gamma"},
        {QStringList{"--level", "0", picture}, 2, "level"},
        {QStringList{"--ink", "purple", picture}, 2, "--ink"},
        {QStringList{picture, picture}, 2, "exactly one picture"},
        {QStringList{dir.Path("missing.png")}, 1, "no such file"},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(QStringList{"import", "-o", out} + c.args + Kind(1, 576));
        EXPECT_EQ(result.exitCode, c.exitCode) << c.says;
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    const CliResult bayer = RunCli(QStringList{"import", "-o", out, "--dither", "bayer", picture} + Kind(2, 576));
    EXPECT_EQ(bayer.exitCode, 2);
    EXPECT_TRUE(bayer.err.contains("two-colour printers take")) << bayer.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(RunCli({"import", "--help"}).out.contains("--brightness"));
}

TEST(CliImport, ConvertTakesPicturesAsIfImportedFirst)
{
    CTestDir dir;
    CDataHome home(dir.Path("data"));
    const QString picture = WritePicture(dir, "logo.png");
    for (int kind : {0, 1, 2}) {
        const QStringList options = QStringList{"--dither", "bayer", "--brightness", "10"} + Kind(kind, 96);
        const QStringList importOptions = kind == 2 ? QStringList{"--brightness", "10"} + Kind(kind, 96) : options;
        const CliResult imported = RunCli(QStringList{"import", "-o", dir.Path("logo.bmp"), picture} + importOptions);
        ASSERT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        QFile list(dir.Path("list.txt"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(imported.out);
        list.close();
        const QStringList threshold = kind == 2 ? QStringList{"--threshold", "0"} : QStringList{};
        const CliResult byList = RunCli(QStringList{"convert", "--no-limits", "-o", dir.Path("a.prn"), "--logo-list",
                                                    dir.Path("list.txt")} + threshold + Kind(kind, 96));
        ASSERT_EQ(byList.exitCode, 0) << byList.err.toStdString();
        const CliResult direct = RunCli(QStringList{"convert", "--no-limits", "-o", dir.Path("b.prn"), picture}
                                        + importOptions);
        ASSERT_EQ(direct.exitCode, 0) << direct.err.toStdString();
        EXPECT_TRUE(direct.err.contains("Imported " + picture.toUtf8())) << direct.err.toStdString();
        EXPECT_FALSE(ReadAll(dir.Path("a.prn")).isEmpty());
        EXPECT_EQ(ReadAll(dir.Path("a.prn")), ReadAll(dir.Path("b.prn"))) << "kind " << kind;
    }
}
