#include "address/address_list_operations.h"
#include "cli/cli_run.h"
#include "e2e/e2e_support.h"
#include "fleet/fleet_operations.h"
#include "support/bmp_writer.h"
#include "support/message_recorder.h"
#include "support/virtual_clock.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <map>
#include <random>

// What markograph-cli and a fleet put into a printer is what the preview of
// each logo shows: several logos, each with its own THRESHOLD, R Value,
// L Value and colour choice, downloaded by separate markograph-cli processes
// (one printer, and a fleet of every kind) into virtual printers on
// loopback; each stored image, decoded dot for dot, equals `preview` of its
// logo with that logo's settings. A printer that hangs up during the last
// image never gives a successful exit or a successful fleet row. These run
// in real time, each process at the printers' own pacing, so the runs of
// one step go in parallel.

namespace {

constexpr int kLogoWidth = 48;   // whole bytes: no padding columns to reason about
constexpr int kLogoHeight = 24;  // whole bands of 8 dots

struct LogoSettingsLine {
    int threshold;
    int rValue;
    int lValue;
    int colorMode;
};
// Different hues, weights and choices, none at the defaults --threshold 0
// would give: a logo separated with another logo's settings shows.
constexpr LogoSettingsLine kLogoLines[] = {{175, 40, 200, 0}, {120, 230, 30, 1}, {300, 100, 120, 2}, {17, 10, 90, 3}};
constexpr int kLogoCount = static_cast<int>(std::size(kLogoLines));

struct KindCase {
    PrinterKind kind;
    const char* sampleModel;  // the samples' catalogue model of this kind, for the fleet
};
constexpr KindCase kKinds[] = {{PrinterKind::Mono, "TX-100"}, {PrinterKind::TwoColor, "TX-200"},
                               {PrinterKind::DotMode, "DX-400"}};

// How a separated pixel prints, by the printer kind's rule (independent of
// the packing code): single-colour prints all but pure white; two-colour
// thermal takes near-white as paper; DOT MODE only pure white. Pure black
// is the second ink, anything else the colour ink.
CDotGrid::Dot PrintedDot(PrinterKind kind, QRgb pixel)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    const bool paper = kind == PrinterKind::TwoColor ? r > 240 && g > 240 && b > 240 : r == 255 && g == 255 && b == 255;
    if (paper)
        return CDotGrid::White;
    if (kind == PrinterKind::Mono || (r == 0 && g == 0 && b == 0))
        return CDotGrid::Black;
    return CDotGrid::Red;
}

QString WriteLogo(const CTestDir& dir, int index, std::mt19937& random)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<win::COLORREF> pixels;
    for (int i = 0; i < kLogoWidth * kLogoHeight; ++i)
        pixels.push_back(win::MakeColorRef(byte(random), byte(random), byte(random)));
    const QString path = dir.Path(QStringLiteral("logo%1.bmp").arg(index));
    EXPECT_TRUE(WriteBmp24(path, kLogoWidth, kLogoHeight, pixels));
    return path;
}

