#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "imaging/separation_colors.h"
#include "support/test_names.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
// A second ink no palette colour equals, so that a test sees which branch won.
constexpr Rgb kMarker{1, 2, 3};

std::string Describe(win::COLORREF c)
{
    return "(" + std::to_string(win::RedOf(c)) + ", " + std::to_string(win::GreenOf(c)) + ", " +
           std::to_string(win::BlueOf(c)) + ")";
}

// ---------------------------------------------------------------- HueColor

struct HueCase {
    int threshold;
    Rgb expected;
};

class HueColorTest : public ::testing::TestWithParam<HueCase> {};

TEST_P(HueColorTest, GivesTheColourOfTheAngle)
{
    EXPECT_EQ(HueColor(GetParam().threshold), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    HueColorAngles, HueColorTest,
    ::testing::Values(HueCase{0, {255, 0, 0}},
                      // 1 - (1 - f) lies below f here: 16, 33, 84 rather than 17, 34, 85.
                      HueCase{4, {255, 16, 0}}, HueCase{8, {255, 33, 0}}, HueCase{20, {255, 84, 0}},
                      HueCase{30, {255, 127, 0}}, HueCase{59, {255, 250, 0}}, HueCase{60, {255, 255, 0}},
                      HueCase{64, {238, 255, 0}}, HueCase{120, {0, 255, 0}}, HueCase{180, {0, 255, 255}},
                      HueCase{200, {0, 169, 255}}, HueCase{240, {0, 0, 255}}, HueCase{250, {42, 0, 255}},
                      HueCase{300, {255, 0, 255}}, HueCase{340, {255, 0, 84}}, HueCase{359, {255, 0, 4}},
                      // Out of range angles wrap around instead of leaving the colour undefined.
                      HueCase{360, {255, 0, 0}}, HueCase{-1, {255, 0, 4}}, HueCase{724, {255, 16, 0}}),
    [](const ::testing::TestParamInfo<HueCase>& testInfo) { return "Angle" + TestNumber(testInfo.param.threshold); });

// ----------------------------------------------------------- SeparateColor

struct SeparationCase {
    const char* name;
    int mode;
    Rgb hue;
    int rValue;
    int lValue;
    Rgb lColor;
    win::COLORREF pixel;
    win::COLORREF expected;
};

void PrintTo(const SeparationCase& c, std::ostream* os) { *os << c.name; }

SeparationInputs InputsOf(const SeparationCase& c)
{
    SeparationInputs in;
    in.colorMode = FromStoredNumber(c.mode);
    in.hueColor = c.hue;
    in.rValue = c.rValue;
    in.lValue = c.lValue;
    in.lColor = c.lColor;
    return in;
}

class ColorSeparationRuleTest : public ::testing::TestWithParam<SeparationCase> {};

TEST_P(ColorSeparationRuleTest, MapsThePixel)
{
    const SeparationCase& c = GetParam();
    const SeparationInputs in = InputsOf(c);
    EXPECT_EQ(Describe(SeparateColor(c.pixel, in)), Describe(c.expected));
    EXPECT_EQ(Describe(CColorSeparator(in).Map(c.pixel)), Describe(c.expected));
}

const win::COLORREF kRedRef = win::MakeColorRef(255, 0, 0);
const win::COLORREF kWhiteRef = win::MakeColorRef(255, 255, 255);
const win::COLORREF kBlackRef = win::MakeColorRef(0, 0, 0);
const win::COLORREF kMarkerRef = win::MakeColorRef(1, 2, 3);

INSTANTIATE_TEST_SUITE_P(
    ColorSeparationCases, ColorSeparationRuleTest,
    ::testing::Values(
        // Red, hue red, R Value 100, L Value 100, black second ink.
        SeparationCase{"RedWhite", 0, kRed, 100, 100, kBlack, win::MakeColorRef(255, 255, 255), kWhiteRef},
        SeparationCase{"RedBlack", 0, kRed, 100, 100, kBlack, win::MakeColorRef(0, 0, 0), kBlackRef},
        SeparationCase{"RedRed", 0, kRed, 100, 100, kBlack, win::MakeColorRef(255, 0, 0), kRedRef},
        SeparationCase{"RedGrey128", 0, kRed, 100, 100, kBlack, win::MakeColorRef(128, 128, 128), kRedRef},
        SeparationCase{"RedGrey90", 0, kRed, 100, 100, kBlack, win::MakeColorRef(90, 90, 90), kBlackRef},
        SeparationCase{"RedBlue", 0, kRed, 100, 100, kBlack, win::MakeColorRef(0, 0, 255), kBlackRef},
        SeparationCase{"RedWorkedExample", 0, kRed, 100, 100, kBlack, win::MakeColorRef(200, 30, 30), kRedRef},
        // Tie-breaks, with a second ink that tells itself apart from black.
        SeparationCase{"RedTieColourDarkGoesToSecondInk", 0, kRed, 100, 100, kMarker, win::MakeColorRef(86, 65, 130), kMarkerRef},
        SeparationCase{"RedTieColourLightGoesToInk", 0, kRed, 100, 100, kMarker, win::MakeColorRef(78, 130, 225), kRedRef},
        SeparationCase{"RedTieDarkLightGoesToSecondInk", 0, kRed, 100, 255, kMarker, win::MakeColorRef(0, 255, 255), kMarkerRef},
        SeparationCase{"RedTieColourDarkAboveLightIsWhite", 0, kRed, 100, 100, kMarker, win::MakeColorRef(111, 70, 255), kWhiteRef},
        SeparationCase{"GreenTieColourDarkGoesToInk", 1, kGreen, 100, 100, kMarker, win::MakeColorRef(0, 130, 45), win::MakeColorRef(0, 255, 0)},
        SeparationCase{"GreenTieColourLightGoesToInk", 1, kGreen, 100, 100, kMarker, win::MakeColorRef(90, 105, 240), win::MakeColorRef(0, 255, 0)},
        SeparationCase{"GreenTieDarkLightGoesToSecondInk", 1, kGreen, 100, 255, kMarker, win::MakeColorRef(63, 192, 255), kMarkerRef},
        SeparationCase{"GreenTieColourDarkAboveLightIsWhite", 1, kGreen, 100, 100, kMarker, win::MakeColorRef(63, 115, 255), kWhiteRef},
        SeparationCase{"BlueTieColourLightGoesToInk", 2, kBlue, 100, 100, kMarker, win::MakeColorRef(90, 240, 105), win::MakeColorRef(0, 0, 255)},
        SeparationCase{"BlueTieColourDarkAboveLightIsWhite", 2, kBlue, 100, 100, kMarker, win::MakeColorRef(63, 255, 115), kWhiteRef},
        SeparationCase{"BlueDark", 2, kBlue, 100, 100, kMarker, win::MakeColorRef(20, 20, 20), kMarkerRef},
        // Not Used: 2 x S < 610 + L Value, nothing else counts.
        SeparationCase{"NotUsedL100Below", 3, kRed, 100, 100, kMarker, win::MakeColorRef(118, 118, 118), kMarkerRef},
        SeparationCase{"NotUsedL100From", 3, kRed, 100, 100, kMarker, win::MakeColorRef(119, 119, 119), kWhiteRef},
        SeparationCase{"NotUsedL0Below", 3, kRed, 100, 0, kMarker, win::MakeColorRef(255, 49, 0), kMarkerRef},
        SeparationCase{"NotUsedL0From", 3, kRed, 100, 0, kMarker, win::MakeColorRef(255, 50, 0), kWhiteRef},
        SeparationCase{"NotUsedL255Below", 3, kGreen, 0, 255, kMarker, win::MakeColorRef(200, 200, 32), kMarkerRef},
        SeparationCase{"NotUsedL255From", 3, kGreen, 255, 255, kMarker, win::MakeColorRef(200, 200, 33), kWhiteRef},
        SeparationCase{"NotUsedPureRedIsSecondInk", 3, kRed, 255, 100, kMarker, win::MakeColorRef(255, 0, 0), kMarkerRef},
        // Inverted Red: the second ink is red too, so dark and red pixels print red.
        SeparationCase{"InvertedRedDark", 0, kRed, 100, 100, kRed, win::MakeColorRef(0, 0, 0), kRedRef},
        SeparationCase{"InvertedRedColour", 0, kRed, 100, 100, kRed, win::MakeColorRef(200, 30, 30), kRedRef},
        SeparationCase{"InvertedRedLight", 0, kRed, 100, 100, kRed, win::MakeColorRef(250, 250, 250), kWhiteRef},
        // Any other colour choice passes the pixel through untouched.
        SeparationCase{"NoChoiceKeepsPixel", -1, kRed, 100, 100, kBlack, win::MakeColorRef(12, 34, 56), win::MakeColorRef(12, 34, 56)},
        SeparationCase{"NoChoiceKeepsHighByte", -1, kRed, 100, 100, kBlack, win::kInvalidColor, win::kInvalidColor},
        SeparationCase{"UnknownChoiceKeepsPixel", 4, kRed, 100, 100, kBlack, win::MakeColorRef(200, 30, 30), win::MakeColorRef(200, 30, 30)},
        // Only the low 8 bits of each component of the chosen colour count.
        SeparationCase{"SecondInkLow8Bits", 0, kRed, 100, 100, Rgb{256 + 7, -1, 512}, win::MakeColorRef(0, 0, 0), win::MakeColorRef(7, 255, 0)},
        // The pixel's own high byte plays no part in modes 0 to 3.
        SeparationCase{"InvalidReadsAsWhite", 0, kRed, 100, 100, kBlack, win::kInvalidColor, kWhiteRef}),
    [](const ::testing::TestParamInfo<SeparationCase>& testInfo) { return std::string(testInfo.param.name); });

TEST(ColorSeparationPaletteTest, UsesTheGivenPaletteForInkAndWhite)
{
    SeparationInputs in;
    in.palette = {Rgb{200, 0, 0}, Rgb{0, 200, 0}, Rgb{0, 0, 200}, Rgb{250, 250, 250}};
    EXPECT_EQ(SeparateColor(win::MakeColorRef(200, 30, 30), in), win::MakeColorRef(200, 0, 0));
    EXPECT_EQ(SeparateColor(win::MakeColorRef(255, 255, 255), in), win::MakeColorRef(250, 250, 250));
    in.colorMode = ColorChoice::Blue;
    in.hueColor = kBlue;
    EXPECT_EQ(SeparateColor(win::MakeColorRef(30, 30, 200), in), win::MakeColorRef(0, 0, 200));
    in.colorMode = ColorChoice::NotUsed;
    EXPECT_EQ(SeparateColor(win::MakeColorRef(255, 255, 255), in), win::MakeColorRef(250, 250, 250));
}

// ----------------------------------------------------------- CColorSeparator

TEST(ColorSeparationSeparatorTest, MatchesTheRuleForRandomPixelsAndSettings)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> mode(-1, 4);
    std::uniform_int_distribution<int> angle(0, 359);
    auto randomRgb = [&] { return Rgb{byte(random), byte(random), byte(random)}; };
    for (int setting = 0; setting < 400; ++setting) {
        SeparationInputs in;
        in.colorMode = FromStoredNumber(mode(random));
        in.hueColor = setting % 2 == 0 ? HueColor(angle(random)) : randomRgb();
        in.rValue = byte(random);
        in.lValue = byte(random);
        in.lColor = randomRgb();
        if (setting % 5 == 0)
            in.palette = {randomRgb(), randomRgb(), randomRgb(), randomRgb()};
        const CColorSeparator separator(in);
        for (int i = 0; i < 5000; ++i) {
            const win::COLORREF pixel = static_cast<win::COLORREF>(random());
            ASSERT_EQ(separator.Map(pixel), SeparateColor(pixel, in))
                << "pixel " << Describe(pixel) << " setting " << setting;
        }
    }
}

