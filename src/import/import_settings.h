#pragma once

#include "imaging/color_separation.h"
#include "kinds/printer_kind.h"

#include <QString>

#include <optional>

// How the tones of a picture become printer dots.
enum class DitherMethod {
    None,            // a plain threshold at the level (nearest colour for two-colour printers)
    FloydSteinberg,  // error diffusion to four neighbours, all of the error
    Atkinson,        // error diffusion to six neighbours, three quarters of the error
    Bayer,           // ordered 8 x 8 threshold matrix (single-colour and DOT MODE only)
};

// The names the command line and the dialog use: "none", "floyd-steinberg",
// "atkinson", "bayer".
QString DitherMethodName(DitherMethod method);
std::optional<DitherMethod> ParseDitherMethod(const QString& name);

// The colour inks a two-colour printer's second plane may be shown as; the
// values are the separation's colour choices.
QString InkName(ColorChoice ink);
std::optional<ColorChoice> ParseInkName(const QString& name);

// Everything one import depends on besides the picture.
struct ImportSettings {
    CModelType modelType;  // one that names no kind is refused
    int receiptWidth = 576;        // printable width in dots
    int width = 0;                 // 0: shrink to receiptWidth, never enlarge; else exactly this many dots
    bool rotate = false;           // turn the picture 90 degrees clockwise first
    DitherMethod dither = DitherMethod::FloydSteinberg;
    int level = 128;               // 1..255: tones below it print (threshold and diffusion)
    int brightness = 0;            // -100..100
    int contrast = 0;              // -100..100
    double gamma = 1.0;            // 0.1..10; above 1 lightens the mid-tones
    ColorChoice ink = ColorChoice::Red;  // two-colour: the second ink (red, green or blue)
    DotDensity density = DotDensity::Single;  // DOT MODE: the density the download will use

    friend bool operator==(const ImportSettings&, const ImportSettings&) = default;
};

// Limits of the numeric settings, shared by the command line and the dialog.
inline constexpr int kMinLevel = 1;
inline constexpr int kMaxLevel = 255;
inline constexpr int kMaxToneShift = 100;  // brightness and contrast run -100..100
inline constexpr double kMinGamma = 0.1;
inline constexpr double kMaxGamma = 10.0;
inline constexpr int kMaxImportWidth = 4096;

// A reason why the settings cannot be used (Bayer for a two-colour printer, a
// value out of range), or an empty string when they can.
QString CheckImportSettings(const ImportSettings& settings);

// The settings as short text ("k1 w576 fs l128 b0 c0 g1.00"), for file names
// and for telling imports apart.
QString DescribeImportSettings(const ImportSettings& settings);
