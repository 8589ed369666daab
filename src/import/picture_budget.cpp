#include "import/picture_budget.h"

#include <QtEndian>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Deflate codes at most 258 bytes in two bits: no PNG holds its rows in
// fewer than 1/1032 of their bytes.
constexpr qint64 kDeflateBestRatio = 1032;

// Every 8 x 8 block of every component of a Huffman-coded JPEG has its DC
// value coded at least once, in at least one bit.
constexpr qint64 kJpegLeastBitsPerBlock = 1;

constexpr qint64 kJpegBytesPerBlock = 64 * 2;  // 16-bit coefficients

struct JpegComponent {
    int h = 1;
    int v = 1;
};

struct JpegFrame {
    int marker = 0;
    qint64 width = 0;
    qint64 height = 0;
    std::vector<JpegComponent> components;
    int componentsInFirstScan = 0;

    bool Progressive() const { return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE; }
    bool Arithmetic() const { return marker >= 0xC9; }
};

class CByteReader {
public:
    explicit CByteReader(QIODevice& device) : m_device(device) {}
    std::optional<int> Byte()
    {
        char c = 0;
        if (!m_device.getChar(&c))
            return std::nullopt;
        return static_cast<unsigned char>(c);
    }
    std::optional<int> Word()
    {
        const std::optional<int> high = Byte();
        const std::optional<int> low = Byte();
        if (!high || !low)
            return std::nullopt;
        return *high << 8 | *low;
    }
    qint64 Pos() const { return m_device.pos(); }
    bool SeekTo(qint64 pos) { return pos <= m_device.size() && m_device.seek(pos); }

private:
    QIODevice& m_device;
};

bool IsFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool ReadFrameHeader(CByteReader& in, JpegFrame& frame)
{
    const std::optional<int> precision = in.Byte();
    const std::optional<int> height = in.Word();
    const std::optional<int> width = in.Word();
    const std::optional<int> count = in.Byte();
    if (!precision || !height || !width || !count || *count == 0)
        return false;
    frame.width = *width;
    frame.height = *height;
    for (int i = 0; i < *count; ++i) {
        const std::optional<int> id = in.Byte();
        const std::optional<int> sampling = in.Byte();
        const std::optional<int> table = in.Byte();
        if (!id || !sampling || !table)
            return false;
        frame.components.push_back({std::max(1, *sampling >> 4), std::max(1, *sampling & 15)});
    }
    return true;
}

// The frame header and the first scan's component count, read marker by
// marker; nothing when the file is not a JPEG the headers of which can be
// read to its first scan.
std::optional<JpegFrame> ReadJpegFrame(QIODevice& device)
{
    CByteReader in(device);
    if (in.Word() != 0xFFD8)
        return std::nullopt;
    JpegFrame frame;
    for (int segments = 0; segments < 4096; ++segments) {
        std::optional<int> marker = in.Byte();
        if (marker != 0xFF)
            return std::nullopt;
        while (marker == 0xFF)
            marker = in.Byte();
        if (!marker)
            return std::nullopt;
        if (*marker == 0x01 || (*marker >= 0xD0 && *marker <= 0xD7))
            continue;  // markers without a length
        const std::optional<int> length = in.Word();
        if (*marker == 0xD9 || !length || *length < 2)
            return std::nullopt;
        const qint64 next = in.Pos() + *length - 2;
        if (IsFrameMarker(*marker) && frame.marker == 0) {
            frame.marker = *marker;
            if (!ReadFrameHeader(in, frame))
                return std::nullopt;
        }
        if (*marker == 0xDA) {
            const std::optional<int> count = in.Byte();
            if (frame.marker == 0 || !count)
                return std::nullopt;
            frame.componentsInFirstScan = *count;
            return frame;
        }
        if (!in.SeekTo(next))
            return std::nullopt;
    }
    return std::nullopt;
}

// Blocks of one component, as the decoder lays them out.
qint64 ComponentBlocks(const JpegFrame& frame, const JpegComponent& component, int hMax, int vMax)
{
    const qint64 width = (frame.width * component.h + hMax - 1) / hMax;
    const qint64 height = (frame.height * component.v + vMax - 1) / vMax;
    return ((width + 7) / 8) * ((height + 7) / 8);
}

