#include "imaging/raster_converter.h"

#include "imaging/bitmap_surface.h"
#include "imaging/pixel_code_rows.h"
#include "imaging/raster_code_rows.h"
#include "kinds/command_bytes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr win::COLORREF kColourBytes = 0x00FFFFFFu;
constexpr win::COLORREF kWhite = 0x00FFFFFFu;
constexpr long long kMaxHeaderField = 0xFFFF;  // xL xH, yL yH, nL nH

// Class codes of the code rows: 0 paper, bit 0 black, bit 1 any other ink.
// The packing works on eight codes at a time, one per byte lane of a word.
constexpr std::uint64_t kLaneBit0 = 0x0101010101010101ull;

using Lanes = std::uint64_t;  // eight codes or eight packed bytes, lane i at byte i

// One vertical pass of the print head: eight rows, `rowStep` apart, then the
// paper feed that follows its red line.
struct DotPass {
    long long start = 0;
    int rowStep = 1;
    char feed = 0;
};

Lanes LoadLanes(const std::uint8_t* p)
{
    Lanes v = 0;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        Lanes swapped = 0;
        for (int i = 0; i < 8; ++i)
            swapped |= ((v >> (8 * (7 - i))) & 0xFFu) << (8 * i);
        v = swapped;
    }
    return v;
}

void StoreLanes(char* p, Lanes v, int count)
{
    for (int i = 0; i < count; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFFu);
}

void StoreAllLanes(char* p, Lanes v)
{
    if constexpr (std::endian::native == std::endian::little)
        std::memcpy(p, &v, sizeof v);
    else
        StoreLanes(p, v, 8);
}

// Column bytes of eight columns at once: lane i of the result holds column i,
// bit 7 from the first of the eight rows. `select` turns a row's codes into a
// 0/1 per lane.
template <class Select>
Lanes TransposeBand(const std::array<const std::uint8_t*, 8>& rows, int x, Select select)
{
    Lanes bits = 0;
    for (int r = 0; r < 8; ++r)
        bits |= select(LoadLanes(rows[static_cast<size_t>(r)] + x)) << (7 - r);
    return bits;
}

// Eight codes of one row become one byte, lane 0 (the leftmost) in bit 7:
// the multiplication gathers bit 0 of every lane into the top byte.
unsigned GatherRow(Lanes bits)
{
    return static_cast<unsigned>((bits * 0x8040201008040201ull) >> 56);
}

std::array<const std::uint8_t*, 8> ReadBand(CRasterCodeRows& rows, long long start, int rowStep)
{
    std::array<const std::uint8_t*, 8> band{};
    for (int r = 0; r < 8; ++r)
        band[static_cast<size_t>(r)] = rows.Row(start + static_cast<long long>(r) * rowStep);
    return band;
}

// Column bytes of one band for the mono record, out[x * stride]: a dot for
// every code but paper. The padding columns read paper and give the blank
// filler columns.
void PackMonoColumns(const std::array<const std::uint8_t*, 8>& band, int columns, char* out, qsizetype stride)
{
    // A local copy: the char stores below could alias the caller's array and
    // force the row pointers to be reloaded for every group.
    const std::array<const std::uint8_t*, 8> rows = band;
    for (int x = 0; x < columns; x += 8) {
        const Lanes bits = TransposeBand(rows, x, [](Lanes v) { return (v | (v >> 1)) & kLaneBit0; });
        for (int i = 0; i < 8; ++i)
            out[(x + i) * stride] = static_cast<char>((bits >> (8 * i)) & 0xFFu);
    }
}

