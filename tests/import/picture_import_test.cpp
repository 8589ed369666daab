#include "import/bmp_encoder.h"
#include "import/picture_importer.h"
#include "import/picture_scaler.h"

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "imaging/separation_colors.h"
#include "logos/logo_renderer.h"
#include "support/temp_dir.h"

#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

// The import's promises: the BMP it writes comes back through the ordinary
// logo path (load, separation with the logo's settings, DOT MODE halving) as
// exactly the dots it shows; sizes, rotation and shrinking behave; files are
// named and kept where they belong.

namespace {

// A picture with every kind of content: a colour wheel of hues, a grey ramp,
// black text-like bars and pale areas.
QImage ColourfulPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int hue = (x * 360 / width + y) % 360;
            QColor colour = QColor::fromHsv(hue, 255 * y / height, 255 - (x % 7 == 0 ? 200 : 0));
            if (y > height * 3 / 4)
                colour = QColor(x * 255 / width, x * 255 / width, x * 255 / width);
            image.setPixel(x, y, colour.rgb());
        }
    return image;
}

struct KindCase {
    const char* name;
    PrinterKind modelType;
    ColorChoice ink;
    DotDensity density;
    DitherMethod dither;
};

class ImportedColours : public testing::TestWithParam<KindCase> {};

ImportSettings SettingsOf(const KindCase& c)
{
    ImportSettings settings;
    settings.modelType = c.modelType;
    settings.receiptWidth = 96;
    settings.ink = c.ink;
    settings.density = c.density;
    settings.dither = c.dither;
    return settings;
}

}  // namespace

