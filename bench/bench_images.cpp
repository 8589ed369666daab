#include "bench_images.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
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

QImage MakeGradientImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int across = 255 * x / std::max(1, width - 1);
            const int down = 255 * y / std::max(1, height - 1);
            line[x] = qRgb(across, down, (across + 255 - down) / 2);
        }
    }
    return image;
}

QImage MakePhotoImage(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> grain(-12, 12);
    const auto channel = [](double v) { return std::clamp(static_cast<int>(v), 0, 255); };
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = x / 97.0;
            const double v = y / 131.0;
            const double r = 128 + 100 * std::sin(u + 0.7 * v) + grain(random);
            const double g = 128 + 90 * std::sin(0.6 * u - v + 1.3) + grain(random);
            const double b = 120 + 110 * std::cos(0.8 * u + 0.4 * v) * std::sin(v * 0.5) + grain(random);
            line[x] = qRgb(channel(r), channel(g), channel(b));
        }
    }
    return image;
}

QImage MakeNoiseImage(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xFF000000u | (random() & 0xFFFFFFu);
    }
    return image;
}

const BenchPicture kBenchPictures[kBenchPictureCount] = {
    {"logo", [](int w, int h) { return MakeLogoImage(w, h, 7); }},
    {"gradient", [](int w, int h) { return MakeGradientImage(w, h); }},
    {"photo", [](int w, int h) { return MakePhotoImage(w, h, 5); }},
    {"noise", [](int w, int h) { return MakeNoiseImage(w, h, 3); }},
};

QByteArray EncodeBmp24(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}
