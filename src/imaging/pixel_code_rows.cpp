#include "imaging/pixel_code_rows.h"

#include "imaging/bitmap_surface.h"
#include "imaging/color_separation.h"
#include "imaging/row_kernels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// Class codes are computed with arithmetic on two pixels at once (one per
// 32-bit half of a 64-bit word) instead of comparisons: a logo's edges make
// the classes change often, and a mispredicted branch per change costs more
// than the whole computation. With m = R | G << 8 | B << 16 in each half:
// m + 0xFFFFFF carries into bit 24 unless m == 0, and m + 1 carries into bit
// 24 only for m == 0xFFFFFF; no half overflows into the other.
constexpr std::uint64_t kHalfColour = 0x00FFFFFF00FFFFFFull;
constexpr std::uint64_t kHalfBit0 = 0x0000000100000001ull;

inline std::uint64_t CodesOf(std::uint64_t m, std::uint64_t paper)
{
    const std::uint64_t black = (((m + kHalfColour) >> 24) & kHalfBit0) ^ kHalfBit0;
    return black | (((black | paper) ^ kHalfBit0) << 1);
}

// Impact printers and the single-colour record: only exactly white is paper.
inline std::uint64_t ExactPaper(std::uint64_t m)
{
    return ((m + kHalfBit0) >> 24) & kHalfBit0;
}

// The two-colour thermal printer leaves near-white unprinted: above 240 in all
// three bytes is paper. A byte is above 240 when its top bit is set and its
// low seven bits plus 15 reach the top bit; the three results then sum to
// 0x010101 only when all are set, and adding 0xFEFEFF carries into bit 24.
inline std::uint64_t NearWhitePaper(std::uint64_t m)
{
    const std::uint64_t above = ((m & 0x007F7F7F007F7F7Full) + 0x000F0F0F000F0F0Full) & m & 0x0080808000808080ull;
    return (((above >> 7) + 0x00FEFEFF00FEFEFFull) >> 24) & kHalfBit0;
}

// Two colours as one word, colours[0] in the low half.
inline std::uint64_t LoadPair(const win::COLORREF* colours)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t pair = 0;
        std::memcpy(&pair, colours, sizeof pair);
        return pair;
    } else {
        return colours[0] | static_cast<std::uint64_t>(colours[1]) << 32;
    }
}

template <std::uint64_t (*Paper)(std::uint64_t)>
void Classify(const win::COLORREF* colours, int count, std::uint8_t* codes)
{
    int x = 0;
    for (; x + 1 < count; x += 2) {
        const std::uint64_t m = LoadPair(colours + x) & kHalfColour;
        const std::uint64_t c = CodesOf(m, Paper(m));
        codes[x] = static_cast<std::uint8_t>(c);
        codes[x + 1] = static_cast<std::uint8_t>(c >> 32);
    }
    if (x < count) {
        const std::uint64_t m = colours[x] & kHalfColour;
        codes[x] = static_cast<std::uint8_t>(CodesOf(m, Paper(m)));
    }
}

// A surface's pixels as they are: rows read whole and classified.
class CSurfaceCodes : public CCodeRowSource {
public:
    CSurfaceCodes(const CBitmapSurface& surface, PaperRule paper) : m_surface(&surface), m_paper(paper)
    {
        m_colours.resize(static_cast<size_t>(std::max(surface.Width(), 1)));
    }
    // Holds a surface made for the packing (a separated and shrunk copy).
    CSurfaceCodes(CBitmapSurface&& owned, PaperRule paper)
        : m_owned(std::move(owned)), m_surface(&*m_owned), m_paper(paper)
    {
        m_colours.resize(static_cast<size_t>(std::max(m_surface->Width(), 1)));
    }

    bool IsNull() const override { return m_surface->IsNull(); }
    int Width() const override { return m_surface->Width(); }
    int Height() const override { return m_surface->Height(); }
    void CodeRow(int y, int count, std::uint8_t* codes) override
    {
        m_surface->ReadRow(y, m_colours.data());
        ClassifyColours(m_colours.data(), count, codes, m_paper);
    }

private:
    std::optional<CBitmapSurface> m_owned;
    const CBitmapSurface* m_surface;
    PaperRule m_paper;
    std::vector<win::COLORREF> m_colours;  // one whole surface row
};

// The separation of CColorSeparator as the tables of the row kernels, and
// what a separated pixel becomes: a pixel takes the ink when its score is at
// most the limit of its brightness, the brightness's other colour if not.
// Each outcome is kept as an index into Colours(), at most kMaxColours of
// them (the ink, the second ink and white); RowTable turns the outcomes into
// the bytes a kernel writes.
class CSeparationTables {
public:
    static constexpr int kMaxColours = 4;
    using OutcomeBytes = std::array<std::uint8_t, kMaxColours>;

