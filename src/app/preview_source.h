#pragma once

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "kinds/printer_kind.h"

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

// Turns separated colours into what the printer kind puts on paper.
void ShowAsPrinted(QImage& image, const CModelType& modelType);

// What the main window's preview shows: the top-left part of a logo, as large
// as the preview area, unscaled, with every pixel replaced by the colour it is
// printed in. The bitmap keeps its file's pixel format while it is separated,
// so a palette-based file shows the nearest colour of its own palette. The
// printer kind then decides what reaches paper, as its raster conversion
// does: a single-colour printer prints every pixel that is not white in
// black; a two-colour thermal printer leaves near-white unprinted.
//
// The file is loaded once and read again only when the path, the file's size
// or modification time, or the area changes, and the separated image is kept
// until the inputs change: a slider release separates only the visible part
// of a bitmap already in memory, and repainting costs nothing. Not
// thread-safe; belongs to the window's thread.
class CPreviewSource {
public:
    // The separated image, at most area in size (smaller when the bitmap is);
    // a null image when path is empty or the file does not load (nothing is
    // drawn from a file that is gone), or when area is empty.
    const QImage& Render(const QString& path, const QSize& area, const SeparationInputs& inputs,
                         const CModelType& modelType);

    // Forgets the bitmap and the image.
    void Clear();

    // How often a file was read; lets callers check that the cache works.
    int LoadCount() const { return m_loadCount; }

private:
    bool IsLoaded(const QString& path, const QSize& area) const;
    void Load(const QString& path, const QSize& area);

    QString m_path;
    QSize m_area;
    QDateTime m_modified;
    qint64 m_fileSize = -1;
    std::optional<CBitmapSurface> m_source;  // the visible part, unseparated
    std::optional<SeparationInputs> m_renderedWith;
    CModelType m_renderedFor;  // the printer kind
    QImage m_rendered;
    int m_loadCount = 0;
};
