#include "cli/cli_run.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr win::COLORREF kWhite = win::MakeColorRef(255, 255, 255);
constexpr win::COLORREF kBlack = win::MakeColorRef(0, 0, 0);
constexpr win::COLORREF kRed = win::MakeColorRef(255, 0, 0);

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Bmp(const CTestDir& dir, const QString& name, int width, int height, std::function<win::COLORREF(int, int)> pixel)
{
    const QString path = dir.Path(name);
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [pixel](int x, int y) { return pixel(x, y); };
    EXPECT_TRUE(WriteBmp(path, spec));
    return path;
}

// Runs convert without a model file: the kind and width come from options.
CliResult Convert(const QString& out, const QStringList& more)
{
    return RunCli(QStringList{"convert", "--nv-inf", "/nonexistent/NV.inf", "--no-limits", "-o", out} + more);
}

}  // namespace

TEST(CliConvert, ReproducesTheSingleColourExampleFromABmp)
{
    CTestDir dir;
    const QString logo = Bmp(dir, "nine.bmp", 9, 1, [](int, int) { return kBlack; });
    const QString out = dir.Path("mono.prn");
    const CliResult result = Convert(out, {"--model-type", "1", "--receipt-width", "512", logo});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(out), Hex("1C710102000100") + QByteArray(9, '\x80') + QByteArray(7, '\0'));
}

TEST(CliConvert, ReproducesTheDotModeExampleAfterHalving)
{
    CTestDir dir;
    // 6 x 16 halves to the 3 x 8 surface: column 0 black, the top of column 1
    // red, column 2 white.
    const QString logo = Bmp(dir, "dots.bmp", 6, 16, [](int x, int y) {
        if (x < 2)
            return kBlack;
        if (x < 4 && y < 2)
            return kRed;
        return kWhite;
    });
    const QString out = dir.Path("dot.prn");
    const CliResult result = Convert(out, {"--model-type", "0", "--receipt-width", "200", "--density", "0", logo});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(out), Hex("1B670001001A"
                                "1B72001B2A000300FF00000D"
                                "1B72011B2A000300008000""1B4A10"));
}

TEST(CliConvert, DotModeLengthTableLeadsTheStreams)
{
    CTestDir dir;
    // Halved to 5 x 80 and 40 x 80: ten bands each, of 2 x 5 + 20 and
    // 2 x 40 + 20 bytes, so streams of 300 and 1,000 bytes.
    const QString small = Bmp(dir, "small.bmp", 10, 160, [](int x, int) { return x % 3 ? kWhite : kBlack; });
    const QString large = Bmp(dir, "large.bmp", 80, 160, [](int x, int y) { return (x + y) % 5 ? kRed : kWhite; });
    const QString out = dir.Path("two.prn");
    const CliResult result = Convert(out, {"--model-type", "0", "--receipt-width", "200", small, large});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray bytes = ReadAll(out);
    EXPECT_EQ(bytes.size(), 1308);
    EXPECT_EQ(bytes.left(8), Hex("1B670002012C03E8"));
    EXPECT_EQ(bytes.mid(8, 3), Hex("1B7200"));
    EXPECT_EQ(bytes.mid(308, 3), Hex("1B7200"));
}

TEST(CliConvert, ReproducesTheTwoColourExampleWithAutomaticAddresses)
{
    CTestDir dir;
    const QString logo = Bmp(dir, "two.bmp", 10, 2, [](int x, int y) {
        if (y == 0 && (x == 0 || x == 9))
            return kBlack;
        if (y == 0 && x == 1)
            return kRed;
        return kWhite;
    });
    const QString out = dir.Path("two.prn");
    const CliResult result = Convert(out, {"--model-type", "2", "--receipt-width", "576", logo, logo});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray command = Hex("1D384C1400000030433030300210000200") + Hex("3180400000") + Hex("3240000000");
    QByteArray second = command;
    second[11] = '1';
    EXPECT_EQ(ReadAll(out), command + second);
}

TEST(CliConvert, LogoListCarriesEachLogosOwnSettings)
{
    CTestDir dir;
    // Mid grey: with L Value 100 "Not Used" leaves it white, with 255 it is a dot.
    const QString logo = Bmp(dir, "grey.bmp", 8, 1, [](int, int) { return win::MakeColorRef(140, 140, 140); });
    QFile list(dir.Path("logos.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write((logo + ",000,100,100,3\n\n" + logo + ",000,100,255,3\n").toLocal8Bit());
    list.close();
    const QString out = dir.Path("list.prn");
    const CliResult result = Convert(out, {"--model-type", "1", "--receipt-width", "512", "--logo-list", list.fileName()});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray blank = Hex("01000100") + QByteArray(8, '\0');
    const QByteArray dark = Hex("01000100") + QByteArray(8, '\x80');
    EXPECT_EQ(ReadAll(out), Hex("1C7102") + blank + dark);
}

TEST(CliConvert, RefusalsLeaveNoOutputAndSayWhy)
{
    CTestDir dir;
    const QString good = Bmp(dir, "good.bmp", 8, 8, [](int, int) { return kBlack; });
    const QString out = dir.Path("out.prn");
    QFile bad(dir.Path("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not really a bitmap");
    bad.close();

    CliResult result = Convert(out, {"--model-type", "1", "--receipt-width", "512", good, bad.fileName()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Failed to load image file!")) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains("bad.bmp"));
    EXPECT_FALSE(QFile::exists(out));

    // A single-colour record holds at most 250,000 bytes: 2000 x 1000 is too large.
    const QString huge = Bmp(dir, "huge.bmp", 2000, 1000, [](int, int) { return kWhite; });
    result = Convert(out, {"--model-type", "1", "--receipt-width", "512", huge});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("huge.bmp")) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    // A DOT MODE stream over 65,535 bytes cannot be described by the length table.
    const QString tall = Bmp(dir, "tall.bmp", 400, 1600, [](int, int) { return kBlack; });
    result = Convert(out, {"--model-type", "0", "--receipt-width", "400", "--density", "2", tall});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("tall.bmp")) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    // An output that cannot be written is a failure too.
    result = Convert(dir.Path("missing/folder/out.prn"), {"--model-type", "1", "--receipt-width", "512", good});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("missing/folder/out.prn")) << result.err.toStdString();
}

TEST(CliConvert, ModelLimitsRefuseWithTheListsMessages)
{
    CTestDir dir;
    QFile nvInf(dir.Path("NV.inf"));
    ASSERT_TRUE(nvInf.open(QIODevice::WriteOnly));
    nvInf.write("[COMMON]\nModelName=T1\nModelType=1\nRECEIPTWIDTH=512\nMEMORYSIZE=1\nDOWNMAX=2\n"
                "[PRINTERLIST]\nPRINTER01=T1,015,001,512,002,001\nPRINTER02=T2,015,001,512,005,001\n");
    nvInf.close();
    const QString small = Bmp(dir, "small.bmp", 8, 8, [](int, int) { return kBlack; });
    const QString big = Bmp(dir, "big.bmp", 8, 1025, [](int, int) { return kBlack; });
    const QString out = dir.Path("out.prn");

    CliResult result = RunCli({"convert", "--nv-inf", nvInf.fileName(), "-o", out, small, small, small});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("Don't Read files any more!")) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    result = RunCli({"convert", "--nv-inf", nvInf.fileName(), "--model", "T2", "-o", out, big});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("NV-bitimage area too small")) << result.err.toStdString();

    result = RunCli({"convert", "--nv-inf", nvInf.fileName(), "--no-limits", "-o", out, small, small, small});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(ReadAll(out).left(3), Hex("1C7103"));
}