    CSeparationTables(const CColorSeparator& separator, const SeparationInputs& inputs)
        : m_steps(SeparationStepsOf(inputs))
    {
        AddColour(separator.Ink());
        for (int channel = 0; channel < 3; ++channel) {
            for (int c = 0; c < 256; ++c)
                m_score[channel][c] = separator.ChannelScore(channel, c);
        }
        for (int s = 0; s < CColorSeparator::kBrightnessLevels; ++s) {
            // Limits below any reachable score (Not Used: never the ink) are
            // clamped to one below the lowest score of all.
            m_inkLimit[s] = std::max(separator.InkLimit(s), -3 * 256);
            m_other[s] = AddColour(separator.Otherwise(s));
        }
    }

    // False when the outcomes were too many colours to index.
    bool IsComplete() const { return m_complete; }
    const std::vector<win::COLORREF>& Colours() const { return m_colours; }

    // The kernels' table, writing byteOf[i] for a pixel whose outcome is
    // Colours()[i].
    SeparationRowTable RowTable(const OutcomeBytes& byteOf) const
    {
        SeparationRowTable table;
        table.score = m_score;
        table.inkByte = byteOf[0];
        // Brightness entries past the last level are never read.
        for (int s = 0; s < CColorSeparator::kBrightnessLevels; ++s)
            table.limitAndByte[s] = m_inkLimit[s] * 256 + byteOf[m_other[s]];
        // The darkest pixel that misses the ink takes the second ink, the
        // lightest white (SeparationSteps).
        table.steps = m_steps;
        table.secondByte = byteOf[m_other.front()];
        table.whiteByte = byteOf[m_other.back()];
        return table;
    }

private:
    std::uint8_t AddColour(win::COLORREF colour)
    {
        const auto found = std::find(m_colours.begin(), m_colours.end(), colour);
        if (found != m_colours.end())
            return static_cast<std::uint8_t>(found - m_colours.begin());
        if (static_cast<int>(m_colours.size()) == kMaxColours) {
            m_complete = false;
            return 0;
        }
        m_colours.push_back(colour);
        return static_cast<std::uint8_t>(m_colours.size() - 1);
    }

    std::optional<SeparationSteps> m_steps;
    std::array<std::array<std::int32_t, 256>, 3> m_score{};
    std::array<std::int32_t, CColorSeparator::kBrightnessLevels> m_inkLimit{};
    std::array<std::uint8_t, CColorSeparator::kBrightnessLevels> m_other{};
    std::vector<win::COLORREF> m_colours;
    bool m_complete = true;
};

// Codes of a surface separated on the fly, at its own size.
class CSeparatedCodes : public CCodeRowSource {
public:
    CSeparatedCodes(const CBitmapSurface& surface, const SeparationInputs& inputs, PaperRule paper);

    bool IsNull() const override { return m_surface.IsNull(); }
    int Width() const override { return m_surface.Width(); }
    int Height() const override { return m_surface.Height(); }
    void CodeRow(int y, int count, std::uint8_t* codes) override;

private:
    void CodePaletteRow(int y, int count, std::uint8_t* codes) const;
    void CodeByBrightness(const std::uint32_t* line, int count, std::uint8_t* codes) const;

    const CBitmapSurface& m_surface;
    SeparationRowTable m_rowTable;                        // 24-bit surfaces: a pixel's code
    std::array<std::uint8_t, 256> m_indexCode{};          // palette surfaces: code per palette index
    // Not Used decides by brightness alone: below m_split one code, from it
    // on the other. m_split < 0 when the outcome is not such a step.
    int m_split = -1;
    std::uint8_t m_darkCode = 0;
    std::uint8_t m_lightCode = 0;
};

CSeparatedCodes::CSeparatedCodes(const CBitmapSurface& surface, const SeparationInputs& inputs, PaperRule paper)
    : m_surface(surface)
{
    const CColorSeparator separator(inputs);
    const CSeparationTables tables(separator, inputs);
    CSeparationTables::OutcomeBytes outcomeCode{};
    for (size_t i = 0; i < tables.Colours().size(); ++i)
        outcomeCode[i] = PixelCode(tables.Colours()[i], paper);
    m_rowTable = tables.RowTable(outcomeCode);
    if (surface.IsPaletteBased()) {
        // As SeparateSurface leaves it: each entry's separated colour becomes
        // the nearest palette colour.
        for (int i = 0; i < 256; ++i) {
            const win::COLORREF entry = surface.PaletteColour(i);
            const win::COLORREF nearest = surface.PaletteColour(surface.NearestPaletteIndex(separator.Map(entry)));
            m_indexCode[static_cast<size_t>(i)] = PixelCode(nearest, paper);
        }
        return;
    }
    if (inputs.colorMode != ColorChoice::NotUsed)
        return;
    const int levels = CColorSeparator::kBrightnessLevels;
    m_darkCode = PixelCode(separator.Otherwise(0), paper);
    m_lightCode = PixelCode(separator.Otherwise(levels - 1), paper);
    int split = 0;
    while (split < levels && PixelCode(separator.Otherwise(split), paper) == m_darkCode)
        ++split;
    bool step = true;
    for (int s = split; s < levels; ++s)
        step = step && PixelCode(separator.Otherwise(s), paper) == m_lightCode;
    m_split = step ? split : -1;
}