QString WriteText(const CTestDir& dir, const QString& name, const QByteArray& text)
{
    const QString path = dir.Path(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

QStringList NoModelFile(PrinterKind kind)
{
    return {"--nv-inf", "/nonexistent/NV.inf", "--model-type", QString::number(PrinterKindNumber(kind)),
            "--receipt-width", "576", "--no-limits"};
}

QStringList Host(const CSimulatedPrinter& sim)
{
    return {"--host", "127.0.0.1", "--tcp-port", QString::number(sim.Ethernet().tcpPort)};
}

// Runs every command line at once, each as its own markograph-cli process.
std::vector<CliResult> RunAll(const std::vector<QStringList>& commands)
{
    std::vector<std::future<CliResult>> running;
    for (const QStringList& args : commands)
        running.push_back(std::async(std::launch::async, [args] { return RunCli(args); }));
    std::vector<CliResult> results;
    for (std::future<CliResult>& result : running)
        results.push_back(result.get());
    return results;
}

class CliFleetInvariants : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::mt19937 random(1812);
        QByteArray list;
        for (int i = 0; i < kLogoCount; ++i) {
            m_logos << WriteLogo(m_dir, i, random);
            const LogoSettingsLine& line = kLogoLines[i];
            list += QString::asprintf(",%03d,%03d,%03d,%d\n", line.threshold, line.rValue, line.lValue, line.colorMode)
                        .prepend(m_logos.back())
                        .toUtf8();
        }
        m_logoList = WriteText(m_dir, "logos.txt", list);
        // Each logo's preview, with its own settings, by the command the
        // operator would use.
        std::vector<QStringList> previews;
        for (int i = 0; i < kLogoCount; ++i) {
            const LogoSettingsLine& line = kLogoLines[i];
            previews.push_back(QStringList{"preview", "-o", m_dir.Path(QStringLiteral("preview%1.png").arg(i)),
                                           "--threshold", QString::number(line.threshold), "--r-value",
                                           QString::number(line.rValue), "--l-value", QString::number(line.lValue),
                                           "--color-mode", QString::number(line.colorMode), m_logos[i]}
                               + QStringList{"--nv-inf", "/nonexistent/NV.inf", "--model-type", "2"});
        }
        for (const CliResult& result : RunAll(previews))
            ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        for (int i = 0; i < kLogoCount; ++i) {
            m_previews.push_back(QImage(m_dir.Path(QStringLiteral("preview%1.png").arg(i))));
            ASSERT_EQ(m_previews.back().size(), QSize(kLogoWidth, kLogoHeight));
        }
    }

    // The download options shared by every run: the logo list, a
    // --threshold that the list's lines must not take, and quad density, at
    // which DOT MODE stores every pixel as one dot.
    QStringList LogoOptions() const { return {"--logo-list", m_logoList, "--threshold", "0", "--density", "2"}; }

    // Bytes of the download's image stream (the print file holds the same),
    // to make a printer hang up part-way through the last image.
    qint64 StreamBytes(PrinterKind kind)
    {
        const QString out = m_dir.Path(QStringLiteral("kind%1.prn").arg(PrinterKindNumber(kind)));
        const CliResult convert = RunCli(QStringList{"convert", "-o", out} + LogoOptions() + NoModelFile(kind));
        EXPECT_EQ(convert.exitCode, 0) << convert.err.toStdString();
        return QFileInfo(out).size();
    }

    // Every image the printer holds equals its logo's preview, dot for dot.
    void ExpectStoredAsPreviewed(CSimulatedPrinter& sim, PrinterKind kind, const std::string& who)
    {
        ASSERT_TRUE(sim.WaitForImages(kLogoCount)) << who;
        std::vector<SimStoredImage> stored = sim.Printer().StoredImages();
        ASSERT_EQ(stored.size(), static_cast<size_t>(kLogoCount)) << who;
        std::sort(stored.begin(), stored.end(), [](const auto& a, const auto& b) { return a.key < b.key; });
        for (int i = 0; i < kLogoCount; ++i) {
            const CDotGrid& dots = stored[static_cast<size_t>(i)].dots;
            ASSERT_GE(dots.Width(), kLogoWidth) << who;
            ASSERT_GE(dots.Height(), kLogoHeight) << who;
            int differing = 0;
            for (int y = 0; y < dots.Height(); ++y)
                for (int x = 0; x < dots.Width(); ++x) {
                    const bool inside = x < kLogoWidth && y < kLogoHeight;
                    const QRgb pixel = inside ? m_previews[static_cast<size_t>(i)].pixel(x, y) : qRgb(255, 255, 255);
                    differing += dots.At(x, y) != PrintedDot(kind, pixel) ? 1 : 0;
                }
            EXPECT_EQ(differing, 0) << who << ", logo " << i << " (THRESHOLD " << kLogoLines[i].threshold << ")";
            EXPECT_GT(dots.Count(CDotGrid::Black), 0) << who << ", logo " << i;
        }
    }

    CTestDir m_dir;
    QStringList m_logos;
    QString m_logoList;
    std::vector<QImage> m_previews;
};

SimFaults HangUpAfter(qint64 bytes)
{
    SimFaults faults;
    faults.closeAfterBytes = bytes;
    return faults;
}

}  // namespace

