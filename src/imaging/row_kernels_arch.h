#pragma once

#include "imaging/row_kernels.h"

// What each architecture's file (row_kernels_x86.cpp, or
// row_kernels_other.cpp where there is no vector form) gives the dispatch in
// row_kernels.cpp. Only that file and the dispatch include this.

using SeparateRowFn = void (*)(const SeparationRowTable&, const std::uint32_t*, int, std::uint8_t*);

struct RowKernelSet {
    SeparateRowFn separate;
};

// True when the processor (and the operating system, for the wider
// registers' state) can run the level. kPortable always can.
bool ArchRuns(VectorLevel level);

// The kernels of a vector level this file has; nullptr for kPortable and for
// levels it has none of.
const RowKernelSet* ArchKernels(VectorLevel level);

// The portable kernel, for the tails the vector forms leave.
void SeparateRowPortable(const SeparationRowTable& table, const std::uint32_t* line, int count, std::uint8_t* out);
