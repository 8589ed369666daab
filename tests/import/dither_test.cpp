#include "import/dither.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

// Properties every dithering method must keep, whatever picture it gets:
// the same result every time, the tone of large areas, no error crossing an
// edge, and pictures one dot thin.

namespace {

GreyPlane MakePlane(int width, int height, const std::function<int(int, int)>& level)
{
    GreyPlane plane;
    plane.width = width;
    plane.height = height;
    plane.levels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            plane.levels[static_cast<size_t>(y) * width + x] = static_cast<std::uint8_t>(level(x, y));
    return plane;
}

// A fixed pseudo-random picture (a linear congruential sequence).
GreyPlane Noise(int width, int height)
{
    std::uint32_t state = 12345;
    return MakePlane(width, height, [&](int, int) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>(state >> 24);
    });
}

double MeanLevel(const GreyPlane& plane)
{
    double sum = 0;
    for (std::uint8_t level : plane.levels)
        sum += level;
    return sum / static_cast<double>(plane.levels.size());
}

// The tone the dots give: paper counts 255, a dot 0.
double MeanPrinted(const std::vector<std::uint8_t>& dots)
{
    double paper = 0;
    for (std::uint8_t dot : dots)
        paper += dot ? 0 : 1;
    return 255.0 * paper / static_cast<double>(dots.size());
}

constexpr double kToneTolerance = 0.02 * 255;

struct MethodCase {
    DitherMethod method;
    std::vector<int> flatLevels;  // flat tones whose mean the method keeps
    bool keepsGradients;
};

class DitherProperties : public testing::TestWithParam<MethodCase> {};

}  // namespace

TEST_P(DitherProperties, SameResultEveryTime)
{
    const GreyPlane plane = Noise(97, 61);
    EXPECT_EQ(DitherToDots(plane, GetParam().method, 128), DitherToDots(plane, GetParam().method, 128));
}

TEST_P(DitherProperties, LargeFlatAreasKeepTheirMeanTone)
{
    for (int level : GetParam().flatLevels) {
        const GreyPlane plane = MakePlane(256, 256, [&](int, int) { return level; });
        EXPECT_NEAR(MeanPrinted(DitherToDots(plane, GetParam().method, 128)), level, kToneTolerance)
            << "flat level " << level;
    }
}

TEST_P(DitherProperties, GradientsKeepTheirMeanTone)
{
    const GreyPlane across = MakePlane(512, 256, [](int x, int) { return x / 2; });
    const GreyPlane down = MakePlane(256, 512, [](int, int y) { return y / 2; });
    for (const GreyPlane* plane : {&across, &down}) {
        const std::vector<std::uint8_t> dots = DitherToDots(*plane, GetParam().method, 128);
        EXPECT_NEAR(MeanPrinted(dots), MeanLevel(*plane), kToneTolerance);
        if (!GetParam().keepsGradients)
            continue;  // its steeper tone curve evens out only over the whole ramp
        // Each quarter of the gradient on its own, too.
        for (int quarter = 0; quarter < 4; ++quarter) {
            GreyPlane part;
            std::vector<std::uint8_t> partDots;
            for (int y = 0; y < plane->height; ++y)
                for (int x = 0; x < plane->width; ++x) {
                    const int position = plane == &across ? x * 4 / plane->width : y * 4 / plane->height;
                    if (position != quarter)
                        continue;
                    part.levels.push_back(plane->At(x, y));
                    partDots.push_back(dots[static_cast<size_t>(y) * plane->width + x]);
                }
            EXPECT_NEAR(MeanPrinted(partDots), MeanLevel(part), kToneTolerance) << "quarter " << quarter;
        }
    }
}

