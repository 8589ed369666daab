#include "imaging/random_surface.h"

#include <QImage>

namespace {

QRgb ToQRgb(win::COLORREF c)
{
    return qRgb(win::RedOf(c), win::GreenOf(c), win::BlueOf(c));
}

}  // namespace

CBitmapSurface RandomSurface(std::mt19937& random, int width, int height, bool palette,
                             const RandomSurfaceShape& shape)
{
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, palette ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (palette) {
        QList<QRgb> table;
        for (int i = 0; i < shape.paletteEntries; ++i)
            table.append(ToQRgb(shape.colour(random)));
        image.setColorTable(table);
    }
    const auto range = static_cast<unsigned>(shape.indexRange);
    const auto runOneIn = static_cast<unsigned>(shape.runOneIn);
    for (int y = 0; y < height; ++y) {
        uint value = 0;
        for (int x = 0; x < width; ++x) {
            if (x == 0 || random() % runOneIn == 0) {
                const win::COLORREF c = shape.colour(random);
                value = palette ? static_cast<uint>(random() % range) : ToQRgb(c);
            }
            if (palette)
                image.scanLine(y)[x] = static_cast<uchar>(value);  // setPixel refuses indices beyond the table
            else
                image.setPixel(x, y, value);
        }
    }
    // Bytes the surface must ignore: the alpha of 24-bit pixels.
    if (shape.clearFirstAlpha && !palette)
        reinterpret_cast<QRgb*>(image.scanLine(0))[0] &= 0x00FFFFFFu;
    return CBitmapSurface::FromImage(image);
}
