#include "support/bmp_writer.h"

#include <QFile>

#include <utility>

namespace {

void PutLe(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray MakeBmp(const BmpSpec& spec)
{
    const int bpp = spec.bitsPerPixel;
    const int rowBytes = ((spec.width * bpp + 31) / 32) * 4;
    QByteArray out;
    for (int row = 0; row < spec.height; ++row) {
        const int y = spec.topDown ? row : spec.height - 1 - row;
        QByteArray line(rowBytes, '\0');
        for (int x = 0; x < spec.width; ++x) {
            const std::uint32_t v = spec.pixel(x, y);
            switch (bpp) {
            case 1:
                if (v & 1)
                    line[x / 8] = static_cast<char>(line[x / 8] | (0x80 >> (x % 8)));
                break;
            case 4:
                line[x / 2] = static_cast<char>(line[x / 2] | ((v & 0x0F) << (x % 2 == 0 ? 4 : 0)));
                break;
            case 8:
                line[x] = static_cast<char>(v);
                break;
            case 16: {
                const std::uint32_t word = ((win::RedOf(v) >> 3) << 10) | ((win::GreenOf(v) >> 3) << 5) | (win::BlueOf(v) >> 3);
                line[2 * x] = static_cast<char>(word & 0xFF);
                line[2 * x + 1] = static_cast<char>(word >> 8);
                break;
            }
            default: {
                const int step = bpp / 8;
                line[step * x] = static_cast<char>(win::BlueOf(v));
                line[step * x + 1] = static_cast<char>(win::GreenOf(v));
                line[step * x + 2] = static_cast<char>(win::RedOf(v));
                break;
            }
            }
        }
        out.append(line);
    }
    EncodedBmpSpec encoded;
    encoded.width = spec.width;
    encoded.height = spec.height;
    encoded.bitsPerPixel = bpp;
    encoded.compression = 0;  // BI_RGB
    encoded.topDown = spec.topDown;
    if (bpp <= 8)
        encoded.palette = spec.palette;
    encoded.data = out;
    return MakeEncodedBmp(encoded);
}

QByteArray MakeEncodedBmp(const EncodedBmpSpec& spec)
{
    const int paletteEntries = static_cast<int>(spec.palette.size());
    const int masksBytes = static_cast<int>(spec.masks.size()) * 4;
    const int dataOffset = 14 + 40 + masksBytes + paletteEntries * 4;
    QByteArray out;
    out.append("BM");
    PutLe(out, static_cast<std::uint32_t>(dataOffset + spec.data.size()), 4);
    PutLe(out, 0, 4);
    PutLe(out, static_cast<std::uint32_t>(dataOffset), 4);
    PutLe(out, 40, 4);
    PutLe(out, static_cast<std::uint32_t>(spec.width), 4);
    PutLe(out, static_cast<std::uint32_t>(spec.topDown ? -spec.height : spec.height), 4);
    PutLe(out, 1, 2);
    PutLe(out, static_cast<std::uint32_t>(spec.bitsPerPixel), 2);
    PutLe(out, static_cast<std::uint32_t>(spec.compression), 4);
    PutLe(out, static_cast<std::uint32_t>(spec.data.size()), 4);
    PutLe(out, 2835, 4);
    PutLe(out, 2835, 4);
    PutLe(out, static_cast<std::uint32_t>(paletteEntries), 4);
    PutLe(out, 0, 4);
    for (std::uint32_t mask : spec.masks)
        PutLe(out, mask, 4);
    for (win::COLORREF c : spec.palette) {
        out.append(static_cast<char>(win::BlueOf(c)));
        out.append(static_cast<char>(win::GreenOf(c)));
        out.append(static_cast<char>(win::RedOf(c)));
        out.append('\0');
    }
    out.append(spec.data);
    return out;
}

bool WriteBmp(const QString& path, const BmpSpec& spec)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = MakeBmp(spec);
    return file.write(bytes) == bytes.size();
}

bool WriteBmp24(const QString& path, int width, int height, const std::vector<win::COLORREF>& pixels)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.pixel = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; };
    return WriteBmp(path, spec);
}

BmpSpec PaletteBmp(int width, int height, int bitsPerPixel, std::vector<win::COLORREF> palette,
                   std::function<std::uint32_t(int x, int y)> pixel)
{
    BmpSpec spec;
    spec.width = width;
    spec.height = height;
    spec.bitsPerPixel = bitsPerPixel;
    spec.palette = std::move(palette);
    spec.pixel = std::move(pixel);
    return spec;
}

QByteArray EarlyEndingRle8Bmp()
{
    EncodedBmpSpec spec;
    spec.width = 64;
    spec.height = 48;
    spec.bitsPerPixel = 8;
    spec.compression = 1;
    spec.palette = {win::MakeColorRef(255, 255, 255), win::MakeColorRef(0, 0, 0), win::MakeColorRef(255, 0, 0)};
    spec.data = QByteArray::fromHex("2001 2002 0000 0002 0803 1001 0001");
    return MakeEncodedBmp(spec);
}
