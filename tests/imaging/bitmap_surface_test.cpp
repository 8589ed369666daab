#include "imaging/bitmap_surface.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

void PutLe32(QByteArray& bytes, int offset, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}

// ------------------------------------------------------- loading variants

struct DepthCase {
    const char* name;
    int bits;
    int width;
    int height;
    bool topDown;
};

void PrintTo(const DepthCase& c, std::ostream* os) { *os << c.name; }

std::vector<win::COLORREF> PaletteFor(int bits)
{
    std::vector<win::COLORREF> palette;
    if (bits == 1)
        return {win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 255, 255)};
    const int count = bits == 4 ? 16 : 200;
    for (int i = 0; i < count; ++i)
        palette.push_back(win::MakeColorRef(i * 13 % 256, 255 - i, i * 7 % 256));
    return palette;
}

// Palette index or colour of (x, y); distinct enough that a swapped row,
// column or channel shows.
std::uint32_t ValueAt(int bits, int x, int y)
{
    switch (bits) {
    case 1: return static_cast<std::uint32_t>((x * 3 + y) % 5 < 2);
    case 4: return static_cast<std::uint32_t>((x + 3 * y) % 16);
    case 8: return static_cast<std::uint32_t>((x * 17 + y * 31) % 200);
    default: return win::MakeColorRef(x * 40 + 3, y * 50 + 9, (x + y) * 20 + 200);
    }
}

// What reading (x, y) must give back: the palette colour, or for 16-bit files
// the 5-bit components as the loader expands them (shifted left by three,
// so 31 reads as 248).
win::COLORREF ExpectedAt(const DepthCase& c, int x, int y)
{
    const std::uint32_t v = ValueAt(c.bits, x, y);
    if (c.bits <= 8)
        return PaletteFor(c.bits)[v];
    if (c.bits == 16)
        return win::MakeColorRef(win::RedOf(v) >> 3 << 3, win::GreenOf(v) >> 3 << 3, win::BlueOf(v) >> 3 << 3);
    return v;
}

class BitmapSurfaceLoadTest : public ::testing::TestWithParam<DepthCase> {};

