#pragma once

#include <array>
#include <optional>

// The three printer kinds, numbered as the model file's MODELTYPE numbers
// them. The kind decides the whole path: how logos are converted, which
// download command and which print command are used (see
// operations/printer_kind_table.h for what each kind does).
enum class PrinterKind : int {
    DotMode = 0,   // impact printer, 8-dot bit images in black and red, ESC g
    Mono = 1,      // single-colour thermal, FS q / FS p
    TwoColor = 2,  // two-colour thermal, GS 8 L / GS ( L by address
};

inline constexpr std::array<PrinterKind, 3> kPrinterKinds{PrinterKind::DotMode, PrinterKind::Mono,
                                                          PrinterKind::TwoColor};

// DOT MODE densities, numbered as the resolution choice numbers them.
enum class DotDensity : int {
    Single = 0,  // half width, half height
    Double = 1,  // full width, half height
    Quad = 2,    // as the bitmap is
};

// The value of an enum numbered 0..last that a number names, or none.
template <class Enum>
constexpr std::optional<Enum> EnumFromNumber(int number, Enum last)
{
    if (number < 0 || number > static_cast<int>(last))
        return std::nullopt;
    return static_cast<Enum>(number);
}

// The kind a MODELTYPE number names, or none for any other number.
constexpr std::optional<PrinterKind> PrinterKindFromNumber(int number)
{
    return EnumFromNumber(number, PrinterKind::TwoColor);
}
constexpr int PrinterKindNumber(PrinterKind kind) { return static_cast<int>(kind); }

// The density a number names (0, 1 or 2), or none.
constexpr std::optional<DotDensity> DotDensityFromNumber(int number)
{
    return EnumFromNumber(number, DotDensity::Quad);
}
constexpr int DotDensityNumber(DotDensity density) { return static_cast<int>(density); }

// MODELTYPE as a model file holds it. The number is kept as it was read: a
// catalogue entry is written back with it and messages show it. The kind is
// made from it once, here; a number that names no kind (a newer model in an
// older program) has none, is shown as "1 Color thermal" and downloads and
// prints nothing ("Not Support Printer").
class CModelType {
public:
    constexpr CModelType() = default;  // single-colour thermal, the window's default
    constexpr CModelType(PrinterKind kind) : m_number(PrinterKindNumber(kind)), m_kind(kind) {}  // NOLINT: a kind is a model type
    static constexpr CModelType FromNumber(int number)
    {
        CModelType type;
        type.m_number = number;
        type.m_kind = PrinterKindFromNumber(number);
        return type;
    }

    constexpr int Number() const { return m_number; }
    constexpr std::optional<PrinterKind> Kind() const { return m_kind; }
    constexpr bool Is(PrinterKind kind) const { return m_kind == kind; }

    friend constexpr bool operator==(const CModelType&, const CModelType&) = default;

private:
    int m_number = PrinterKindNumber(PrinterKind::Mono);
    std::optional<PrinterKind> m_kind = PrinterKind::Mono;
};
