#pragma once

#include "framework/colorref.h"
#include "imaging/raster_code_rows.h"
#include "imaging/raster_source.h"

#include <cstdint>
#include <memory>

// Which pixels the printer leaves unprinted.
enum class PaperRule {
    kExactWhite,  // only exactly (255, 255, 255): single-colour records and DOT MODE
    kNearWhite,   // R, G and B all above 240: two-colour thermal printers
};

// The class code of one colour (colour bytes only): 0 paper, 1 exactly black
// (0, 0, 0), 2 any other ink.
std::uint8_t PixelCode(win::COLORREF colour, PaperRule paper);

// The codes of count colours, as PixelCode gives them.
void ClassifyColours(const win::COLORREF* colours, int count, std::uint8_t* codes, PaperRule paper);

// The code rows of a raster source. With separation inputs the rows are
// separated, (shrunk,) and classified in one pass per row; the codes are
// exactly those of separating the whole surface with SeparateSurface,
// shrinking it with StretchAnd and classifying the result.
// The source's surface and inputs must outlive the result.
std::unique_ptr<CCodeRowSource> MakeCodeRowSource(const RasterSource& source, PaperRule paper);
