#pragma once

#include "imaging/row_kernels.h"

// What each architecture's file (row_kernels_x86.cpp, or
// row_kernels_other.cpp where there is no vector form) gives the dispatch in
// row_kernels.cpp. Only that file and the dispatch include this.

using SeparateRowFn = void (*)(const SeparationRowTable&, const std::uint32_t*, int, std::uint8_t*);
using CodeSetsFn = void (*)(const std::array<std::uint8_t, 16>&, const std::uint8_t*, const std::uint8_t*, int,
                            std::uint8_t*);

struct RowKernelSet {
    SeparateRowFn separate;
    SeparateRowFn separateHalved;
    CodeSetsFn codeSets;
};

// True when the processor (and the operating system, for the wider
// registers' state) can run the level. kPortable always can.
bool ArchRuns(VectorLevel level);

// The kernels of a vector level this file has; nullptr for kPortable and for
// levels it has none of.
const RowKernelSet* ArchKernels(VectorLevel level);

// The portable kernels, for the tails the vector forms leave.
void SeparateRowPortable(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out);
// Halving by any one-to-one kernel: pieces of a row decided into a buffer,
// then each pair ORed.
void SeparateHalvedInPieces(SeparateRowFn separate, const SeparationRowTable& table, const std::uint32_t* line,
                            int count, std::uint8_t* out);
void SeparateRowHalvedPortable(const SeparationRowTable& table, const std::uint32_t* line, int count,
                               std::uint8_t* out);
void CodeSetsPortable(const std::array<std::uint8_t, 16>& codeOfSet, const std::uint8_t* a, const std::uint8_t* b,
                      int count, std::uint8_t* out);
