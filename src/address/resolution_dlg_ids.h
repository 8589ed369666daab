#pragma once

// Resource ids of the resolution dialog asked before a DOT MODE download. Its
// only button, OK, is win::kIdOk (1); Escape and the close box
// cancel. The density values follow the order of the radio buttons in the
// dialog (1053, 1055, 1054), not their numbers.

inline constexpr int IDD_RESOLUTION = 135;
inline constexpr int IDC_RESOLUTION_SINGLE = 1053;  // density 0
inline constexpr int IDC_RESOLUTION_DOUBLE = 1055;  // density 1
inline constexpr int IDC_RESOLUTION_QUAD = 1054;    // density 2
