// The conversion separates while it packs (RasterSource with inputs). These
// tests hold it to the two-pass path it replaces, byte for byte: separate the
// whole surface with SeparateSurface, shrink it with StretchAnd where the
// density halves, then pack the separated surface. Every vector level the
// machine runs is held to it, so each kernel gives the same bytes.

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "operations/download_list_builder.h"
#include "imaging/random_surface.h"
#include "imaging/raster_converter.h"
#include "imaging/row_kernels.h"

#include <gtest/gtest.h>

#include <QImage>

#include <ostream>
#include <random>
#include <string>

namespace {

enum class Form { kMono, kTwoColor, kDotSingle, kDotDouble, kDotQuad };

struct FusedCase {
    const char* name;
    Form form;
    int colorMode;  // 0..3, or one outside them (pixels pass unchanged)
    bool palette;   // a palette-based surface
};

// Test names and failure output show the case's name, not its bytes.
void PrintTo(const FusedCase& c, std::ostream* os)
{
    *os << c.name;
}

win::COLORREF RandomColour(std::mt19937& random)
{
    static const win::COLORREF kPool[] = {win::MakeColorRef(255, 255, 255), win::MakeColorRef(0, 0, 0),     win::MakeColorRef(255, 0, 0),     win::MakeColorRef(0, 255, 0),
                                     win::MakeColorRef(0, 0, 255),     win::MakeColorRef(241, 241, 241), win::MakeColorRef(240, 250, 250), win::MakeColorRef(128, 128, 128),
                                     win::MakeColorRef(254, 255, 255), win::MakeColorRef(1, 0, 0)};
    const int pick = static_cast<int>(random() % 16);
    if (pick < 10)
        return kPool[pick];
    if (pick < 12) {  // a grey: Not Used decides on brightness alone
        const int v = static_cast<int>(random() % 256);
        return win::MakeColorRef(v, v, v);
    }
    return static_cast<win::COLORREF>(random() & 0xFFFFFFu);
}

Rgb RandomRgb(std::mt19937& random)
{
    return Rgb::FromColorRef(RandomColour(random));
}

CBitmapSurface RandomSurface(std::mt19937& random, int width, int height, bool palette, int runOneIn)
{
    // A palette of 1 to 16 colours; indices run two past it.
    RandomSurfaceShape shape;
    shape.colour = RandomColour;
    shape.paletteEntries = 1 + static_cast<int>(random() % 16);
    shape.indexRange = shape.paletteEntries + 2;
    shape.runOneIn = runOneIn;
    shape.clearFirstAlpha = true;
    return ::RandomSurface(random, width, height, palette, shape);
}

SeparationInputs RandomInputs(std::mt19937& random, int colorMode)
{
    SeparationInputs in;
    in.colorMode = FromStoredNumber(colorMode);
    in.hueColor = HueColor(static_cast<int>(random() % 360));
    in.rValue = static_cast<int>(random() % 256);
    in.lValue = static_cast<int>(random() % 256);
    switch (random() % 3) {
    case 0: in.lColor = {0, 0, 0}; break;
    case 1: in.lColor = kSeparationPalette[random() % 3]; break;  // inverted: the ink prints the dark pixels too
    default: in.lColor = RandomRgb(random); break;
    }
    if (random() % 4 == 0) {
        for (Rgb& c : in.palette)
            c = RandomRgb(random);
    }
    return in;
}

QByteArray Pack(Form form, const RasterSource& source, int width, int height, int maxWidth)
{
    const CRasterConverter converter;
    switch (form) {
    case Form::kMono: return converter.MakeMonoRecord(source, width, height).value_or(QByteArray("refused"));
    case Form::kTwoColor: return converter.MakeTwoColorRecord(source, width, height, {'4', '2'}, maxWidth);
    case Form::kDotSingle: return MakeDotModeStream(source, DotDensity::Single);
    case Form::kDotDouble: return MakeDotModeStream(source, DotDensity::Double);
    case Form::kDotQuad: return MakeDotModeStream(source, DotDensity::Quad);
    }
    return {};
}

// The two-pass path, written out: the shrinking by StretchAnd, not by the source.
QByteArray PackSeparated(Form form, const CBitmapSurface& separated, int width, int height, int maxWidth)
{
    const CRasterConverter converter;
    const int w = separated.Width();
    const int h = separated.Height();
    switch (form) {
    case Form::kDotSingle: return converter.MakeDotBandsSingle(separated.StretchAnd(w / 2, h / 2), w / 2, h / 2);
    case Form::kDotDouble: return converter.MakeDotBandsDouble(separated.StretchAnd(w, h / 2), w, h / 2);
    default: return Pack(form, separated, width, height, maxWidth);
    }
}

std::string Hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toStdString();
}

