#include "imaging/raster_decoder.h"

#include <algorithm>
#include <initializer_list>

namespace {

using Dot = CRasterDecoder::Dot;

int Byte(const QByteArray& bytes, qsizetype at)
{
    return static_cast<unsigned char>(bytes[at]);
}

long long LittleEndian(const QByteArray& bytes, qsizetype at, int count)
{
    long long value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | Byte(bytes, at + i);
    return value;
}

template <class T>
std::optional<T> Fail(std::string* error, std::string reason)
{
    if (error)
        *error = std::move(reason);
    return std::nullopt;
}

// Walks a DOT MODE stream command by command.
class CCursor {
public:
    explicit CCursor(const QByteArray& bytes) : m_bytes(bytes) {}
    bool AtEnd() const { return m_pos >= m_bytes.size(); }
    qsizetype Pos() const { return m_pos; }

    bool Expect(std::initializer_list<int> expected)
    {
        for (int b : expected) {
            if (m_pos >= m_bytes.size() || Byte(m_bytes, m_pos) != b)
                return false;
            ++m_pos;
        }
        return true;
    }
    bool Read(qsizetype count, const char** data)
    {
        if (m_bytes.size() - m_pos < count)
            return false;
        *data = m_bytes.constData() + m_pos;
        m_pos += count;
        return true;
    }
    bool ReadByte(int* value)
    {
        if (AtEnd())
            return false;
        *value = Byte(m_bytes, m_pos++);
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

// One print line: 1B 72 colour, 1B 2A mm nL nH, then n column bytes.
bool ReadLine(CCursor& cursor, int colour, int density, int* width, const char** data)
{
    int low = 0;
    int high = 0;
    if (!cursor.Expect({0x1B, 0x72, colour, 0x1B, 0x2A, density}) || !cursor.ReadByte(&low) || !cursor.ReadByte(&high))
        return false;
    *width = low | (high << 8);
    return cursor.Read(*width, data);
}

}  // namespace

std::optional<CRasterDecoder::Grid> CRasterDecoder::DecodeMonoRecord(const QByteArray& bytes, std::string* error)
{
    if (bytes.size() < 4)
        return Fail<Grid>(error, "record shorter than its header");
    const long long x8 = LittleEndian(bytes, 0, 2);
    const long long y8 = LittleEndian(bytes, 2, 2);
    if (bytes.size() != 4 + x8 * 8 * y8)
        return Fail<Grid>(error, "record length " + std::to_string(bytes.size()) + " does not match header " +
                                     std::to_string(x8) + " x " + std::to_string(y8));
    Grid grid{static_cast<int>(x8 * 8), static_cast<int>(y8 * 8), {}};
    grid.dots.assign(static_cast<size_t>(grid.width) * grid.height, Dot::None);
    for (int x = 0; x < grid.width; ++x)
        for (int y = 0; y < grid.height; ++y)
            if (Byte(bytes, 4 + x * y8 + y / 8) & (0x80 >> (y % 8)))
                grid.dots[static_cast<size_t>(y) * grid.width + x] = Dot::Black;
    return grid;
}

std::optional<CRasterDecoder::Grid> CRasterDecoder::DecodeTwoColorCommand(const QByteArray& bytes,
                                                                          std::array<char, 2>* keyCode,
                                                                          std::string* error)
{
    if (bytes.size() < 17 || Byte(bytes, 0) != 0x1D || Byte(bytes, 1) != 0x38 || Byte(bytes, 2) != 0x4C)
        return Fail<Grid>(error, "not a GS 8 L command");
    const long long following = LittleEndian(bytes, 3, 4);
    if (bytes.size() != 7 + following)
        return Fail<Grid>(error, "parameter count does not match the command length");
    if (Byte(bytes, 7) != 0x30 || Byte(bytes, 8) != 0x43 || Byte(bytes, 9) != 0x30 || Byte(bytes, 12) != 0x02)
        return Fail<Grid>(error, "not a two-plane raster definition");
    if (keyCode)
        *keyCode = {bytes[10], bytes[11]};
    const long long dots = LittleEndian(bytes, 13, 2);
    const long long height = LittleEndian(bytes, 15, 2);
    if (dots % 8 != 0)
        return Fail<Grid>(error, "width not a multiple of 8");
    const long long rowBytes = dots / 8;
    const long long plane = rowBytes * height;
    if (following != 2 * plane + 12 || Byte(bytes, 17) != 0x31 || Byte(bytes, 18 + plane) != 0x32)
        return Fail<Grid>(error, "planes do not match the declared size");
    Grid grid{static_cast<int>(dots), static_cast<int>(height), {}};
    grid.dots.assign(static_cast<size_t>(grid.width) * grid.height, Dot::None);
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            const qsizetype at = y * rowBytes + x / 8;
            const int mask = 0x80 >> (x % 8);
            const bool black = Byte(bytes, 18 + at) & mask;
            const bool ink = Byte(bytes, 19 + plane + at) & mask;
            if (black && ink)
                return Fail<Grid>(error, "dot in both planes");
            grid.dots[static_cast<size_t>(y) * grid.width + x] = black ? Dot::Black : ink ? Dot::Ink : Dot::None;
        }
    }
    return grid;
}

