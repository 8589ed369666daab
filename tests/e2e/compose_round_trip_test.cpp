#include "cli/cli_run.h"
#include "e2e/in_process_download.h"
#include "operations/download_list_builder.h"
#include "logos/logo_list.h"
#include "logos/logo_value_text.h"

#include <QImage>

#include <gtest/gtest.h>
#include <zbar.h>

// A composed logo goes the whole way: composed by the command line, added to
// the list with the settings it printed, the ordinary download into a virtual
// printer of its kind on loopback, and then the QR code
// is read back from what the printer stores, and the stored dots must equal
// the composition's preview dot for dot (so the text prints as drawn).

namespace {

struct ComposeCase {
    const char* name;
    PrinterKind kind;
    QStringList extra;  // kind-specific options
};

class ComposeRoundTrip : public testing::TestWithParam<ComposeCase> {};

const QString kContent = QStringLiteral("https://example.com/feedback?shop=Corner%20Cafe&table=7");

// What zbar reads from the grid drawn at its size on paper: every dot that
// is not paper is dark, whichever ink it is.
QStringList DecodeQr(const CDotGrid& grid)
{
    const QImage drawn = grid.ToImage(grid.UnitWidth(), grid.UnitHeight());
    std::vector<unsigned char> grey(static_cast<size_t>(drawn.width()) * drawn.height());
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            grey[static_cast<size_t>(y) * drawn.width() + x] = drawn.pixel(x, y) == qRgb(255, 255, 255) ? 255 : 0;
    zbar::ImageScanner scanner;
    scanner.set_config(zbar::ZBAR_NONE, zbar::ZBAR_CFG_ENABLE, 0);
    scanner.set_config(zbar::ZBAR_QRCODE, zbar::ZBAR_CFG_ENABLE, 1);
    zbar::Image image(static_cast<unsigned>(drawn.width()), static_cast<unsigned>(drawn.height()), "Y800",
                      grey.data(), grey.size());
    scanner.scan(image);
    QStringList found;
    for (auto symbol = image.symbol_begin(); symbol != image.symbol_end(); ++symbol)
        found << QString::fromStdString(symbol->get_data());
    image.set_data(nullptr, 0);
    return found;
}

CDotGrid::Dot PreviewDot(QRgb colour)
{
    if (colour == qRgb(255, 255, 255))
        return CDotGrid::White;
    return colour == qRgb(0, 0, 0) ? CDotGrid::Black : CDotGrid::Red;
}

}  // namespace

TEST_P(ComposeRoundTrip, ThePrinterStoresTheTextAndAReadableCode)
{
    const ComposeCase& c = GetParam();
    CTestDir dir;
    const QStringList model{"--model-type", QString::number(static_cast<int>(c.kind)), "--receipt-width", "384"};
    const CliResult composed = RunCli(QStringList{"compose", "--text", "Corner Café", "--size", "30", "--bold",
                                                  "--text", "Ελληνικά · Русский", "--qr", kContent, "--qr-level", "Q",
                                                  "--preview", dir.Path("preview.png"), "-o", dir.Path("logo.bmp")}
                                      + model + c.extra);
    ASSERT_EQ(composed.exitCode, 0) << composed.err.toStdString();
    // The logo goes into the list with the settings compose printed, as
    // download --logo-list takes them; its THRESHOLD gives its own hue.
    const LogoValue value = ParseLogoValue(QString::fromUtf8(composed.out.trimmed()));
    ASSERT_EQ(value.path, dir.Path("logo.bmp"));
    CLogoList list;
    list.SetLimits({10, 384, 384});
    ASSERT_EQ(list.AddLogoFile(value.path, LogoSettings{value.threshold, value.rValue, value.lValue, value.colorMode}),
              kLogoAdded);
    DownloadBuildOptions options;
    options.receiptWidth = 384;
    QString error;
    std::optional<DownloadList> items = BuildDownloadList(c.kind, list.Entries(), options, &error);
    ASSERT_TRUE(items) << error.toStdString();
    CSimulatedPrinter sim(c.kind);
    ASSERT_TRUE(DownloadInProcess(sim, c.kind, *items));
    ASSERT_TRUE(sim.WaitForImages(1));
    const CDotGrid stored = sim.Printer().StoredImages().at(0).dots;

    EXPECT_EQ(DecodeQr(stored), QStringList{kContent});
    const QImage preview(dir.Path("preview.png"));
    ASSERT_FALSE(preview.isNull());
    const int unitWidth = stored.UnitWidth();
    const int unitHeight = stored.UnitHeight();
    ASSERT_GE(stored.Width() * unitWidth, preview.width());
    ASSERT_GE(stored.Height() * unitHeight, preview.height());
    int differing = 0;
    for (int y = 0; y < stored.Height(); ++y)
        for (int x = 0; x < stored.Width(); ++x) {
            const QPoint at(x * unitWidth, y * unitHeight);
            const CDotGrid::Dot expected = preview.rect().contains(at) ? PreviewDot(preview.pixel(at)) : CDotGrid::White;
            differing += stored.At(x, y) != expected;
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(stored.Count(CDotGrid::Black), 0);
    EXPECT_EQ(stored.Count(CDotGrid::Red) > 0, c.kind == PrinterKind::TwoColor);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ComposeRoundTrip,
    testing::Values(ComposeCase{"SingleColour", PrinterKind::Mono, {}},
                    ComposeCase{"DotMode", PrinterKind::DotMode, {"--density", "0"}},
                    ComposeCase{"TwoColourCodeInTheSecondInk", PrinterKind::TwoColor,
                                {"--qr-ink", "second", "--ink", "green"}}),
    [](const testing::TestParamInfo<ComposeCase>& testInfo) { return std::string(testInfo.param.name); });
