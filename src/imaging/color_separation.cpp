#include "imaging/color_separation.h"

#include "imaging/bitmap_surface.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMaxBrightness = 3 * 255;

// A channel's weight: the larger the channel, the more of value it earns.
// 255 / c is at least 1 for every c from 1 to 255.
int ChannelWeight(int value, int c)
{
    return c > 0 ? value / (255 / c) : 0;
}

// The second ink's weight at brightness s.
int DarkWeight(int lValue, int s)
{
    return s > 0 ? lValue / (kMaxBrightness / s) : 0;
}

bool NotUsedTakesSecondInk(int s, int lValue)
{
    return 2 * s < 610 + lValue;
}

}  // namespace

Rgb HueColor(int threshold)
{
    const int angle = ((threshold % 360) + 360) % 360;
    const double k = 1.0 / 60.0;
    const double h = angle * k;
    const int sector = static_cast<int>(std::trunc(h));
    const double f = h - sector;
    // Kept in this form: 1 - (1 - f) is a little below f for some angles, and
    // the truncation turns that into one step less than f x 255 would give.
    const int down = static_cast<int>(std::trunc((1.0 - f) * 255.0));
    const int up = static_cast<int>(std::trunc((1.0 - (1.0 - f)) * 255.0));
    switch (sector) {
    case 0: return {255, up, 0};
    case 1: return {down, 255, 0};
    case 2: return {0, 255, up};
    case 3: return {0, down, 255};
    case 4: return {up, 0, 255};
    default: return {255, 0, down};
    }
}

win::COLORREF SeparateColor(win::COLORREF pixel, const SeparationInputs& in)
{
    const ColorChoice mode = in.colorMode;
    if (!IsKnownColorChoice(mode))
        return pixel;
    const int r = win::RedOf(pixel);
    const int g = win::GreenOf(pixel);
    const int b = win::BlueOf(pixel);
    const win::COLORREF second = in.lColor.ToColorRef();
    const win::COLORREF white = in.palette[3].ToColorRef();
    const int s = r + g + b;
    if (mode == ColorChoice::NotUsed)
        return NotUsedTakesSecondInk(s, in.lValue) ? second : white;

    const int wr = ChannelWeight(in.rValue, r);
    const int wg = ChannelWeight(in.rValue, g);
    const int wb = ChannelWeight(in.rValue, b);
    const int wl = DarkWeight(in.lValue, s);
    const int d = std::abs(in.hueColor.r - r) + std::abs(in.hueColor.g - g) + std::abs(in.hueColor.b - b);
    const int dark = s - wl;
    const int light = kMaxBrightness - s;
    const win::COLORREF ink = in.palette[static_cast<std::size_t>(mode)].ToColorRef();

    if (mode == ColorChoice::Red) {
        const int p = d - wg - wb;
        if (dark <= p && dark <= light)
            return second;
        if (p < dark && p <= light)
            return ink;
        return white;
    }
    const int p = mode == ColorChoice::Green ? d - wr - wb : d - wr - wg;
    if (p <= dark && p <= light)
        return ink;
    if (dark < p && dark <= light)
        return second;
    return white;
}

// The rule, rearranged so that a pixel needs only look-ups:
// - P splits into one term per channel: |hue - c|, less the channel's weight
//   for the two channels that are not the ink's own;
// - the colour ink wins when P <= min(A, K), in Red mode P <= min(A - 1, K)
//   because there a tie with A goes to the second ink;
// - a pixel that does not take the colour ink takes the second ink when
//   A <= K and white otherwise, whatever P is: when P fell short only against
//   K, A is above K as well.
// Not Used never takes the colour ink and decides by brightness alone.
CColorSeparator::CColorSeparator(const SeparationInputs& in)
{
    const ColorChoice mode = in.colorMode;
    m_passThrough = !IsKnownColorChoice(mode);
    if (m_passThrough)
        return;
    const win::COLORREF second = in.lColor.ToColorRef();
    const win::COLORREF white = in.palette[3].ToColorRef();

    if (mode == ColorChoice::NotUsed) {
        for (int s = 0; s <= kMaxBrightness; ++s) {
            m_inkLimit[s] = INT_MIN;
            m_otherwise[s] = NotUsedTakesSecondInk(s, in.lValue) ? second : white;
        }
        return;
    }

    m_ink = in.palette[static_cast<std::size_t>(mode)].ToColorRef();
    const std::array<int, 3> hue{in.hueColor.r, in.hueColor.g, in.hueColor.b};
    for (int channel = 0; channel < 3; ++channel) {
        const bool weighted = channel != ToStoredNumber(mode);
        for (int c = 0; c < 256; ++c)
            m_channelScore[channel][c] = std::abs(hue[channel] - c) - (weighted ? ChannelWeight(in.rValue, c) : 0);
    }
    const int darkTieToSecond = mode == ColorChoice::Red ? 1 : 0;
    for (int s = 0; s <= kMaxBrightness; ++s) {
        const int dark = s - DarkWeight(in.lValue, s);
        const int light = kMaxBrightness - s;
        m_inkLimit[s] = std::min(dark - darkTieToSecond, light);
        m_otherwise[s] = dark <= light ? second : white;
    }
}

// The brightness bands of DarkWeight with a constant weight: 765 / s is 2
// from 256 to 382 and 1 from 383 on.
constexpr int kDarkBandMid = 256;
constexpr int kDarkBandHigh = 383;

std::optional<SeparationSteps> SeparationStepsOf(const SeparationInputs& in)
{
    const ColorChoice mode = in.colorMode;
    const auto isByte = [](int v) { return v >= 0 && v <= 255; };
    if (!IsKnownColorChoice(mode) || !isByte(in.rValue) || !isByte(in.lValue) || !isByte(in.hueColor.r) ||
        !isByte(in.hueColor.g) || !isByte(in.hueColor.b))
        return std::nullopt;
    SeparationSteps steps;
    steps.hue = {static_cast<std::uint8_t>(in.hueColor.r), static_cast<std::uint8_t>(in.hueColor.g),
                 static_cast<std::uint8_t>(in.hueColor.b)};
    if (mode == ColorChoice::NotUsed) {
        // Never the ink (P >= -510 and S - L <= 765); the second ink by
        // brightness alone: 2 S < 610 + lValue.
        steps.inkTie = 4096;
        steps.secondLimit = static_cast<std::int16_t>(609 + in.lValue);
        return steps;
    }
    for (int channel = 0; channel < 3; ++channel) {
        if (channel == ToStoredNumber(mode))
            continue;
        for (int c = 0; c < 256; ++c)
            steps.weight[channel][c] = static_cast<std::uint8_t>(ChannelWeight(in.rValue, c));
    }
    for (int s = 0; s < 256; ++s)
        steps.darkWeight[s] = static_cast<std::uint8_t>(DarkWeight(in.lValue, s));
    steps.darkWeightMid = static_cast<std::int16_t>(DarkWeight(in.lValue, kDarkBandMid));
    steps.darkWeightHigh = static_cast<std::int16_t>(DarkWeight(in.lValue, kDarkBandHigh));
    steps.inkChannel = ToStoredNumber(mode);
    steps.inkTie = mode == ColorChoice::Red ? 1 : 0;
    // Not the ink: the second ink when A <= K, that is S - L <= 765 - S.
    steps.secondLimit = kMaxBrightness;
    return steps;
}

void SeparateSurface(CBitmapSurface& surface, const SeparationInputs& inputs)
{
    const CColorSeparator separator(inputs);
    surface.MapColors(separator);
}