std::optional<CRasterDecoder::DotStream> CRasterDecoder::DecodeDotBands(const QByteArray& bytes, DotLayout layout,
                                                                        std::string* error)
{
    const int density = layout == DotLayout::Single ? 0x00 : 0x01;
    const int rowStep = layout == DotLayout::Quad ? 2 : 1;
    DotStream result;
    std::vector<std::vector<Dot>> rows;
    std::vector<bool> covered;
    int width = -1;
    bool evenPass = true;
    CCursor cursor(bytes);
    while (!cursor.AtEnd()) {
        const std::string where = " at byte " + std::to_string(cursor.Pos());
        int blackWidth = 0;
        int redWidth = 0;
        const char* black = nullptr;
        const char* red = nullptr;
        int feed = 0;
        if (!ReadLine(cursor, 0x00, density, &blackWidth, &black) || !cursor.Expect({0x0D}))
            return Fail<DotStream>(error, "malformed black line" + where);
        if (!ReadLine(cursor, 0x01, density, &redWidth, &red) || !cursor.Expect({0x1B, 0x4A}) ||
            !cursor.ReadByte(&feed))
            return Fail<DotStream>(error, "malformed red line" + where);
        if (redWidth != blackWidth || (width >= 0 && blackWidth != width))
            return Fail<DotStream>(error, "line widths differ" + where);
        width = blackWidth;
        const int expectedFeed = layout != DotLayout::Quad ? 0x10 : evenPass ? 0x01 : 0x07;
        if (feed != expectedFeed)
            return Fail<DotStream>(error, "unexpected feed " + std::to_string(feed) + where);

        for (int r = 0; r < 8; ++r) {
            const size_t y = static_cast<size_t>(result.nextStart + r * rowStep);
            std::vector<Dot> line(static_cast<size_t>(width), Dot::None);
            for (int x = 0; x < width; ++x) {
                const bool isBlack = static_cast<unsigned char>(black[x]) & (0x80 >> r);
                const bool isInk = static_cast<unsigned char>(red[x]) & (0x80 >> r);
                if (isBlack && isInk)
                    return Fail<DotStream>(error, "dot on both lines" + where);
                line[static_cast<size_t>(x)] = isBlack ? Dot::Black : isInk ? Dot::Ink : Dot::None;
            }
            if (rows.size() <= y) {
                rows.resize(y + 1);
                covered.resize(y + 1, false);
            }
            if (covered[y] && rows[y] != line)
                return Fail<DotStream>(error, "passes disagree on row " + std::to_string(y));
            rows[y] = std::move(line);
            covered[y] = true;
        }
        result.starts.push_back(result.nextStart);
        // Single and double bands follow each other; quad passes step one row
        // to the odd rows, then on to the next span.
        result.nextStart += layout != DotLayout::Quad ? 8 : evenPass ? 1 : 8;
        evenPass = !evenPass;
    }
    while (result.printedRows < static_cast<long long>(covered.size()) && covered[result.printedRows])
        ++result.printedRows;
    result.grid.width = std::max(width, 0);
    result.grid.height = static_cast<int>(rows.size());
    for (std::vector<Dot>& line : rows) {
        line.resize(static_cast<size_t>(result.grid.width), Dot::None);  // rows no pass printed
        result.grid.dots.insert(result.grid.dots.end(), line.begin(), line.end());
    }
    return result;
}
