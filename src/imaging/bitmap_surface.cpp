#include "imaging/bitmap_surface.h"

#include <algorithm>
#include <utility>
#include <vector>

CBitmapSurface CBitmapSurface::FromPixels(CPixelImage pixels)
{
    CBitmapSurface surface;
    // Pixel reads see only the colour; the alpha byte of 32-bit files is
    // ignored rather than blended.
    pixels.ReinterpretAs(CPixelImage::Format::Rgb32);
    surface.m_image = std::move(pixels);
    if (surface.IsPaletteBased())
        surface.RebuildPaletteCache();
    return surface;
}

void CBitmapSurface::RebuildPaletteCache()
{
    QList<std::uint32_t> table = m_image.ColorTable();
    m_paletteSize = static_cast<int>(std::min<qsizetype>(table.size(), 256));
    if (m_paletteSize == 0) {
        // An indexed image without colours: treat every index as black.
        table = {OpaqueRgb(0, 0, 0)};
        m_paletteSize = 1;
    }
    m_palette.fill(win::MakeColorRef(0, 0, 0));
    for (int i = 0; i < m_paletteSize; ++i)
        m_palette[i] = FromQRgb(table[i]);
    // Indices beyond a short palette read as black instead of failing.
    while (table.size() < 256)
        table.append(OpaqueRgb(0, 0, 0));
    m_image.SetColorTable(table);
}

win::COLORREF CBitmapSurface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return win::kInvalidColor;
    if (IsPaletteBased())
        return m_palette[m_image.ConstScanLine(y)[x]];
    return FromQRgb(reinterpret_cast<const std::uint32_t*>(m_image.ConstScanLine(y))[x]);
}

void CBitmapSurface::SetPixel(int x, int y, win::COLORREF colour)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    if (IsPaletteBased())
        m_image.ScanLine(y)[x] = static_cast<uchar>(NearestPaletteIndex(colour));
    else
        reinterpret_cast<std::uint32_t*>(m_image.ScanLine(y))[x] = ToQRgb(colour);
}

void CBitmapSurface::ReadRow(int y, win::COLORREF* out) const
{
    const int width = Width();
    if (IsPaletteBased()) {
        const uchar* line = m_image.ConstScanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = m_palette[line[x]];
        return;
    }
    const auto* line = reinterpret_cast<const std::uint32_t*>(m_image.ConstScanLine(y));
    for (int x = 0; x < width; ++x) {
        const std::uint32_t v = line[x];
        // ARGB in memory order B G R A; COLORREF wants R G B in the low bytes.
        out[x] = ((v >> 16) & 0xFFu) | (v & 0xFF00u) | ((v & 0xFFu) << 16);
    }
}

int CBitmapSurface::NearestPaletteIndex(win::COLORREF colour) const
{
    const int r = win::RedOf(colour);
    const int g = win::GreenOf(colour);
    const int b = win::BlueOf(colour);
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < m_paletteSize; ++i) {
        const int dr = win::RedOf(m_palette[i]) - r;
        const int dg = win::GreenOf(m_palette[i]) - g;
        const int db = win::BlueOf(m_palette[i]) - b;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    return best;
}

namespace {

// ANDs one source row into the destination row: destination column dx takes
// source columns [columnStart[dx], columnStart[dx + 1]), at least one. Exact
// halving and equal widths, the two cases DOT MODE uses, take short paths.
void AndRowInto(const win::COLORREF* source, int width, const std::vector<int>& columnStart, win::COLORREF* combined)
{
    const int newWidth = static_cast<int>(columnStart.size()) - 1;
    if (newWidth == width) {
        for (int dx = 0; dx < newWidth; ++dx)
            combined[dx] &= source[dx];
        return;
    }
    if (newWidth * 2 == width) {
        for (int dx = 0; dx < newWidth; ++dx)
            combined[dx] &= source[2 * dx] & source[2 * dx + 1];
        return;
    }
    for (int dx = 0; dx < newWidth; ++dx) {
        const int x0 = columnStart[dx];
        const int x1 = std::min(width, std::max(x0 + 1, columnStart[dx + 1]));
        win::COLORREF value = combined[dx];
        for (int x = x0; x < x1; ++x)
            value &= source[x];
        combined[dx] = value;
    }
}

}  // namespace

CBitmapSurface CBitmapSurface::StretchAnd(int newWidth, int newHeight) const
{
    CBitmapSurface result;
    if (IsNull() || newWidth <= 0 || newHeight <= 0)
        return result;
    const int width = Width();
    const int height = Height();
    result.m_image = CPixelImage(newWidth, newHeight, m_image.PixelFormat());
    if (result.m_image.IsNull())
        return CBitmapSurface();
    if (IsPaletteBased()) {
        result.m_image.SetColorTable(m_image.ColorTable());
        result.m_paletteSize = m_paletteSize;
        result.m_palette = m_palette;
    }

    // Destination column dx gathers source columns [first(dx), first(dx + 1)),
    // at least one of them, so every source pixel lands somewhere.
    auto firstSource = [](int d, int source, int dest) {
        return static_cast<int>(static_cast<long long>(d) * source / dest);
    };
    std::vector<int> columnStart(newWidth + 1);
    for (int dx = 0; dx <= newWidth; ++dx)
        columnStart[dx] = firstSource(dx, width, newWidth);

    // The AND works alike on COLORREF and on the image's own ARGB order, so
    // colour surfaces are combined in place without converting each pixel.
    std::vector<win::COLORREF> row(width);
    std::vector<win::COLORREF> combined(newWidth);
    int lastIndex = 0;
    win::COLORREF lastColour = win::kInvalidColor;
    for (int dy = 0; dy < newHeight; ++dy) {
        const int y0 = firstSource(dy, height, newHeight);
        const int y1 = std::min(height, std::max(y0 + 1, firstSource(dy + 1, height, newHeight)));
        std::fill(combined.begin(), combined.end(), 0xFFFFFFFFu);
        for (int y = y0; y < y1; ++y) {
            const win::COLORREF* source = nullptr;
            if (IsPaletteBased()) {
                ReadRow(y, row.data());
                source = row.data();
            } else {
                source = reinterpret_cast<const std::uint32_t*>(m_image.ConstScanLine(y));
            }
            AndRowInto(source, width, columnStart, combined.data());
        }
        if (!IsPaletteBased()) {
            std::copy(combined.begin(), combined.end(), reinterpret_cast<std::uint32_t*>(result.m_image.ScanLine(dy)));
            continue;
        }
        uchar* line = result.m_image.ScanLine(dy);
        for (int dx = 0; dx < newWidth; ++dx) {
            const win::COLORREF colour = combined[dx] & 0x00FFFFFFu;
            if (colour != lastColour) {
                lastColour = colour;
                lastIndex = NearestPaletteIndex(colour);
            }
            line[dx] = static_cast<uchar>(lastIndex);
        }
    }
    return result;
}
