#pragma once

#include "imaging/color_separation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The per-pixel loops of the conversion that run once per pixel of every
// logo, in one portable form and in vector forms for the machine's widest
// registers. The form is chosen once, at first use, from what the processor
// can run, so one build runs on every machine of its architecture and uses
// the wide registers where they exist. Every form gives the same bytes.

// The instruction sets a kernel is written for, narrowest first.
enum class VectorLevel {
    kPortable,  // plain C++, whatever the compiler makes of it (SSE2 on x86-64)
    kAvx2,      // 8 pixels a step, gathered table look-ups
    kAvx512,    // 64 pixels a step: byte permutes (AVX-512 VBMI), sums and compares
};

const char* VectorLevelName(VectorLevel level);

// The levels this machine can run, kPortable first.
std::vector<VectorLevel> RunnableVectorLevels();

// The level the kernels run at now: the widest runnable one, unless pinned.
VectorLevel ActiveVectorLevel();

// Pins the kernels to a level (tests run every path the machine has; the
// benchmark compares them), or back to the widest with nullopt. A level the
// machine cannot run is refused (false) and nothing changes. The environment
// variable MARKOGRAPH_VECTOR_LEVEL (portable, avx2, avx512) pins it the same
// way for a whole process, read at first use.
bool PinVectorLevel(std::optional<VectorLevel> level);

// What the separation needs to decide one 24-bit pixel (0xAARRGGBB), in the
// forms the kernels use. A pixel takes inkByte when
//   score[0][R] + score[1][G] + score[2][B] <= limitAndByte[S] >> 8
// (an arithmetic shift), S = R + G + B, and the low byte of limitAndByte[S]
// otherwise. Limits are kept within -768..767 so the packed entry never
// overflows, and the scores within -1024..1023. Where the rule has its
// arithmetic form (steps), the same outcome is: inkByte, secondByte or
// whiteByte as SeparationSteps says; the widest kernels compute that instead
// of looking tables up by pixel.
struct SeparationRowTable {
    static constexpr int kBrightnessEntries = 768;  // 3 x 255 + 1, rounded up
    std::array<std::array<std::int32_t, 256>, 3> score{};
    std::array<std::int32_t, kBrightnessEntries> limitAndByte{};
    std::uint8_t inkByte = 0;
    std::optional<SeparationSteps> steps;
    std::uint8_t secondByte = 0;
    std::uint8_t whiteByte = 0;

    std::uint8_t Decide(std::uint32_t pixel) const
    {
        const unsigned r = (pixel >> 16) & 0xFFu;
        const unsigned g = (pixel >> 8) & 0xFFu;
        const unsigned b = pixel & 0xFFu;
        const std::int32_t entry = limitAndByte[r + g + b];
        const std::int32_t sum = score[0][r] + score[1][g] + score[2][b];
        return sum <= (entry >> 8) ? inkByte : static_cast<std::uint8_t>(entry & 0xFF);
    }
};

// out[x] = table.Decide(line[x]) for x < count, at the active level.
void SeparateRow(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out);

// Two pixels to one: out[x] = Decide(line[2x]) | Decide(line[2x + 1]) for
// x < count (the table's bytes are bits of outcomes, so this is the set of
// outcomes a shrunk pixel gathers).
void SeparateRowHalved(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out);

// out[x] = codeOfSet[a[x] | b[x]] for x < count; every a[x] | b[x] is below 16.
void CodeSets(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a, const std::uint8_t* b, int count,
              std::uint8_t* out);
