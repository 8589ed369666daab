#include "import/svg_drawing.h"

#include "imaging/bmp_header.h"
#include "import/picture_budget.h"

#include <QBuffer>
#include <QImageReader>
#include <QXmlStreamReader>

#include <zlib.h>

namespace {

// A drawing embedded in a drawing is read by the same rules; deeper nesting
// than this has no use in a logo.
constexpr int kMaxNesting = 3;

bool IsGzip(const QByteArray& bytes)
{
    return bytes.size() >= 2 && uchar(bytes[0]) == 0x1F && uchar(bytes[1]) == 0x8B;
}

// The whole gzip stream, but never more than kMaxSvgBytes of it: a few
// kilobytes of compressed zeros would otherwise fill the memory.
std::optional<QByteArray> Gunzip(const QByteArray& compressed, QString* reason)
{
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        *reason = QStringLiteral("the compressed drawing cannot be read");
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    QByteArray out;
    int status = Z_OK;
    while (status == Z_OK) {
        if (out.size() >= kMaxSvgBytes) {
            inflateEnd(&stream);
            *reason = QStringLiteral("the drawing is larger than %1 MB uncompressed").arg(kMaxSvgBytes >> 20);
            return std::nullopt;
        }
        const qsizetype done = out.size();
        out.resize(std::min<qsizetype>(done + 256 * 1024, kMaxSvgBytes));
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = static_cast<uInt>(out.size() - done);
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(out.size() - stream.avail_out);
        if (status == Z_BUF_ERROR && stream.avail_out != 0)
            break;  // the input ended first
        if (status == Z_BUF_ERROR)
            status = Z_OK;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        *reason = QStringLiteral("the compressed drawing is cut short or damaged");
        return std::nullopt;
    }
    return out;
}

bool IsTextElement(QStringView name)
{
    return name == u"text" || name == u"tspan" || name == u"textArea" || name == u"textPath" || name == u"tref";
}

class CSvgChecker {
public:
    CSvgChecker(SvgDrawing& drawing, int depth) : m_drawing(drawing), m_depth(depth) {}

    // Walks the whole document; false and the reason on the first thing
    // that reaches outside it.
    bool Check(QString* reason)
    {
        QXmlStreamReader xml(m_drawing.xml);
        QStringList open;
        QString style;  // the text of the style element being read, whole
        while (!xml.atEnd()) {
            switch (xml.readNext()) {
            case QXmlStreamReader::ProcessingInstruction:
                if (xml.processingInstructionTarget() == u"xml-stylesheet")
                    return Refuse(QStringLiteral("the drawing names a style sheet (%1)")
                                      .arg(xml.processingInstructionData().trimmed()), reason);
                break;
            case QXmlStreamReader::StartElement:
                open << xml.name().toString();
                if (IsTextElement(xml.name()))
                    m_drawing.hasText = true;
                if (!CheckReferences(xml, reason))
                    return false;
                break;
            case QXmlStreamReader::EndElement:
                if (open.takeLast() == QLatin1String("style") && style.contains(u"@import", Qt::CaseInsensitive))
                    return Refuse(QStringLiteral("the drawing's style imports another file"), reason);
                style.clear();
                break;
            case QXmlStreamReader::Characters:
                if (!open.isEmpty() && open.last() == QLatin1String("style"))
                    style += xml.text();
                break;
            default:
                break;
            }
        }
        if (xml.hasError()) {
            *reason = QStringLiteral("not a drawing that can be read (line %1: %2)")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString());
            return false;
        }
        return true;
    }

private:
    static bool Refuse(const QString& what, QString* reason)
    {
        *reason = what + QStringLiteral("; only what the drawing holds is used (embed pictures as data: URLs)");
        return false;
    }