TEST_P(ImportedColours, TheLogoPathGivesBackExactlyTheImportedDots)
{
    CTestDir dir;
    QString error;
    const std::optional<ImportedLogo> logo = ImportPicture(ColourfulPicture(300, 130), SettingsOf(GetParam()), &error);
    ASSERT_TRUE(logo) << error.toStdString();
    const QString path = dir.Path("logo.bmp");
    ASSERT_TRUE(SaveImportedLogo(*logo, path, &error)) << error.toStdString();
    // 1-bit files for one ink, 4-bit palettes for two.
    EXPECT_EQ(static_cast<int>(logo->bmp[28]), GetParam().modelType == PrinterKind::TwoColor ? 4 : 1);

    std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(path, &error);
    ASSERT_TRUE(surface) << error.toStdString();
    ASSERT_EQ(surface->Width(), logo->bmpSize.width());
    ASSERT_EQ(surface->Height(), logo->bmpSize.height());
    LogoEntry entry;
    entry.path = path;
    entry.threshold = logo->logoSettings.threshold;
    entry.rValue = static_cast<std::uint8_t>(logo->logoSettings.rValue);
    entry.lValue = static_cast<std::uint8_t>(logo->logoSettings.lValue);
    entry.colorMode = logo->logoSettings.colorMode;
    SeparateSurface(*surface, MakeEntryInputs(entry, ImportedLogoColors(*logo)));
    CBitmapSurface printed = *surface;
    if (logo->unitWidth > 1 || logo->unitHeight > 1)
        printed = surface->StretchAnd(surface->Width() / logo->unitWidth, surface->Height() / logo->unitHeight);
    ASSERT_EQ(printed.Width(), logo->dotWidth);
    ASSERT_EQ(printed.Height(), logo->dotHeight);
    const win::COLORREF expected[3] = {win::MakeColorRef(255, 255, 255), win::MakeColorRef(0, 0, 0), logo->inkColour.ToColorRef()};
    int differing = 0;
    for (int y = 0; y < logo->dotHeight; ++y)
        for (int x = 0; x < logo->dotWidth; ++x)
            differing += printed.GetPixel(x, y) != expected[logo->DotAt(x, y)];
    EXPECT_EQ(differing, 0);
    // The picture has dark, light and (for two inks) reddish parts.
    const auto count = [&](std::uint8_t dot) { return std::count(logo->dots.begin(), logo->dots.end(), dot); };
    EXPECT_GT(count(kBlackDot), 0);
    EXPECT_GT(count(kPaperDot), 0);
    EXPECT_EQ(count(kInkDot) > 0, GetParam().modelType == PrinterKind::TwoColor);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ImportedColours,
    testing::Values(KindCase{"SingleColour", PrinterKind::Mono, ColorChoice::Red, DotDensity::Single, DitherMethod::FloydSteinberg},
                    KindCase{"SingleColourBayer", PrinterKind::Mono, ColorChoice::Red, DotDensity::Single, DitherMethod::Bayer},
                    KindCase{"DotModeSingle", PrinterKind::DotMode, ColorChoice::Red, DotDensity::Single, DitherMethod::Atkinson},
                    KindCase{"DotModeDouble", PrinterKind::DotMode, ColorChoice::Red, DotDensity::Double, DitherMethod::FloydSteinberg},
                    KindCase{"DotModeQuad", PrinterKind::DotMode, ColorChoice::Red, DotDensity::Quad, DitherMethod::None},
                    KindCase{"TwoColourRed", PrinterKind::TwoColor, ColorChoice::Red, DotDensity::Single, DitherMethod::FloydSteinberg},
                    KindCase{"TwoColourGreen", PrinterKind::TwoColor, ColorChoice::Green, DotDensity::Single, DitherMethod::Atkinson},
                    KindCase{"TwoColourBlue", PrinterKind::TwoColor, ColorChoice::Blue, DotDensity::Single, DitherMethod::None}),
    [](const testing::TestParamInfo<KindCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(ImportSizes, FitKeepsTheAspectRatio)
{
    struct Case {
        QSize picture;
        int width;
        int maxWidth;
        QSize expected;
    };
    const Case cases[] = {
        {{1000, 500}, 0, 576, {576, 288}},  // shrunk to the printable width
        {{300, 100}, 0, 576, {300, 100}},   // a narrower logo keeps its size
        {{300, 100}, 600, 576, {600, 200}}, // a given width is taken as it is
        {{4000, 3000}, 576, 0, {576, 432}},
        {{3, 1000}, 0, 576, {3, 1000}},
        {{1000, 1}, 0, 576, {576, 1}},      // never less than one row
        {{1, 1}, 0, 576, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitToWidth(c.picture, c.width, c.maxWidth), c.expected) << c.picture.width() << "x"
                                                                          << c.picture.height();
}

TEST(ImportSizes, ShrinkingAveragesThinLinesInsteadOfDroppingThem)
{
    // Hairlines every fourth pixel: averaged, each pixel of a quarter-width
    // picture is 3/4 white; nearest-neighbour sampling would give only white
    // or only black.
    QImage lines(400, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; ++x)
            lines.setPixel(x, y, x % 4 == 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const QImage small = ResizePicture(lines, QSize(100, 10));
    ASSERT_EQ(small.size(), QSize(100, 10));
    for (int x = 0; x < 100; ++x)
        EXPECT_NEAR(qGray(small.pixel(x, 5)), 191, 1) << "x " << x;
    // A non-integer ratio keeps the overall tone too.
    const QImage odd = ResizePicture(lines, QSize(77, 7));
    double sum = 0;
    for (int y = 0; y < odd.height(); ++y)
        for (int x = 0; x < odd.width(); ++x)
            sum += qGray(odd.pixel(x, y));
    EXPECT_NEAR(sum / (77 * 7), 191.25, 2.0);
}

TEST(ImportSizes, RotationTurnsClockwiseBeforeFitting)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(0, 0, 100, 100, Qt::black);  // left half black
    ImportSettings settings;
    settings.receiptWidth = 50;
    settings.rotate = true;
    settings.dither = DitherMethod::None;
    QString error;
    const std::optional<ImportedLogo> logo = ImportPicture(picture, settings, &error);
    ASSERT_TRUE(logo) << error.toStdString();
    EXPECT_EQ(logo->dotWidth, 50);
    EXPECT_EQ(logo->dotHeight, 100);
    EXPECT_EQ(logo->DotAt(25, 10), kBlackDot);   // the left half is now on top
    EXPECT_EQ(logo->DotAt(25, 90), kPaperDot);
}

TEST(ImportSizes, OneDotPicturesAndTooTallResults)
{
    QImage column(1, 40, QImage::Format_RGB32);
    column.fill(Qt::black);
    QImage row(40, 1, QImage::Format_RGB32);
    row.fill(Qt::black);
    for (PrinterKind kind : kPrinterKinds) {
        ImportSettings settings;
        settings.modelType = kind;
        QString error;
        for (const QImage* picture : {&column, &row}) {
            const std::optional<ImportedLogo> logo = ImportPicture(*picture, settings, &error);
            ASSERT_TRUE(logo) << error.toStdString();
            EXPECT_EQ(std::count(logo->dots.begin(), logo->dots.end(), kBlackDot),
                      static_cast<long>(logo->dots.size()));
            EXPECT_FALSE(logo->bmp.isEmpty());
        }
        // Stretched to 576 dots wide, the column would be 23,040 rows high.
        settings.width = 576;
        EXPECT_FALSE(ImportPicture(column, settings, &error));
        EXPECT_TRUE(error.contains("16384")) << error.toStdString();
    }
}

TEST(ImportSettingsCheck, RefusesWhatCannotBeUsed)
{
    struct Case {
        const char* what;
        std::function<void(ImportSettings&)> change;
    };
    const Case cases[] = {
        {"bayer on two colours", [](ImportSettings& s) { s.modelType = PrinterKind::TwoColor; s.dither = DitherMethod::Bayer; }},
        {"level 0", [](ImportSettings& s) { s.level = 0; }},
        {"gamma 0", [](ImportSettings& s) { s.gamma = 0; }},
        {"contrast 101", [](ImportSettings& s) { s.contrast = 101; }},
        {"no width at all", [](ImportSettings& s) { s.receiptWidth = 0; }},
        {"kind 3", [](ImportSettings& s) { s.modelType = CModelType::FromNumber(3); }},
    };
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    for (const Case& c : cases) {
        ImportSettings settings;
        c.change(settings);
        QString error;
        EXPECT_FALSE(ImportPicture(picture, settings, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

TEST(ImportTones, BrightnessContrastAndGammaMoveTheTone)
{
    QImage grey(64, 64, QImage::Format_RGB32);
    grey.fill(qRgb(100, 100, 100));
    auto paperShare = [&](auto change) {
        ImportSettings settings;
        settings.receiptWidth = 64;
        change(settings);
        QString error;
        const std::optional<ImportedLogo> logo = ImportPicture(grey, settings, &error);
        EXPECT_TRUE(logo) << error.toStdString();
        return logo ? static_cast<double>(std::count(logo->dots.begin(), logo->dots.end(), kPaperDot)) / 4096 : 0.0;
    };
    const double plain = paperShare([](ImportSettings&) {});
    EXPECT_NEAR(plain, 100.0 / 255, 0.02);
    EXPECT_GT(paperShare([](ImportSettings& s) { s.brightness = 40; }), plain + 0.1);
    EXPECT_LT(paperShare([](ImportSettings& s) { s.contrast = 60; }), plain - 0.05);  // below mid-grey gets darker
    EXPECT_GT(paperShare([](ImportSettings& s) { s.gamma = 2.0; }), plain + 0.1);
}

TEST(ImportedFiles, PaletteBmpsOfEveryDepthLoadBack)
{
    CTestDir dir;
    const std::vector<Rgb> palette{{255, 255, 255}, {0, 0, 0}, {255, 0, 0}};
    for (int bits : {1, 4, 8})
        for (int width : {1, 7, 8, 9, 33}) {
            std::vector<std::uint8_t> indices(static_cast<size_t>(width) * 3);
            for (size_t i = 0; i < indices.size(); ++i)
                indices[i] = static_cast<std::uint8_t>(bits == 1 ? i % 2 : i % 3);
            const QString path = dir.Path(QStringLiteral("p%1-%2.bmp").arg(bits).arg(width));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(EncodePaletteBmp(width, 3, bits, bits == 1 ? std::vector<Rgb>(palette.begin(), palette.begin() + 2)
                                                                : palette, indices));
            file.close();
            QString error;
            const std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(path, &error);
            ASSERT_TRUE(surface) << error.toStdString();
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < width; ++x)
                    EXPECT_EQ(surface->GetPixel(x, y), palette[indices[static_cast<size_t>(y) * width + x]].ToColorRef())
                        << bits << " bits, width " << width << " at " << x << "," << y;
        }
    EXPECT_TRUE(EncodePaletteBmp(2, 1, 1, palette, {0, 1}).isEmpty());  // three colours do not fit one bit
    EXPECT_TRUE(EncodePaletteBmp(2, 2, 4, palette, {0, 1}).isEmpty());  // too few pixels
}

TEST(ImportedFiles, NamesSayWhereFromAndHowAndDifferPerSetting)
{
    ImportSettings settings;
    const QString name = ImportedLogoFileName("/pictures/Shop Logo (final).png", settings);
    EXPECT_TRUE(name.startsWith("Shop_Logo_final_-k1-576-fs-")) << name.toStdString();
    EXPECT_TRUE(name.endsWith(".bmp"));
    EXPECT_EQ(name, ImportedLogoFileName("/pictures/Shop Logo (final).png", settings));
    ImportSettings other = settings;
    other.gamma = 1.5;
    EXPECT_NE(name, ImportedLogoFileName("/pictures/Shop Logo (final).png", other));
    EXPECT_NE(name, ImportedLogoFileName("/elsewhere/Shop Logo (final).png", settings));
}

TEST(ImportedFiles, KeptInTheUsersDataFolder)
{
    CTestDir dir;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.Path("data").toLocal8Bit());
    QImage picture(30, 10, QImage::Format_RGB32);
    picture.fill(Qt::black);
    ASSERT_TRUE(picture.save(dir.Path("logo.png")));
    ImportedLogo logo;
    QString error;
    const std::optional<QString> path = ImportPictureToLogos(dir.Path("logo.png"), ImportSettings{}, &logo, &error);
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
    ASSERT_TRUE(path) << error.toStdString();
    EXPECT_TRUE(path->startsWith(dir.Path("data/markograph/logos/logo-k1-576-fs-"))) << path->toStdString();
    QFile file(*path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), logo.bmp);
    EXPECT_EQ(QDir(dir.Path("data/markograph/logos")).entryList(QDir::Files), QStringList{QFileInfo(*path).fileName()});
}

TEST(TwoInkReduction, GreysStayBlackAndWhiteAndRedsTakeTheInk)
{
    struct Case {
        QRgb colour;
        double inkShareLow;
        double inkShareHigh;
    };
    const Case cases[] = {
        {qRgb(128, 128, 128), 0.0, 0.02},  // mid-grey: paper and black only
        {qRgb(60, 60, 60), 0.0, 0.02},
        {qRgb(200, 200, 200), 0.0, 0.02},
        {qRgb(255, 0, 0), 0.98, 1.0},      // the ink itself
        {qRgb(170, 20, 20), 0.5, 1.0},     // dark red: ink with some black
        {qRgb(255, 170, 170), 0.2, 0.8},   // pink: ink and paper
    };
    for (DitherMethod method : {DitherMethod::None, DitherMethod::FloydSteinberg, DitherMethod::Atkinson})
        for (const Case& c : cases) {
            QImage flat(64, 64, QImage::Format_RGB32);
            flat.fill(c.colour);
            const std::vector<std::uint8_t> dots = ReduceToTwoInks(flat, Rgb{255, 0, 0}, method);
            const double ink = static_cast<double>(std::count(dots.begin(), dots.end(), kInkDot)) / dots.size();
            if (method == DitherMethod::None && c.inkShareHigh < 1.0 && c.inkShareLow > 0.0)
                continue;  // without diffusion a flat tint is all one colour
            EXPECT_GE(ink, c.inkShareLow) << DitherMethodName(method).toStdString() << " " << std::hex << c.colour;
            EXPECT_LE(ink, c.inkShareHigh) << DitherMethodName(method).toStdString() << " " << std::hex << c.colour;
        }
}
