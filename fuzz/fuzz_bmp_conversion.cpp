// A BMP file through everything a download does with it: loading, colour
// separation and packing for the three printer kinds at every DOT MODE
// density. Besides running clean under the sanitizers, every result must
// agree with an independent reading of it:
// - the separated surface holds, pixel for pixel, what the one-pixel
//   separation rule gives (with the nearest palette colour on palette files);
// - each packed image decodes, with the virtual printer's decoders, to the
//   dots that the surface's pixel classes call for, and has the documented
//   length;
// - packing while separating (as a download does), at every vector level
//   the machine runs, gives the bytes of packing the separated surface.
// With MARKOGRAPH_FUZZ_DIGEST naming a file, each input also appends a line
// "input-hash pixel-hash" (or "input-hash refused") to it: determinism.sh
// runs the same inputs under two allocator fill bytes and compares the
// files, so a pixel that depends on what fresh memory held shows up.
//
// The last four bytes of the input also choose the colour controls (a BMP
// reader ignores bytes after the pixel data), so one seed file explores many
// settings.
#include "fuzz_support.h"

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "operations/download_list_builder.h"
#include "kinds/printer_kind.h"
#include "imaging/raster_converter.h"
#include "imaging/row_kernels.h"
#include "sim/nv_image_decode.h"

#include <QFile>

#include <algorithm>
#include <vector>

