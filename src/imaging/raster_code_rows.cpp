#include "imaging/raster_code_rows.h"

#include <algorithm>

CRasterCodeRows::CRasterCodeRows(CCodeRowSource& source, int width, int height) : m_source(source)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    m_stride = static_cast<int>((static_cast<long long>(width) + 7) / 8 * 8);
    m_rows = source.IsNull() ? 0 : std::min(height, source.Height());
    m_copied = source.IsNull() ? 0 : std::min(width, source.Width());
    m_paper.assign(static_cast<size_t>(m_stride), 0);
    if (m_rows == 0)
        return;
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
        m_source.CodeRow(static_cast<int>(y), m_copied, codes);
        m_ringRow[static_cast<size_t>(slot)] = y;
    }
    return codes;
}
