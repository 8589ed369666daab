#include "imaging/bitmap_surface.h"
#include "imaging/raster_converter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using PixelFn = std::function<win::COLORREF(int x, int y)>;

// Names parameterised cases after their table entry.
constexpr auto kCaseName = [](const auto& param) { return std::string(param.param.name); };

constexpr win::COLORREF kWhite = win::MakeColorRef(255, 255, 255);
constexpr win::COLORREF kBlack = win::MakeColorRef(0, 0, 0);
constexpr win::COLORREF kRed = win::MakeColorRef(255, 0, 0);

CBitmapSurface MakeSurface(int width, int height, const PixelFn& pixel)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const win::COLORREF c = pixel(x, y);
            image.setPixel(x, y, qRgb(win::RedOf(c), win::GreenOf(c), win::BlueOf(c)));
        }
    return CBitmapSurface::FromImage(image);
}

PixelFn Fill(win::COLORREF colour)
{
    return [colour](int, int) { return colour; };
}

std::string Hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toUpper().toStdString();
}

std::string Hex(const char* hex)
{
    return Hex(QByteArray::fromHex(hex));
}

int At(const QByteArray& bytes, qsizetype i)
{
    return static_cast<unsigned char>(bytes.at(i));
}

const CRasterConverter kConverter;

QByteArray Mono(const CBitmapSurface& s, int w, int h)
{
    return kConverter.MakeMonoRecord(s, w, h).value_or(QByteArray("refused"));
}

// ---- Worked examples and exact byte layouts --------------------------------

struct ByteCase {
    const char* name;
    int width;
    int height;
    PixelFn pixel;
    std::function<QByteArray(const CBitmapSurface&, int, int)> convert;
    const char* expectedHex;
};

class RasterConverterBytes : public testing::TestWithParam<ByteCase> {};

TEST_P(RasterConverterBytes, ProducesExactBytes)
{
    const ByteCase& c = GetParam();
    const CBitmapSurface surface = c.width > 0 && c.height > 0 ? MakeSurface(c.width, c.height, c.pixel)
                                                               : CBitmapSurface();
    EXPECT_EQ(Hex(c.convert(surface, c.width, c.height)), Hex(c.expectedHex));
}

QByteArray TwoColor576(const CBitmapSurface& s, int w, int h)
{
    return kConverter.MakeTwoColorRecord(s, w, h, {'A', '7'}, 576);
}

QByteArray TwoColorZeroWidth(const CBitmapSurface& s, int w, int h)
{
    return kConverter.MakeTwoColorRecord(s, w, h, {0, 0}, 0);
}

QByteArray DotSingle(const CBitmapSurface& s, int w, int h)
{
    return kConverter.MakeDotBandsSingle(s, w, h);
}

const ByteCase kByteCases[] = {
    {"Mono9x1Black", 9, 1, Fill(kBlack), Mono, "02000100 808080808080808080 00000000000000"},
    {"Mono8x1HasNoFiller", 8, 1, Fill(kBlack), Mono, "01000100 8080808080808080"},
    {"Mono1x9TwoBytesPerColumn", 1, 9, Fill(kBlack), Mono, "01000200 FF80 0000000000000000000000000000"},
    {"MonoWidthZero", 0, 1, Fill(kBlack), Mono, "00000100"},
    {"TwoColor10x2", 10, 2,
     [](int x, int y) { return y == 0 && (x == 0 || x == 9) ? kBlack : y == 0 && x == 1 ? kRed : kWhite; },
     TwoColor576, "1D384C 14000000 304330 4137 02 1000 0200 31 80400000 32 40000000"},
    {"TwoColorMaxWidthZero", 5, 1, Fill(kBlack), TwoColorZeroWidth, "1D384C 0C000000 304330 0000 02 0000 0100 31 32"},
    {"DotSingle3x8", 3, 8, [](int x, int y) { return x == 0 ? kBlack : x == 1 && y == 0 ? kRed : kWhite; },
     DotSingle, "1B7200 1B2A000300 FF0000 0D 1B7201 1B2A000300 008000 1B4A10"},
    {"DotSingleNullSurfaceReadsWhite", 0, 0, Fill(kWhite),
     [](const CBitmapSurface& s, int, int) { return kConverter.MakeDotBandsSingle(s, 3, 1); },
     "1B7200 1B2A000300 000000 0D 1B7201 1B2A000300 000000 1B4A10"},
};

