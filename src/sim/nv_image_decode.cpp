#include "sim/nv_image_decode.h"

#include "kinds/command_bytes.h"

#include <algorithm>
#include <vector>

namespace {

int Byte(QByteArrayView bytes, qsizetype at)
{
    return static_cast<unsigned char>(bytes[at]);
}

int Word(QByteArrayView bytes, qsizetype at)
{
    return Byte(bytes, at) | (Byte(bytes, at + 1) << 8);
}

std::optional<CDotGrid> Refuse(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return std::nullopt;
}

bool TooManyDots(qint64 width, qint64 height)
{
    return width * height > kMaxImageDots;
}

}  // namespace

qint64 MonoRecordSize(int xBytes, int yBytes)
{
    return 4 + static_cast<qint64>(xBytes) * 8 * yBytes;
}

std::optional<CDotGrid> DecodeMonoRecord(QByteArrayView record, QString* why)
{
    if (record.size() < 4)
        return Refuse(why, QStringLiteral("record shorter than its header"));
    const int xBytes = Word(record, 0);
    const int yBytes = Word(record, 2);
    if (xBytes == 0 || yBytes == 0)
        return Refuse(why, QStringLiteral("image without dots (%1 x %2 bytes)").arg(xBytes).arg(yBytes));
    if (MonoRecordSize(xBytes, yBytes) != record.size())
        return Refuse(why, QStringLiteral("record length %1 does not match its header").arg(record.size()));
    const int width = xBytes * 8;
    const int height = yBytes * 8;
    if (TooManyDots(width, height))
        return Refuse(why, QStringLiteral("image of %1 x %2 dots is too large").arg(width).arg(height));
    CDotGrid grid(width, height);
    const char* column = record.data() + 4;
    for (int x = 0; x < width; ++x, column += yBytes) {
        for (int k = 0; k < yBytes; ++k) {
            const auto bits = static_cast<unsigned char>(column[k]);
            for (int bit = 0; bit < 8 && bits; ++bit) {
                if (bits & (0x80 >> bit))
                    grid.Set(x, k * 8 + bit, CDotGrid::Black);
            }
        }
    }
    return grid;
}

std::optional<CDotGrid> DecodeTwoColorDefine(QByteArrayView command, QString* why)
{
    constexpr qsizetype kHeader = 17;
    if (command.size() < kHeader || Byte(command, 0) != cmd::kGs || Byte(command, 1) != cmd::kTwoColorDefine
        || Byte(command, 2) != cmd::kTwoColorL)
        return Refuse(why, QStringLiteral("not a define command"));
    const qint64 declared = static_cast<qint64>(Word(command, 3)) | (static_cast<qint64>(Word(command, 5)) << 16);
    if (Byte(command, 7) != cmd::kTwoColorM || Byte(command, 8) != cmd::kFnDefineRaster
        || Byte(command, 9) != cmd::kRasterFormat)
        return Refuse(why, QStringLiteral("not a raster define command"));
    const int planes = Byte(command, 12);
    const int width = Word(command, 13);
    const int height = Word(command, 15);
    if (planes < 1 || planes > 2)
        return Refuse(why, QStringLiteral("%1 colour planes (a two-colour printer takes 1 or 2)").arg(planes));
    if (width == 0 || height == 0)
        return Refuse(why, QStringLiteral("image without dots (%1 x %2)").arg(width).arg(height));
    const qint64 rowBytes = (width + 7) / 8;
    const qint64 planeBytes = rowBytes * height;
    if (declared != 10 + planes * (1 + planeBytes) || command.size() != 7 + declared)
        return Refuse(why, QStringLiteral("length %1 does not match %2 planes of %3 x %4 dots")
                               .arg(declared).arg(planes).arg(width).arg(height));
    if (TooManyDots(width, height))
        return Refuse(why, QStringLiteral("image of %1 x %2 dots is too large").arg(width).arg(height));
    // Colour codes first, so that a bad second plane refuses before any work.
    for (int p = 0; p < planes; ++p) {
        const int code = Byte(command, kHeader + p * (1 + planeBytes));
        if (code != cmd::kPlaneBlack && code != cmd::kPlaneRed)
            return Refuse(why, QStringLiteral("colour code %1 (a two-colour printer takes 31 and 32)")
                                   .arg(code, 2, 16, QLatin1Char('0')));
    }
    CDotGrid grid(width, height);
    for (int p = 0; p < planes; ++p) {
        const qsizetype start = kHeader + p * (1 + planeBytes);
        const auto dot = Byte(command, start) == cmd::kPlaneBlack ? CDotGrid::Black : CDotGrid::Red;
        const char* plane = command.data() + start + 1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if ((plane[y * rowBytes + x / 8] & (0x80 >> (x % 8))) && grid.At(x, y) != CDotGrid::Black)
                    grid.Set(x, y, dot);
            }
        }
    }
    return grid;
}