TEST(ColorSeparationSeparatorTest, MatchesTheRuleOverEveryChannelValue)
{
    const int angles[] = {0, 4, 120, 200, 240};
    const int weights[] = {0, 100, 255};
    for (int mode = ToStoredNumber(ColorChoice::Red); mode <= ToStoredNumber(ColorChoice::NotUsed); ++mode)
        for (int a : angles)
            for (int rValue : weights)
                for (int lValue : weights) {
                    SeparationInputs in;
                    in.colorMode = FromStoredNumber(mode);
                    in.hueColor = HueColor(a);
                    in.rValue = rValue;
                    in.lValue = lValue;
                    in.lColor = kMarker;
                    const CColorSeparator separator(in);
                    // Each channel through all its values, the other two on a grid.
                    for (int v = 0; v < 256; ++v)
                        for (int p = 0; p <= 255; p += 51)
                            for (int q = 0; q <= 255; q += 51)
                                for (win::COLORREF pixel : {win::MakeColorRef(v, p, q), win::MakeColorRef(p, v, q), win::MakeColorRef(p, q, v)})
                                    ASSERT_EQ(separator.Map(pixel), SeparateColor(pixel, in))
                                        << "pixel " << Describe(pixel) << " mode " << mode << " angle " << a
                                        << " R " << rValue << " L " << lValue;
                }
}