class FusedConversionTest : public ::testing::TestWithParam<FusedCase> {};

TEST_P(FusedConversionTest, GivesTheBytesOfSeparatingFirst)
{
    const FusedCase& c = GetParam();
    std::mt19937 random(1234u + static_cast<unsigned>(c.colorMode) * 7u + static_cast<unsigned>(c.form) * 131u +
                        (c.palette ? 1000u : 0u));
    for (int round = 0; round < 60; ++round) {
        // Odd and even sizes, widths around the 8-column groups, one-pixel
        // images; every fourth image wider than two and a half of the widest
        // vector step when halved (128 pixels), with runs longer than a step,
        // so blocks of one colour meet blocks of many and tails follow.
        const bool wide = round % 4 == 3;
        const int width = 1 + static_cast<int>(random() % (wide ? 330 : 41));
        const int height = 1 + static_cast<int>(random() % 37);
        const CBitmapSurface original = RandomSurface(random, width, height, c.palette, wide ? 24 : 3);
        const SeparationInputs inputs = RandomInputs(random, c.colorMode);
        // The packed size may differ from the surface's: the record forms pad
        // with paper or cut.
        const int packWidth = round % 3 == 0 ? width + static_cast<int>(random() % 9) - 4 : width;
        const int packHeight = round % 5 == 0 ? height + static_cast<int>(random() % 9) - 4 : height;
        const int maxWidth = static_cast<int>(random() % 48);

        CBitmapSurface separated = original;
        SeparateSurface(separated, inputs);
        const QByteArray expected = PackSeparated(c.form, separated, packWidth, packHeight, maxWidth);
        for (const VectorLevel level : RunnableVectorLevels()) {
            ASSERT_TRUE(PinVectorLevel(level));
            const QByteArray fused = Pack(c.form, RasterSource(original, inputs), packWidth, packHeight, maxWidth);
            ASSERT_EQ(Hex(fused), Hex(expected))
                << VectorLevelName(level) << ", round " << round << ", " << width << " x " << height
                << ", packed " << packWidth << " x " << packHeight << ", R " << inputs.rValue << ", L "
                << inputs.lValue;
        }
        PinVectorLevel(std::nullopt);
    }
}

std::vector<FusedCase> AllCases()
{
    static const char* const kForms[] = {"Mono", "TwoColor", "DotSingle", "DotDouble", "DotQuad"};
    static const char* const kModes[] = {"Red", "Green", "Blue", "NotUsed", "NoChoice"};
    static std::vector<std::string> names;
    std::vector<FusedCase> cases;
    names.reserve(50);
    for (int form = 0; form < 5; ++form) {
        for (int mode = 0; mode < 5; ++mode) {
            for (const bool palette : {false, true}) {
                names.push_back(std::string(kForms[form]) + kModes[mode] + (palette ? "Palette" : "Colour"));
                cases.push_back({names.back().c_str(), static_cast<Form>(form), mode == 4 ? -1 : mode, palette});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryFormChoiceAndPixelFormat, FusedConversionTest, testing::ValuesIn(AllCases()),
                         [](const auto& param) { return std::string(param.param.name); });

// A null surface and a surface too small to halve pack as paper, as before.
TEST(FusedConversion, NullAndTinySurfacesPackAsPaper)
{
    const SeparationInputs inputs;
    QImage onePixel(1, 1, QImage::Format_RGB32);
    onePixel.fill(qRgb(0, 0, 0));
    for (const CBitmapSurface& original : {CBitmapSurface(), CBitmapSurface::FromImage(onePixel)}) {
        CBitmapSurface separated = original;
        SeparateSurface(separated, inputs);
        for (const Form form : {Form::kMono, Form::kTwoColor, Form::kDotSingle, Form::kDotDouble, Form::kDotQuad}) {
            EXPECT_EQ(Hex(Pack(form, RasterSource(original, inputs), 9, 3, 16)),
                      Hex(PackSeparated(form, separated, 9, 3, 16)))
                << "form " << static_cast<int>(form) << ", null " << original.IsNull();
        }
    }
}

}  // namespace
