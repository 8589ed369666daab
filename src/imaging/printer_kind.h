#pragma once

// Printer kinds, as the model file numbers them.
inline constexpr int kModelTypeDotMode = 0;
inline constexpr int kModelTypeMono = 1;
inline constexpr int kModelTypeTwoColor = 2;

// DOT MODE densities, as the resolution choice numbers them.
inline constexpr int kDensitySingle = 0;
inline constexpr int kDensityDouble = 1;
inline constexpr int kDensityQuad = 2;
