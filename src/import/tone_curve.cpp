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

GreyPlane ToGreyPlane(const QImage& picture, const ToneTable& tones)
{
    GreyPlane plane;
    plane.width = picture.width();
    plane.height = picture.height();
    plane.levels.resize(static_cast<size_t>(plane.width) * plane.height);
    for (int y = 0; y < plane.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        std::uint8_t* out = &plane.levels[static_cast<size_t>(y) * plane.width];
        for (int x = 0; x < plane.width; ++x) {
            // 0.299, 0.587, 0.114 in 1/65536, rounded; the weights sum to 65536.
            const unsigned luma = (19595u * qRed(line[x]) + 38470u * qGreen(line[x]) + 7471u * qBlue(line[x])
                                   + 32768u) >> 16;
            out[x] = tones[luma];
        }
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
