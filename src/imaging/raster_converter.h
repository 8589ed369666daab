#pragma once

#include "imaging/raster_source.h"

#include <QByteArray>

#include <array>
#include <optional>

class CBitmapSurface;

// Largest W x ceil(H / 8) + 4 that an NV bit image record may reach.
inline constexpr int kMonoRecordLimit = 250000;
// Largest ceil(W' / 8) x H + 17 (one colour plane plus the command header)
// that an NV graphics definition may reach.
inline constexpr int kTwoColorRecordLimit = 256000;

// Packs a separated surface (or a surface with the inputs that separate it on
// the fly, see RasterSource) into the bytes a printer stores for one logo, in
// the form of each printer kind. Every operation depends only on its
// arguments; the object holds no state and may be shared freely.
//
// Common rules:
// - width and height are what the caller says is packed. Pixels outside the
//   surface (beyond its right or bottom edge, or all of a null surface) read
//   as white; surface pixels beyond width or height are not packed.
// - Pixel classes look at the three colour bytes R, G, B only.
// - Negative widths or heights are refused (no buffer, empty result).
// - Rows are read whole from the surface; no operation reads pixel by pixel.
class CRasterConverter {
public:
    virtual ~CRasterConverter() = default;

    // Single-colour thermal printers: the per-image part of the define-NV-bit-
    // images command (FS q n), i.e. xL xH yL yH (X8 = ceil(W / 8) and
    // Y8 = ceil(H / 8), little-endian), then column data: for each column x,
    // Y8 bytes, bit 7 of byte k the dot of row 8k; a dot for every pixel that
    // is not exactly (255, 255, 255). Blank columns fill the width up to
    // X8 x 8, so the record is 4 + X8 x 8 x Y8 bytes long.
    // Returns nothing when W x Y8 + 4 > kMonoRecordLimit, or when X8 or Y8
    // does not fit its 16-bit header field.
    std::optional<QByteArray> MakeMonoRecord(const RasterSource& source, int width, int height) const;

    // Two-colour thermal printers: a complete define-NV-graphics command
    // (GS 8 L, raster format, two planes) storing the image under keyCode.
    // The image is cut to W' = min(W, maxWidth) dots on the right (a negative
    // maxWidth counts as 0); each row takes d = ceil(W' / 8) bytes, bit 7 the
    // leftmost dot, and a plane e = d x H bytes. Plane 1 (colour code 31)
    // holds pixels that are exactly (0, 0, 0); plane 2 (code 32) every pixel
    // that is neither that nor white (R, G and B all above 240).
    // Layout: 1D 38 4C, 2e + 12 as 32-bit LE, 30 43 30, kc1 kc2, 02,
    // d x 8 as 16-bit LE, H as 16-bit LE, 31, plane 1, 32, plane 2:
    // 2e + 19 bytes. Returns an empty array when e + 17 > kTwoColorRecordLimit,
    // or when d x 8 or H does not fit its 16-bit header field.
    QByteArray MakeTwoColorRecord(const RasterSource& source, int width, int height,
                                  const std::array<char, 2>& keyCode, int maxWidth) const;

    // Impact printers (DOT MODE): a stream of 8-dot bit-image print lines, two
    // per pass over the paper:
    //   black line: 1B 72 00, 1B 2A mm nL nH, W column bytes, 0D
    //   red line:   1B 72 01, 1B 2A mm nL nH, W column bytes, 1B 4A ff
    // nL nH = W little-endian; a column byte holds the pass's eight rows, bit 7
    // the first. The black line marks ClassifyDotPixel 1, the red line 2; both
    // lines are sent even when empty. Rows at or below H read white. A height
    // of 0 gives an empty stream.
    // Lines grow with the width, so any width is packed; nL nH can describe
    // at most 65,535 columns, and a wider line carries only the low 16 bits of
    // its width. Such a stream (and any stream over 65,535 bytes) cannot be
    // described by the download's length table, which refuses it.
    //
    // Single: mm 00, passes of rows b..b+7 for b = 0, 8, 16, ... < H, feed 10.
    QByteArray MakeDotBandsSingle(const RasterSource& source, int width, int height) const;
    // Double: as single with mm 01 (the caller has halved the height).
    QByteArray MakeDotBandsDouble(const RasterSource& source, int width, int height) const;
    // Quad: mm 01, passes of every second row of a 16-row span (b, b+2, ...,
    // b+14), alternately even and odd: b = 0, 1, 9, 10, 18, 19, ... < H, the
    // next b being +1 after an even pass and +8 after an odd pass; feed 01
    // after an even pass and 07 after an odd pass.
    QByteArray MakeDotBandsQuad(const RasterSource& source, int width, int height) const;

    // 0 white (exactly 255, 255, 255, also any position outside the surface),
    // 1 black (exactly 0, 0, 0), 2 colour (anything else).
    static int ClassifyDotPixel(const CBitmapSurface& surface, int x, int y);
};