void CSeparatedCodes::CodeRow(int y, int count, std::uint8_t* codes)
{
    if (m_surface.IsPaletteBased()) {
        CodePaletteRow(y, count, codes);
        return;
    }
    const auto* line = reinterpret_cast<const std::uint32_t*>(m_surface.ConstScanLine(y));
    if (m_split >= 0) {
        CodeByBrightness(line, count, codes);
        return;
    }
    SeparateRow(m_rowTable, line, count, codes);
}

void CSeparatedCodes::CodePaletteRow(int y, int count, std::uint8_t* codes) const
{
    const uchar* line = m_surface.ConstScanLine(y);
    for (int x = 0; x < count; ++x)
        codes[x] = m_indexCode[line[x]];
}

// A sum and a compare per pixel, written in blocks of a fixed length so that
// the compiler turns each block into vector instructions.
void CSeparatedCodes::CodeByBrightness(const std::uint32_t* line, int count, std::uint8_t* codes) const
{
    constexpr int kBlock = 16;
    const unsigned split = static_cast<unsigned>(m_split);
    const std::uint8_t dark = m_darkCode;
    const std::uint8_t flip = static_cast<std::uint8_t>(m_darkCode ^ m_lightCode);
    auto code = [&](std::uint32_t v) {
        const unsigned s = (v & 0xFFu) + ((v >> 8) & 0xFFu) + ((v >> 16) & 0xFFu);
        return static_cast<std::uint8_t>(dark ^ (s >= split ? flip : 0));
    };
    int x = 0;
    for (; x + kBlock <= count; x += kBlock) {
        for (int i = 0; i < kBlock; ++i)
            codes[x + i] = code(line[x + i]);
    }
    for (; x < count; ++x)
        codes[x] = code(line[x]);
}

// Codes of a 24-bit surface separated on the fly and shrunk as StretchAnd
// shrinks: each pixel's outcome is one bit, a shrunk pixel ORs the bits of the
// pixels it gathers, and the code of that set of colours ANDed is looked up.
class CShrunkSeparatedCodes : public CCodeRowSource {
public:
    CShrunkSeparatedCodes(const CBitmapSurface& surface, const CSeparationTables& tables, int width, int height,
                          PaperRule paper);

    bool IsNull() const override { return m_surface.IsNull() || m_width <= 0 || m_height <= 0; }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void CodeRow(int y, int count, std::uint8_t* codes) override;

private:
    void SetsOfRow(int y, int count, std::uint8_t* sets);

    const CBitmapSurface& m_surface;
    SeparationRowTable m_bitsTable;     // a pixel's outcome as one bit
    int m_width;
    int m_height;
    std::array<std::uint8_t, 1 << CSeparationTables::kMaxColours> m_setCode{};
    std::vector<int> m_columnStart;     // shrunk column dx gathers [start[dx], start[dx + 1])
    std::vector<std::uint8_t> m_gathered;
    std::vector<std::uint8_t> m_row;    // one source row's sets
    std::vector<std::uint8_t> m_bits;   // one source row's outcome bits
};

// Where StretchAnd starts gathering for destination position d.
int FirstSource(int d, int source, int dest)
{
    return static_cast<int>(static_cast<long long>(d) * source / dest);
}

CShrunkSeparatedCodes::CShrunkSeparatedCodes(const CBitmapSurface& surface, const CSeparationTables& tables,
                                             int width, int height, PaperRule paper)
    : m_surface(surface), m_width(width), m_height(height)
{
    if (IsNull())
        return;
    const std::vector<win::COLORREF>& colours = tables.Colours();
    for (size_t set = 1; set < m_setCode.size(); ++set) {
        win::COLORREF combined = win::kInvalidColor;
        for (size_t i = 0; i < colours.size(); ++i) {
            if (set & (size_t{1} << i))
                combined &= colours[i];
        }
        m_setCode[set] = PixelCode(combined, paper);
    }
    m_columnStart.resize(static_cast<size_t>(width) + 1);
    for (int dx = 0; dx <= width; ++dx)
        m_columnStart[static_cast<size_t>(dx)] = FirstSource(dx, surface.Width(), width);
    m_gathered.resize(static_cast<size_t>(width));
    m_row.resize(static_cast<size_t>(width));
    m_bits.resize(static_cast<size_t>(surface.Width()));
    CSeparationTables::OutcomeBytes bitOf{};
    for (size_t i = 0; i < bitOf.size(); ++i)
        bitOf[i] = static_cast<std::uint8_t>(1u << i);
    m_bitsTable = tables.RowTable(bitOf);
}