// Column bytes of one pass for both DOT MODE lines in a single sweep. In
// blocks of kBlock columns each row shifts its bits into the column bytes,
// the first row ending in bit 7: a fixed-length loop over bytes that the
// compiler turns into vector instructions. The columns past the last whole
// block (fewer than kBlock, read as far as the padded row end) go eight at a
// time.
void PackDotColumns(const std::array<const std::uint8_t*, 8>& band, int width, char* black, char* ink)
{
    constexpr size_t kBlock = 16;
    const std::array<const std::uint8_t*, 8> rows = band;
    int x = 0;
    for (; x + static_cast<int>(kBlock) <= width; x += static_cast<int>(kBlock)) {
        std::array<std::uint8_t, kBlock> blackBits{};
        std::array<std::uint8_t, kBlock> inkBits{};
        for (const std::uint8_t* row : rows) {
            for (size_t i = 0; i < kBlock; ++i) {
                const unsigned code = row[static_cast<size_t>(x) + i];
                blackBits[i] = static_cast<std::uint8_t>(blackBits[i] << 1 | (code & 1u));
                inkBits[i] = static_cast<std::uint8_t>(inkBits[i] << 1 | (code >> 1 & 1u));
            }
        }
        std::memcpy(black + x, blackBits.data(), kBlock);
        std::memcpy(ink + x, inkBits.data(), kBlock);
    }
    const int whole = width / 8 * 8;
    for (; x < width; x += 8) {
        const Lanes blackBits = TransposeBand(rows, x, [](Lanes v) { return v & kLaneBit0; });
        const Lanes inkBits = TransposeBand(rows, x, [](Lanes v) { return (v >> 1) & kLaneBit0; });
        if (x < whole) {
            StoreAllLanes(black + x, blackBits);
            StoreAllLanes(ink + x, inkBits);
        } else {
            StoreLanes(black + x, blackBits, width - x);
            StoreLanes(ink + x, inkBits, width - x);
        }
    }
}

// One raster row of both two-colour planes.
void PackTwoColorRow(const std::uint8_t* codes, int bytes, char* black, char* ink)
{
    for (int i = 0; i < bytes; ++i) {
        const Lanes v = LoadLanes(codes + static_cast<std::ptrdiff_t>(i) * 8);
        black[i] = static_cast<char>(GatherRow(v & kLaneBit0));
        ink[i] = static_cast<char>(GatherRow((v >> 1) & kLaneBit0));
    }
}

char* PutDotLineHeader(char* p, char colour, char density, int width)
{
    const char bytes[] = {cmd::Char(cmd::kEsc), cmd::Char(cmd::kDotColour), colour,
                          cmd::Char(cmd::kEsc), cmd::Char(cmd::kDotBitImage), density,
                          static_cast<char>(width & 0xFF), static_cast<char>((width >> 8) & 0xFF)};
    return std::copy(std::begin(bytes), std::end(bytes), p);
}

std::vector<DotPass> PlanBandPasses(int height)
{
    std::vector<DotPass> passes;
    for (long long b = 0; b < height; b += 8)
        passes.push_back({b, 1, 0x10});
    return passes;
}

// Quad density prints every second row per pass; the head then steps one row
// for the odd rows and seven more for the next span.
std::vector<DotPass> PlanInterleavedPasses(int height)
{
    std::vector<DotPass> passes;
    bool even = true;
    for (long long b = 0; b < height; even = !even) {
        passes.push_back({b, 2, static_cast<char>(even ? 0x01 : 0x07)});
        b += even ? 1 : 8;
    }
    return passes;
}

QByteArray MakeDotStream(const RasterSource& source, int width, const std::vector<DotPass>& passes,
                         int height, char density)
{
    // A black line is 8 header bytes, W data and 0D; a red line 8, W and 1B 4A ff.
    const qsizetype lineBytes = static_cast<qsizetype>(width);
    const qsizetype passBytes = 2 * lineBytes + 20;
    QByteArray stream(passBytes * static_cast<qsizetype>(passes.size()), Qt::Uninitialized);
    const std::unique_ptr<CCodeRowSource> codes = MakeCodeRowSource(source, PaperRule::kExactWhite);
    CRasterCodeRows rows(*codes, width, height);
    char* p = stream.data();
    for (const DotPass& pass : passes) {
        const auto band = ReadBand(rows, pass.start, pass.rowStep);
        char* blackData = PutDotLineHeader(p, cmd::Char(cmd::kDotColourBlack), density, width);
        char* redLine = blackData + lineBytes + 1;
        char* redData = PutDotLineHeader(redLine, cmd::Char(cmd::kDotColourRed), density, width);
        PackDotColumns(band, width, blackData, redData);
        blackData[lineBytes] = cmd::Char(cmd::kCr);
        char* feed = redData + lineBytes;
        feed[0] = cmd::Char(cmd::kEsc);
        feed[1] = cmd::Char(cmd::kDotFeed);
        feed[2] = pass.feed;
        p = feed + 3;
    }
    return stream;
}