TEST_P(BitmapSurfaceLoadTest, ReadsBackWhatWasWritten)
{
    const DepthCase& c = GetParam();
    CTestDir dir;
    BmpSpec spec;
    spec.width = c.width;
    spec.height = c.height;
    spec.bitsPerPixel = c.bits;
    spec.topDown = c.topDown;
    if (c.bits <= 8)
        spec.palette = PaletteFor(c.bits);
    spec.pixel = [&](int x, int y) { return ValueAt(c.bits, x, y); };
    const QString path = dir.Path("logo.bmp");
    ASSERT_TRUE(WriteBmp(path, spec));

    QString error;
    const std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(path, &error);
    ASSERT_TRUE(surface) << error.toStdString();
    ASSERT_EQ(surface->Width(), c.width);
    ASSERT_EQ(surface->Height(), c.height);
    EXPECT_EQ(surface->IsPaletteBased(), c.bits <= 8);
    std::vector<win::COLORREF> row(static_cast<size_t>(c.width));
    for (int y = 0; y < c.height; ++y) {
        surface->ReadRow(y, row.data());
        for (int x = 0; x < c.width; ++x) {
            ASSERT_EQ(surface->GetPixel(x, y), ExpectedAt(c, x, y)) << "at " << x << "," << y;
            ASSERT_EQ(row[static_cast<size_t>(x)], ExpectedAt(c, x, y)) << "row read at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    BitmapSurfaceDepths, BitmapSurfaceLoadTest,
    ::testing::Values(DepthCase{"Mono13x5", 1, 13, 5, false}, DepthCase{"Mono33x3TopDown", 1, 33, 3, true},
                      DepthCase{"Nibble7x4", 4, 7, 4, false}, DepthCase{"Nibble7x4TopDown", 4, 7, 4, true},
                      DepthCase{"Byte5x3", 8, 5, 3, false}, DepthCase{"Byte5x3TopDown", 8, 5, 3, true},
                      DepthCase{"Rgb555x3x2", 16, 3, 2, false}, DepthCase{"Rgb555x5x2TopDown", 16, 5, 2, true},
                      DepthCase{"Rgb24x5x3", 24, 5, 3, false}, DepthCase{"Rgb24x1x1", 24, 1, 1, false},
                      DepthCase{"Rgb24x4x3TopDown", 24, 4, 3, true}, DepthCase{"Rgb32x3x4", 32, 3, 4, false},
                      DepthCase{"Rgb32x3x4TopDown", 32, 3, 4, true}),
    [](const ::testing::TestParamInfo<DepthCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(BitmapSurfacePixelTest, BlackAndWhiteFileStoresTheNearestPaletteColour)
{
    CTestDir dir;
    const BmpSpec spec = PaletteBmp(4, 1, 1, {win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 255, 255)}, [](int, int) { return 1u; });
    ASSERT_TRUE(WriteBmp(dir.Path("bw.bmp"), spec));
    std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(dir.Path("bw.bmp"));
    ASSERT_TRUE(surface);

    surface->SetPixel(0, 0, win::MakeColorRef(255, 0, 0));
    surface->SetPixel(1, 0, win::MakeColorRef(200, 200, 200));
    surface->SetPixel(2, 0, win::MakeColorRef(0, 0, 255));
    EXPECT_TRUE(surface->IsPaletteBased());
    EXPECT_EQ(surface->GetPixel(0, 0), win::MakeColorRef(0, 0, 0));
    EXPECT_EQ(surface->GetPixel(1, 0), win::MakeColorRef(255, 255, 255));
    EXPECT_EQ(surface->GetPixel(2, 0), win::MakeColorRef(0, 0, 0));
    EXPECT_EQ(surface->GetPixel(3, 0), win::MakeColorRef(255, 255, 255));
}

TEST(BitmapSurfacePixelTest, OutsideReadsInvalidAndOutsideWritesAreIgnored)
{
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(0, 0, 0)});
    indexed.fill(0);
    QImage colour(3, 2, QImage::Format_RGB32);
    colour.fill(qRgb(0, 0, 0));
    for (const QImage& image : {indexed, colour}) {
        CBitmapSurface surface = CBitmapSurface::FromImage(image);
        for (auto [x, y] : std::initializer_list<std::pair<int, int>>{{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {3, 2}}) {
            surface.SetPixel(x, y, win::MakeColorRef(255, 255, 255));
            EXPECT_EQ(surface.GetPixel(x, y), win::kInvalidColor) << x << "," << y;
        }
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(surface.GetPixel(x, y), win::MakeColorRef(0, 0, 0));
    }
}

// ------------------------------------------------------------- StretchAnd

win::COLORREF ColourOf(char c)
{
    switch (c) {
    case 'k': return win::MakeColorRef(0, 0, 0);
    case 'r': return win::MakeColorRef(255, 0, 0);
    case 'g': return win::MakeColorRef(0, 255, 0);
    case 'b': return win::MakeColorRef(0, 0, 255);
    default: return win::MakeColorRef(255, 255, 255);
    }
}

// A surface drawn as rows of letters: k black, r red, g green, b blue, w white.
CBitmapSurface SurfaceOf(const std::vector<std::string>& rows)
{
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    CBitmapSurface surface = CBitmapSurface::FromImage(image);
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            surface.SetPixel(x, y, ColourOf(rows[static_cast<size_t>(y)][static_cast<size_t>(x)]));
    return surface;
}

struct StretchCase {
    const char* name;
    std::vector<std::string> source;
    std::vector<std::string> expected;
};

void PrintTo(const StretchCase& c, std::ostream* os) { *os << c.name; }

class BitmapSurfaceStretchTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(BitmapSurfaceStretchTest, CombinesWithAnd)
{
    const StretchCase& c = GetParam();
    const int width = static_cast<int>(c.expected[0].size());
    const int height = static_cast<int>(c.expected.size());
    const CBitmapSurface result = SurfaceOf(c.source).StretchAnd(width, height);
    ASSERT_EQ(result.Width(), width);
    ASSERT_EQ(result.Height(), height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            EXPECT_EQ(result.GetPixel(x, y), ColourOf(c.expected[static_cast<size_t>(y)][static_cast<size_t>(x)]))
                << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    BitmapSurfaceCases, BitmapSurfaceStretchTest,
    ::testing::Values(StretchCase{"BlackWinsOverColour", {"kr"}, {"k"}},
                      StretchCase{"ColourWinsOverWhite", {"wr"}, {"r"}},
                      StretchCase{"RedAndBlueGiveBlack", {"rb"}, {"k"}},
                      StretchCase{"WhiteStaysWhite", {"ww"}, {"w"}},
                      StretchCase{"HalvesBothWays", {"wwrk", "wwww", "bwgg", "wwgg"}, {"wk", "bg"}},
                      StretchCase{"HalvesHeightOnly", {"wrb", "kwb", "www", "wgw"}, {"krb", "wgw"}},
                      // Odd sizes: every source pixel lands in some destination pixel.
                      StretchCase{"OddWidthKeepsLastColumn", {"wwwwk"}, {"wk"}},
                      StretchCase{"OddWidthKeepsFirstColumn", {"rwwww"}, {"rw"}},
                      StretchCase{"OddHeightKeepsLastRow", {"w", "w", "b"}, {"b"}},
                      StretchCase{"OddBoth", {"www", "www", "wwr"}, {"w", "r"}},
                      StretchCase{"SameSizeCopies", {"rgb", "kwk"}, {"rgb", "kwk"}}),
    [](const ::testing::TestParamInfo<StretchCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(BitmapSurfaceStretchPaletteTest, PaletteSurfaceStaysPaletteBased)
{
    QImage image(4, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    image.setPixel(3, 1, 1);
    const CBitmapSurface result = CBitmapSurface::FromImage(image).StretchAnd(2, 1);
    EXPECT_TRUE(result.IsPaletteBased());
    EXPECT_EQ(result.GetPixel(0, 0), win::MakeColorRef(255, 255, 255));
    EXPECT_EQ(result.GetPixel(1, 0), win::MakeColorRef(0, 0, 0));
    EXPECT_TRUE(SurfaceOf({"kw"}).StretchAnd(0, 1).IsNull());
    EXPECT_TRUE(SurfaceOf({"kw"}).StretchAnd(1, 0).IsNull());
}

// ------------------------------------------------------- malformed files

QByteArray Valid24()
{
    BmpSpec spec;
    spec.width = 5;
    spec.height = 3;
    spec.pixel = [](int x, int y) { return win::MakeColorRef(x, y, 7); };
    return MakeBmp(spec);
}

struct MalformedCase {
    const char* name;
    QByteArray bytes;
    const char* reason;  // part of the refusal text
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }

QByteArray WithSize(std::int32_t width, std::int32_t height)
{
    QByteArray bytes = Valid24();
    PutLe32(bytes, 18, width);
    PutLe32(bytes, 22, height);
    return bytes;
}

QByteArray WithDataOffset(std::int32_t offset)
{
    QByteArray bytes = Valid24();
    PutLe32(bytes, 10, offset);
    return bytes;
}

std::vector<MalformedCase> MalformedCases()
{
    const QByteArray png = QByteArray::fromHex(
        "89504e470d0a1a0a0000000d49484452000000010000000108060000001f15c4890000000d4944415478da63f8ffff3f0005fe02fea7"
        "d6a4c50000000049454e44ae426082");
    const BmpSpec mono = PaletteBmp(9, 4, 1, {win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 255, 255)}, [](int, int) { return 0u; });
    const QByteArray monoBytes = MakeBmp(mono);
    return {
        {"Empty", QByteArray(), "empty"},
        {"Png", png, "not a BMP"},
        {"TruncatedFileHeader", Valid24().left(10), "header"},
        {"TruncatedInfoHeader", Valid24().left(30), "header"},
        {"HeaderOnly", Valid24().left(54), "truncated"},
        {"TruncatedPixels", Valid24().chopped(10), "truncated (38 of 48 bytes)"},
        {"TruncatedMonoPixels", monoBytes.chopped(1), "truncated"},
        {"DataOffsetBeyondFile", WithDataOffset(200), "truncated"},
        {"Absurd", WithSize(100000, 100000), "too large"},
        {"AbsurdTopDown", WithSize(100000, -100000), "too large"},
        {"ZeroWidth", WithSize(0, 3), "invalid size"},
        {"ZeroHeight", WithSize(5, 0), "invalid size"},
        {"NegativeWidth", WithSize(-5, 3), "invalid size"},
    };
}

class BitmapSurfaceMalformedTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(BitmapSurfaceMalformedTest, IsRefusedWithAReason)
{
    CTestDir dir;
    const QString path = dir.Path("logo.bmp");
    ASSERT_TRUE(WriteBytes(path, GetParam().bytes));
    QString error;
    EXPECT_FALSE(CBitmapSurface::LoadBmp(path, &error));
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().reason))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BitmapSurfaceFiles, BitmapSurfaceMalformedTest, ::testing::ValuesIn(MalformedCases()),
                         [](const ::testing::TestParamInfo<MalformedCase>& testInfo) {
                             return std::string(testInfo.param.name);
                         });

TEST(BitmapSurfaceMissingTest, MissingFileIsRefusedWithAReason)
{
    CTestDir dir;
    QString error;
    EXPECT_FALSE(CBitmapSurface::LoadBmp(dir.Path("nowhere.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(BitmapSurfaceLayoutTest, DataOffsetPastTheTablesIsHonoured)
{
    // Some writers leave a gap between the header and the pixels.
    QByteArray bytes = Valid24();
    bytes.insert(54, QByteArray(8, '\x77'));
    PutLe32(bytes, 10, 54 + 8);
    CTestDir dir;
    ASSERT_TRUE(WriteBytes(dir.Path("gap.bmp"), bytes));
    const std::optional<CBitmapSurface> surface = CBitmapSurface::LoadBmp(dir.Path("gap.bmp"));
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->GetPixel(0, 0), win::MakeColorRef(0, 0, 7));
    EXPECT_EQ(surface->GetPixel(4, 2), win::MakeColorRef(4, 2, 7));
}

}  // namespace
