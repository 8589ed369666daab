#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

// A picture as grey levels, 0 black to 255 white, row by row.
struct GreyPlane {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> levels;

    std::uint8_t At(int x, int y) const { return levels[static_cast<size_t>(y) * width + x]; }
};

// Brightness, contrast and gamma as one table from input to output level.
// Brightness -100..100 shifts every level by up to half the range; contrast
// -100..100 multiplies the distance from mid-grey by 2^(contrast / 50)
// (a quarter to four times); gamma 0.1..10 then bends the mid-tones
// (out = in^(1 / gamma), so a gamma above 1 lightens). The neutral settings
// 0, 0, 1 give the identity.
using ToneTable = std::array<std::uint8_t, 256>;
ToneTable MakeToneTable(int brightness, int contrast, double gamma);

// The grey level of every pixel of an opaque RGB32 picture (luma weights
// 0.299, 0.587, 0.114, as television and most printers' drivers use), passed
// through the tone table.
GreyPlane ToGreyPlane(const QImage& picture, const ToneTable& tones);

// The picture with the tone table applied to each colour channel.
QImage ApplyTones(const QImage& picture, const ToneTable& tones);