INSTANTIATE_TEST_SUITE_P(Examples, RasterConverterBytes, testing::ValuesIn(kByteCases),
                         kCaseName);

// ---- Pixel classes: one 1 x 1 image per colour, in every form -------------

struct ClassCase {
    win::COLORREF colour;
    bool monoDot;
    int twoColorClass;  // 0 paper, 1 plane 31, 2 plane 32
    int dotClass;       // 0 none, 1 black line, 2 red line
};

class RasterConverterPixelClass : public testing::TestWithParam<ClassCase> {};

TEST_P(RasterConverterPixelClass, EveryFormAgrees)
{
    const ClassCase& c = GetParam();
    const CBitmapSurface surface = MakeSurface(1, 1, Fill(c.colour));

    EXPECT_EQ(At(Mono(surface, 1, 1), 4), c.monoDot ? 0x80 : 0x00);

    const QByteArray twoColor = kConverter.MakeTwoColorRecord(surface, 1, 1, {0, 0}, 576);
    ASSERT_EQ(twoColor.size(), 21);
    EXPECT_EQ(At(twoColor, 18), c.twoColorClass == 1 ? 0x80 : 0x00);
    EXPECT_EQ(At(twoColor, 20), c.twoColorClass == 2 ? 0x80 : 0x00);

    EXPECT_EQ(CRasterConverter::ClassifyDotPixel(surface, 0, 0), c.dotClass);
    // Black line data at byte 8, red line data at 8 + 1 + 1 + 8.
    const QByteArray dots = kConverter.MakeDotBandsSingle(surface, 1, 1);
    ASSERT_EQ(dots.size(), 22);
    EXPECT_EQ(At(dots, 8), c.dotClass == 1 ? 0x80 : 0x00);
    EXPECT_EQ(At(dots, 18), c.dotClass == 2 ? 0x80 : 0x00);
}

INSTANTIATE_TEST_SUITE_P(Colours, RasterConverterPixelClass,
                         testing::Values(ClassCase{win::MakeColorRef(255, 255, 255), false, 0, 0},
                                         ClassCase{win::MakeColorRef(254, 255, 255), true, 0, 2},
                                         ClassCase{win::MakeColorRef(241, 241, 241), true, 0, 2},
                                         ClassCase{win::MakeColorRef(240, 255, 255), true, 2, 2},
                                         ClassCase{win::MakeColorRef(255, 255, 240), true, 2, 2},
                                         ClassCase{win::MakeColorRef(0, 0, 0), true, 1, 1},
                                         ClassCase{win::MakeColorRef(0, 0, 1), true, 2, 2},
                                         ClassCase{win::MakeColorRef(1, 0, 0), true, 2, 2},
                                         ClassCase{win::MakeColorRef(255, 0, 0), true, 2, 2}),
                         [](const testing::TestParamInfo<ClassCase>& testInfo) {
                             const win::COLORREF c = testInfo.param.colour;
                             return "Rgb" + std::to_string(win::RedOf(c)) + "_" + std::to_string(win::GreenOf(c)) + "_" +
                                    std::to_string(win::BlueOf(c));
                         });

TEST(RasterConverterPixelClass, OutsideTheSurfaceIsWhite)
{
    const CBitmapSurface surface = MakeSurface(2, 2, Fill(kBlack));
    EXPECT_EQ(CRasterConverter::ClassifyDotPixel(surface, 2, 0), 0);
    EXPECT_EQ(CRasterConverter::ClassifyDotPixel(surface, -1, 1), 0);
    EXPECT_EQ(CRasterConverter::ClassifyDotPixel(CBitmapSurface(), 0, 0), 0);
}