void AddJpegDemand(QIODevice& device, qint64 decodedPixels, PictureDemand& demand)
{
    const std::optional<JpegFrame> frame = ReadJpegFrame(device);
    if (!frame)
        return;  // the decoder refuses it on its own
    int hMax = 1;
    int vMax = 1;
    for (const JpegComponent& c : frame->components) {
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
    }
    qint64 blocks = 0;
    for (const JpegComponent& c : frame->components)
        blocks += ComponentBlocks(*frame, c, hMax, vMax);
    // A picture coded in more than one scan is gathered whole, as
    // coefficients, before its first row can be decoded, however small the
    // decoded picture is.
    const bool wholeImageBuffer =
        frame->Progressive() || frame->componentsInFirstScan < static_cast<int>(frame->components.size());
    if (wholeImageBuffer)
        demand.bytes += blocks * kJpegBytesPerBlock;
    // Grey pictures decode to 8 bits and are copied to 32 bits; the others
    // decode to 32 bits straight away.
    if (frame->components.size() == 1)
        demand.bytes += decodedPixels * 4;
    // Arithmetic coding can code a block in far less than a bit.
    if (!frame->Arithmetic())
        demand.leastFileBytes = blocks * kJpegLeastBitsPerBlock / 8;
}

void AddPngDemand(QIODevice& device, PictureDemand& demand)
{
    const QByteArray head = device.peek(33);
    if (head.size() < 33 || head.mid(12, 4) != "IHDR")
        return;
    const auto* bytes = reinterpret_cast<const uchar*>(head.constData());
    const qint64 width = qFromBigEndian<quint32>(bytes + 16);
    const qint64 height = qFromBigEndian<quint32>(bytes + 20);
    const int depth = bytes[24];
    int channels = 1;
    switch (bytes[25]) {
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: break;
    }
    // Each row: a filter byte and its samples, before compression.
    const qint64 rowBytes = 1 + (width * channels * depth + 7) / 8;
    demand.leastFileBytes = height * rowBytes / kDeflateBestRatio;
}

qint64 BytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return 4;
    return std::max<qint64>(1, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

}  // namespace

PictureDemand EstimatePictureDemand(QIODevice& device, const QByteArray& format, QSize declared, QSize decoded,
                                    QImage::Format decodedFormat)
{
    PictureDemand demand;
    if (declared.isEmpty())
        return demand;
    if (decoded.isEmpty())
        decoded = declared;
    const qint64 pixels = static_cast<qint64>(decoded.width()) * decoded.height();
    const bool jpeg = format == "jpeg" || format == "jpg";
    demand.bytes = pixels * (jpeg ? 4 : BytesPerPixel(decodedFormat));
    // Any other pixel format is laid over white into a 32-bit copy.
    if (!jpeg && decodedFormat != QImage::Format_RGB32)
        demand.bytes += pixels * 4;
    const qint64 start = device.pos();
    if (device.isSequential() || !device.seek(0))
        return demand;
    if (jpeg)
        AddJpegDemand(device, pixels, demand);
    else if (format == "png")
        AddPngDemand(device, demand);
    device.seek(start);
    return demand;
}

QImage::Format DecodedImageFormat(QImageReader& reader, const QByteArray& format)
{
    if (format == "jpeg" || format == "jpg")
        return QImage::Format_Invalid;
    return reader.imageFormat();
}

QString PictureBudgetProblem(QIODevice& device, const QByteArray& format, QSize declared, QSize decoded,
                             QImage::Format decodedFormat, qint64 budget)
{
    const PictureDemand demand = EstimatePictureDemand(device, format, declared, decoded, decodedFormat);
    constexpr qint64 kMiB = 1024 * 1024;
    if (demand.bytes > budget)
        return QStringLiteral("%1 x %2 pixels would take %3 MB to decode, more than the %4 MB a picture may take")
            .arg(declared.width())
            .arg(declared.height())
            .arg((demand.bytes + kMiB - 1) / kMiB)
            .arg(budget / kMiB);
    if (device.size() < demand.leastFileBytes)
        return QStringLiteral("the file ends long before its %1 x %2 pixels: %3 bytes cannot hold them "
                              "(at least %4 are needed); it is cut short or damaged")
            .arg(declared.width())
            .arg(declared.height())
            .arg(device.size())
            .arg(demand.leastFileBytes);
    return {};
}
