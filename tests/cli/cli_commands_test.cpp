#include "cli/cli_run.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

TEST(CliCommands, UsageErrorsExitWithTwoAndHelpWithZero)
{
    struct Case { QStringList args; int exitCode; };
    const Case cases[] = {
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"convert", "a.bmp"}, 2},                       // no -o
        {{"convert", "-o", "x.prn"}, 2},                 // no logo
        {{"convert", "--bogus", "-o", "x.prn", "a.bmp"}, 2},
        {{"convert", "--nv-inf", "/nonexistent", "--no-limits", "--model-type", "7", "--receipt-width", "1",
          "-o", "x.prn", "a.bmp"}, 2},
        {{"convert", "--nv-inf", "/nonexistent", "--no-limits", "--model-type", "1", "--receipt-width", "1",
          "--r-value", "256", "-o", "x.prn", "a.bmp"}, 2},
        {{"preview", "-o", "x.png"}, 2},
        {{"--help"}, 0},
        {{"models", "--help"}, 0},
        {{"convert", "--help"}, 0},
        {{"preview", "--help"}, 0},
    };
    for (const Case& c : cases) {
        const CliResult result = RunCli(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args.join(' ').toStdString() << "\n" << result.err.toStdString();
    }
    EXPECT_TRUE(RunCli({"convert", "--help"}).out.contains("--logo-list"));
}

TEST(CliCommands, ModelsListsTheSampleCatalogue)
{
    const CliResult result = RunCli({"models", "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf"});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "*TX-100\t1\t1 Color thermal\t512\t50\t256\tSerial,Parallel,USB,Ethernet");
    EXPECT_TRUE(result.out.contains("TX-200\t2\t2 Color thermal"));
    EXPECT_TRUE(result.out.contains("DX-300\t0\tDOT MODE"));

    EXPECT_EQ(RunCli({"models", "--nv-inf", "/nonexistent/NV.inf"}).exitCode, 1);
    EXPECT_EQ(RunCli({"convert", "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf", "--model", "NOPE", "-o", "x.prn",
                      "a.bmp"}).exitCode, 2);
}

TEST(CliCommands, PreviewWritesTheSeparatedColours)
{
    CTestDir dir;
    const QString logo = dir.Path("logo.bmp");
    BmpSpec spec;
    spec.width = 3;
    spec.height = 1;
    // Dark red becomes red, dark grey black, near-white white.
    spec.pixel = [](int x, int) {
        const win::COLORREF colours[] = {win::MakeColorRef(200, 30, 30), win::MakeColorRef(60, 60, 60), win::MakeColorRef(250, 250, 250)};
        return colours[x];
    };
    ASSERT_TRUE(WriteBmp(logo, spec));
    const QString out = dir.Path("preview.png");
    const CliResult result = RunCli({"preview", "--nv-inf", "/nonexistent", "--color-mode", "0", "-o", out, logo});
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QImage image(out);
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(image.pixel(2, 0) & 0xFFFFFF, 0xFFFFFFu);

    EXPECT_EQ(RunCli({"preview", "--nv-inf", "/nonexistent", "--color-mode", "0", "-o", out, dir.Path("none.bmp")})
                  .exitCode, 1);
}

TEST(CliCommands, EveryCommandAndItsSecondNameReachTheirCommand)
{
    // A command's help starts with its own description.
    struct Case { QStringList names; QByteArray description; };
    const Case cases[] = {
        {{"models", "list-models"}, "Lists the printer models"},
        {{"import"}, "Makes a picture ready for the printer"},
        {{"convert", "save"}, "Writes the print file"},
        {{"preview"}, "Writes the separated image of a logo"},
        {{"download", "upload"}, "Downloads logos into the printer's NV memory"},
        {{"print"}, "Prints images stored in the printer's NV memory"},
        {{"list", "addresses"}, "Lists the addresses under which"},
        {{"delete", "remove"}, "Deletes NV images"},
        {{"capacity", "free"}, "Prints the free NV memory"},
        {{"ports"}, "Lists the ports a printer can be reached on"},
    };
    for (const Case& c : cases) {
        for (const QString& name : c.names) {
            const CliResult help = RunCli({name, "--help"});
            EXPECT_EQ(help.exitCode, 0) << name.toStdString();
            EXPECT_TRUE(help.out.split('\n').value(1).startsWith(c.description)) << name.toStdString();
        }
    }
}
