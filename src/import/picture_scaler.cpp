#include "import/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels one destination pixel covers along one axis, with the
// share each takes (the shares sum to 1).
struct Span {
    int first = 0;
    std::vector<float> weights;
};

std::vector<Span> AreaSpans(int sourceLength, int destLength)
{
    std::vector<Span> spans(static_cast<size_t>(destLength));
    const double scale = static_cast<double>(sourceLength) / destLength;
    for (int d = 0; d < destLength; ++d) {
        const double begin = d * scale;
        const double end = std::min<double>((d + 1) * scale, sourceLength);
        Span& span = spans[static_cast<size_t>(d)];
        span.first = std::min(static_cast<int>(begin), sourceLength - 1);
        const int last = std::max(span.first, std::min(static_cast<int>(std::ceil(end)) - 1, sourceLength - 1));
        for (int s = span.first; s <= last; ++s) {
            const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
            span.weights.push_back(static_cast<float>(std::max(0.0, covered) / (end - begin)));
        }
    }
    return spans;
}

QImage ShrinkByAreaAverage(const QImage& picture, QSize size)
{
    const int width = size.width();
    const std::vector<Span> columns = AreaSpans(picture.width(), width);
    const std::vector<Span> rows = AreaSpans(picture.height(), size.height());
    // One source row shrunk across at a time, added into the destination rows
    // it covers; each source row is read once.
    std::vector<float> across(static_cast<size_t>(width) * 3);
    std::vector<float> sums(static_cast<size_t>(width) * 3 * size.height(), 0.0f);
    int nextRow = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const Span& span = columns[static_cast<size_t>(x)];
            float r = 0, g = 0, b = 0;
            for (size_t i = 0; i < span.weights.size(); ++i) {
                const QRgb p = line[span.first + static_cast<int>(i)];
                r += span.weights[i] * static_cast<float>(qRed(p));
                g += span.weights[i] * static_cast<float>(qGreen(p));
                b += span.weights[i] * static_cast<float>(qBlue(p));
            }
            across[3 * static_cast<size_t>(x)] = r;
            across[3 * static_cast<size_t>(x) + 1] = g;
            across[3 * static_cast<size_t>(x) + 2] = b;
        }
        while (nextRow < size.height() && rows[static_cast<size_t>(nextRow)].first + 
               static_cast<int>(rows[static_cast<size_t>(nextRow)].weights.size()) <= y)
            ++nextRow;
        for (int d = nextRow; d < size.height() && rows[static_cast<size_t>(d)].first <= y; ++d) {
            const Span& span = rows[static_cast<size_t>(d)];
            const size_t index = static_cast<size_t>(y - span.first);
            if (index >= span.weights.size())
                continue;
            const float weight = span.weights[index];
            float* sum = &sums[static_cast<size_t>(d) * width * 3];
            for (size_t i = 0; i < across.size(); ++i)
                sum[i] += weight * across[i];
        }
    }
    QImage out(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        const float* sum = &sums[static_cast<size_t>(y) * width * 3];
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            auto channel = [&](int c) { return std::clamp(static_cast<int>(std::lround(sum[3 * x + c])), 0, 255); };
            line[x] = qRgb(channel(0), channel(1), channel(2));
        }
    }
    return out;
}

}  // namespace

QSize FitToWidth(QSize picture, int width, int maxWidth)
{
    if (picture.isEmpty())
        return picture;
    int target = width;
    if (target <= 0)
        target = std::min(picture.width(), maxWidth);
    target = std::max(target, 1);
    const qint64 height = (static_cast<qint64>(picture.height()) * target * 2 + picture.width()) / (2 * picture.width());
    return QSize(target, static_cast<int>(std::max<qint64>(1, height)));
}

QImage ResizePicture(const QImage& picture, QSize size)
{
    const QImage rgb = picture.format() == QImage::Format_RGB32 ? picture
                                                                 : picture.convertToFormat(QImage::Format_RGB32);
    if (size == rgb.size())
        return rgb;
    if (size.width() <= rgb.width() && size.height() <= rgb.height())
        return ShrinkByAreaAverage(rgb, size);
    return rgb.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}
