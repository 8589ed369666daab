#pragma once

#include "imaging/separation_colors.h"
#include "import/import_settings.h"
#include "import/two_ink_reduction.h"  // TwoInkDot, the values of the dots
#include "logos/logo_list.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A picture made ready for one printer kind: the dots the printer will store,
// the BMP file that yields exactly those dots through the ordinary logo path
// (colour separation, DOT MODE halving, packing), and the logo settings that
// make the separation map the file's colours onto the intended inks.
struct ImportedLogo {
    CModelType modelType;
    // What the printer stores, one TwoInkDot (paper, black, second ink) per
    // dot, row by row.
    int dotWidth = 0;
    int dotHeight = 0;
    std::vector<std::uint8_t> dots;
    // How many BMP pixels one dot takes: 2 x 2 for DOT MODE at single density,
    // 1 x 2 at double density, else 1 x 1. The download halves the BMP by
    // ANDing these pixels, which gives back each dot exactly.
    int unitWidth = 1;
    int unitHeight = 1;
    Rgb inkColour{255, 0, 0};  // how second-ink dots look (two-colour printers)
    QByteArray bmp;            // the file: 1-bit black and white, or 4-bit white, black and ink
    QSize bmpSize;
    LogoSettings logoSettings;  // THRESHOLD, R Value, L Value and colour choice for the logo list

    std::uint8_t DotAt(int x, int y) const { return dots[static_cast<size_t>(y) * dotWidth + x]; }
    // The dots as they print, each drawn unitWidth x unitHeight pixels: white
    // paper, black, and the ink colour.
    QImage Preview() const;
};

// Most rows an import may have: far more than any receipt logo, and still
// within every printer format's 16-bit height.
inline constexpr int kMaxImportHeight = 16384;

// The BMP size an import of a picture of this (upright) size has, before the
// rotation; the loader shrinks pictures while decoding towards it.
QSize ImportSourceSize(QSize picture, const ImportSettings& settings);

// The first half of ImportPicture: the picture laid over white, turned and
// resized to one pixel per printer dot (RGB32). It depends only on the size
// settings (width, rotate, printer kind, density, printable width), so a
// dialog keeps it while tones are being tried. Nothing on bad settings or a
// result taller than kMaxImportHeight, with the reason in *error.
std::optional<QImage> PrepareImportSource(const QImage& picture, const ImportSettings& settings, QString* error);

// The second half: tones, dots, the BMP and the logo settings, from a
// prepared picture.
ImportedLogo ImportPreparedPicture(const QImage& prepared, const ImportSettings& settings);

// Makes an opaque RGB32 picture ready for the printer kind of the settings.
// Fails (nothing, reason in *error) on settings that cannot be used or a
// result taller than kMaxImportHeight.
std::optional<ImportedLogo> ImportPicture(const QImage& picture, const ImportSettings& settings, QString* error);

// Loads the picture at path (any format LoadPicture reads) and imports it.
std::optional<ImportedLogo> ImportPictureFile(const QString& path, const ImportSettings& settings, QString* error);

// The window colours under which the logo's settings (its THRESHOLD among
// them) map the imported BMP exactly: a black second ink.
SeparationColors ImportedLogoColors(const ImportedLogo& logo);

// The per-user folder imported logos are kept in:
// $XDG_DATA_HOME/markograph/logos (~/.local/share/markograph/logos).
QString ImportedLogosFolder();

// A file name that says where the logo came from and how it was made
// ("logo-k1-576-fs-1a2b3c4d.bmp"): the source's base name, the printer kind,
// the width, the method and a short hash of the source path and every
// setting, so that one source imported two ways gives two files and the same
// import gives the same file again.
QString ImportedLogoFileName(const QString& sourcePath, const ImportSettings& settings);

// Writes the BMP atomically to path, creating its folder when missing.
bool SaveImportedLogo(const ImportedLogo& logo, const QString& path, QString* error);

// Imports the picture and keeps the BMP in ImportedLogosFolder(); returns the
// BMP's path.
std::optional<QString> ImportPictureToLogos(const QString& sourcePath, const ImportSettings& settings,
                                            ImportedLogo* logo, QString* error);