// The outcome sets that source row y gives each of the first count shrunk
// columns. Keeping the same width and halving it, the sizes DOT MODE asks
// for, are kernels of their own; other widths separate the row into outcome
// bits first and gather them.
void CShrunkSeparatedCodes::SetsOfRow(int y, int count, std::uint8_t* sets)
{
    const int sourceWidth = m_surface.Width();
    const auto* line = reinterpret_cast<const std::uint32_t*>(m_surface.ConstScanLine(y));
    if (m_width == sourceWidth) {
        SeparateRow(m_bitsTable, line, count, sets);
        return;
    }
    if (m_width * 2 == sourceWidth) {
        SeparateRowHalved(m_bitsTable, line, count, sets);
        return;
    }
    const std::uint8_t* bits = m_bits.data();
    SeparateRow(m_bitsTable, line, sourceWidth, m_bits.data());
    for (int dx = 0; dx < count; ++dx) {
        const int x0 = m_columnStart[static_cast<size_t>(dx)];
        const int x1 = std::min(sourceWidth, std::max(x0 + 1, m_columnStart[static_cast<size_t>(dx) + 1]));
        std::uint8_t gathered = 0;
        for (int x = x0; x < x1; ++x)
            gathered |= bits[x];
        sets[dx] = gathered;
    }
}

// The rows a shrunk row gathers are ORed; the codes of the sets are looked
// up together with the last row.
void CShrunkSeparatedCodes::CodeRow(int y, int count, std::uint8_t* codes)
{
    const int sourceHeight = m_surface.Height();
    const int y0 = FirstSource(y, sourceHeight, m_height);
    const int y1 = std::min(sourceHeight, std::max(y0 + 1, FirstSource(y + 1, sourceHeight, m_height)));
    std::uint8_t* gathered = m_gathered.data();
    SetsOfRow(y0, count, gathered);
    if (y1 - y0 == 1) {
        CodeSets(m_setCode, gathered, gathered, count, codes);
        return;
    }
    std::uint8_t* row = m_row.data();
    for (int sy = y0 + 1; sy + 1 < y1; ++sy) {
        SetsOfRow(sy, count, row);
        for (int dx = 0; dx < count; ++dx)
            gathered[dx] |= row[dx];
    }
    SetsOfRow(y1 - 1, count, row);
    CodeSets(m_setCode, gathered, row, count, codes);
}

}  // namespace

std::uint8_t PixelCode(win::COLORREF colour, PaperRule paper)
{
    std::uint8_t code = 0;
    ClassifyColours(&colour, 1, &code, paper);
    return code;
}

void ClassifyColours(const win::COLORREF* colours, int count, std::uint8_t* codes, PaperRule paper)
{
    if (paper == PaperRule::kNearWhite)
        Classify<NearWhitePaper>(colours, count, codes);
    else
        Classify<ExactPaper>(colours, count, codes);
}

std::unique_ptr<CCodeRowSource> MakeCodeRowSource(const RasterSource& source, PaperRule paper)
{
    const CBitmapSurface& surface = *source.surface;
    // Colour choices outside the four leave a 24-bit pixel as it is. A palette
    // surface still moves each entry to the nearest palette colour, which
    // changes indices beyond a short palette (they read black).
    const bool separates = source.separation && !CColorSeparator(*source.separation).PassesThrough();
    const bool remapsPalette = source.separation && surface.IsPaletteBased();
    if (!source.shrink) {
        if (!separates && !remapsPalette)
            return std::make_unique<CSurfaceCodes>(surface, paper);
        return std::make_unique<CSeparatedCodes>(surface, *source.separation, paper);
    }
    if (separates && !surface.IsPaletteBased()) {
        const CSeparationTables tables{CColorSeparator(*source.separation), *source.separation};
        if (tables.IsComplete())
            return std::make_unique<CShrunkSeparatedCodes>(surface, tables, source.shrinkWidth, source.shrinkHeight,
                                                           paper);
    }
    // Palette surfaces shrink to the nearest palette colour of each ANDed
    // colour: that is left to StretchAnd itself, on a separated copy.
    CBitmapSurface separated = surface;
    if (source.separation)
        SeparateSurface(separated, *source.separation);
    return std::make_unique<CSurfaceCodes>(separated.StretchAnd(source.shrinkWidth, source.shrinkHeight), paper);
}