namespace {

// Whole-image comparisons stay within this many pixels so that a large image
// costs the fuzzer one conversion, not a slow pixel-by-pixel check.
constexpr qint64 kMaxCheckedPixels = 1 << 18;
constexpr qint64 kMaxBmpPixels = 16 * 1024 * 1024;

struct Controls {
    SeparationInputs inputs;
    int maxWidthCut = 0;  // the two-colour receipt width is the image width less this
};

Controls ControlsFrom(const uint8_t* data, size_t size)
{
    Controls controls;
    if (size < 4)
        return controls;
    const uint8_t* tail = data + size - 4;
    controls.inputs.hueColor = HueColor(tail[0] * 2);
    controls.inputs.rValue = tail[1];
    controls.inputs.lValue = tail[2];
    // 4 and above: no colour choice, pixels stay as they are.
    controls.inputs.colorMode = FromStoredNumber(tail[3] % 5);
    controls.maxWidthCut = tail[0] % 16;
    return controls;
}

void CheckSeparation(const CBitmapSurface& original, const CBitmapSurface& separated, const SeparationInputs& inputs)
{
    FUZZ_CHECK(separated.Width() == original.Width() && separated.Height() == original.Height());
    FUZZ_CHECK(separated.IsPaletteBased() == original.IsPaletteBased());
    // SetPixel applies the nearest-colour rule of palette surfaces.
    CBitmapSurface probe = original;
    const qint64 pixels = std::min<qint64>(static_cast<qint64>(original.Width()) * original.Height(), kMaxCheckedPixels);
    for (qint64 i = 0; i < pixels; ++i) {
        const int x = static_cast<int>(i % original.Width());
        const int y = static_cast<int>(i / original.Width());
        probe.SetPixel(x, y, SeparateColor(original.GetPixel(x, y), inputs));
        FUZZ_CHECK(separated.GetPixel(x, y) == probe.GetPixel(x, y));
    }
}

bool IsWhite(win::COLORREF c) { return (c & 0xFFFFFFu) == 0xFFFFFFu; }
bool IsBlack(win::COLORREF c) { return (c & 0xFFFFFFu) == 0; }
bool IsNearWhite(win::COLORREF c) { return win::RedOf(c) > 240 && win::GreenOf(c) > 240 && win::BlueOf(c) > 240; }

bool Checkable(qint64 width, qint64 height)
{
    return width * height <= kMaxCheckedPixels;
}

void CheckMono(const CBitmapSurface& surface)
{
    const CRasterConverter converter;
    const qint64 width = surface.Width();
    const qint64 height = surface.Height();
    const qint64 x8 = (width + 7) / 8;
    const qint64 y8 = (height + 7) / 8;
    const std::optional<QByteArray> record = converter.MakeMonoRecord(surface, surface.Width(), surface.Height());
    const bool fits = width * y8 + 4 <= kMonoRecordLimit && x8 <= 0xFFFF && y8 <= 0xFFFF;
    FUZZ_CHECK(record.has_value() == fits);
    if (!record)
        return;
    FUZZ_CHECK(record->size() == 4 + x8 * 8 * y8);
    if (!Checkable(x8 * 8, y8 * 8))
        return;
    QString why;
    const std::optional<CDotGrid> grid = DecodeMonoRecord(*record, &why);
    FUZZ_CHECK(grid.has_value());
    FUZZ_CHECK(grid->Width() == x8 * 8 && grid->Height() == y8 * 8);
    for (int y = 0; y < grid->Height(); ++y) {
        for (int x = 0; x < grid->Width(); ++x) {
            const bool dot = x < width && y < height && !IsWhite(surface.GetPixel(x, y));
            FUZZ_CHECK((grid->At(x, y) == CDotGrid::Black) == dot);
        }
    }
}

void CheckTwoColor(const CBitmapSurface& surface, int maxWidth)
{
    const CRasterConverter converter;
    const qint64 width = std::clamp(maxWidth, 0, surface.Width());
    const qint64 height = surface.Height();
    const qint64 rowBytes = (width + 7) / 8;
    const qint64 plane = rowBytes * height;
    const QByteArray command = converter.MakeTwoColorRecord(surface, surface.Width(), surface.Height(), {'0', '1'}, maxWidth);
    const bool fits = plane + 17 <= kTwoColorRecordLimit && rowBytes * 8 <= 0xFFFF && height <= 0xFFFF;
    FUZZ_CHECK(!command.isEmpty() == fits);
    if (command.isEmpty())
        return;
    FUZZ_CHECK(command.size() == 2 * plane + 19);
    FUZZ_CHECK(command[10] == '0' && command[11] == '1');
    // An image cut to no width at all has no dots, which the printer refuses.
    if (width == 0 || !Checkable(rowBytes * 8, height))
        return;
    QString why;
    const std::optional<CDotGrid> grid = DecodeTwoColorDefine(command, &why);
    FUZZ_CHECK(grid.has_value());
    FUZZ_CHECK(grid->Width() == rowBytes * 8 && grid->Height() == height);
    for (int y = 0; y < grid->Height(); ++y) {
        for (int x = 0; x < grid->Width(); ++x) {
            CDotGrid::Dot expected = CDotGrid::White;
            if (x < width) {
                const win::COLORREF c = surface.GetPixel(x, y);
                expected = IsBlack(c) ? CDotGrid::Black : IsNearWhite(c) ? CDotGrid::White : CDotGrid::Red;
            }
            FUZZ_CHECK(grid->At(x, y) == expected);
        }
    }
}

// Rows where each pass of a band stream starts, as the packer documents them.
std::vector<qint64> PassStarts(DotDensity density, qint64 height)
{
    std::vector<qint64> starts;
    if (density != DotDensity::Quad) {
        for (qint64 b = 0; b < height; b += 8)
            starts.push_back(b);
        return starts;
    }
    for (qint64 b = 0, k = 0; b < height; b += (k++ % 2 == 0) ? 1 : 8)
        starts.push_back(b);
    return starts;
}

void CheckDot(const CBitmapSurface& separated, DotDensity density)
{
    const QByteArray stream = MakeDotModeStream(separated, density);
    const CBitmapSurface packed = density == DotDensity::Single ? separated.StretchAnd(separated.Width() / 2, separated.Height() / 2)
                                  : density == DotDensity::Double ? separated.StretchAnd(separated.Width(), separated.Height() / 2)
                                                              : separated;
    const qint64 width = density == DotDensity::Single ? separated.Width() / 2 : separated.Width();
    const qint64 height = density == DotDensity::Quad ? separated.Height() : separated.Height() / 2;
    const std::vector<qint64> passes = PassStarts(density, height);
    // Per pass: ESC r 0, ESC * m nL nH, columns, CR; ESC r 1, ESC * m nL nH, columns, ESC J n.
    FUZZ_CHECK(stream.size() == static_cast<qint64>(passes.size()) * (2 * (8 + width) + 4));
    if (passes.empty() || width == 0 || width > 0xFFFF || !Checkable(width, height + 16))
        return;
    QString why;
    const std::optional<CDotGrid> grid = DecodeDotStream(stream, &why);
    FUZZ_CHECK(grid.has_value());
    FUZZ_CHECK(grid->Width() == width && grid->Height() >= height);
    for (int y = 0; y < grid->Height(); ++y) {
        for (int x = 0; x < grid->Width(); ++x) {
            const int kind = y < height ? CRasterConverter::ClassifyDotPixel(packed, x, y) : 0;
            const CDotGrid::Dot expected = kind == 1 ? CDotGrid::Black : kind == 2 ? CDotGrid::Red : CDotGrid::White;
            FUZZ_CHECK(grid->At(x, y) == expected);
        }
    }
}

quint64 Fnv1a(quint64 hash, const void* data, size_t size)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

void CheckFusedPaths(const CBitmapSurface& original, const CBitmapSurface& separated, const Controls& controls)
{
    if (!Checkable(original.Width(), original.Height()))
        return;
    const CRasterConverter converter;
    const int w = original.Width();
    const int h = original.Height();
    const int maxWidth = w - controls.maxWidthCut;
    const RasterSource fused(original, controls.inputs);
    const std::optional<QByteArray> mono = converter.MakeMonoRecord(separated, w, h);
    const QByteArray twoColor = converter.MakeTwoColorRecord(separated, w, h, {'0', '0'}, maxWidth);
    const DotDensity densities[] = {DotDensity::Single, DotDensity::Double, DotDensity::Quad};
    std::vector<QByteArray> dots;
    for (const DotDensity density : densities)
        dots.push_back(MakeDotModeStream(separated, density));
    for (const VectorLevel level : RunnableVectorLevels()) {
        FUZZ_CHECK(PinVectorLevel(level));
        FUZZ_CHECK(converter.MakeMonoRecord(fused, w, h) == mono);
        FUZZ_CHECK(converter.MakeTwoColorRecord(fused, w, h, {'0', '0'}, maxWidth) == twoColor);
        for (size_t i = 0; i < dots.size(); ++i)
            FUZZ_CHECK(MakeDotModeStream(fused, densities[i]) == dots[i]);
    }
    PinVectorLevel(std::nullopt);
}

void AppendDigest(const uint8_t* data, size_t size, const std::optional<CBitmapSurface>& loaded)
{
    static const QByteArray target = qgetenv("MARKOGRAPH_FUZZ_DIGEST");
    if (target.isEmpty())
        return;
    constexpr quint64 kOffset = 14695981039346656037ull;
    QByteArray line = QByteArray::number(Fnv1a(kOffset, data, size), 16) + ' ';
    if (!loaded) {
        line += "refused\n";
    } else {
        quint64 hash = kOffset;
        const int size2[2] = {loaded->Width(), loaded->Height()};
        hash = Fnv1a(hash, size2, sizeof size2);
        std::vector<win::COLORREF> row(static_cast<size_t>(loaded->Width()));
        for (int y = 0; y < loaded->Height(); ++y) {
            loaded->ReadRow(y, row.data());
            hash = Fnv1a(hash, row.data(), row.size() * sizeof(win::COLORREF));
        }
        line += QByteArray::number(hash, 16) + '\n';
    }
    QFile file(QString::fromLocal8Bit(target));
    FUZZ_CHECK(file.open(QIODevice::Append) && file.write(line) == line.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = FuzzFolder() + QStringLiteral("/logo.bmp");
    WriteFuzzFile(path, data, size);
    QString error;
    const std::optional<CBitmapSurface> loaded = CBitmapSurface::LoadBmp(path, &error);
    AppendDigest(data, size, loaded);
    if (!loaded) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(!loaded->IsNull() && loaded->Width() > 0 && loaded->Height() > 0);
    FUZZ_CHECK(static_cast<qint64>(loaded->Width()) * loaded->Height() <= kMaxBmpPixels);

    const Controls controls = ControlsFrom(data, size);
    CBitmapSurface separated = *loaded;
    SeparateSurface(separated, controls.inputs);
    CheckSeparation(*loaded, separated, controls.inputs);
    CheckFusedPaths(*loaded, separated, controls);

    CheckMono(separated);
    CheckTwoColor(separated, separated.Width() - controls.maxWidthCut);
    for (const DotDensity density : {DotDensity::Single, DotDensity::Double, DotDensity::Quad})
        CheckDot(separated, density);
    return 0;
}
