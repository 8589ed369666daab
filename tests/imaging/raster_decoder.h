#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Reads the printer byte forms back into a grid of dots, the way a printer
// would: by walking headers, length fields and commands. It shares no code
// with the converter, so a round trip through both checks one against the
// other. Every decoder refuses (nothing, and a reason in *error) a stream
// whose structure or lengths are inconsistent.
class CRasterDecoder {
public:
    enum class Dot : std::uint8_t { None, Black, Ink };

    struct Grid {
        int width = 0;
        int height = 0;
        std::vector<Dot> dots;  // row-major
        Dot At(int x, int y) const { return dots[static_cast<size_t>(y) * width + x]; }
    };

    // What a DOT MODE stream described besides its dots.
    struct DotStream {
        Grid grid;                      // height: one past the last row printed; None where unprinted
        std::vector<long long> starts;  // first image row of each pass
        long long nextStart = 0;        // where a further pass would begin
        long long printedRows = 0;      // rows 0 .. printedRows - 1 were all printed
    };

    enum class DotLayout { Single, Double, Quad };

    // xL xH yL yH and column data; the grid is the record's full X8 x 8 by
    // Y8 x 8 dots, filler columns included.
    static std::optional<Grid> DecodeMonoRecord(const QByteArray& bytes, std::string* error);

    // A GS 8 L raster definition with two planes; plane 31 gives Black,
    // plane 32 Ink, a dot in both is an error. The grid is the declared width
    // (a multiple of 8) by the declared height.
    static std::optional<Grid> DecodeTwoColorCommand(const QByteArray& bytes, std::array<char, 2>* keyCode,
                                                     std::string* error);

    // Pairs of black and red print lines with their feeds, placed into image
    // rows by the pass layout of the density. A row printed by two passes
    // must receive the same dots from both.
    static std::optional<DotStream> DecodeDotBands(const QByteArray& bytes, DotLayout layout, std::string* error);
};
