#include "imaging/row_kernels.h"

#include "imaging/row_kernels_arch.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr VectorLevel kLevels[] = {VectorLevel::kPortable, VectorLevel::kAvx2, VectorLevel::kAvx512};

constexpr RowKernelSet kPortableKernels{&SeparateRowPortable, &SeparateRowHalvedPortable, &CodeSetsPortable};

std::optional<VectorLevel> LevelFromName(std::string_view name)
{
    for (const VectorLevel level : kLevels) {
        if (name == VectorLevelName(level))
            return level;
    }
    return std::nullopt;
}

VectorLevel WidestRunnable()
{
    VectorLevel widest = VectorLevel::kPortable;
    for (const VectorLevel level : kLevels) {
        if (ArchRuns(level) && (level == VectorLevel::kPortable || ArchKernels(level)))
            widest = level;
    }
    return widest;
}

const RowKernelSet& KernelsOf(VectorLevel level)
{
    const RowKernelSet* kernels = ArchKernels(level);
    return kernels ? *kernels : kPortableKernels;
}

struct Active {
    std::atomic<const RowKernelSet*> kernels;
    std::atomic<VectorLevel> level;
};

Active& ActiveState()
{
    // Decided once, at first use: the widest level, or the one the
    // environment names when the machine runs it.
    static Active active = [] {
        VectorLevel level = WidestRunnable();
        if (const char* named = std::getenv("MARKOGRAPH_VECTOR_LEVEL")) {
            const std::optional<VectorLevel> pinned = LevelFromName(named);
            if (pinned && ArchRuns(*pinned))
                level = *pinned;
        }
        return Active{&KernelsOf(level), level};
    }();
    return active;
}

}  // namespace

const char* VectorLevelName(VectorLevel level)
{
    switch (level) {
    case VectorLevel::kPortable: return "portable";
    case VectorLevel::kAvx2: return "avx2";
    case VectorLevel::kAvx512: return "avx512";
    }
    return "?";
}

std::vector<VectorLevel> RunnableVectorLevels()
{
    std::vector<VectorLevel> levels;
    for (const VectorLevel level : kLevels) {
        if (ArchRuns(level) && (level == VectorLevel::kPortable || ArchKernels(level)))
            levels.push_back(level);
    }
    return levels;
}

VectorLevel ActiveVectorLevel()
{
    return ActiveState().level.load(std::memory_order_relaxed);
}

bool PinVectorLevel(std::optional<VectorLevel> level)
{
    const VectorLevel chosen = level.value_or(WidestRunnable());
    if (!ArchRuns(chosen) || (chosen != VectorLevel::kPortable && !ArchKernels(chosen)))
        return false;
    Active& active = ActiveState();
    active.kernels.store(&KernelsOf(chosen), std::memory_order_relaxed);
    active.level.store(chosen, std::memory_order_relaxed);
    return true;
}

// One look-up per run of equal pixels: logos are long runs of one colour, and
// a pixel equal to the one before it takes the last result without the table
// look-ups. Blocks of eight equal to the last pixel are checked at once.
void SeparateRowPortable(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out)
{
    constexpr int kBlock = 8;
    std::uint32_t last = 0;
    std::uint8_t lastByte = table.Decide(0);
    int x = 0;
    for (; x + kBlock <= count; x += kBlock) {
        std::uint32_t differ = 0;
        for (int i = 0; i < kBlock; ++i)
            differ |= line[x + i] ^ last;
        if (differ == 0) {
            std::memset(out + x, lastByte, kBlock);
            continue;
        }
        for (int i = 0; i < kBlock; ++i) {
            if (line[x + i] != last) {
                last = line[x + i];
                lastByte = table.Decide(last);
            }
            out[x + i] = lastByte;
        }
    }
    for (; x < count; ++x) {
        if (line[x] != last) {
            last = line[x];
            lastByte = table.Decide(last);
        }
        out[x] = lastByte;
    }
}

// Pieces that stay in the first-level cache.
void SeparateHalvedInPieces(SeparateRowFn separate, const SeparationRowTable& table, const std::uint32_t* line,
                            int count, std::uint8_t* out)
{
    constexpr int kPiece = 256;
    std::array<std::uint8_t, 2 * kPiece> bytes;
    for (int x = 0; x < count; x += kPiece) {
        const int n = std::min(kPiece, count - x);
        separate(table, line + 2 * x, 2 * n, bytes.data());
        for (int i = 0; i < n; ++i)
            out[x + i] = static_cast<std::uint8_t>(bytes[2 * i] | bytes[2 * i + 1]);
    }
}

void SeparateRowHalvedPortable(const SeparationRowTable& table, const std::uint32_t* line, int count,
                               std::uint8_t* out)
{
    SeparateHalvedInPieces(&SeparateRowPortable, table, line, count, out);
}

void CodeSetsPortable(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a, const std::uint8_t* b,
                      int count, std::uint8_t* out)
{
    for (int x = 0; x < count; ++x)
        out[x] = codeOfSet[(a[x] | b[x]) & 15u];
}

void SeparateRow(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out)
{
    ActiveState().kernels.load(std::memory_order_relaxed)->separate(table, line, count, out);
}

void SeparateRowHalved(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out)
{
    ActiveState().kernels.load(std::memory_order_relaxed)->separateHalved(table, line, count, out);
}

void CodeSets(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a, const std::uint8_t* b, int count,
              std::uint8_t* out)
{
    ActiveState().kernels.load(std::memory_order_relaxed)->codeSets(codeOfSet, a, b, count, out);
}