// The arithmetic form decides by the same parts as the separator: the three
// channel scores and, per brightness, the ink's limit and the other colour.
// Equal parts for every channel value and every brightness make the two
// equal for all 2^24 pixels; any hue colour, not only the angles', and
// every weight from 0 to 255. Values outside bytes have no arithmetic form.
TEST(ColorSeparationStepsTest, GiveTheSeparatorsScoresLimitsAndColoursForEveryValue)
{
    std::mt19937 random(77);
    for (int setting = 0; setting < 1024; ++setting) {
        SeparationInputs in;
        in.colorMode = FromStoredNumber(setting % 4);
        in.hueColor = setting % 8 < 4 ? HueColor(static_cast<int>(random() % 360))
                                       : Rgb{static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                                             static_cast<int>(random() % 256)};
        in.rValue = setting / 4 % 256;
        in.lValue = 255 - setting / 4 % 256;
        in.lColor = kMarker;
        const CColorSeparator separator(in);
        const std::optional<SeparationSteps> steps = SeparationStepsOf(in);
        ASSERT_TRUE(steps);
        const bool inks = in.colorMode != ColorChoice::NotUsed;
        for (int channel = 0; channel < 3; ++channel)
            for (int c = 0; c < 256; ++c) {
                const int hue = steps->hue[static_cast<size_t>(channel)];
                const int weight = steps->weight[static_cast<size_t>(channel)][static_cast<size_t>(c)];
                if (inks) {
                    ASSERT_EQ(std::abs(hue - c) - weight, separator.ChannelScore(channel, c))
                        << "setting " << setting << " channel " << channel << " value " << c;
                }
            }
        for (int s = 0; s < CColorSeparator::kBrightnessLevels; ++s) {
            const int l = s < 256 ? steps->darkWeight[static_cast<size_t>(s)]
                                  : (s < 383 ? steps->darkWeightMid : steps->darkWeightHigh);
            const int inkLimit = std::min(s - l - steps->inkTie, 765 - s);
            if (inks) {
                ASSERT_EQ(inkLimit, separator.InkLimit(s)) << "setting " << setting << " brightness " << s;
            } else {
                ASSERT_LT(inkLimit, -510) << "Not Used reaches the ink at brightness " << s;
            }
            const Rgb other = 2 * s - l <= steps->secondLimit ? in.lColor : in.palette[3];
            ASSERT_EQ(Describe(other.ToColorRef()), Describe(separator.Otherwise(s)))
                << "setting " << setting << " brightness " << s;
        }
    }
    SeparationInputs outside;
    outside.rValue = 256;
    EXPECT_FALSE(SeparationStepsOf(outside));
    outside = SeparationInputs{};
    outside.colorMode = FromStoredNumber(7);
    EXPECT_FALSE(SeparationStepsOf(outside));
}

