#include "imaging/pixel_image.h"

#include <limits>
#include <new>

CPixelImage::CPixelImage(int width, int height, Format format)
{
    if (width <= 0 || height <= 0 || format == Format::Invalid)
        return;
    const qsizetype pixelBytes = format == Format::Indexed8 ? 1 : 4;
    const qsizetype bytesPerLine = (width * pixelBytes + 3) / 4 * 4;
    if (bytesPerLine > std::numeric_limits<qsizetype>::max() / height)
        return;
    // A picture too large for memory is a null image, as with the platform's
    // image class, never an exception through the caller.
    try {
        m_data = QByteArray(bytesPerLine * height, Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return;
    }
    if (m_data.size() != bytesPerLine * height)
        return;
    m_width = width;
    m_height = height;
    m_format = format;
    m_bytesPerLine = bytesPerLine;
}

void CPixelImage::ReinterpretAs(Format format)
{
    const bool wide = m_format == Format::Rgb32 || m_format == Format::Argb32;
    if (wide && (format == Format::Rgb32 || format == Format::Argb32))
        m_format = format;
}
