#pragma once

#include <cstdint>

// The reference every printer kind is measured against: the simplest C code
// that turns 32-bit pixels into one bit per pixel, set when R + G + B is below
// a threshold, packed eight pixels to a byte, row after row. No tables, no
// tricks: what a programmer writes first. `out` takes (width + 7) / 8 bytes
// per row.
//
// The same source is built twice: PlainThresholdPack scalar (vectorising
// switched off), PlainThresholdPackNative at -O3 for this machine's widest
// vectors (plain_kernel_native.cpp), the machine's real limit for such code.
void PlainThresholdPack(const std::uint32_t* pixels, int width, int height, int stride, unsigned threshold,
                        std::uint8_t* out);
void PlainThresholdPackNative(const std::uint32_t* pixels, int width, int height, int stride, unsigned threshold,
                              std::uint8_t* out);
