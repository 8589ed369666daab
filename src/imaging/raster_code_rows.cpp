#include "imaging/raster_code_rows.h"

#include "imaging/bitmap_surface.h"

#include <algorithm>

CRasterCodeRows::CRasterCodeRows(const CBitmapSurface& surface, int width, int height, Classifier classify)
    : m_surface(surface), m_classify(classify)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    m_stride = static_cast<int>((static_cast<long long>(width) + 7) / 8 * 8);
    m_rows = surface.IsNull() ? 0 : std::min(height, surface.Height());
    m_copied = surface.IsNull() ? 0 : std::min(width, surface.Width());
    m_paper.assign(static_cast<size_t>(m_stride), 0);
    if (m_rows == 0)
        return;
    m_colours.resize(static_cast<size_t>(std::max(surface.Width(), 1)));
    // Only the first m_copied codes of a ring row are ever written, so the
    // padding beyond them stays 0 from here on.
    m_ring.assign(static_cast<size_t>(m_stride) * std::min(m_rows, kRingRows), 0);
    m_ringRow.fill(-1);
}

const std::uint8_t* CRasterCodeRows::Row(long long y)
{
    if (y < 0 || y >= m_rows)
        return m_paper.data();
    const int slot = static_cast<int>(y % kRingRows);
    std::uint8_t* codes = m_ring.data() + static_cast<size_t>(slot) * static_cast<size_t>(m_stride);
    if (m_ringRow[static_cast<size_t>(slot)] != y) {
        m_surface.ReadRow(static_cast<int>(y), m_colours.data());
        m_classify(m_colours.data(), m_copied, codes);
        m_ringRow[static_cast<size_t>(slot)] = y;
    }
    return codes;
}
