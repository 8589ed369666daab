#include "logos/logo_renderer.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <vector>

namespace {

const win::COLORREF kRed = win::MakeColorRef(255, 0, 0);
const win::COLORREF kGreen = win::MakeColorRef(0, 255, 0);
const win::COLORREF kBlack = win::MakeColorRef(0, 0, 0);
const win::COLORREF kWhite = win::MakeColorRef(255, 255, 255);

LogoEntry EntryFor(const QString& path)
{
    LogoEntry entry;
    entry.path = path;
    return entry;
}

// Renders a one-row 24-bit logo of the given pixels and returns the row.
std::vector<win::COLORREF> RenderRow(const std::vector<win::COLORREF>& pixels, LogoEntry entry, const SeparationColors& colors)
{
    CTestDir dir;
    entry.path = dir.Path("logo.bmp");
    EXPECT_TRUE(WriteBmp24(entry.path, static_cast<int>(pixels.size()), 1, pixels));
    QString error;
    const std::optional<CBitmapSurface> surface = RenderSeparatedBitmap(entry, colors, &error);
    EXPECT_TRUE(surface) << error.toStdString();
    std::vector<win::COLORREF> row;
    for (int x = 0; surface && x < surface->Width(); ++x)
        row.push_back(surface->GetPixel(x, 0));
    return row;
}

TEST(LogoRendererTest, RedLogoSeparatesIntoRedBlackAndWhite)
{
    CTestDir dir;
    const QString path = dir.Path("logo.bmp");
    // Rows of near-red, near-black and near-white shades with a pure pixel each.
    const std::vector<win::COLORREF> shades[] = {{kRed, win::MakeColorRef(200, 30, 30), win::MakeColorRef(230, 60, 40)},
                                            {kBlack, win::MakeColorRef(20, 20, 20), win::MakeColorRef(60, 40, 50)},
                                            {kWhite, win::MakeColorRef(240, 240, 240), win::MakeColorRef(250, 220, 230)}};
    const win::COLORREF expected[] = {kRed, kBlack, kWhite};
    std::vector<win::COLORREF> pixels;
    for (const auto& row : shades)
        pixels.insert(pixels.end(), row.begin(), row.end());
    ASSERT_TRUE(WriteBmp24(path, 3, 3, pixels));

    const LogoEntry entry = EntryFor(path);
    const SeparationColors colors;
    QString error;
    const std::optional<CBitmapSurface> surface = RenderSeparatedBitmap(entry, colors, &error);
    ASSERT_TRUE(surface) << error.toStdString();
    ASSERT_EQ(surface->Width(), 3);
    ASSERT_EQ(surface->Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(surface->GetPixel(x, y), expected[y]) << "at " << x << "," << y;
            EXPECT_EQ(MapEntryColor(entry, shades[y][static_cast<size_t>(x)], colors), expected[y]);
        }
}

TEST(LogoRendererTest, BlackAndWhiteFileKeepsItsPalette)
{
    CTestDir dir;
    const BmpSpec spec =
        PaletteBmp(9, 2, 1, {kBlack, kWhite}, [](int x, int y) { return static_cast<std::uint32_t>((x + y) % 2); });
    ASSERT_TRUE(WriteBmp(dir.Path("bw.bmp"), spec));

    // With the second ink red, the dark pixels separate to red, which a
    // black-and-white file stores as its nearest colour, black.
    SeparationColors colors;
    colors.lColor = {255, 0, 0};
    const std::optional<CBitmapSurface> surface = RenderSeparatedBitmap(EntryFor(dir.Path("bw.bmp")), colors, nullptr);
    ASSERT_TRUE(surface);
    EXPECT_TRUE(surface->IsPaletteBased());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(surface->GetPixel(x, y), (x + y) % 2 ? kWhite : kBlack) << "at " << x << "," << y;
}

TEST(LogoRendererTest, NotUsedEntrySeparatesWithItsOwnLValue)
{
    // Brightness S = 354, 357, 304, 305 and 432 against 2 x S < 610 + L Value.
    const std::vector<win::COLORREF> pixels{win::MakeColorRef(118, 118, 118), win::MakeColorRef(119, 119, 119), win::MakeColorRef(255, 49, 0), win::MakeColorRef(255, 50, 0),
                                       win::MakeColorRef(200, 200, 32)};
    SeparationColors colors;
    colors.lColor = {1, 2, 3};
    const win::COLORREF l = win::MakeColorRef(1, 2, 3);
    const win::COLORREF w = kWhite;
    LogoEntry entry;
    entry.colorMode = ColorChoice::NotUsed;
    entry.lValue = 100;
    EXPECT_EQ(RenderRow(pixels, entry, colors), (std::vector<win::COLORREF>{l, w, l, l, w}));
    entry.lValue = 0;
    EXPECT_EQ(RenderRow(pixels, entry, colors), (std::vector<win::COLORREF>{w, w, l, w, w}));
    entry.lValue = 255;
    EXPECT_EQ(RenderRow(pixels, entry, colors), (std::vector<win::COLORREF>{l, l, l, l, l}));
}

TEST(LogoRendererTest, EveryEntrySeparatesWithItsOwnThreshold)
{
    // Two Green logos, one stored with THRESHOLD 120 and one with 0: each is
    // separated with the hue of its own THRESHOLD, so the same green pixel
    // prints green in the first and black in the second, whatever the
    // window's shared colours are.
    const SeparationColors colors;
    LogoEntry tuned;
    tuned.colorMode = ColorChoice::Green;
    tuned.threshold = 120;
    LogoEntry untuned = tuned;
    untuned.threshold = 0;
    const std::vector<win::COLORREF> row{win::MakeColorRef(0, 200, 0), win::MakeColorRef(10, 10, 10)};
    EXPECT_EQ(RenderRow(row, tuned, colors), (std::vector<win::COLORREF>{kGreen, kBlack}));
    EXPECT_EQ(RenderRow(row, untuned, colors), (std::vector<win::COLORREF>{kBlack, kBlack}));
}

TEST(LogoRendererTest, UnloadableFileNamesTheFileAndTheReason)
{
    CTestDir dir;
    const QString missing = dir.Path("gone.bmp");
    QString error;
    EXPECT_FALSE(RenderSeparatedBitmap(EntryFor(missing), SeparationColors{}, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();

    const QString broken = dir.Path("broken.bmp");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("GIF89a");
    file.close();
    EXPECT_FALSE(RenderSeparatedBitmap(EntryFor(broken), SeparationColors{}, &error));
    EXPECT_TRUE(error.contains(broken)) << error.toStdString();
    EXPECT_TRUE(error.contains("not a BMP")) << error.toStdString();
}

}  // namespace
