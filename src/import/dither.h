#pragma once

#include "import/import_settings.h"
#include "import/tone_curve.h"

#include <cstdint>
#include <vector>

// Turns grey levels into dots for a one-ink printer: the result holds one
// value per pixel, row by row, 1 where the printer makes a dot (black) and 0
// for paper.
//
// - None: a dot where the level is below `level`.
// - FloydSteinberg: each pixel is set by `level` after the error of the pixels
//   before it was added; its own error goes 7/16 right, 3/16 down-left, 5/16
//   down, 1/16 down-right. The parts always add up to the whole error, so the
//   mean tone of an area is kept.
// - Atkinson: 1/8 of the error to each of six neighbours (two right, three
//   below, one two rows below); the other quarter is dropped on purpose, which
//   gives crisper pictures with clean highlights and shadows at the price of
//   very light tones turning white and very dark ones black.
// - Bayer: each pixel is compared with its place in an 8 x 8 ordered matrix
//   (64 levels, moved by level - 128): no error travels, so the pattern is
//   the same wherever a tone is, which suits line drawings and screens.
//
// Error that would go beyond the left or right edge (or below the last row) is
// dropped: it never reappears at the other side of the next row. The scan is
// left to right, top to bottom, in integers only, so the result is the same on
// every machine.
std::vector<std::uint8_t> DitherToDots(const GreyPlane& plane, DitherMethod method, int level);
