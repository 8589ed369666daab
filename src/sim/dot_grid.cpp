#include "sim/dot_grid.h"

#include <algorithm>

CDotGrid::CDotGrid(int width, int height, int unitWidth, int unitHeight)
    : m_width(std::max(width, 0)),
      m_height(std::max(height, 0)),
      m_unitWidth(std::max(unitWidth, 1)),
      m_unitHeight(std::max(unitHeight, 1)),
      m_dots(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), White)
{
}

CDotGrid::Dot CDotGrid::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return White;
    return static_cast<Dot>(m_dots[static_cast<size_t>(y) * m_width + x]);
}

void CDotGrid::Set(int x, int y, Dot dot)
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_dots[static_cast<size_t>(y) * m_width + x] = dot;
}

CDotGrid CDotGrid::LeftPart(int columns) const
{
    if (columns >= m_width)
        return *this;
    CDotGrid part(columns, m_height, m_unitWidth, m_unitHeight);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < part.m_width; ++x)
            part.Set(x, y, At(x, y));
    }
    return part;
}

qsizetype CDotGrid::Count(Dot dot) const
{
    return std::count(m_dots.begin(), m_dots.end(), static_cast<std::uint8_t>(dot));
}

QImage CDotGrid::ToImage(int scaleX, int scaleY) const
{
    scaleX = std::max(scaleX, 1);
    scaleY = std::max(scaleY, 1);
    if (m_width == 0 || m_height == 0) {
        QImage blank(1, 1, QImage::Format_Indexed8);
        blank.setColorTable({qRgb(255, 255, 255)});
        blank.fill(0);
        return blank;
    }
    // Three palette entries in the order of Dot, so a dot value is its pixel.
    QImage image(m_width * scaleX, m_height * scaleY, QImage::Format_Indexed8);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(255, 0, 0)});
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* row = m_dots.data() + static_cast<size_t>(y) * m_width;
        uchar* line = image.scanLine(y * scaleY);
        for (int x = 0; x < m_width; ++x)
            std::fill_n(line + static_cast<size_t>(x) * scaleX, scaleX, row[x]);
        for (int copy = 1; copy < scaleY; ++copy)
            std::copy_n(line, image.width(), image.scanLine(y * scaleY + copy));
    }
    return image;
}