namespace {

// One print line of a band stream, found by ScanDotStream.
struct DotLine {
    int pass = 0;
    bool red = false;
    qsizetype offset = 0;  // first column byte in the stream
    int columns = 0;       // column bytes present (a line cut short by the end holds fewer)
};

struct DotScan {
    std::vector<DotLine> lines;
    int passes = 0;
    int firstFeed = -1;       // feed that ended the first pass; -1 none
    int firstDensity = -1;    // m of the first line
};

// Reads the stream's structure without touching its dots, so that the size
// of the image is known (and checked) before anything is allocated.
DotScan ScanDotStream(QByteArrayView s)
{
    DotScan scan;
    bool red = false;
    bool passOpen = false;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        if (Byte(s, i) != cmd::kEsc || i + 1 >= n) {
            ++i;  // carriage returns, and whatever else, print nothing
            continue;
        }
        const int command = Byte(s, i + 1);
        if (command == cmd::kDotColour && i + 2 < n) {
            red = (Byte(s, i + 2) & 1) != 0;
            i += 3;
        } else if (command == cmd::kDotBitImage && i + 4 < n) {
            if (scan.firstDensity < 0)
                scan.firstDensity = Byte(s, i + 2);
            const int declared = Word(s, i + 3);
            const qsizetype start = i + 5;
            const int present = static_cast<int>(std::min<qsizetype>(declared, n - start));
            scan.lines.push_back({scan.passes, red, start, present});
            passOpen = true;
            i = start + present;
        } else if (command == cmd::kDotFeed && i + 2 < n) {
            if (scan.firstFeed < 0)
                scan.firstFeed = Byte(s, i + 2);
            ++scan.passes;
            passOpen = false;
            i += 3;
        } else {
            ++i;
        }
    }
    if (passOpen)
        ++scan.passes;  // lines after the last feed still print
    return scan;
}

int PassStartRow(bool interleaved, int pass)
{
    return interleaved ? 9 * (pass / 2) + pass % 2 : 8 * pass;
}

}  // namespace

std::optional<CDotGrid> DecodeDotStream(QByteArrayView stream, QString* why)
{
    const DotScan scan = ScanDotStream(stream);
    if (scan.passes == 0)
        return CDotGrid();
    // Single and double density feed a whole band (16 units) after each pass;
    // quad density feeds 1 and 7 units and interleaves its passes.
    const bool interleaved = scan.firstFeed >= 0 && scan.firstFeed != 16;
    const int rowStep = interleaved ? 2 : 1;
    int width = 0;
    for (const DotLine& line : scan.lines)
        width = std::max(width, line.columns);
    const qint64 height = static_cast<qint64>(PassStartRow(interleaved, scan.passes - 1)) + 7 * rowStep + 1;
    if (TooManyDots(width, height))
        return Refuse(why, QStringLiteral("band stream of %1 x %2 dots is too large").arg(width).arg(height));
    const int unitWidth = scan.firstDensity == 0 ? 2 : 1;
    const int unitHeight = interleaved ? 1 : 2;
    CDotGrid grid(width, static_cast<int>(height), unitWidth, unitHeight);
    for (const DotLine& line : scan.lines) {
        const int top = PassStartRow(interleaved, line.pass);
        const auto dot = line.red ? CDotGrid::Red : CDotGrid::Black;
        for (int x = 0; x < line.columns; ++x) {
            const auto bits = static_cast<unsigned char>(stream[line.offset + x]);
            for (int bit = 0; bit < 8 && bits; ++bit) {
                const int y = top + bit * rowStep;
                if ((bits & (0x80 >> bit)) && grid.At(x, y) != CDotGrid::Black)
                    grid.Set(x, y, dot);
            }
        }
    }
    return grid;
}
