#pragma once

#include "compose/compose_layout.h"
#include "import/picture_importer.h"

#include <QImage>
#include <QStringList>

#include <optional>

// A composed logo: the dots, the BMP and the logo settings exactly as an
// import gives them (so the logo list, the download and the preview treat it
// like any imported picture), and what was changed on the way (a font that
// was not installed, a line shrunk to fit).
struct ComposedLogo {
    ImportedLogo logo;
    QStringList notes;
};

// Lays the layout out for the printer of settings (kind, printable width,
// DOT MODE density, the second ink; the picture's fit and tones) and draws
// it at the printer's dot grid: the picture through the import, the text
// anti-aliased by its font and then cut at half coverage (no dithering), the
// QR code module by module with its quiet zone. picture is the loaded
// picture of layout.picture, or a null image for none. Nothing, with a reason
// fit for the operator in *error, for a layout that cannot be used, content
// too long for a QR code of the width, or a line wider than the paper (unless
// the layout shrinks it).
//
// Needs a QGuiApplication (fonts). A receipt-wide logo takes a few
// milliseconds, so a dialog may compose on every change.
std::optional<ComposedLogo> ComposeLogo(const ComposeLayout& layout, const QImage& picture,
                                        const ImportSettings& settings, QString* error);

// Loads layout.picture (if any) and composes.
std::optional<ComposedLogo> ComposeLogoFromFiles(const ComposeLayout& layout, const ImportSettings& settings,
                                                 QString* error);

// "compose-k1-576-1a2b3c4d.bmp": the printer kind, the width and a short hash
// of the layout and every setting, so the same composition gives the same
// file in the logos folder and a different one another.
QString ComposedLogoFileName(const ComposeLayout& layout, const ImportSettings& settings);
