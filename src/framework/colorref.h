#pragma once

#include <cstdint>

// Colours travel as 32-bit COLORREF values: red in the low byte, then green,
// then blue. The printer formats and the separation rule are defined on this
// layout, so the whole core speaks it; QImage's ARGB order stays inside the
// bitmap surface.
using COLORREF = std::uint32_t;

// What reading a pixel outside a bitmap yields: all four bytes 255, so such
// positions count as white everywhere.
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// A colour held as three integers, as the main window keeps its palette,
// L colour and hue colour.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;

    constexpr COLORREF ToColorRef() const { return RGB(r, g, b); }
    static constexpr Rgb FromColorRef(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};