// ---- Size limits and refusals ---------------------------------------------

struct LimitCase {
    const char* name;
    bool mono;
    int width;
    int height;
    int maxWidth;
    qsizetype expectedSize;  // 0: refused
};

class RasterConverterLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(RasterConverterLimits, AcceptsUpToTheLimit)
{
    const LimitCase& c = GetParam();
    const CBitmapSurface blank;  // reads white everywhere; only the sizes matter
    if (c.mono) {
        const std::optional<QByteArray> record = kConverter.MakeMonoRecord(blank, c.width, c.height);
        EXPECT_EQ(record ? record->size() : 0, c.expectedSize);
    } else {
        EXPECT_EQ(kConverter.MakeTwoColorRecord(blank, c.width, c.height, {0, 0}, c.maxWidth).size(),
                  c.expectedSize);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RasterConverterLimits,
    testing::Values(
        // W x ceil(H / 8) + 4 against 250,000; the record packs X8 x 8 columns.
        LimitCase{"MonoAtLimit", true, 249996, 1, 0, 4 + 31250 * 8},
        LimitCase{"MonoOnePast", true, 249997, 1, 0, 0},
        LimitCase{"MonoTallAtLimit", true, 996, 2008, 0, 4 + 125 * 8 * 251},
        LimitCase{"MonoTallOnePast", true, 11, 22727 * 8, 0, 0},
        LimitCase{"MonoRowsBeyondHeader", true, 1, 65536 * 8, 0, 0},
        LimitCase{"MonoColumnsBeyondHeader", true, 600000, 0, 0, 0},
        LimitCase{"MonoNegative", true, -1, 8, 0, 0},
        // ceil(W' / 8) x H + 17 against 256,000, after the crop to maxWidth.
        LimitCase{"TwoColorAtLimit", false, 728, 2813, 728, 2 * 255983 + 19},
        LimitCase{"TwoColorCroppedAtLimit", false, 5000, 2813, 721, 2 * 255983 + 19},
        LimitCase{"TwoColorOnePast", false, 384, 5333, 576, 0},
        LimitCase{"TwoColorRowsBeyondHeader", false, 8, 65536, 576, 0},
        LimitCase{"TwoColorNegative", false, 8, -1, 576, 0},
        LimitCase{"TwoColorNegativeMaxWidth", false, 8, 1, -5, 19}),
    kCaseName);

TEST(RasterConverterTwoColor, CropsToMaxWidth)
{
    // Black from x = 569 on; the printable width 570 keeps only 569 of them.
    const CBitmapSurface surface = MakeSurface(600, 1, [](int x, int) { return x >= 569 ? kBlack : kWhite; });
    const QByteArray command = kConverter.MakeTwoColorRecord(surface, 600, 1, {0, 0}, 570);
    ASSERT_EQ(command.size(), 2 * 72 + 19);
    EXPECT_EQ(At(command, 13) | At(command, 14) << 8, 576);
    EXPECT_EQ(At(command, 18 + 70), 0x00);
    EXPECT_EQ(At(command, 18 + 71), 0x40);  // x = 569 only; 570..575 are padding
}

// ---- DOT MODE band structure ----------------------------------------------

struct DotCase {
    const char* name;
    QByteArray (CRasterConverter::*make)(const RasterSource&, int, int) const;
    int density;
    std::vector<int> feedsForHeight10;
};

class RasterConverterDotBands : public testing::TestWithParam<DotCase> {};

TEST_P(RasterConverterDotBands, HeightZeroIsEmpty)
{
    EXPECT_TRUE((kConverter.*GetParam().make)(MakeSurface(4, 4, Fill(kBlack)), 4, 0).isEmpty());
}

TEST_P(RasterConverterDotBands, HeightTenLinesAndFeeds)
{
    const DotCase& c = GetParam();
    constexpr int kWidth = 5;
    const CBitmapSurface surface = MakeSurface(kWidth, 12, [](int x, int y) {
        return x == 0 && y == 9 ? kBlack : x == 1 && y == 11 ? kRed : kWhite;
    });
    const QByteArray stream = (kConverter.*c.make)(surface, kWidth, 10);
    const qsizetype pass = 2 * kWidth + 20;
    ASSERT_EQ(stream.size(), pass * static_cast<qsizetype>(c.feedsForHeight10.size()));
    for (size_t i = 0; i < c.feedsForHeight10.size(); ++i) {
        const QByteArray one = stream.mid(static_cast<qsizetype>(i) * pass, pass);
        SCOPED_TRACE(i);
        EXPECT_EQ(At(one, 5), c.density);
        EXPECT_EQ(At(one, kWidth + 14), c.density);
        EXPECT_EQ(At(one, pass - 1), c.feedsForHeight10[i]);
        // Row 11 lies below the height: the red pixel there is never printed.
        EXPECT_EQ(At(one, kWidth + 18), 0x00);
    }
}

INSTANTIATE_TEST_SUITE_P(Densities, RasterConverterDotBands,
                         testing::Values(DotCase{"Single", &CRasterConverter::MakeDotBandsSingle, 0, {0x10, 0x10}},
                                         DotCase{"Double", &CRasterConverter::MakeDotBandsDouble, 1, {0x10, 0x10}},
                                         DotCase{"Quad", &CRasterConverter::MakeDotBandsQuad, 1, {0x01, 0x07, 0x01}}),
                         kCaseName);

TEST(RasterConverterDotBands, QuadPassesStartAtRowsZeroOneAndNine)
{
    // Row 9 is the fifth row of the odd pass starting at 1, and the first of
    // the pass starting at 9; the even pass at 0 does not contain it.
    const CBitmapSurface surface = MakeSurface(1, 10, [](int, int y) { return y == 9 ? kBlack : kWhite; });
    const QByteArray stream = kConverter.MakeDotBandsQuad(surface, 1, 10);
    ASSERT_EQ(stream.size(), 3 * 22);
    EXPECT_EQ(At(stream, 8), 0x00);
    EXPECT_EQ(At(stream, 22 + 8), 0x08);
    EXPECT_EQ(At(stream, 44 + 8), 0x80);
}

TEST(RasterConverterDotBands, QuadHeightOneIsOnePass)
{
    const QByteArray stream = kConverter.MakeDotBandsQuad(MakeSurface(3, 1, Fill(kRed)), 3, 1);
    EXPECT_EQ(Hex(stream), Hex("1B7200 1B2A010300 000000 0D 1B7201 1B2A010300 808080 1B4A01"));
}

TEST(RasterConverterDotBands, LinesWiderThanOneKilobyte)
{
    constexpr int kWidth = 1100;
    const CBitmapSurface surface = MakeSurface(kWidth, 8, [](int x, int y) {
        return x == 1050 && y == 0 ? kBlack : x == kWidth - 1 && y == 7 ? kRed : kWhite;
    });
    const QByteArray stream = kConverter.MakeDotBandsDouble(surface, kWidth, 8);
    ASSERT_EQ(stream.size(), 2 * kWidth + 20);
    EXPECT_EQ(At(stream, 6) | At(stream, 7) << 8, kWidth);
    EXPECT_EQ(At(stream, 8 + 1050), 0x80);
    EXPECT_EQ(At(stream, 8 + kWidth), 0x0D);
    EXPECT_EQ(At(stream, kWidth + 9 + 8 + kWidth - 1), 0x01);
    EXPECT_EQ(Hex(stream.right(3)), Hex("1B4A10"));
}

}  // namespace
