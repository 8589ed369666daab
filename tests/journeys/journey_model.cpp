#include "journeys/journey_model.h"

#include "app/preview_source.h"
#include "imaging/color_separation.h"
#include "logos/logo_renderer.h"

#include <QFileInfo>

#include <optional>

namespace {

// Single and double density print fewer dots: the separated image shrunk
// with every dot the AND of the pixels that meet in it (black wins over a
// colour, a colour over paper).
QImage ShrunkForDensity(const QImage& image, int density)
{
    const int width = density == 0 ? image.width() / 2 : image.width();
    const int height = image.height() / 2;
    QImage shrunk(width, height, QImage::Format_RGB32);
    const auto span = [](int d, int from, int to) {
        const int first = d * from / to;
        return std::pair(first, std::max(first + 1, (d + 1) * from / to));
    };
    for (int y = 0; y < height; ++y) {
        const auto [y0, y1] = span(y, image.height(), height);
        for (int x = 0; x < width; ++x) {
            const auto [x0, x1] = span(x, image.width(), width);
            QRgb combined = 0xFFFFFFFFu;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    combined &= image.pixel(sx, sy);
            shrunk.setPixel(x, y, combined);
        }
    }
    return shrunk;
}

}  // namespace

QString LogoSnapshot::Describe() const
{
    return QStringLiteral("%1 (THRESHOLD %2, R %3, L %4, colour %5, L colour %6/%7/%8, density %9)")
        .arg(entry.name)
        .arg(entry.threshold)
        .arg(entry.rValue)
        .arg(entry.lValue)
        .arg(ToStoredNumber(entry.colorMode))
        .arg(lColor.r)
        .arg(lColor.g)
        .arg(lColor.b)
        .arg(density);
}

const CDotGrid& CExpectedDots::Of(const LogoSnapshot& logo, PrinterKind kind, bool withWindowHue)
{
    const QString key = logo.Describe() + logo.entry.path + QString::number(PrinterKindNumber(kind)) +
                        (withWindowHue ? QStringLiteral("/%1.%2.%3").arg(logo.windowHue.r).arg(logo.windowHue.g).arg(logo.windowHue.b)
                                       : QString());
    if (const auto found = m_cache.find(key); found != m_cache.end())
        return found->second;
    SeparationInputs inputs = MakeEntryInputs(logo.entry, SeparationColors{});
    // The logo's own hue and the window's second ink.
    inputs.hueColor = withWindowHue ? logo.windowHue : HueColor(logo.entry.threshold);
    inputs.lColor = logo.lColor;
    CPreviewSource preview;
    QImage image = preview.Render(logo.entry.path, QSize(4096, 4096), inputs,
                                  CModelType::FromNumber(PrinterKindNumber(kind)));
    if (kind == PrinterKind::DotMode && logo.density != 2)
        image = ShrunkForDensity(image, logo.density);
    CDotGrid dots(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFFu;
            dots.Set(x, y, pixel == 0xFFFFFFu ? CDotGrid::White : pixel == 0 ? CDotGrid::Black : CDotGrid::Red);
        }
    }
    return m_cache.emplace(key, dots).first->second;
}

HeldImages HeldBy(const std::vector<SimStoredImage>& stored)
{
    HeldImages held;
    for (const SimStoredImage& image : stored)
        held[image.name] = image.dots;
    return held;
}

int DotsDiffering(const CDotGrid& stored, const CDotGrid& expected)
{
    // Printers keep whole bytes, and impact printers whole bands (16 rows
    // at quad density): the padding must stay paper.
    const int padX = stored.Width() - expected.Width();
    const int padY = stored.Height() - expected.Height();
    if (padX < 0 || padX > 7 || padY < 0 || padY > 15)
        return std::max(stored.Width() * stored.Height(), expected.Width() * expected.Height());
    int differ = 0;
    for (int y = 0; y < stored.Height(); ++y)
        for (int x = 0; x < stored.Width(); ++x)
            differ += stored.At(x, y) != expected.At(x, y) ? 1 : 0;
    return differ;
}

QStringList CPrinterModel::Check(const HeldImages& now, const Attempt& attempt, PrinterKind kind,
                                 CExpectedDots& expected)
{
    QStringList faults;
    for (const auto& [name, dots] : now) {
        if (const auto tried = attempt.find(name); tried != attempt.end()) {
            // The name holds this logo from now on, well or badly stored.
            const auto before = m_known.find(name);
            const std::optional<LogoSnapshot> previous =
                before == m_known.end() ? std::nullopt : std::optional<LogoSnapshot>(before->second);
            m_known[name] = tried->second;
            const int differ = DotsDiffering(dots, expected.Of(tried->second, kind));
            if (differ == 0)
                continue;
            // A download that stopped before this name keeps what it held.
            if (const auto seen = m_lastSeen.find(name); seen != m_lastSeen.end() && seen->second == dots) {
                if (previous)
                    m_known[name] = *previous;
                continue;
            }
            const bool windowHue = DotsDiffering(dots, expected.Of(tried->second, kind, true)) == 0;
            faults << QStringLiteral("(a) image %1 is not the preview of %2: %3 of %4 dots differ (stored %5x%6)%7")
                          .arg(name, tried->second.Describe())
                          .arg(differ)
                          .arg(expected.Of(tried->second, kind).Width() * expected.Of(tried->second, kind).Height())
                          .arg(dots.Width())
                          .arg(dots.Height())
                          .arg(windowHue ? QStringLiteral("; it is the preview with the hue of the window's THRESHOLD")
                                         : QString());
            continue;
        }
        const auto known = m_known.find(name);
        if (known == m_known.end()) {
            faults << QStringLiteral("(a) image %1 holds no logo the operator sent").arg(name);
            continue;
        }
        if (const int differ = DotsDiffering(dots, expected.Of(known->second, kind)); differ != 0)
            faults << QStringLiteral("(a) image %1 is not the preview of %2: %3 dots differ")
                          .arg(name, known->second.Describe())
                          .arg(differ);
    }
    m_lastSeen = now;
    return faults;
}