TEST_P(DitherProperties, NoErrorLeaksAcrossTheRightEdge)
{
    // Two pictures that differ only in the last pixel of row 10. Error may
    // travel right and down from there, so of row 11 only the last two dots
    // may change; the first dots of row 11 would change if the error wrapped
    // round to the next row's start.
    GreyPlane plain = MakePlane(64, 32, [](int, int) { return 120; });
    GreyPlane changed = plain;
    changed.levels[static_cast<size_t>(10) * 64 + 63] = 0;
    const std::vector<std::uint8_t> a = DitherToDots(plain, GetParam().method, 128);
    const std::vector<std::uint8_t> b = DitherToDots(changed, GetParam().method, 128);
    for (int x = 0; x < 62; ++x)
        EXPECT_EQ(a[static_cast<size_t>(11) * 64 + x], b[static_cast<size_t>(11) * 64 + x]) << "x " << x;
    // Row 10 up to the changed pixel cannot see it at all.
    for (int x = 0; x < 63; ++x)
        EXPECT_EQ(a[static_cast<size_t>(10) * 64 + x], b[static_cast<size_t>(10) * 64 + x]) << "row 10, x " << x;
}

TEST_P(DitherProperties, OneDotWideAndOneDotHighPictures)
{
    const GreyPlane column = MakePlane(1, 300, [](int, int y) { return y < 150 ? 0 : 255; });
    const GreyPlane row = MakePlane(300, 1, [](int x, int) { return x < 150 ? 0 : 255; });
    for (const GreyPlane* plane : {&column, &row}) {
        const std::vector<std::uint8_t> dots = DitherToDots(*plane, GetParam().method, 128);
        ASSERT_EQ(dots.size(), 300u);
        for (size_t i = 0; i < dots.size(); ++i)
            EXPECT_EQ(dots[i], i < 150 ? 1 : 0) << "dot " << i;
    }
    const GreyPlane grey = MakePlane(1, 1, [](int, int) { return 200; });
    EXPECT_EQ(DitherToDots(grey, GetParam().method, 128).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, DitherProperties,
    testing::Values(MethodCase{DitherMethod::FloydSteinberg, {8, 32, 64, 100, 128, 160, 192, 224, 247}, true},
                    MethodCase{DitherMethod::Bayer, {8, 32, 64, 100, 128, 160, 192, 224, 247}, true},
                    // Atkinson passes on three quarters of the error: only mid-grey
                    // keeps its mean; other tones move away from it (see below).
                    MethodCase{DitherMethod::Atkinson, {124, 128, 132}, false}),
    [](const testing::TestParamInfo<MethodCase>& testInfo) {
        return DitherMethodName(testInfo.param.method).remove('-').toStdString();
    });

TEST(Threshold, LevelDecidesEachDotOnItsOwn)
{
    const GreyPlane plane = MakePlane(4, 1, [](int x, int) { return std::array<int, 4>{99, 100, 101, 255}[x]; });
    EXPECT_EQ(DitherToDots(plane, DitherMethod::None, 100), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(DitherToDots(plane, DitherMethod::None, 255), (std::vector<std::uint8_t>{1, 1, 1, 0}));
}

TEST(Bayer, TheLevelMovesTheWholeScreen)
{
    const GreyPlane plane = MakePlane(64, 64, [](int, int) { return 128; });
    const double neutral = MeanPrinted(DitherToDots(plane, DitherMethod::Bayer, 128));
    EXPECT_LT(MeanPrinted(DitherToDots(plane, DitherMethod::Bayer, 192)), neutral - 50);
    EXPECT_GT(MeanPrinted(DitherToDots(plane, DitherMethod::Bayer, 64)), neutral + 50);
}

TEST(Atkinson, TonesStayInOrderAndMirrorAroundMidGrey)
{
    // The dropped quarter of the error steepens the tone curve, the same way
    // for light and dark: a tone and its mirror image print as mirror images,
    // and a darker tone never prints lighter.
    double previous = -1;
    for (int level = 0; level <= 255; level += 5) {
        const GreyPlane plane = MakePlane(128, 128, [&](int, int) { return level; });
        const GreyPlane mirror = MakePlane(128, 128, [&](int, int) { return 255 - level; });
        const double printed = MeanPrinted(DitherToDots(plane, DitherMethod::Atkinson, 128));
        const double mirrored = MeanPrinted(DitherToDots(mirror, DitherMethod::Atkinson, 128));
        EXPECT_NEAR(printed + mirrored, 255.0, kToneTolerance) << "level " << level;
        EXPECT_GE(printed, previous - 1.0) << "level " << level;
        previous = printed;
    }
}
