// Pictures a careless or hostile user hands the import: drawings with text,
// drawings that point at other files, compressed bitmaps whose pixels must
// not depend on the allocator. Each runs the real program, bounded in time.
#include "cli/cli_run.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Write(const CTestDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return file.fileName();
}

const QStringList kMono{"--nv-inf", "/nonexistent/NV.inf", "--model-type", "1", "--receipt-width", "512"};

int BlackPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

QByteArray Svg(const QByteArray& body, const QByteArray& before = {})
{
    return before + R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
                    R"(width="200" height="60">)" + body + "</svg>";
}

QByteArray BlackPng()
{
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

// ------------------------------------------------------- text needs fonts

TEST(CliPictureInput, DrawingsWithTextAreDrawnByEveryCommandThatImports)
{
    CTestDir dir;
    const QString svg = Write(dir, "text.svg", Svg(R"(<text x="4" y="50" font-size="48" fill="#000">LOGO</text>)"));
    const QString out = dir.Path("text.bmp");
    // Before the mend each of these ended with SIGABRT in the font database.
    CliResult result = RunCli(QStringList{"import", "-o", out, svg} + kMono);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_GT(BlackPixels(QImage(out, "BMP")), 500) << "the text was not drawn";
    result = RunCli(QStringList{"convert", "--no-limits", "-o", dir.Path("text.prn"), svg} + kMono);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_FALSE(ReadAll(dir.Path("text.prn")).isEmpty());
    // Nothing listens on port 1: the download gets as far as the printer.
    result = RunCli(QStringList{"download", "--no-limits", "--host", "127.0.0.1", "--tcp-port", "1", svg} + kMono);
    EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("Imported")) << result.err.toStdString();
}

// ------------------------------------------------------- one BMP decoder

TEST(CliPictureInput, AnRleBmpImportsToTheSameLogoWhateverTheAllocatorLeaves)
{
    CTestDir dir;
    const QString logo = Write(dir, "rle.bmp", EarlyEndingRle8Bmp());
    QByteArray first;
    for (const char* perturb : {"0", "170", "85"}) {
        CliRunOptions options;
        options.environment.insert("MALLOC_PERTURB_", perturb);
        const QString out = dir.Path(QStringLiteral("out-%1.bmp").arg(perturb));
        const CliResult result = RunCli(QStringList{"import", "-o", out, "--dither", "none", logo} + kMono, options);
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        if (first.isEmpty())
            first = ReadAll(out);
        EXPECT_EQ(ReadAll(out), first) << "MALLOC_PERTURB_=" << perturb;
    }
    // Pixels the stream skips are palette entry 0, white paper: the dots are
    // the bottom row and x = 8 to 23 of row 43.
    EXPECT_EQ(BlackPixels(QImage(dir.Path("out-0.bmp"), "BMP")), 64 + 16);
}

// ------------------------------------------------------- references

TEST(CliPictureInput, DrawingsMayUseOnlyWhatTheyHold)
{
    CTestDir dir;
    const QString secret = Write(dir, "secret.png", BlackPng());
    const QString fifo = dir.Path("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray image = R"(<image width="200" height="60" xlink:href="%1"/>)";
    const QByteArray inner = Svg(QByteArray(image).replace("%1", fifo.toUtf8()));
    struct Case {
        const char* name;
        QByteArray svg;
        QString shown;  // what the reason quotes
    };
    const Case cases[] = {
        {"relative path", Svg(QByteArray(image).replace("%1", "secret.png")), "secret.png"},
        {"absolute path", Svg(QByteArray(image).replace("%1", secret.toUtf8())), secret},
        {"FIFO", Svg(QByteArray(image).replace("%1", fifo.toUtf8())), fifo},
        {"file URL", Svg(QByteArray(image).replace("%1", "file://" + fifo.toUtf8())), "file://" + fifo},
        // The renderer reads these as file names too.
        {"DATA:", Svg(QByteArray(image).replace("%1", "DATA:image/png;base64,AAAA")), "DATA:image/png"},
        {"#id on a picture", Svg(QByteArray(image).replace("%1", "#secret.png")), "#secret.png"},
        {"plain href", Svg(R"(<image width="9" height="9" href=")" + fifo.toUtf8() + R"("/>)"), fifo},
        {"style sheet", Svg("", R"(<?xml-stylesheet type="text/css" href=")" + fifo.toUtf8() + R"("?>)"), fifo},
        {"CSS import", Svg(R"(<style>@import url(")" + fifo.toUtf8() + R"(");</style>)"), "imports another file"},
        {"drawing in a drawing",
         Svg(R"(<image width="9" height="9" xlink:href="data:image/svg+xml;base64,)" + inner.toBase64() + R"("/>)"),
         fifo},
    };
    for (const Case& c : cases) {
        const QString out = dir.Path("out.bmp");
        // Before the mend the FIFO cases waited for ever (RunCli gives up
        // after 30 s) and the others copied secret.png into the logo.
        const CliResult result =
            RunCli(QStringList{"import", "-o", out, Write(dir, "refers.svg", c.svg)} + kMono);
        EXPECT_EQ(result.exitCode, 1) << c.name << ": " << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.shown.toUtf8()) && result.err.contains("only what the drawing holds"))
            << c.name << ": " << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.name;
    }
    // What the drawing holds is drawn: an embedded picture, links left alone.
    const QString embedded = Write(dir, "embedded.svg",
        Svg(R"(<a href="https://example.invalid/"><image width="200" height="60" xlink:href="data:image/png;base64,)" +
            BlackPng().toBase64() + R"("/></a>)"));
    const CliResult result = RunCli(QStringList{"import", "-o", dir.Path("out.bmp"), "--dither", "none", embedded} + kMono);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(BlackPixels(QImage(dir.Path("out.bmp"), "BMP")), 200 * 60);
}
