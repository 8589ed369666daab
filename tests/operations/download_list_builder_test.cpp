#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "logos/logo_renderer.h"
#include "operations/download_list_builder.h"
#include "imaging/raster_decoder.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <QFileInfo>

#include <random>

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

LogoEntry Logo(const QString& path, int colorMode)
{
    LogoEntry entry;
    entry.path = path;
    entry.name = QFileInfo(path).fileName();
    entry.colorMode = FromStoredNumber(colorMode);
    return entry;
}

QString SolidBmp(const CTestDir& dir, const QString& name, int width, int height, win::COLORREF colour)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [colour](int, int) { return colour; };
    EXPECT_TRUE(WriteBmp(dir.Path(name), spec));
    return dir.Path(name);
}

}  // namespace

TEST(DownloadListBuilder, ItemsFollowTheLogoListForEveryKind)
{
    CTestDir dir;
    std::vector<LogoEntry> logos{Logo(SolidBmp(dir, "a.bmp", 16, 8, win::MakeColorRef(0, 0, 0)), 0),
                                 Logo(SolidBmp(dir, "b.bmp", 24, 8, win::MakeColorRef(255, 0, 0)), 0),
                                 Logo(SolidBmp(dir, "c.bmp", 32, 8, win::MakeColorRef(255, 255, 255)), 0)};
    const std::vector<const LogoEntry*> list{&logos[0], &logos[1], &logos[2]};
    DownloadBuildOptions options;
    options.receiptWidth = 576;
    QString error;

    auto mono = BuildDownloadList(PrinterKind::Mono, list, options, &error);
    ASSERT_TRUE(mono) << error.toStdString();
    ASSERT_EQ(mono->size(), 3u);
    EXPECT_EQ((*mono)[1].name, "b.bmp");
    EXPECT_EQ((*mono)[1].data.left(4), Hex("03000100"));  // 24 dots = 3 bytes wide, one byte high
    EXPECT_EQ((*mono)[0].data.left(4), Hex("02000100"));
    EXPECT_EQ((*mono)[2].data.left(4), Hex("04000100"));

    auto two = BuildDownloadList(PrinterKind::TwoColor, list, options, &error);
    ASSERT_TRUE(two);
    for (const DownloadItem& item : *two) {
        EXPECT_EQ(item.data.left(3), Hex("1D384C"));
        EXPECT_EQ(item.data.mid(kKeyCodeOffset, 2), Hex("0000"));  // no address until one is given
    }

    options.density = DotDensity::Quad;
    auto dot = BuildDownloadList(PrinterKind::DotMode, list, options, &error);
    ASSERT_TRUE(dot);
    ASSERT_EQ(dot->size(), 4u);
    EXPECT_EQ((*dot)[0].name, kHeadItemName);
    ASSERT_EQ((*dot)[0].size(), 6);
    for (int i = 0; i < 3; ++i) {
        const int length = (*dot)[i + 1].size();
        EXPECT_EQ(static_cast<quint8>((*dot)[0].data[2 * i]), length >> 8);
        EXPECT_EQ(static_cast<quint8>((*dot)[0].data[2 * i + 1]), length & 0xFF);
    }
}

TEST(DownloadListBuilder, LengthTableWritesHighByteFirst)
{
    CTestDir dir;
    // Quad density keeps 118 x 1: one pass of 2 x 118 + 20 = 256 bytes.
    LogoEntry logo = Logo(SolidBmp(dir, "w.bmp", 118, 1, win::MakeColorRef(0, 0, 0)), 0);
    DownloadBuildOptions options;
    options.density = DotDensity::Quad;
    auto dot = BuildDownloadList(PrinterKind::DotMode, {&logo}, options, nullptr);
    ASSERT_TRUE(dot);
    EXPECT_EQ((*dot)[1].size(), 256);
    EXPECT_EQ((*dot)[0].data, Hex("0100"));
}

