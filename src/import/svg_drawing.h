#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// An SVG drawing made safe to hand to the renderer: everything it draws is
// in the drawing itself.
//
// The renderer follows references on its own: an <image> naming a file
// copies that file's pixels into the logo, a file that is a FIFO holds it for
// ever, and an <?xml-stylesheet?> is opened as well. An imported drawing may
// therefore use only what it holds: pictures embedded as data: URLs (checked
// like picture files: the memory budget, the length of their data) and
// references to its own elements (#id, except on <image>, whose reference
// the renderer always loads). Any other reference, a style sheet
// instruction or a CSS @import refuses the drawing with the reference in the
// reason, before anything is opened. Links (<a href>) are never followed and
// are left alone.
struct SvgDrawing {
    QByteArray xml;        // the document, decompressed
    bool hasText = false;  // text elements: drawing them needs fonts
    qint64 pictureBytes = 0;  // what the embedded pictures take decoded
};

// Most bytes a drawing may have once decompressed: far more than any logo
// drawing, and small next to the memory budget.
inline constexpr qint64 kMaxSvgBytes = 32LL * 1024 * 1024;

// Reads a drawing from the bytes of an .svg or .svgz file; nothing and the
// reason (to follow the file's name) when it cannot or may not be drawn.
std::optional<SvgDrawing> ReadSvgDrawing(const QByteArray& file, QString* reason);

// Whether bytes look like a drawing: gzip data or XML text (after any
// byte-order mark and white space). Used to tell drawings from other files
// without the image plug-ins.
bool LooksLikeSvg(const QByteArray& head);
