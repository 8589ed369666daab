#include "import/tone_curve.h"

#include <algorithm>
#include <cmath>

ToneTable MakeToneTable(int brightness, int contrast, double gamma)
{
    ToneTable table{};
    const double factor = std::pow(2.0, contrast / 50.0);
    const double shift = brightness / 200.0;
    for (int level = 0; level < 256; ++level) {
        double v = (level / 255.0 - 0.5) * factor + 0.5 + shift;
        v = std::clamp(v, 0.0, 1.0);
        v = std::pow(v, 1.0 / gamma);
        table[static_cast<size_t>(level)] = static_cast<std::uint8_t>(std::lround(v * 255.0));
    }
    return table;
}

namespace {

// 0.299, 0.587, 0.114 in 1/65536, rounded; the weights sum to 65536.
unsigned Luma(QRgb pixel)
{
    return (19595u * qRed(pixel) + 38470u * qGreen(pixel) + 7471u * qBlue(pixel) + 32768u) >> 16;
}

bool IsIdentity(const ToneTable& tones)
{
    for (size_t i = 0; i < tones.size(); ++i) {
        if (tones[i] != i)
            return false;
    }
    return true;
}

// One row's grey levels. The luma of a block of a fixed length is a loop the
// compiler turns into vector instructions; the tone table, a look-up per
// pixel, is left out when it changes nothing (the neutral settings).
void GreyRow(const QRgb* line, int width, const ToneTable& tones, bool identity, std::uint8_t* out)
{
    constexpr int kBlock = 16;
    int x = 0;
    for (; x + kBlock <= width; x += kBlock) {
        std::array<std::uint8_t, kBlock> luma;
        for (int i = 0; i < kBlock; ++i)
            luma[static_cast<size_t>(i)] = static_cast<std::uint8_t>(Luma(line[x + i]));
        for (int i = 0; i < kBlock; ++i)
            out[x + i] = identity ? luma[static_cast<size_t>(i)] : tones[luma[static_cast<size_t>(i)]];
    }
    for (; x < width; ++x)
        out[x] = tones[Luma(line[x])];
}

}  // namespace

GreyPlane ToGreyPlane(const QImage& picture, const ToneTable& tones)
{
    GreyPlane plane;
    plane.width = picture.width();
    plane.height = picture.height();
    plane.levels.resize(static_cast<size_t>(plane.width) * plane.height);
    const bool identity = IsIdentity(tones);
    for (int y = 0; y < plane.height; ++y) {
        GreyRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), plane.width, tones, identity,
                &plane.levels[static_cast<size_t>(y) * plane.width]);
    }
    return plane;
}

QImage ApplyTones(const QImage& picture, const ToneTable& tones)
{
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = qRgb(tones[qRed(line[x])], tones[qGreen(line[x])], tones[qBlue(line[x])]);
    }
    return out;
}