// ----------------------------------------------------------- SeparateSurface

TEST(ColorSeparationSurfaceTest, SeparatesEveryPixelOfAColourSurface)
{
    QImage image(37, 11, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, static_cast<QRgb>(random()) | 0xFF000000u);
    CBitmapSurface surface = CBitmapSurface::FromImage(image);
    const CBitmapSurface original = surface;
    SeparationInputs in;
    in.colorMode = ColorChoice::Green;
    in.hueColor = HueColor(100);
    SeparateSurface(surface, in);
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            ASSERT_EQ(surface.GetPixel(x, y), SeparateColor(original.GetPixel(x, y), in)) << x << "," << y;
}

TEST(ColorSeparationSurfaceTest, PaletteSurfaceStoresTheNearestPaletteColour)
{
    // Black, white, a dark red that separates to red, a light grey that
    // separates to white; the palette holds no pure red.
    QImage image(4, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(180, 20, 20), qRgb(240, 240, 240)});
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, static_cast<uint>(x));
    CBitmapSurface surface = CBitmapSurface::FromImage(image);
    SeparateSurface(surface, SeparationInputs{});
    ASSERT_TRUE(surface.IsPaletteBased());
    EXPECT_EQ(surface.GetPixel(0, 0), win::MakeColorRef(0, 0, 0));
    EXPECT_EQ(surface.GetPixel(1, 0), win::MakeColorRef(255, 255, 255));
    EXPECT_EQ(surface.GetPixel(2, 0), win::MakeColorRef(180, 20, 20));  // nearest to red
    EXPECT_EQ(surface.GetPixel(3, 0), win::MakeColorRef(255, 255, 255));
}

}  // namespace

namespace {

// ------------------------------------------------------------ invert state

struct InvertCase {
    bool invert;
    int colorMode;
    Rgb expected;
};

class ColorSeparationInvertTest : public ::testing::TestWithParam<InvertCase> {};

TEST_P(ColorSeparationInvertTest, GivesTheSecondInk)
{
    EXPECT_EQ(LColorForInvert(GetParam().invert, FromStoredNumber(GetParam().colorMode)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(ColorSeparationStates, ColorSeparationInvertTest,
                         ::testing::Values(InvertCase{true, 0, kRed}, InvertCase{true, 1, kGreen},
                                           InvertCase{true, 2, kBlue}, InvertCase{true, 3, kBlack},
                                           InvertCase{true, -1, kBlack}, InvertCase{false, 0, kBlack},
                                           InvertCase{false, 1, kBlack}, InvertCase{false, 2, kBlack},
                                           InvertCase{false, 3, kBlack}),
                         [](const ::testing::TestParamInfo<InvertCase>& testInfo) {
                             return (testInfo.param.invert ? "InvertedMode" : "PlainMode") + TestNumber(testInfo.param.colorMode);
                         });

}  // namespace
