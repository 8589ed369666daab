#include "imaging/bitmap_surface.h"
#include "imaging/raster_converter.h"
#include "imaging/raster_decoder.h"
#include "imaging/random_surface.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Dot = CRasterDecoder::Dot;
using Layout = CRasterDecoder::DotLayout;

// Names parameterised cases after their table entry.
constexpr auto kCaseName = [](const auto& param) { return std::string(param.param.name); };

// Colours that sit on the class boundaries of the three forms, plus any.
win::COLORREF RandomColour(std::mt19937& random)
{
    static const win::COLORREF kPool[] = {win::MakeColorRef(255, 255, 255), win::MakeColorRef(0, 0, 0),       win::MakeColorRef(255, 0, 0),     win::MakeColorRef(254, 255, 255),
                                     win::MakeColorRef(0, 0, 1),       win::MakeColorRef(241, 241, 241), win::MakeColorRef(240, 255, 255), win::MakeColorRef(255, 241, 240)};
    const int pick = static_cast<int>(random() % 12);
    if (pick < 8)
        return kPool[pick];
    if (pick < 10)
        return win::MakeColorRef(255, 255, 255);  // logos are mostly paper
    return static_cast<win::COLORREF>(random() & 0xFFFFFFu);
}

CBitmapSurface RandomSurface(std::mt19937& random, int width, int height, bool palette)
{
    RandomSurfaceShape shape;
    shape.colour = RandomColour;
    return ::RandomSurface(random, width, height, palette, shape);
}

// The classes each form must print, written from the pixel rules directly.
Dot MonoClass(win::COLORREF c)
{
    return (c & 0xFFFFFFu) == 0xFFFFFFu ? Dot::None : Dot::Black;
}

Dot TwoColorClass(win::COLORREF c)
{
    if (win::RedOf(c) > 240 && win::GreenOf(c) > 240 && win::BlueOf(c) > 240)
        return Dot::None;
    return (c & 0xFFFFFFu) == 0 ? Dot::Black : Dot::Ink;
}

Dot DotModeClass(win::COLORREF c)
{
    const win::COLORREF v = c & 0xFFFFFFu;
    return v == 0xFFFFFFu ? Dot::None : v == 0 ? Dot::Black : Dot::Ink;
}

// Every dot of the grid: inside width x height the class of the surface's
// pixel, outside it nothing. Reports the first difference only.
void ExpectGrid(const CRasterDecoder::Grid& grid, const CBitmapSurface& surface, int width, int height,
                Dot (*classOf)(win::COLORREF))
{
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            const Dot expected = x < width && y < height ? classOf(surface.GetPixel(x, y)) : Dot::None;
            if (grid.At(x, y) != expected) {
                ADD_FAILURE() << "dot (" << x << ", " << y << ") is " << int(grid.At(x, y)) << ", expected "
                              << int(expected);
                return;
            }
        }
    }
}

