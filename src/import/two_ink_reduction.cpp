#include "import/two_ink_reduction.h"

#include <algorithm>
#include <cmath>

namespace {

float LinearFromEncoded(int level)
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[static_cast<size_t>(i)] =
                static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table[static_cast<size_t>(std::clamp(level, 0, 255))];
}

// Colour differences count twice as far as lightness differences: with only
// paper, black and one ink, a grey must never turn into the ink (mid-grey is
// nearer to red than to black in plain OKLab), while a dark or pale red
// still does.
constexpr float kChromaWeight = 4.0f;  // on the squared a and b differences

float Distance(const OkLab& p, const OkLab& q)
{
    const float dl = p.l - q.l;
    const float da = p.a - q.a;
    const float db = p.b - q.b;
    return dl * dl + kChromaWeight * (da * da + db * db);
}

struct Tap {
    int dx;
    int dy;
    float share;
};
constexpr std::array<Tap, 4> kFloydSteinberg{{{1, 0, 7 / 16.f}, {-1, 1, 3 / 16.f}, {0, 1, 5 / 16.f}, {1, 1, 1 / 16.f}}};
constexpr std::array<Tap, 6> kAtkinson{
    {{1, 0, 1 / 8.f}, {2, 0, 1 / 8.f}, {-1, 1, 1 / 8.f}, {0, 1, 1 / 8.f}, {1, 1, 1 / 8.f}, {0, 2, 1 / 8.f}}};

class CTwoInkPalette {
public:
    explicit CTwoInkPalette(Rgb ink)
        : m_colours{{{255, 255, 255}, {0, 0, 0}, ink}},
          m_lab{{ToOkLab(255, 255, 255), ToOkLab(0, 0, 0), ToOkLab(ink.r, ink.g, ink.b)}}
    {
    }
    std::uint8_t Nearest(int r, int g, int b) const
    {
        const OkLab lab = ToOkLab(r, g, b);
        std::uint8_t best = 0;
        for (std::uint8_t i = 1; i < 3; ++i)
            if (Distance(lab, m_lab[i]) < Distance(lab, m_lab[best]))
                best = i;
        return best;
    }
    const Rgb& Colour(std::uint8_t index) const { return m_colours[index]; }

private:
    std::array<Rgb, 3> m_colours;
    std::array<OkLab, 3> m_lab;
};

template <size_t N>
void Diffuse(const QImage& picture, const CTwoInkPalette& palette, const std::array<Tap, N>& taps,
             std::vector<std::uint8_t>& dots)
{
    const int width = picture.width();
    constexpr int kPad = 2;
    const size_t stride = static_cast<size_t>(width + 2 * kPad) * 3;
    std::array<std::vector<float>, 3> rows;
    for (auto& row : rows)
        row.assign(stride, 0.0f);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto errorAt = [&](int dy, int x) { return &rows[static_cast<size_t>((y + dy) % 3)][static_cast<size_t>(x + kPad) * 3]; };
        for (int x = 0; x < width; ++x) {
            float* carried = errorAt(0, x);
            const float r = static_cast<float>(qRed(line[x])) + carried[0];
            const float g = static_cast<float>(qGreen(line[x])) + carried[1];
            const float b = static_cast<float>(qBlue(line[x])) + carried[2];
            const std::uint8_t dot = palette.Nearest(static_cast<int>(std::lround(r)), static_cast<int>(std::lround(g)),
                                                     static_cast<int>(std::lround(b)));
            dots[static_cast<size_t>(y) * width + x] = dot;
            const Rgb& chosen = palette.Colour(dot);
            const float error[3] = {r - chosen.r, g - chosen.g, b - chosen.b};
            for (const Tap& tap : taps) {
                if (x + tap.dx < 0 || x + tap.dx >= width)
                    continue;  // never across an edge
                float* target = errorAt(tap.dy, x + tap.dx);
                for (int c = 0; c < 3; ++c)
                    target[c] += error[c] * tap.share;
            }
        }
        std::fill(rows[static_cast<size_t>(y % 3)].begin(), rows[static_cast<size_t>(y % 3)].end(), 0.0f);
    }
}

}  // namespace

OkLab ToOkLab(int r8, int g8, int b8)
{
    const float r = LinearFromEncoded(r8);
    const float g = LinearFromEncoded(g8);
    const float b = LinearFromEncoded(b8);
    const float l = std::cbrt(0.4122214708f * r + 0.5363325363f * g + 0.0514459929f * b);
    const float m = std::cbrt(0.2119034982f * r + 0.6806995451f * g + 0.1073969566f * b);
    const float s = std::cbrt(0.0883024619f * r + 0.2817188376f * g + 0.6299787005f * b);
    return {0.2104542553f * l + 0.7936177850f * m - 0.0040720468f * s,
            1.9779984951f * l - 2.4285922050f * m + 0.4505937099f * s,
            0.0259040371f * l + 0.7827717662f * m - 0.8086757660f * s};
}

std::vector<std::uint8_t> ReduceToTwoInks(const QImage& picture, Rgb ink, DitherMethod method)
{
    const CTwoInkPalette palette(ink);
    std::vector<std::uint8_t> dots(static_cast<size_t>(picture.width()) * picture.height(), kPaperDot);
    if (method == DitherMethod::FloydSteinberg) {
        Diffuse(picture, palette, kFloydSteinberg, dots);
        return dots;
    }
    if (method == DitherMethod::Atkinson) {
        Diffuse(picture, palette, kAtkinson, dots);
        return dots;
    }
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            dots[static_cast<size_t>(y) * picture.width() + x] =
                palette.Nearest(qRed(line[x]), qGreen(line[x]), qBlue(line[x]));
    }
    return dots;
}
