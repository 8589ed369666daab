// What a markograph-cli process loads: BMP logos are converted and previewed
// with QtCore alone, a printer is asked over Ethernet with the network module
// added; a picture hands the run to the picture module. Read from the
// dynamic loader's own trace of each run, so a library that comes back
// through a link line or through a module opened too eagerly fails here.
#include "cli/cli_run.h"
#include "e2e/e2e_support.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct TracedRun {
    CliResult result;
    QStringList libraries;  // file names, each once
};

// Runs the program with the loader's library trace written into dir.
TracedRun RunTraced(const CTestDir& dir, const QString& tag, const QStringList& args)
{
    CliRunOptions options;
    const QString trace = dir.Path("ld-" + tag);
    options.environment.insert("LD_DEBUG", "files");
    options.environment.insert("LD_DEBUG_OUTPUT", trace);
    TracedRun run{RunCli(args, options), {}};
    // One trace file a process: trace.PID.
    static const QRegularExpression loaded(QStringLiteral(R"(file=(\S+) \[\d+\];  generating link map)"));
    for (const QString& name : QDir(dir.Path("")).entryList({"ld-" + tag + ".*"}, QDir::Files)) {
        QFile file(dir.Path(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            const QRegularExpressionMatch match = loaded.match(line);
            if (match.hasMatch())
                run.libraries << match.captured(1).section('/', -1);
        }
    }
    run.libraries.removeDuplicates();
    EXPECT_FALSE(run.libraries.isEmpty()) << tag.toStdString() << ": the loader wrote no trace";
    return run;
}

const QRegularExpression kPictureLibraries(
    QStringLiteral("Qt6Gui|Qt6Svg|Qt6DBus|Qt6OpenGL|fontconfig|freetype|harfbuzz|qrencode|EGL|GLX|X11|xcb|markograph-cli-pictures"));
const QRegularExpression kNetworkLibraries(QStringLiteral("Qt6Network|markograph-net|gssapi|krb5|proxy"));

void ExpectLean(const TracedRun& run, const QString& tag, bool network)
{
    ASSERT_EQ(run.result.exitCode, 0) << tag.toStdString() << ": " << run.result.err.toStdString();
    const std::string loaded = run.libraries.join(' ').toStdString();
    EXPECT_TRUE(run.libraries.filter(kPictureLibraries).isEmpty()) << tag.toStdString() << " loaded " << loaded;
    EXPECT_EQ(run.libraries.filter(kNetworkLibraries).isEmpty(), !network) << tag.toStdString() << " loaded " << loaded;
    // QtCore and what it needs; a connection adds QtNetwork and its own
    // (Kerberos, the proxy library ...), which only such runs pay for.
    if (!network) {
        EXPECT_LE(run.libraries.size(), 20) << tag.toStdString() << " loaded " << loaded;
    }
}

QStringList Model(PrinterKind kind)
{
    return {"--nv-inf", "/nonexistent/NV.inf", "--model-type", QString::number(static_cast<int>(kind)),
            "--receipt-width", "576", "--no-limits"};
}

}  // namespace

TEST(CliLeanProcess, BmpRunsLoadQtCoreAloneAndPicturesGoToTheModule)
{
    CTestDir dir;
    const QString logo = WriteTestLogo(dir, "logo.bmp", 576, 120);
    const QString prn = dir.Path("logo.prn");
    ExpectLean(RunTraced(dir, "convert", QStringList{"convert", "-o", prn} + Model(PrinterKind::TwoColor) + QStringList{logo}),
               "convert", false);
    const QByteArray converted = [&] {
        QFile file(prn);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_FALSE(converted.isEmpty());

    const QString png = dir.Path("preview.png");
    ExpectLean(RunTraced(dir, "preview", {"preview", "--nv-inf", "/nonexistent", "--color-mode", "0", "-o", png, logo}),
               "preview", false);
    EXPECT_EQ(QImage(png).size(), QSize(576, 120));

    // A connection opens the network module and nothing of pictures.
    // (capacity: a download would add the printer's six-second wait.)
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    const TracedRun capacity = RunTraced(dir, "capacity", {"capacity", "--nv-inf", "/nonexistent/NV.inf", "--host", "127.0.0.1",
                                                           "--tcp-port", QString::number(sim.Ethernet().tcpPort)});
    ExpectLean(capacity, "capacity", true);
    EXPECT_EQ(capacity.result.out.trimmed(), "262144");

    // The same logo as a PNG picture: the run is handed over to the picture
    // module, which imports it and writes the print file.
    const QString picture = dir.Path("logo.png");
    ASSERT_TRUE(QImage(logo).save(picture));
    const QString fromPicture = dir.Path("picture.prn");
    const TracedRun handed =
        RunTraced(dir, "picture", QStringList{"convert", "-o", fromPicture} + Model(PrinterKind::TwoColor) + QStringList{picture});
    ASSERT_EQ(handed.result.exitCode, 0) << handed.result.err.toStdString();
    EXPECT_FALSE(handed.libraries.filter("markograph-cli-pictures").isEmpty()) << handed.libraries.join(' ').toStdString();
    EXPECT_TRUE(QFile::exists(fromPicture));
}