void PutLittleEndian(char* p, long long value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<QByteArray> CRasterConverter::MakeMonoRecord(const RasterSource& source, int width, int height) const
{
    if (width < 0 || height < 0)
        return std::nullopt;
    const long long x8 = (static_cast<long long>(width) + 7) / 8;
    const long long y8 = (static_cast<long long>(height) + 7) / 8;
    if (width * y8 + 4 > kMonoRecordLimit)
        return std::nullopt;
    // The limit leaves room for more than 65,535 byte rows of a very narrow
    // image (or any width at height 0); the header could not describe them.
    if (x8 > kMaxHeaderField || y8 > kMaxHeaderField)
        return std::nullopt;

    // Every byte is written: the padding columns of the code rows give the
    // blank filler columns, rows past the height the unused low bits.
    QByteArray record(static_cast<qsizetype>(4 + x8 * 8 * y8), Qt::Uninitialized);
    char* out = record.data();
    PutLittleEndian(out, x8, 2);
    PutLittleEndian(out + 2, y8, 2);
    char* columns = out + 4;
    const std::unique_ptr<CCodeRowSource> codes = MakeCodeRowSource(source, PaperRule::kExactWhite);
    CRasterCodeRows rows(*codes, width, height);
    for (long long band = 0; band < y8; ++band)
        PackMonoColumns(ReadBand(rows, band * 8, 1), rows.Stride(), columns + band, static_cast<qsizetype>(y8));
    return record;
}

QByteArray CRasterConverter::MakeTwoColorRecord(const RasterSource& source, int width, int height,
                                                const std::array<char, 2>& keyCode, int maxWidth) const
{
    if (width < 0 || height < 0)
        return {};
    const int packed = std::clamp(maxWidth, 0, width);
    const long long rowBytes = (static_cast<long long>(packed) + 7) / 8;
    const long long planeBytes = rowBytes * height;
    if (planeBytes + 17 > kTwoColorRecordLimit)
        return {};
    if (rowBytes * 8 > kMaxHeaderField || height > kMaxHeaderField)
        return {};

    QByteArray command(static_cast<qsizetype>(2 * planeBytes + 19), Qt::Uninitialized);
    char* out = command.data();
    const char fixed[] = {cmd::Char(cmd::kGs), cmd::Char(cmd::kTwoColorDefine), cmd::Char(cmd::kTwoColorL),
                          0, 0, 0, 0,
                          cmd::Char(cmd::kTwoColorM), cmd::Char(cmd::kFnDefineRaster), cmd::Char(cmd::kRasterFormat),
                          keyCode[0], keyCode[1], 0x02};
    std::copy(std::begin(fixed), std::end(fixed), out);
    PutLittleEndian(out + 3, 2 * planeBytes + 12, 4);
    PutLittleEndian(out + 13, rowBytes * 8, 2);
    PutLittleEndian(out + 15, height, 2);
    char* blackPlane = out + 18;
    char* inkPlane = blackPlane + planeBytes + 1;
    blackPlane[-1] = cmd::Char(cmd::kPlaneBlack);
    inkPlane[-1] = cmd::Char(cmd::kPlaneRed);

    const int d = static_cast<int>(rowBytes);
    const std::unique_ptr<CCodeRowSource> codes = MakeCodeRowSource(source, PaperRule::kNearWhite);
    CRasterCodeRows rows(*codes, packed, height);
    for (int y = 0; y < height; ++y) {
        const qsizetype offset = static_cast<qsizetype>(y) * d;
        PackTwoColorRow(rows.Row(y), d, blackPlane + offset, inkPlane + offset);
    }
    return command;
}

QByteArray CRasterConverter::MakeDotBandsSingle(const RasterSource& source, int width, int height) const
{
    if (width < 0 || height <= 0)
        return {};
    return MakeDotStream(source, width, PlanBandPasses(height), height, 0x00);
}

QByteArray CRasterConverter::MakeDotBandsDouble(const RasterSource& source, int width, int height) const
{
    if (width < 0 || height <= 0)
        return {};
    return MakeDotStream(source, width, PlanBandPasses(height), height, 0x01);
}

QByteArray CRasterConverter::MakeDotBandsQuad(const RasterSource& source, int width, int height) const
{
    if (width < 0 || height <= 0)
        return {};
    return MakeDotStream(source, width, PlanInterleavedPasses(height), height, 0x01);
}

int CRasterConverter::ClassifyDotPixel(const CBitmapSurface& surface, int x, int y)
{
    const win::COLORREF c = surface.GetPixel(x, y) & kColourBytes;
    if (c == kWhite)
        return 0;
    return c == 0 ? 1 : 2;
}
