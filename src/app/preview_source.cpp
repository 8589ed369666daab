#include "app/preview_source.h"

#include "kinds/printer_kind.h"
#include "operations/printer_kind_table.h"

#include <QFileInfo>

namespace {

bool SameInputs(const SeparationInputs& a, const SeparationInputs& b)
{
    return a.hueColor == b.hueColor && a.palette == b.palette && a.lColor == b.lColor && a.rValue == b.rValue &&
           a.lValue == b.lValue && a.colorMode == b.colorMode;
}

// Above 240 in all three bytes: the two-colour thermal printer's paper.
bool NearWhite(QRgb pixel)
{
    constexpr int kPaperAbove = 240;
    return qRed(pixel) > kPaperAbove && qGreen(pixel) > kPaperAbove && qBlue(pixel) > kPaperAbove;
}

}  // namespace

void ShowAsPrinted(QImage& image, const CModelType& modelType)
{
    const PrinterKindEntry* kind = KindEntry(modelType);
    const PreviewPaper paper = kind ? kind->previewPaper : PreviewPaper::AsShown;
    if (paper == PreviewPaper::AsShown)
        return;
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = row[x] | 0xFF000000u;
            if (paper == PreviewPaper::OnlyWhite)
                row[x] = pixel == white ? white : black;
            else if (NearWhite(pixel))
                row[x] = white;
        }
    }
}

const QImage& CPreviewSource::Render(const QString& path, const QSize& area, const SeparationInputs& inputs,
                                     const CModelType& modelType)
{
    if (path.isEmpty() || area.isEmpty()) {
        Clear();
        return m_rendered;
    }
    if (!IsLoaded(path, area))
        Load(path, area);
    if (!m_source) {
        m_rendered = QImage();
        m_renderedWith.reset();
        return m_rendered;
    }
    if (m_renderedWith && SameInputs(*m_renderedWith, inputs) && m_renderedFor == modelType)
        return m_rendered;
    CBitmapSurface separated = *m_source;
    SeparateSurface(separated, inputs);
    // Drawn as 32-bit colour: painting a palette image would convert it on
    // every paint.
    m_rendered = separated.Image().convertToFormat(QImage::Format_RGB32);
    ShowAsPrinted(m_rendered, modelType);
    m_renderedWith = inputs;
    m_renderedFor = modelType;
    return m_rendered;
}

void CPreviewSource::Clear()
{
    m_path.clear();
    m_area = QSize();
    m_modified = QDateTime();
    m_fileSize = -1;
    m_source.reset();
    m_renderedWith.reset();
    m_rendered = QImage();
}

bool CPreviewSource::IsLoaded(const QString& path, const QSize& area) const
{
    if (path != m_path || area != m_area)
        return false;
    // A file replaced under the same name is shown as it is now.
    const QFileInfo info(path);
    return info.lastModified() == m_modified && info.size() == m_fileSize;
}

void CPreviewSource::Load(const QString& path, const QSize& area)
{
    Clear();
    const QFileInfo info(path);
    m_path = path;
    m_area = area;
    m_modified = info.lastModified();
    m_fileSize = info.size();
    ++m_loadCount;
    std::optional<CBitmapSurface> bitmap = CBitmapSurface::LoadBmp(path);
    if (!bitmap)
        return;
    // Only the part inside the area is ever shown; separating the rest
    // would be wasted. The copy keeps the pixel format and the palette.
    const QRect visible = QRect(QPoint(0, 0), area).intersected(QRect(0, 0, bitmap->Width(), bitmap->Height()));
    m_source = CBitmapSurface::FromImage(bitmap->Image().copy(visible));
}
