#pragma once

#include "kinds/printer_kind.h"

#include <array>
#include <cstddef>

// True when a per-kind table holds one row per kind, row i for the kind
// numbered i, so that it can be indexed by the kind's number. The core's,
// the desktop's and the virtual printer's tables check themselves with it.
template <class Row, std::size_t N>
constexpr bool RowsInKindOrder(const std::array<Row, N>& rows)
{
    if (N != kPrinterKinds.size())
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (rows[i].kind != kPrinterKinds[i])
            return false;
    }
    return true;
}