TEST_F(CliFleetInvariants, EachLogoIsStoredAsItsOwnPreviewAndAHangUpNeverSucceeds)
{
    std::map<PrinterKind, qint64> hangUpAt;
    for (const KindCase& c : kKinds)
        hangUpAt[c.kind] = StreamBytes(c.kind) - 8;  // inside the last image

    // One printer at a time: a good printer and one that hangs up, of each kind.
    std::vector<std::unique_ptr<CSimulatedPrinter>> good, hangsUp;
    std::vector<QStringList> downloads;
    for (const KindCase& c : kKinds) {
        good.push_back(std::make_unique<CSimulatedPrinter>(c.kind));
        hangsUp.push_back(std::make_unique<CSimulatedPrinter>(c.kind, HangUpAfter(hangUpAt[c.kind])));
        downloads.push_back(QStringList{"download"} + LogoOptions() + NoModelFile(c.kind) + Host(*good.back()));
        downloads.push_back(QStringList{"download"} + LogoOptions() + NoModelFile(c.kind) + Host(*hangsUp.back()));
    }
    const std::vector<CliResult> results = RunAll(downloads);
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const std::string kind = "markograph-cli download, kind " + std::to_string(PrinterKindNumber(kKinds[k].kind));
        const CliResult& whole = results[2 * k];
        ASSERT_EQ(whole.exitCode, 0) << kind << ": " << whole.err.toStdString();
        ExpectStoredAsPreviewed(*good[k], kKinds[k].kind, kind);
        const CliResult& cut = results[2 * k + 1];
        EXPECT_EQ(cut.exitCode, 1) << kind << " with a hang-up: " << cut.out.toStdString() << cut.err.toStdString();
        EXPECT_LT(hangsUp[k]->Printer().StoredImages().size(), static_cast<size_t>(kLogoCount)) << kind;
    }

    // A fleet of the same six printers (fresh ones), each line naming its model.
    std::vector<std::unique_ptr<CSimulatedPrinter>> fleetGood, fleetHangsUp;
    QByteArray hosts;
    for (const KindCase& c : kKinds) {
        fleetGood.push_back(std::make_unique<CSimulatedPrinter>(c.kind));
        fleetHangsUp.push_back(std::make_unique<CSimulatedPrinter>(c.kind, HangUpAfter(hangUpAt[c.kind])));
        for (const CSimulatedPrinter* sim : {fleetGood.back().get(), fleetHangsUp.back().get()})
            hosts += "127.0.0.1:" + QByteArray::number(sim->Ethernet().tcpPort) + " " + c.sampleModel + "\n";
    }
    const CliResult fleet = RunCli(QStringList{"download", "--hosts", WriteText(m_dir, "hosts.txt", hosts), "--jobs",
                                               "6", "--json", "--nv-inf", MARKOGRAPH_SAMPLES_DIR "/NV.inf"}
                                   + LogoOptions());
    EXPECT_EQ(fleet.exitCode, 1) << fleet.err.toStdString();
    std::map<QString, bool> okByPrinter;
    const QJsonArray rows = QJsonDocument::fromJson(fleet.out).object().value("printers").toArray();
    for (const QJsonValue& row : rows)
        okByPrinter[row.toObject().value("printer").toString()] = row.toObject().value("ok").toBool();
    ASSERT_EQ(okByPrinter.size(), 2 * std::size(kKinds)) << fleet.out.toStdString();
    for (size_t k = 0; k < std::size(kKinds); ++k) {
        const std::string kind = "fleet, kind " + std::to_string(PrinterKindNumber(kKinds[k].kind));
        const auto label = [](const CSimulatedPrinter& sim) {
            return QStringLiteral("127.0.0.1:%1").arg(sim.Ethernet().tcpPort);
        };
        EXPECT_TRUE(okByPrinter[label(*fleetGood[k])]) << kind << ": " << fleet.out.toStdString();
        ExpectStoredAsPreviewed(*fleetGood[k], kKinds[k].kind, kind);
        EXPECT_FALSE(okByPrinter[label(*fleetHangsUp[k])]) << kind << " with a hang-up: " << fleet.out.toStdString();
    }
}

// A printer holding more images than one key-code list reply carries (the
// virtual printer continues with status 41 after 43): the CLI lists what came
// and fails, saying the list is incomplete; a fleet download that ends with
// such a list counts as failed.
TEST(CliIncompleteList, FortyFiveImagesAreNeverListedAsComplete)
{
    CTestDir dir;
    CSimulatedPrinter sim(PrinterKind::TwoColor);
    QStringList logos;
    for (int i = 0; i < 45; ++i)
        logos << WriteTestLogo(dir, QStringLiteral("l%1.bmp").arg(i), 8, 8);
    {
        CVirtualClock clock;
        CMessageRecorder messages;
        FleetDownloadPlan plan;
        plan.kind = PrinterKind::TwoColor;
        plan.items = ConvertLogos(PrinterKind::TwoColor, logos);
        plan.logoCount = static_cast<int>(logos.size());
        const FleetOutcome outcome = RunFleetDownload(sim.Ethernet(), plan, CFleetJobContext([](const QString&) {}));
        EXPECT_FALSE(outcome.ok);
        EXPECT_TRUE(outcome.reason.contains("incomplete: 43 address")) << outcome.reason.toStdString();
    }
    ASSERT_TRUE(sim.WaitForImages(45));

    const QStringList target = {"--nv-inf", "/nonexistent/NV.inf", "--host", "127.0.0.1", "--tcp-port",
                                QString::number(sim.Ethernet().tcpPort)};
    const CliResult list = RunCli(QStringList{"list"} + target);
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_EQ(list.out.trimmed().split('\n').size(), 43) << list.out.toStdString();
    EXPECT_TRUE(list.err.contains("incomplete")) << list.err.toStdString();
    const CliResult json = RunCli(QStringList{"list", "--json"} + target);
    EXPECT_EQ(json.exitCode, 1);
    const QJsonObject reply = QJsonDocument::fromJson(json.out).object();
    EXPECT_EQ(reply.value("outcome").toString(), "incomplete") << json.out.toStdString();
    EXPECT_EQ(reply.value("addresses").toArray().size(), 43);
}
