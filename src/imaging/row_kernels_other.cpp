#include "imaging/row_kernels_arch.h"

// Architectures without a vector form of their own run the portable kernels,
// which the compiler vectorises for the baseline it targets.

bool ArchRuns(VectorLevel level)
{
    return level == VectorLevel::kPortable;
}

const RowKernelSet* ArchKernels(VectorLevel)
{
    return nullptr;
}