void CheckMono(const CBitmapSurface& surface, int width, int height)
{
    SCOPED_TRACE("mono record");
    const std::optional<QByteArray> record = CRasterConverter().MakeMonoRecord(surface, width, height);
    const long long y8 = (height + 7) / 8;
    ASSERT_EQ(record.has_value(), width * y8 + 4 <= 250000);
    if (!record)
        return;
    std::string error;
    const std::optional<CRasterDecoder::Grid> grid = CRasterDecoder::DecodeMonoRecord(*record, &error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(grid->width, (width + 7) / 8 * 8);
    EXPECT_EQ(grid->height, y8 * 8);
    ExpectGrid(*grid, surface, width, height, MonoClass);
}

void CheckTwoColor(const CBitmapSurface& surface, int width, int height, int maxWidth)
{
    SCOPED_TRACE("two-colour command, maxWidth " + std::to_string(maxWidth));
    const std::array<char, 2> key = {'a', static_cast<char>(0xFE)};
    const QByteArray command = CRasterConverter().MakeTwoColorRecord(surface, width, height, key, maxWidth);
    const int packed = std::min(width, maxWidth);
    ASSERT_EQ(command.isEmpty(), (packed + 7) / 8 * static_cast<long long>(height) + 17 > 256000);
    if (command.isEmpty())
        return;
    std::string error;
    std::array<char, 2> decodedKey{};
    const std::optional<CRasterDecoder::Grid> grid =
        CRasterDecoder::DecodeTwoColorCommand(command, &decodedKey, &error);
    ASSERT_TRUE(grid) << error;
    EXPECT_EQ(decodedKey, key);
    EXPECT_EQ(grid->width, (packed + 7) / 8 * 8);
    EXPECT_EQ(grid->height, height);
    ExpectGrid(*grid, surface, packed, height, TwoColorClass);
}

void CheckDotBands(const CBitmapSurface& surface, int width, int height, Layout layout)
{
    SCOPED_TRACE("DOT MODE layout " + std::to_string(int(layout)));
    const CRasterConverter converter;
    const QByteArray stream = layout == Layout::Single   ? converter.MakeDotBandsSingle(surface, width, height)
                              : layout == Layout::Double ? converter.MakeDotBandsDouble(surface, width, height)
                                                         : converter.MakeDotBandsQuad(surface, width, height);
    std::string error;
    const std::optional<CRasterDecoder::DotStream> decoded = CRasterDecoder::DecodeDotBands(stream, layout, &error);
    ASSERT_TRUE(decoded) << error;
    // Passes go on while they start inside the image, and no further.
    for (long long start : decoded->starts)
        EXPECT_LT(start, height);
    EXPECT_GE(decoded->nextStart, height);
    EXPECT_GE(decoded->printedRows, height);
    if (height > 0) {
        EXPECT_EQ(decoded->grid.width, width);
    }
    ExpectGrid(decoded->grid, surface, width, height, DotModeClass);
}

void CheckAllForms(const CBitmapSurface& surface, int width, int height, int maxWidth)
{
    CheckMono(surface, width, height);
    CheckTwoColor(surface, width, height, maxWidth);
    for (Layout layout : {Layout::Single, Layout::Double, Layout::Quad})
        CheckDotBands(surface, width, height, layout);
}

// ---- Many random images per seed ------------------------------------------

class RasterRoundTripRandom : public testing::TestWithParam<unsigned> {};

TEST_P(RasterRoundTripRandom, EveryFormDecodesToTheSurfaceClasses)
{
    std::mt19937 random(GetParam());
    for (int i = 0; i < 40; ++i) {
        const int surfaceWidth = static_cast<int>(random() % 70) + 1;
        const int surfaceHeight = static_cast<int>(random() % 40) + 1;
        const bool palette = random() % 3 == 0;
        const CBitmapSurface surface = RandomSurface(random, surfaceWidth, surfaceHeight, palette);
        // Mostly the surface's own size; sometimes the caller packs less or
        // more than the surface holds (the rest reads white).
        const bool ownSize = random() % 4 != 0;
        const int width = ownSize ? surfaceWidth : static_cast<int>(random() % 80);
        const int height = ownSize ? surfaceHeight : static_cast<int>(random() % 50);
        const int maxWidth = static_cast<int>(random() % (width + 10));
        SCOPED_TRACE("image " + std::to_string(i) + ": surface " + std::to_string(surfaceWidth) + "x" +
                     std::to_string(surfaceHeight) + (palette ? " palette" : " rgb") + ", packed " +
                     std::to_string(width) + "x" + std::to_string(height));
        CheckAllForms(surface, width, height, maxWidth);
        if (HasFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RasterRoundTripRandom, testing::Range(1u, 13u),
                         [](const testing::TestParamInfo<unsigned>& testInfo) {
                             return "Seed" + std::to_string(testInfo.param);
                         });

// ---- Chosen sizes ---------------------------------------------------------

struct SizeCase {
    const char* name;
    int width;
    int height;
    int maxWidth;
};

class RasterRoundTripSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(RasterRoundTripSizes, EveryFormDecodesToTheSurfaceClasses)
{
    const SizeCase& c = GetParam();
    std::mt19937 random(static_cast<unsigned>(c.width * 7919 + c.height));
    CheckAllForms(RandomSurface(random, c.width, c.height, false), c.width, c.height, c.maxWidth);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, RasterRoundTripSizes,
    testing::Values(SizeCase{"OnePixel", 1, 1, 576}, SizeCase{"Empty", 0, 0, 576}, SizeCase{"OneRow", 33, 1, 576},
                    SizeCase{"OneColumn", 1, 33, 576}, SizeCase{"Band", 8, 8, 8}, SizeCase{"BandPlusOne", 9, 9, 9},
                    SizeCase{"QuadSpan", 17, 16, 576}, SizeCase{"QuadSpanPlusOne", 17, 17, 576},
                    SizeCase{"ReceiptWide", 576, 200, 576}, SizeCase{"WiderThanReceipt", 640, 30, 576},
                    SizeCase{"WiderThanALineBuffer", 1100, 12, 1100},
                    // Mono: W x ceil(H / 8) + 4 = 250,000, then 250,001.
                    SizeCase{"MonoAtLimit", 996, 2008, 576}, SizeCase{"MonoOnePast", 22727, 88, 576},
                    // Two-colour: ceil(W' / 8) x H + 17 = 256,000, then 256,001.
                    SizeCase{"TwoColorAtLimit", 760, 2813, 721}, SizeCase{"TwoColorOnePast", 384, 5333, 384}),
    kCaseName);

}  // namespace
