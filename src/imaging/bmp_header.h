#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// The parts of a BMP file's headers that decide how its pixels are read,
// and the checks made before any pixel is decoded.
struct BmpHeader {
    static constexpr qint64 kRgb = 0;
    static constexpr qint64 kRle8 = 1;
    static constexpr qint64 kRle4 = 2;
    static constexpr qint64 kBitFields = 3;

    qint64 infoSize = 0;
    bool core = false;  // the short 12-byte header of old files
    qint64 width = 0;
    qint64 height = 0;  // negative for top-down files
    qint64 planes = 1;
    qint64 bits = 0;
    qint64 compression = 0;
    qint64 coloursUsed = 0;
    qint64 dataOffset = 0;
    qint64 xPelsPerMeter = 0;  // resolution, kept on the image as the loader keeps it
    qint64 yPelsPerMeter = 0;

    qint64 Rows() const { return height < 0 ? -height : height; }
    bool TopDown() const { return height < 0; }
    bool IsRle() const { return compression == kRle8 || compression == kRle4; }
    // Entries of the colour table (0 for files without one).
    qint64 PaletteEntries() const;
    // Where the colour table starts and where the pixel data starts.
    qint64 PaletteStart() const;
    qint64 DataStart() const;
    // Uncompressed 24-bit pixels under a header whose fields are 32 bits
    // wide: the kind of file decoded here (bmp_rgb24_decoder.h) instead of by
    // the image loader.
    bool IsPlainRgb24() const;
};

// Far beyond any logo a printer's NV memory holds, and well inside what the
// image loader allocates.
constexpr qint64 kMaxBmpPixels = 16 * 1024 * 1024;

// Reads the headers from the first 54 bytes of a file (fewer for short files).
std::optional<BmpHeader> ReadBmpHeader(const QByteArray& head, QString* reason);

// Refuses what no pixel decoder should see: absurd sizes, a depth and
// compression that belong to no BMP variant, and uncompressed pixel data
// shorter than the header promises.
bool CheckBmpLayout(const BmpHeader& header, qint64 fileSize, QString* reason);

// The colour table of a file with at most 8 bits per pixel, as opaque
// colours; nothing and a reason when the file ends inside it.
std::optional<QList<std::uint32_t>> ReadBmpPalette(const BmpHeader& header, const QByteArray& file, QString* reason);
