#pragma once

#include "framework/colorref.h"
#include "imaging/bitmap_surface.h"
#include "imaging/separation_colors.h"
#include "logos/logo_entry.h"

#include <QString>

#include <optional>

// The inputs that separate one logo, wherever it is separated (the preview,
// a download, a print file, the command line, a fleet): the logo's own
// THRESHOLD (as its hue colour), R Value, L Value and colour choice (its
// stored number, kept as it is), with the window's palette and L colour,
// which all logos of one download share. Each logo is stored as its own
// preview showed it, whichever logo is selected when the download starts.
SeparationInputs MakeEntryInputs(const LogoEntry& entry, const SeparationColors& colors);

// The colour one pixel of the logo is printed in: the separation rule with
// the logo's own settings and the window's shared colours (MakeEntryInputs).
win::COLORREF MapEntryColor(const LogoEntry& entry, win::COLORREF colour, const SeparationColors& colors);

// Loads the logo's BMP file afresh (so changes to the file since it was added
// are picked up), unseparated. A file that cannot be loaded gives nothing and,
// in *error, a message that names the file and the reason.
std::optional<CBitmapSurface> LoadLogoBitmap(const LogoEntry& entry, QString* error);

// Loads the logo's BMP file afresh (so changes to the file since it was added
// are picked up) and separates every pixel as MapEntryColor does. The surface
// keeps the file's pixel format, so a palette-based file stays palette-based
// and holds the nearest palette colour of each separated pixel.
// A file that cannot be loaded gives nothing and, in *error, a message that
// names the file and the reason.
std::optional<CBitmapSurface> RenderSeparatedBitmap(const LogoEntry& entry, const SeparationColors& colors,
                                                    QString* error);
