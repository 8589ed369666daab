#include "bench_images.h"

#include <QBuffer>

#include <random>

QImage MakeLogoImage(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(0, 99);
    std::uniform_int_distribution<int> channel(0, 255);
    const int cx = width / 4;
    const int cy = height / 2;
    const long long radius = std::min(width, height) / 3;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb colour = qRgb(255, 255, 255);
            const long long dx = x - cx;
            const long long dy = y - cy;
            if (dx * dx + dy * dy <= radius * radius)
                colour = qRgb(200, 30, 30);
            else if (x > width / 2 && (y / 16) % 3 == 0)
                colour = qRgb(0, 0, 0);
            else if (x > width / 2 && (y / 16) % 3 == 1) {
                const int v = 255 * (x - width / 2) / std::max(1, width / 2);
                colour = qRgb(v, v, v);
            }
            if (noise(random) < 2)
                colour = qRgb(channel(random), channel(random), channel(random));
            line[x] = colour;
        }
    }
    return image;
}

QByteArray EncodeBmp24(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}
