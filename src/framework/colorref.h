#pragma once

#include <cstdint>

// Colours travel as 32-bit COLORREF values: red in the low byte, then green,
// then blue. The printer formats and the separation rule are defined on this
// layout, so the whole core speaks it; QImage's ARGB order stays inside the
// bitmap surface.
//
// The names follow the Windows API's colour helpers but live in namespace
// win, and those the system headers define as macros (RGB, GetRValue,
// CLR_INVALID...) have names of their own, so a Windows build can include
// the system headers next to this one.
namespace win {

using COLORREF = std::uint32_t;

// What reading a pixel outside a bitmap yields: all four bytes 255, so such
// positions count as white everywhere.
inline constexpr COLORREF kInvalidColor = 0xFFFFFFFFu;

constexpr COLORREF MakeColorRef(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

}  // namespace win

// A colour held as three integers, as the main window keeps its palette,
// L colour and hue colour.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;

    constexpr win::COLORREF ToColorRef() const { return win::MakeColorRef(r, g, b); }
    static constexpr Rgb FromColorRef(win::COLORREF c) { return {win::RedOf(c), win::GreenOf(c), win::BlueOf(c)}; }
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};
