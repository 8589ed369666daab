#pragma once

#include "framework/colorref.h"
#include "imaging/color_choice.h"

#include <array>
#include <cstdint>
#include <optional>

class CBitmapSurface;

// The colours a pixel can be separated into: red, green and blue (the colour
// ink of the three colour choices) and white (no ink), in this order.
inline constexpr std::array<Rgb, 4> kSeparationPalette{{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}};

// Everything the separation of one pixel depends on besides the pixel.
// The defaults are the state of a freshly opened main window.
struct SeparationInputs {
    Rgb hueColor{255, 0, 0};                     // reference colour of the THRESHOLD angle
    std::array<Rgb, 4> palette = kSeparationPalette;
    Rgb lColor{0, 0, 0};                         // the second ink
    int rValue = 100;                            // 0..255, widens the colour ink's share
    int lValue = 100;                            // 0..255, widens the second ink's share
    ColorChoice colorMode = ColorChoice::Red;
};

// The reference colour of a hue angle in degrees. Angles outside 0..359 are
// taken modulo 360 first (360 is red, like 0). The arithmetic is done in double
// precision in a fixed form whose rounding the printed results depend on:
// 4 degrees gives (255, 16, 0), not (255, 17, 0).
Rgb HueColor(int threshold);

// Maps one pixel to the colour it is printed in: the colour ink of the colour
// choice (palette[0..2]), the second ink (lColor) or white (palette[3]); in
// Not Used mode only the second ink or white. A stored number outside the
// four choices returns the pixel unchanged. The chosen colour is returned with the low 8 bits of
// each of its components.
//
// The pixel is scored three ways: P, its distance to the hue colour less the
// weights of the two channels other than the ink's own; A, its darkness S less
// the L weight; K, its lightness 765 - S. The smallest score wins. Ties between
// P and A go to the second ink in Red mode and to the colour ink in Green and
// Blue mode; ties with K go to the ink. Not Used takes the second ink when
// 2 x S < 610 + lValue.
win::COLORREF SeparateColor(win::COLORREF pixel, const SeparationInputs& inputs);

// SeparateColor with everything that does not depend on the pixel computed
// once: per-channel parts of the colour score and, per brightness S, the
// score the colour ink must reach and the colour a pixel gets otherwise.
// Map() gives exactly SeparateColor's result for every pixel; a few table
// look-ups and no division per pixel keep whole images fast.
class CColorSeparator {
public:
    explicit CColorSeparator(const SeparationInputs& inputs);

    win::COLORREF Map(win::COLORREF pixel) const
    {
        if (m_passThrough)
            return pixel;
        const unsigned r = pixel & 0xFFu;
        const unsigned g = (pixel >> 8) & 0xFFu;
        const unsigned b = (pixel >> 16) & 0xFFu;
        const unsigned s = r + g + b;
        const int score = m_channelScore[0][r] + m_channelScore[1][g] + m_channelScore[2][b];
        // Selected with a mask rather than a branch: in photographs and
        // dithered logos the outcome changes from pixel to pixel, and
        // mispredictions would cost more than the rest of the work.
        const win::COLORREF inkMask = 0u - static_cast<win::COLORREF>(score <= m_inkLimit[s]);
        return (m_ink & inkMask) | (m_otherwise[s] & ~inkMask);
    }
    win::COLORREF operator()(win::COLORREF pixel) const { return Map(pixel); }

    static constexpr int kBrightnessLevels = 3 * 255 + 1;

    // The parts of Map, for code that decides a whole row at once (see
    // pixel_code_rows.h): Map(p) is Ink() when the sum of ChannelScore over
    // p's three channels is at most InkLimit(s), Otherwise(s) if not, s being
    // p's brightness R + G + B; and p itself when PassesThrough().
    bool PassesThrough() const { return m_passThrough; }
    win::COLORREF Ink() const { return m_ink; }
    int ChannelScore(int channel, int value) const { return m_channelScore[channel][value]; }
    int InkLimit(int brightness) const { return m_inkLimit[brightness]; }
    win::COLORREF Otherwise(int brightness) const { return m_otherwise[brightness]; }

private:

    bool m_passThrough = false;
    win::COLORREF m_ink = 0;
    std::array<std::array<int, 256>, 3> m_channelScore{};   // P = sum over the channels
    std::array<int, kBrightnessLevels> m_inkLimit{};        // colour ink when P <= limit
    std::array<win::COLORREF, kBrightnessLevels> m_otherwise{};  // second ink or white
};

// The rule of SeparateColor as a few sums and compares per pixel on its
// R, G and B bytes, for vector code that decides many pixels at once without
// table look-ups by pixel value (only byte-indexed ones). With S = R + G + B,
// P = sum over the channels of |hue - c| - weight[channel][c] and L the second
// ink's weight at S (darkWeight[S] up to 255, darkWeightMid up to 382,
// darkWeightHigh above):
// - the colour ink when P + inkTie <= S - L and P <= 765 - S;
// - otherwise the second ink when 2 S - L <= secondLimit, white if not.
// Every quantity fits a byte or 16 signed bits. Equal to CColorSeparator for
// every pixel (tests compare each channel score and each brightness).
struct SeparationSteps {
    std::array<std::uint8_t, 3> hue{};                        // R, G, B
    std::array<std::array<std::uint8_t, 256>, 3> weight{};   // 0 for the ink's own channel
    std::array<std::uint8_t, 256> darkWeight{};
    std::int16_t darkWeightMid = 0;
    std::int16_t darkWeightHigh = 0;
    int inkChannel = -1;            // 0..2: R, G or B, whose weight is 0; -1: Not Used, never the ink
    std::int16_t inkTie = 0;        // 1 in Red mode (a tie goes to the second ink); never met in Not Used
    std::int16_t secondLimit = 0;
};

// The steps of the inputs; nothing when the choice passes pixels through or a
// value lies outside 0..255 (the byte form cannot hold it).
std::optional<SeparationSteps> SeparationStepsOf(const SeparationInputs& inputs);

// Separates every pixel of the surface with the inputs. A palette-based
// surface keeps its palette: each written colour becomes the nearest
// palette colour.
void SeparateSurface(CBitmapSurface& surface, const SeparationInputs& inputs);
