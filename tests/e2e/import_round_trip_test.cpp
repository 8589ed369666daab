#include "e2e/in_process_download.h"
#include "operations/download_list_builder.h"
#include "import/picture_importer.h"
#include "logos/logo_list.h"

#include <QPainter>

#include <gtest/gtest.h>

// An imported picture goes the whole way: the BMP into the logo list with the
// import's settings, the ordinary download into a virtual printer, and what
// the printer stores must equal the import's preview dot for dot.

namespace {

QImage Photo(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int hue = (x * 720 / width + y * 2) % 360;
            image.setPixel(x, y, QColor::fromHsv(hue, 40 + 215 * y / height, 255 * (width - x) / width,
                                                 x < 10 ? 0 : 255).rgba());
        }
    QPainter painter(&image);
    painter.fillRect(width / 3, height / 3, width / 4, height / 4, Qt::black);
    return image;
}

struct RoundTripCase {
    const char* name;
    PrinterKind sim;
    PrinterKind modelType;
    ColorChoice ink;
    DotDensity density;
    DitherMethod dither;
};

class ImportRoundTrip : public testing::TestWithParam<RoundTripCase> {};

CDotGrid::Dot Expected(std::uint8_t dot)
{
    return dot == kPaperDot ? CDotGrid::White : dot == kBlackDot ? CDotGrid::Black : CDotGrid::Red;
}

}  // namespace

TEST_P(ImportRoundTrip, ThePrinterStoresWhatThePreviewShows)
{
    const RoundTripCase& c = GetParam();
    CTestDir dir;
    ImportSettings settings;
    settings.modelType = c.modelType;
    settings.receiptWidth = 120;
    settings.ink = c.ink;
    settings.density = c.density;
    settings.dither = c.dither;
    QString error;
    const std::optional<ImportedLogo> logo = ImportPicture(Photo(333, 170), settings, &error);
    ASSERT_TRUE(logo) << error.toStdString();
    const QString path = dir.Path("imported.bmp");
    ASSERT_TRUE(SaveImportedLogo(*logo, path, &error)) << error.toStdString();

    CLogoList list;
    list.SetLimits({10, 384, settings.receiptWidth});
    ASSERT_EQ(list.AddLogoFile(path, logo->logoSettings), kLogoAdded);
    DownloadBuildOptions options;
    options.colors = ImportedLogoColors(*logo);
    options.receiptWidth = settings.receiptWidth;
    options.density = c.density;
    std::optional<DownloadList> items = BuildDownloadList(c.modelType, list.Entries(), options, &error);
    ASSERT_TRUE(items) << error.toStdString();

    CSimulatedPrinter sim(c.sim);
    ASSERT_TRUE(DownloadInProcess(sim, c.modelType, *items));
    ASSERT_TRUE(sim.WaitForImages(1));
    const CDotGrid stored = sim.Printer().StoredImages().at(0).dots;
    // The printer's grid may be wider (whole bytes) or higher (whole bands); those dots stay white.
    ASSERT_GE(stored.Width(), logo->dotWidth);
    ASSERT_GE(stored.Height(), logo->dotHeight);
    EXPECT_EQ(stored.UnitWidth(), logo->unitWidth);
    EXPECT_EQ(stored.UnitHeight(), logo->unitHeight);
    int differing = 0;
    for (int y = 0; y < stored.Height(); ++y)
        for (int x = 0; x < stored.Width(); ++x) {
            const bool inside = x < logo->dotWidth && y < logo->dotHeight;
            differing += stored.At(x, y) != (inside ? Expected(logo->DotAt(x, y)) : CDotGrid::White);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(stored.Count(CDotGrid::Black), 0);
    EXPECT_EQ(stored.Count(CDotGrid::Red) > 0, c.modelType == PrinterKind::TwoColor);
    // The preview shows the same dots at print size.
    const QImage preview = logo->Preview();
    EXPECT_EQ(preview.size(), QSize(logo->dotWidth * logo->unitWidth, logo->dotHeight * logo->unitHeight));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ImportRoundTrip,
    testing::Values(
        RoundTripCase{"SingleColour", PrinterKind::Mono, PrinterKind::Mono, ColorChoice::Red, DotDensity::Single, DitherMethod::FloydSteinberg},
        RoundTripCase{"TwoColourRed", PrinterKind::TwoColor, PrinterKind::TwoColor, ColorChoice::Red, DotDensity::Single,
                      DitherMethod::FloydSteinberg},
        RoundTripCase{"TwoColourBlueUndithered", PrinterKind::TwoColor, PrinterKind::TwoColor, ColorChoice::Blue, DotDensity::Single,
                      DitherMethod::None},
        RoundTripCase{"DotModeSingle", PrinterKind::DotMode, PrinterKind::DotMode, ColorChoice::Red, DotDensity::Single, DitherMethod::Atkinson},
        RoundTripCase{"DotModeDouble", PrinterKind::DotMode, PrinterKind::DotMode, ColorChoice::Red, DotDensity::Double, DitherMethod::Bayer},
        RoundTripCase{"DotModeQuad", PrinterKind::DotMode, PrinterKind::DotMode, ColorChoice::Red, DotDensity::Quad,
                      DitherMethod::FloydSteinberg}),
    [](const testing::TestParamInfo<RoundTripCase>& testInfo) { return std::string(testInfo.param.name); });