TEST(DownloadListBuilder, RefusesWholeRunsWithAReasonNamingTheLogo)
{
    CTestDir dir;
    LogoEntry good = Logo(SolidBmp(dir, "good.bmp", 8, 8, win::MakeColorRef(0, 0, 0)), 0);
    LogoEntry gone = Logo(dir.Path("gone.bmp"), 0);
    LogoEntry wide = Logo(SolidBmp(dir, "wide.bmp", 4000, 504, win::MakeColorRef(255, 255, 255)), 0);  // 4000 x 63 + 4 > 250,000
    DownloadBuildOptions options;
    options.receiptWidth = 576;
    QString error;
    EXPECT_FALSE(BuildDownloadList(PrinterKind::Mono, {&good, &gone}, options, &error));
    EXPECT_TRUE(error.contains("gone.bmp")) << error.toStdString();
    EXPECT_FALSE(BuildDownloadList(PrinterKind::Mono, {&good, &wide}, options, &error));
    EXPECT_TRUE(error.contains("wide.bmp")) << error.toStdString();
    EXPECT_FALSE(BuildDownloadList(CModelType::FromNumber(5), {&good}, options, &error));
    EXPECT_EQ(error, "Not Support Printer");
    EXPECT_FALSE(BuildDownloadList(PrinterKind::Mono, {}, options, &error));
    EXPECT_EQ(error, "Without a bitmap file being selected.");
}

// Random colour logos through separation, packing and an independent decoder:
// every dot the printer would print is the class of the separated pixel.
TEST(DownloadListBuilder, DecodedDotsMatchTheSeparatedPixels)
{
    CTestDir dir;
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> size(1, 70);
    std::uniform_int_distribution<int> channel(0, 255);
    std::uniform_int_distribution<int> mode(0, 3);
    for (int round = 0; round < 40; ++round) {
        const int width = size(random);
        const int height = size(random);
        std::vector<win::COLORREF> pixels(static_cast<size_t>(width) * height);
        for (win::COLORREF& p : pixels)
            p = win::MakeColorRef(channel(random), channel(random), channel(random));
        const QString path = dir.Path(QStringLiteral("r%1.bmp").arg(round));
        ASSERT_TRUE(WriteBmp24(path, width, height, pixels));
        LogoEntry logo = Logo(path, mode(random));
        logo.rValue = static_cast<std::uint8_t>(channel(random));
        logo.lValue = static_cast<std::uint8_t>(channel(random));
        DownloadBuildOptions options;
        options.receiptWidth = 64;
        logo.threshold = static_cast<int>(random() % 360);
        SeparationInputs inputs = MakeEntryInputs(logo, options.colors);

        auto expected = [&](int x, int y, bool twoColour) {
            const win::COLORREF c = SeparateColor(pixels[static_cast<size_t>(y) * width + x], inputs);
            const int r = win::RedOf(c), g = win::GreenOf(c), b = win::BlueOf(c);
            if (!twoColour)
                return c == win::MakeColorRef(255, 255, 255) ? CRasterDecoder::Dot::None : CRasterDecoder::Dot::Black;
            if (r > 240 && g > 240 && b > 240)
                return CRasterDecoder::Dot::None;
            return c == 0 ? CRasterDecoder::Dot::Black : CRasterDecoder::Dot::Ink;
        };
        std::string why;
        auto mono = BuildDownloadList(PrinterKind::Mono, {&logo}, options, nullptr);
        ASSERT_TRUE(mono);
        auto monoGrid = CRasterDecoder::DecodeMonoRecord((*mono)[0].data, &why);
        ASSERT_TRUE(monoGrid) << why;
        auto two = BuildDownloadList(PrinterKind::TwoColor, {&logo}, options, nullptr);
        ASSERT_TRUE(two);
        std::array<char, 2> key{};
        auto twoGrid = CRasterDecoder::DecodeTwoColorCommand((*two)[0].data, &key, &why);
        ASSERT_TRUE(twoGrid) << why;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                ASSERT_EQ(monoGrid->At(x, y), expected(x, y, false)) << round << ": " << x << "," << y;
                if (x < options.receiptWidth) {
                    ASSERT_EQ(twoGrid->At(x, y), expected(x, y, true)) << round << ": " << x << "," << y;
                }
            }
        }
    }
}