    bool CheckReferences(const QXmlStreamReader& xml, QString* reason)
    {
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (attribute.name() != u"href")
                continue;
            // Exactly as the renderer tells them apart: it reads any other
            // spelling ("DATA:", " data:", and "#id" on a picture) as a file
            // name.
            const QString target = attribute.value().toString();
            if (target.startsWith(QLatin1String("data:"))) {
                if (!CheckEmbeddedPicture(target, reason))
                    return false;
                continue;
            }
            const bool loadsResource = xml.name() == u"image" || xml.name() == u"animation";
            if (target.startsWith('#') && !loadsResource)
                continue;
            // A link is never followed; everything else would be opened.
            if (xml.name() != u"a")
                return Refuse(QStringLiteral("the drawing refers to \"%1\" outside it").arg(target.left(200)), reason);
        }
        return true;
    }

    // The renderer decodes the base64 data after the last "base64," and
    // reads it with the image plug-ins: check exactly those bytes.
    bool CheckEmbeddedPicture(const QString& url, QString* reason)
    {
        const qsizetype at = url.lastIndexOf(QLatin1String("base64,"));
        if (at < 0)
            return true;  // the renderer reads only base64 data
        QByteArray bytes = QByteArray::fromBase64(url.mid(at + 7).toLatin1());
        if (LooksLikeSvg(bytes.left(512)))
            return CheckEmbeddedDrawing(bytes, reason);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format();
        const QSize size = reader.size();
        if (format.isEmpty() || !size.isValid())
            return true;  // the renderer draws nothing for it
        if (format == "bmp" || format == "dib") {
            QString ignored;
            const std::optional<BmpHeader> header = ReadBmpHeader(bytes.left(54), &ignored);
            // The platform's reader leaves pixels a compressed bitmap skips
            // as whatever memory held.
            if (!header || header->IsRle())
                return Refuse(QStringLiteral("an embedded compressed bitmap cannot be read the same way twice"), reason);
        }
        buffer.seek(0);
        const QImage::Format decoded = DecodedImageFormat(reader, format);
        const QString problem =
            PictureBudgetProblem(buffer, format, size, size, decoded, kPictureMemoryBudget - m_drawing.pictureBytes);
        if (!problem.isEmpty()) {
            *reason = QStringLiteral("an embedded picture: %1").arg(problem);
            return false;
        }
        m_drawing.pictureBytes += EstimatePictureDemand(buffer, format, size, size, decoded).bytes;
        return true;
    }

    bool CheckEmbeddedDrawing(const QByteArray& bytes, QString* reason);

    SvgDrawing& m_drawing;
    int m_depth;
};

std::optional<SvgDrawing> ReadDrawing(const QByteArray& file, int depth, QString* reason)
{
    SvgDrawing drawing;
    if (IsGzip(file)) {
        std::optional<QByteArray> xml = Gunzip(file, reason);
        if (!xml)
            return std::nullopt;
        drawing.xml = std::move(*xml);
    } else {
        if (file.size() > kMaxSvgBytes) {
            *reason = QStringLiteral("the drawing is larger than %1 MB").arg(kMaxSvgBytes >> 20);
            return std::nullopt;
        }
        drawing.xml = file;
    }
    if (!CSvgChecker(drawing, depth).Check(reason))
        return std::nullopt;
    return drawing;
}

bool CSvgChecker::CheckEmbeddedDrawing(const QByteArray& bytes, QString* reason)
{
    if (m_depth >= kMaxNesting)
        return Refuse(QStringLiteral("drawings are nested more than %1 deep").arg(kMaxNesting), reason);
    QString inner;
    const std::optional<SvgDrawing> drawing = ReadDrawing(bytes, m_depth + 1, &inner);
    if (!drawing) {
        *reason = QStringLiteral("an embedded drawing: %1").arg(inner);
        return false;
    }
    m_drawing.hasText = m_drawing.hasText || drawing->hasText;
    m_drawing.pictureBytes += drawing->pictureBytes;
    return true;
}

}  // namespace

std::optional<SvgDrawing> ReadSvgDrawing(const QByteArray& file, QString* reason)
{
    return ReadDrawing(file, 0, reason);
}

bool LooksLikeSvg(const QByteArray& head)
{
    if (IsGzip(head))
        return true;
    QByteArray text = head;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    return text.trimmed().startsWith('<');
}
